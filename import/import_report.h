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
    // Reasons to doubt that the solution belongs to the document.
    QStringList doubts;
};

} // namespace quintaro
