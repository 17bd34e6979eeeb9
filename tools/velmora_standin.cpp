#include "tools/velmora_standin.h"

#include "tables/school_tables.h"
#include "tables/soluc_writer.h"

#include <QHash>

#include <algorithm>
#include <memory>
#include <vector>

namespace quintaro {

namespace {

// ---------------------------------------------------------------- reading

struct Period {
    int day = 0; // DIASHORAST.DIA, from 1
    int hour = 0; // DIASHORAST.HORA
    int start = -1;
    int end = -1;
    QString frame;
    QString key; // frame, day and hour: the same slot when times are unknown
    bool teaching = true;
};

// What the placing needs of the tables: the periods with their times, and the ordinary rooms.
struct School {
    const tables::SchoolTables& tables;
    std::vector<Period> periods;
    QStringList rooms; // ordinary rooms' ABREV, in stored order
};

School schoolOf(const tables::SchoolTables& t, const tables::PeriodKinds& kinds)
{
    School school{t, {}, {}};
    for (const tables::PeriodRow& row : t.periods)
        school.periods.push_back({row.day, row.hour, tables::minutesOf(row.from), tables::minutesOf(row.to), row.frame,
                                  row.frame + u'/' + QString::number(row.day) + u'/' + QString::number(row.hour),
                                  kinds.isTeaching(row.kind)});
    for (const tables::NamedRow& room : t.rooms)
        if (!room.generic)
            school.rooms << room.code;
    return school;
}

// ---------------------------------------------------------------- placing

// One weekly hour of a lesson: the period it got (or -1) and its room (or -1).
struct Placement {
    size_t lesson = 0;
    int period = -1;
    int room = -1;
};

// The periods in which an entity (teacher, group, room) is taken, as a bit set.
class Busy {
public:
    explicit Busy(size_t periods = 0) : m_bits((periods + 63) / 64, 0) { }
    bool has(int p) const { return (m_bits[size_t(p) / 64] >> (p % 64)) & 1u; }
    void take(int p) { m_bits[size_t(p) / 64] |= quint64(1) << (p % 64); }

private:
    std::vector<quint64> m_bits;
};

bool overlap(const Period& a, const Period& b)
{
    if (a.key == b.key)
        return true;
    if (a.day != b.day || a.start < 0 || b.start < 0 || a.end <= a.start || b.end <= b.start)
        return false;
    return a.start < b.end && b.start < a.end;
}

class Placer {
public:
    explicit Placer(const School& school) : m_school(school), m_count(int(school.periods.size()))
    {
        const std::vector<Period>& periods = school.periods;
        // For each period, the periods at the same time (itself included).
        m_sameTime.resize(size_t(m_count));
        for (int p = 0; p < m_count; ++p)
            for (int q = 0; q < m_count; ++q)
                if (overlap(periods[size_t(p)], periods[size_t(q)]))
                    m_sameTime[size_t(p)].push_back(q);
        // Per frame, its teaching periods ordered by hour, then day: early hours of every day fill
        // first. Breaks are never candidates.
        for (int p = 0; p < m_count; ++p)
            if (periods[size_t(p)].teaching)
                m_byFrame[periods[size_t(p)].frame].push_back(p);
        for (auto& list : m_byFrame)
            std::stable_sort(list.begin(), list.end(), [&](int a, int b) {
                return std::pair(periods[size_t(a)].hour, periods[size_t(a)].day)
                    < std::pair(periods[size_t(b)].hour, periods[size_t(b)].day);
            });
        m_roomBusy.assign(size_t(school.rooms.size()), Busy(size_t(m_count)));
        m_firstMaybeFreeRoom.assign(size_t(m_count), 0);
    }

    // Each weekly hour of each lesson in turn, greedily.
    std::vector<Placement> placeAll()
    {
        std::vector<Placement> placements;
        for (size_t l = 0; l < m_school.tables.lessons.size(); ++l) {
            const tables::LessonRow& lesson = m_school.tables.lessons[l];
            static const std::vector<int> none;
            const auto frameFound = m_byFrame.constFind(m_school.tables.frameOfGroup.value(lesson.group));
            const std::vector<int>& candidates
                = lesson.group.isEmpty() || frameFound == m_byFrame.cend() ? none : *frameFound;
            Busy* teacher = lesson.teacher.isEmpty() ? nullptr : &busyOf(m_teacherBusy, lesson.teacher);
            Busy* group = &busyOf(m_groupBusy, lesson.group);
            QList<int> daysUsed;
            for (qint64 h = 0; h < lesson.hours; ++h) {
                Placement placement{l};
                placement.period = choosePeriod(candidates, teacher, group, daysUsed);
                if (placement.period >= 0) {
                    if (teacher)
                        teacher->take(placement.period);
                    group->take(placement.period);
                    daysUsed << m_school.periods[size_t(placement.period)].day;
                    placement.room = takeRoom(placement.period);
                }
                placements.push_back(placement);
            }
        }
        return placements;
    }

private:
    Busy& busyOf(QHash<QString, Busy>& all, const QString& key)
    {
        auto it = all.find(key);
        if (it == all.end())
            it = all.insert(key, Busy(size_t(m_count)));
        return *it;
    }

    bool freeAt(const Busy* busy, int p) const
    {
        if (!busy)
            return true;
        for (int q : m_sameTime[size_t(p)])
            if (busy->has(q))
                return false;
        return true;
    }

    // A day this lesson has not used yet, if there is one; then any day.
    int choosePeriod(const std::vector<int>& candidates, const Busy* teacher, const Busy* group,
                     const QList<int>& daysUsed) const
    {
        for (int pass = 0; pass < 2; ++pass)
            for (int p : candidates)
                if ((pass == 1 || !daysUsed.contains(m_school.periods[size_t(p)].day)) && freeAt(teacher, p)
                    && freeAt(group, p))
                    return p;
        return -1;
    }

    int takeRoom(int p)
    {
        int& r = m_firstMaybeFreeRoom[size_t(p)];
        // Rooms before r are taken at p for good: rooms only ever become busier.
        for (; r < m_school.rooms.size(); ++r)
            if (freeAt(&m_roomBusy[size_t(r)], p)) {
                m_roomBusy[size_t(r)].take(p);
                return r;
            }
        return -1;
    }

    const School& m_school;
    int m_count;
    std::vector<std::vector<int>> m_sameTime;
    QHash<QString, std::vector<int>> m_byFrame;
    QHash<QString, Busy> m_teacherBusy, m_groupBusy;
    std::vector<Busy> m_roomBusy;
    std::vector<int> m_firstMaybeFreeRoom;
};

// ---------------------------------------------------------------- writing

StandinReport writeSolution(const WorkDir& dir, const School& school, const std::vector<Placement>& placements)
{
    std::vector<tables::PlacedHour> hours;
    hours.reserve(placements.size());
    for (const Placement& p : placements)
        hours.push_back({p.lesson, p.period, p.room >= 0 ? school.rooms.at(p.room) : QString()});
    const tables::SolucCounts counts = tables::writeSoluc(dir, school.tables, hours);
    StandinReport report;
    report.lessons = qint64(school.tables.lessons.size());
    for (const tables::LessonRow& lesson : school.tables.lessons)
        report.hours += lesson.hours;
    report.placed = counts.placed;
    report.unplaced = counts.unplaced;
    report.withoutRoom = counts.withoutRoom;
    return report;
}
} // namespace

StandinReport runVelmoraStandin(const WorkDir& dir, const tables::PeriodKinds& kinds)
{
    const tables::SchoolTables rows = tables::readSchoolTables(dir);
    const School school = schoolOf(rows, kinds);
    const std::vector<Placement> placements = Placer(school).placeAll();
    return writeSolution(dir, school, placements);
}

} // namespace quintaro
