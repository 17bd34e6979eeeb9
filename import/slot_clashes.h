#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace quintaro {

// Who is where at each time: a teacher, group or named room given two slots at one time is told
// once per time, naming the lessons. The import's check of a solution and the timetable view
// both count with it.
class SlotClashes {
public:
    // `who` ("el profesor MGL") is at `when` ("lunes, hora 2") with `what` ("sesión 101"); an
    // empty `code` (no teacher, no group) places nobody.
    void place(const QString& who, const QString& code, const QString& when, const QString& what);
    // One sentence per person or room and time with two or more slots.
    QStringList found() const;
    // Whether `who` has two or more slots at `when`.
    bool clashes(const QString& who, const QString& when) const;

private:
    static QString key(const QString& who, const QString& when) { return who + u'\n' + when; }
    QHash<QString, QStringList> m_at;
    QStringList m_order;
};

// "lunes" for day 1 (as DIASHORAST and SOLUC count), up to "domingo".
QString dayName(qint64 dia);

} // namespace quintaro
