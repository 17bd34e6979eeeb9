#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace quintaro {

// What the import run did and noticed, for the person who started it.
struct ImportReport {
    QString resultDocument;
    qint64 timeSlots = 0;
    bool hadSchedule = false; // the chosen document already held a horario section
    // Slots whose subject and group name no lesson (empty sesion), and slots beyond the weekly
    // hours of every lesson of their subject and group; each "ASIG/CODGRUPO" with its slots.
    qint64 slotsWithoutLesson = 0;
    QMap<QString, qint64> pairsWithoutLesson;
    qint64 slotsPastHours = 0;
    QMap<QString, qint64> pairsPastHours;
    // The check of the solution: lessons with fewer placed hours than their HORAS (the rest left
    // unplaced, DIA 0, or missing from SOLUC), by id; and any teacher, group or named room in two
    // places at once, by day and period, one sentence each.
    struct ShortLesson {
        QString sesion;
        qint64 hours = 0;
        qint64 placed = 0;
    };
    std::vector<ShortLesson> fewerHours;
    qint64 unplacedRows = 0; // SOLUC rows with DIA 0
    QStringList clashes;
    QStringList inBreaks; // class hours placed in a period that is no teaching time, one sentence each
    QString solver = QStringLiteral("Velmora"); // who placed the hours, for what the report says of them
    // Reasons to doubt that the solution belongs to the document.
    QStringList doubts;
};

} // namespace quintaro
