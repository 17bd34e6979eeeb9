#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quintaro {

// What the export run noticed, for the person who started it: the rows of each table, the
// characters stored as '?', and the lessons that lost part of their data.
struct ExportReport {
    struct Table {
        QString name;
        qint64 rows = 0;
    };
    struct DroppedLesson {
        QString sesion; // the lesson's first attribute
        QString materia; // its subject text, found in no row of ASIGNOMT
    };
    std::vector<Table> tables;
    QStringList warnings;
    std::vector<DroppedLesson> droppedLessons;
    int teacherNotFound = 0;
    int groupNotFound = 0;
    int taskNotFound = 0;
    // What the step under way when the run stopped was converting ("los profesores (tabla
    // PROFT)"); empty once every step has finished.
    QString failedStep;

    void noteTable(const QString& name, qint64 rows);
};

} // namespace quintaro
