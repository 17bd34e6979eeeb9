#include "gui/gui_ui.h"

#include "gui/app_title.h"
#include "platform/work_dir.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScopeGuard>

namespace quintaro {

GuiUi::~GuiUi()
{
    while (m_busy > 0)
        setBusy(false);
}

std::optional<QString> GuiUi::chooseDocument()
{
    QString start = WorkDir::mapWindowsPath(QStringLiteral("c:\\vtemp\\sauce"));
    if (!QFileInfo(start).isDir())
        start = QDir::homePath();
    QFileDialog dialog(m_parent, QStringLiteral("Seleccione Archivo XML obtenido de ESCOLARIA"), start);
    dialog.setObjectName(QStringLiteral("OpenDialogXML"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // the chosen file need not exist
    dialog.setNameFilter(QStringLiteral("*.xml"));
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

void GuiUi::inform(const QString& message)
{
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, message, QMessageBox::Ok, m_parent);
    box.exec();
}

void GuiUi::finished(const QString& message, const QString& report)
{
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, message, QMessageBox::Ok, m_parent);
    if (!report.isEmpty())
        box.setDetailedText(report); // hidden until asked for
    box.exec();
}

void GuiUi::showError(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, kAppTitle, message, QMessageBox::Ok, m_parent);
    box.exec();
}

void GuiUi::setBusy(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_busy;
    } else if (m_busy > 0) {
        QApplication::restoreOverrideCursor();
        --m_busy;
    }
}

std::optional<FrameSelection> GuiUi::chooseFrames(const QString& documentPath, const ExportDocument&)
{
    if (!m_frameDialog)
        return std::nullopt;
    // The dialog waits for the person: the normal cursor while it is shown.
    if (m_busy > 0)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto restore = qScopeGuard([wasBusy = m_busy > 0] {
        if (wasBusy)
            QApplication::restoreOverrideCursor();
    });
    // Shown again after an invalid choice; closing it instead of choosing gives up.
    FrameSelection chosen;
    do
        chosen = m_frameDialog(documentPath, m_parent);
    while (!chosen.resultMH && !chosen.cancelled);
    if (chosen.cancelled)
        return std::nullopt;
    return chosen;
}

} // namespace quintaro
