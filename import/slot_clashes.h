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
    // One sentence per person or room and overlap.
    QStringList found() const;
    // Whether `who` at the slot told as `when` overlaps another of their slots.
    bool clashes(const QString& who, const QString& when) const;

private:
    struct Placed {
        int from, to;
        QString when, what;
    };
    struct Overlap {
        QString who;
        std::vector<const Placed*> placed;
    };
    const std::vector<Overlap>& overlaps() const;

    using WhoAndDay = std::pair<QString, qint64>;
    QHash<WhoAndDay, std::vector<Placed>> m_byWhoAndDay;
    std::vector<WhoAndDay> m_order; // the keys in the order first placed
    mutable std::optional<std::vector<Overlap>> m_overlaps;
    mutable QSet<QString> m_clashing; // "who\nwhen"
};

// "lunes" for day 1 (as DIASHORAST and SOLUC count), up to "domingo".
QString dayName(qint64 dia);

} // namespace quintaro
