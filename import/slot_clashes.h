#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quintaro {

// A time slot as the clash check sees it: its day, its clock time in minutes since midnight (-1
// when unknown) and how it is told ("lunes, hora 2 (marco M)").
struct ClockSlot {
    qint64 day = 0;
    int from = -1, to = -1;
    QString when;
};

// Who is where at each time: a teacher, group or named room given two slots that overlap in
// clock time on one day (the same period, or periods of two frames whose times overlap) is told
// once per overlap, naming the lessons. Slots without times clash only with the same period. The
// import's check of a solution and the timetable view both count with it.
class SlotClashes {
public:
    // `who` ("el profesor MGL") is at `at` with `what` ("sesión 101"); an empty `code` (no
    // teacher, no group) places nobody.
    void place(const QString& who, const QString& code, const ClockSlot& at, const QString& what);
    // The same for many placements: who and the period told (`at.when`) are numbered once each
    // by the caller, and every placement is of somebody.
    int whoNumber(const QString& who) { return numberOf(m_whoNumbers, m_whos, who); }
    int whenNumber(const QString& when) { return numberOf(m_whenNumbers, m_whens, when); }
    void place(int who, int when, const ClockSlot& at, const QString& what);
    // Room for `count` placements.
    void reserve(size_t count) { m_placed.reserve(count); }
    // One sentence per person or room and overlap.
    QStringList found() const;
    // Whether `who` at the slot told as `when` overlaps another of their slots.
    bool clashes(const QString& who, const QString& when) const;

private:
    // Each placement, in the order placed; who, day and period by number. A few hundred thousand
    // at a district's scale, so nothing per placement is allocated but the vector's own growth.
    struct Placed {
        int group; // who and day
        int when;
        int from, to;
        QString what;
    };
    struct Overlap {
        int who;
        std::vector<const Placed*> placed;
    };
    const std::vector<Overlap>& overlaps() const;
    static int numberOf(QHash<QString, int>& numbers, QStringList& texts, const QString& text);

    QHash<QString, int> m_whoNumbers, m_whenNumbers;
    QStringList m_whos, m_whens;
    // Who and day, numbered in the order first placed: per who, its days and their numbers.
    std::vector<std::vector<std::pair<qint64, int>>> m_groupsOfWho;
    std::vector<int> m_whoOfGroup;
    std::vector<Placed> m_placed;
    mutable std::optional<std::vector<Overlap>> m_overlaps;
    mutable QSet<QString> m_clashing; // "who\nwhen"
};

// "lunes" for day 1 (as DIASHORAST and SOLUC count), up to "domingo".
QString dayName(qint64 dia);

} // namespace quintaro
