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
        int next = -1; // the next lesson of the same subject and group
    };
    // Every lesson in the order of ASIGT; per subject and group, the first and last of its lessons.
    std::vector<Lesson> m_lessons;
    QHash<std::pair<QString, QString>, std::pair<int, int>> m_chainOf;
};

} // namespace quintaro
