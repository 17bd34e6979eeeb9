#pragma once

#include "timetable/timetable.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QTextBrowser;

namespace quintaro {

// The solved timetable as grids: a list to pick a group, teacher or room, the chosen grid with
// what is wrong marked and listed under it, "Imprimir…" (the chosen grid), "Guardar PDF…" (every
// grid, one per page) and "Abrir…" for any result document.
class TimetableWindow : public QDialog {
    Q_OBJECT
public:
    explicit TimetableWindow(QWidget* parent = nullptr);

    // Reads the result document at `path`; says why in a message box when it cannot.
    bool open(const QString& path);
    // Shows the grid of that row of the list (rows of headings show nothing new).
    void showGrid(int row);
    // Writes every grid as a PDF to `path`, whole or not at all; says so when it cannot.
    bool savePdf(const QString& path);
    const timetable::Timetable& timetable() const { return m_timetable; }

private:
    void chooseDocument();
    void choosePdfFile();
    void print();

    timetable::Timetable m_timetable;
    QString m_path;
    QLabel* m_summary = nullptr;
    QListWidget* m_list = nullptr;
    QTextBrowser* m_grid = nullptr;
};

} // namespace quintaro
