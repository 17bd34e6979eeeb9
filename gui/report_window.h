#pragma once

#include "run/run_report.h"

#include <QDialog>

class QLineEdit;
class QTreeWidget;

namespace quintaro {

// The run's findings in a window of their own: grouped by kind with a count each (the same kinds
// and texts as the command line's report, every line of them), a filter, "Guardar CSV…" (the
// --informe format) and "Imprimir…". Resizable; closing it goes back to where it was opened.
class ReportWindow : public QDialog {
    Q_OBJECT
public:
    explicit ReportWindow(const RunReport& report, QWidget* parent = nullptr);

    // Shows only the lines that contain `text` (case and accents as typed, case not minded), and the
    // kinds that keep any.
    void filter(const QString& text);
    // Writes the findings as CSV to `path`, whole or not at all; says so when it cannot.
    bool saveCsv(const QString& path);

private:
    void chooseCsvFile();
    void print();

    RunReport m_report;
    QLineEdit* m_filter = nullptr;
    QTreeWidget* m_tree = nullptr;
};

} // namespace quintaro
