#include "gui/gui_ui.h"

#include "gui/app_title.h"
#include "gui/report_window.h"
#include "gui/timetable_window.h"
#include "run/report_text.h"
#include "platform/work_dir.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>

namespace quintaro {

GuiUi::~GuiUi()
{
    while (m_busy > 0)
        setBusy(false);
}

namespace {
// Where the file dialog last found a document, kept between program runs.
QSettings documentFolderSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quintaro"), QStringLiteral("Quintaro"));
}
const QString kLastFolderKey = QStringLiteral("carpetaUltimoDocumento");

// The folder the file dialog opens in: that of the last document chosen, else Velmora's usual
// c:\vtemp\sauce when it exists, else the user's documents.
QString startFolder()
{
    const QString last = documentFolderSettings().value(kLastFolderKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString velmora = WorkDir::mapWindowsPath(QStringLiteral("c:\\vtemp\\sauce"));
    if (QFileInfo(velmora).isDir())
        return velmora;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}
} // namespace

std::optional<QString> GuiUi::chooseDocument()
{
    QFileDialog dialog(m_parent, QStringLiteral("Seleccione Archivo XML obtenido de ESCOLARIA"), startFolder());
    dialog.setObjectName(QStringLiteral("OpenDialogXML"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // the chosen file need not exist
    dialog.setNameFilter(QStringLiteral("Documentos XML (*.xml)"));
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QFileInfo chosen(dialog.selectedFiles().constFirst());
    if (chosen.dir().exists())
        documentFolderSettings().setValue(kLastFolderKey, chosen.absolutePath());
    return chosen.absoluteFilePath();
}

void GuiUi::inform(const QString& message)
{
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, message, QMessageBox::Ok, m_parent);
    box.exec();
}

void GuiUi::finished(const QString& message, const RunReport& report)
{
    // The message as it is; under it how many findings need review and the result document; the
    // buttons open the report and the timetable in windows of their own, and back to the box.
    for (;;) {
        QMessageBox box(QMessageBox::NoIcon, kAppTitle, message, QMessageBox::Ok, m_parent);
        QStringList under{reviewLine(report)};
        if (!report.imported.resultDocument.isEmpty())
            under << QStringLiteral("Documento resultado: %1").arg(QDir::toNativeSeparators(report.imported.resultDocument));
        box.setInformativeText(under.join(u'\n'));
        if (const QString text = reportText(report); !text.isEmpty())
            box.setDetailedText(text); // a short summary, hidden until asked for
        QPushButton* reportButton = box.addButton(QStringLiteral("Ver informe…"), QMessageBox::ApplyRole);
        reportButton->setObjectName(QStringLiteral("BVerInforme"));
        QPushButton* timetableButton = nullptr;
        if (!report.imported.resultDocument.isEmpty()) {
            timetableButton = box.addButton(QStringLiteral("Ver horario"), QMessageBox::YesRole);
            timetableButton->setObjectName(QStringLiteral("BVerHorario"));
        }
        box.setDefaultButton(QMessageBox::Ok);
        box.exec();
        if (box.clickedButton() == reportButton) {
            ReportWindow(report, m_parent).exec();
        } else if (timetableButton && box.clickedButton() == timetableButton) {
            TimetableWindow view(m_parent);
            if (view.open(report.imported.resultDocument))
                view.exec();
        } else {
            return;
        }
    }
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
