#pragma once

#include "platform/dbf_table.h"

#include <QHash>
#include <QString>

#include <vector>

namespace quintaro {

// Gives each placed slot of SOLUC its own lesson of ASIGT. The candidates are the lessons of the
// slot's subject and group; those of the slot's teacher come first when there are any (Velmora may
// have changed the teacher, so the others stay in play otherwise). Each candidate, in stored
// order, takes as many slots as its weekly hours before the next takes any; once all are full,
// further slots go to the first of them.
class LessonSlots {
public:
    explicit LessonSlots(DbfTable& asigt);

    struct Result {
        QString sesion; // ES_SESION as text; empty when no lesson has that subject and group
        bool pastHours = false; // every candidate was already full
        bool task = false; // the lesson is a task (CTAREA): a guardia may be in a break, a class not
    };
    Result take(const QString& subject, const QString& group, const QString& teacher);

    // Each lesson that took fewer slots than its weekly hours: id, hours, slots taken; in the
    // order of ASIGT.
    struct Short {
        QString sesion;
        qint64 hours = 0;
        qint64 taken = 0;
    };
    std::vector<Short> shortOfHours() const;

private:
    struct Lesson {
        QString teacher;
        QString sesion;
        qint64 hours = 0;
        qint64 taken = 0;
        bool task = false;
    };
    // Per subject and group, the lessons in stored order; and every lesson's place, in the order
    // of ASIGT.
    using Key = std::pair<QString, QString>;
    QHash<Key, std::vector<Lesson>> m_lessons;
    std::vector<std::pair<Key, size_t>> m_order;
};

} // namespace quintaro
