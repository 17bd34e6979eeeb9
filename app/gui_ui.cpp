#include "app/gui_ui.h"

#include "frames/plantillas.h"
#include "platform/error.h"
#include "platform/work_dir.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

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
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quintaro"), message, QMessageBox::Ok, m_parent);
    box.exec();
}

void GuiUi::showError(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quintaro"), message, QMessageBox::Ok, m_parent);
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

FrameSelection GuiUi::chooseFrames(const QString& documentPath, const XmlDocument&)
{
    TPlantillas dialog(documentPath, m_parent);
    Plantillas = &dialog;
    dialog.exec();
    Plantillas = nullptr;
    if (!dialog.failure().isEmpty())
        throw RunError(dialog.failure());
    return {dialog.resultMH, dialog.resultado};
}

} // namespace quintaro
