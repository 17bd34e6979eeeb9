#include "gui/timetable_window.h"

#include "gui/app_title.h"
#include "platform/error.h"
#include "platform/whole_file.h"
#include "timetable/timetable_html.h"
#include "timetable/timetable_pdf.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace quintaro {

namespace {
constexpr int kGridRole = Qt::UserRole; // the grid's index in the timetable, -1 for a heading
}

TimetableWindow::TimetableWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("VentanaHorario"));
    setWindowTitle(QStringLiteral("Horario — %1").arg(kAppTitle));
    setSizeGripEnabled(true);
    resize(1000, 640);

    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("ResumenHorario"));
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    auto* split = new QSplitter(this);
    m_list = new QListWidget(split);
    m_list->setObjectName(QStringLiteral("ListaRejillas"));
    m_grid = new QTextBrowser(split);
    m_grid->setObjectName(QStringLiteral("Rejilla"));
    m_grid->document()->setDefaultStyleSheet(timetable::timetableStyle());
    split->setStretchFactor(1, 1);
    split->setSizes({220, 780});
    layout->addWidget(split, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Cerrar"));
    const auto add = [&](const char* name, const QString& caption) {
        auto* b = buttons->addButton(caption, QDialogButtonBox::ActionRole);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    connect(add("BAbrirHorario", QStringLiteral("Abrir…")), &QPushButton::clicked, this, &TimetableWindow::chooseDocument);
    connect(add("BImprimirHorario", QStringLiteral("Imprimir…")), &QPushButton::clicked, this, &TimetableWindow::print);
    connect(add("BGuardarPdf", QStringLiteral("Guardar PDF…")), &QPushButton::clicked, this,
            &TimetableWindow::choosePdfFile);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(m_list, &QListWidget::currentRowChanged, this, &TimetableWindow::showGrid);
}

bool TimetableWindow::open(const QString& path)
{
    try {
        m_timetable = timetable::readTimetable(path);
    } catch (const RunError& e) {
        QMessageBox::critical(this, kAppTitle, e.message());
        return false;
    }
    m_path = path;
    setWindowTitle(QStringLiteral("Horario de %1 — %2").arg(m_timetable.document, kAppTitle));
    QStringList summary{QDir::toNativeSeparators(path)};
    if (!m_timetable.hoursProblems.empty() || !m_timetable.clashes.isEmpty() || !m_timetable.inBreaks.isEmpty())
        summary << QStringLiteral("Sesiones con más o menos horas de las pedidas: %1; alguien en dos sitios a la vez: "
                                  "%2; clases en recreos: %3. Están marcados en sus rejillas.")
                       .arg(m_timetable.hoursProblems.size())
                       .arg(m_timetable.clashes.size())
                       .arg(m_timetable.inBreaks.size());
    m_summary->setText(summary.join(u'\n'));

    m_list->clear();
    const struct {
        timetable::Grid::Kind kind;
        const char* heading;
    } parts[] = {{timetable::Grid::Kind::Group, "Grupos"},
                 {timetable::Grid::Kind::Teacher, "Profesores"},
                 {timetable::Grid::Kind::Room, "Aulas"}};
    int first = -1;
    for (const auto& part : parts) {
        auto* heading = new QListWidgetItem(QString::fromUtf8(part.heading), m_list);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        heading->setFlags(Qt::ItemIsEnabled);
        heading->setData(kGridRole, -1);
        for (size_t n = 0; n < m_timetable.grids.size(); ++n)
            if (m_timetable.grids[n].kind == part.kind) {
                auto* item = new QListWidgetItem(QStringLiteral("  ") + m_timetable.grids[n].label, m_list);
                item->setData(kGridRole, int(n));
                if (first < 0)
                    first = m_list->count() - 1;
            }
    }
    m_list->setCurrentRow(first);
    return true;
}

void TimetableWindow::showGrid(int row)
{
    const QListWidgetItem* item = m_list->item(row);
    const int n = item ? item->data(kGridRole).toInt() : -1;
    if (n < 0 || size_t(n) >= m_timetable.grids.size())
        return;
    m_grid->setHtml(timetable::gridHtml(m_timetable.grids[size_t(n)], m_timetable.days));
}

bool TimetableWindow::savePdf(const QString& path)
{
    if (const auto failure = writeWholeFile(path, timetable::timetablePdf(m_timetable))) {
        QMessageBox::critical(this, kAppTitle,
                              QStringLiteral("No se puede escribir %1: %2").arg(QDir::toNativeSeparators(path), failure->reason));
        return false;
    }
    return true;
}

void TimetableWindow::chooseDocument()
{
    QFileDialog dialog(this, QStringLiteral("Abrir un documento resultado"),
                       m_path.isEmpty() ? QDir::homePath() : QFileInfo(m_path).absolutePath());
    dialog.setObjectName(QStringLiteral("AbrirHorario"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("Documentos XML (*.xml)"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        open(dialog.selectedFiles().constFirst());
}

void TimetableWindow::choosePdfFile()
{
    QFileDialog dialog(this, QStringLiteral("Guardar el horario como PDF"),
                       m_path.isEmpty() ? QDir::homePath() : QFileInfo(m_path).absolutePath());
    dialog.setObjectName(QStringLiteral("GuardarPdf"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("Documentos PDF (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(QFileInfo(m_path).completeBaseName() + QStringLiteral(".pdf"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        savePdf(dialog.selectedFiles().constFirst());
}

void TimetableWindow::print()
{
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("ImprimirHorario"));
    if (dialog.exec() == QDialog::Accepted)
        m_grid->document()->print(&printer);
}

} // namespace quintaro
