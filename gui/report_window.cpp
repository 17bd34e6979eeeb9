#include "gui/report_window.h"

#include "gui/app_title.h"
#include "platform/whole_file.h"
#include "run/report_text.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quintaro {

ReportWindow::ReportWindow(const RunReport& report, QWidget* parent) : QDialog(parent), m_report(report)
{
    setObjectName(QStringLiteral("VentanaInforme"));
    setWindowTitle(QStringLiteral("Informe — %1").arg(kAppTitle));
    setSizeGripEnabled(true);
    resize(760, 520);

    auto* layout = new QVBoxLayout(this);
    auto* summary = new QLabel(reviewLine(report), this);
    summary->setObjectName(QStringLiteral("ResumenInforme"));
    layout->addWidget(summary);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("FiltroInforme"));
    m_filter->setPlaceholderText(QStringLiteral("Filtrar (una sesión, un nombre, una palabra)…"));
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("ArbolInforme"));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    for (const ReportGroup& group : reportGroups(report)) {
        auto* kind = new QTreeWidgetItem(m_tree, {QStringLiteral("%1: %2").arg(group.title).arg(group.count)});
        QFont bold = kind->font(0);
        bold.setBold(true);
        kind->setFont(0, bold);
        for (const QString& line : group.lines)
            new QTreeWidgetItem(kind, {line});
    }
    m_tree->expandAll();
    layout->addWidget(m_tree, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* csv = buttons->addButton(QStringLiteral("Guardar CSV…"), QDialogButtonBox::ActionRole);
    csv->setObjectName(QStringLiteral("BGuardarCsv"));
    auto* printButton = buttons->addButton(QStringLiteral("Imprimir…"), QDialogButtonBox::ActionRole);
    printButton->setObjectName(QStringLiteral("BImprimirInforme"));
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Cerrar"));
    layout->addWidget(buttons);

    connect(m_filter, &QLineEdit::textChanged, this, &ReportWindow::filter);
    connect(csv, &QPushButton::clicked, this, &ReportWindow::chooseCsvFile);
    connect(printButton, &QPushButton::clicked, this, &ReportWindow::print);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void ReportWindow::filter(const QString& text)
{
    const QString wanted = text.trimmed();
    for (int k = 0; k < m_tree->topLevelItemCount(); ++k) {
        QTreeWidgetItem* kind = m_tree->topLevelItem(k);
        int shown = 0;
        for (int i = 0; i < kind->childCount(); ++i) {
            const bool keep = wanted.isEmpty() || kind->child(i)->text(0).contains(wanted, Qt::CaseInsensitive);
            kind->child(i)->setHidden(!keep);
            shown += keep ? 1 : 0;
        }
        kind->setHidden(shown == 0 && !kind->text(0).contains(wanted, Qt::CaseInsensitive));
    }
}

bool ReportWindow::saveCsv(const QString& path)
{
    if (const auto failure = writeWholeFile(path, reportCsv(m_report))) {
        QMessageBox::critical(this, kAppTitle,
                              QStringLiteral("No se puede escribir %1: %2").arg(QDir::toNativeSeparators(path), failure->reason));
        return false;
    }
    return true;
}

void ReportWindow::chooseCsvFile()
{
    QFileDialog dialog(this, QStringLiteral("Guardar el informe como CSV"), QDir::homePath());
    dialog.setObjectName(QStringLiteral("GuardarCsv"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("Hojas de cálculo CSV (*.csv)"));
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(QStringLiteral("informe.csv"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        saveCsv(dialog.selectedFiles().constFirst());
}

void ReportWindow::print()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("ImprimirInforme"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QStringList lines{reviewLine(m_report), QString()};
    for (const ReportGroup& group : reportGroups(m_report)) { // every line, not the first twenty
        lines << QStringLiteral("%1: %2").arg(group.title).arg(group.count);
        for (const QString& line : group.lines)
            lines << QStringLiteral("    ") + line;
    }
    QTextDocument document;
    document.setPlainText(lines.join(u'\n'));
    document.print(&printer);
}

} // namespace quintaro
