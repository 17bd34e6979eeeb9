#include "timetable/grids.h"

#include <QSet>

#include <algorithm>
#include <set>

namespace quintaro::timetable {

namespace {
// Makes the grids of one timetable; what every grid looks up is indexed once here.
class GridMaker {
public:
    GridMaker(Timetable& table, const SchoolModel& model, const SlotClashes& clashes)
        : m_table(table), m_model(model), m_clashes(clashes)
    {
        // Each lesson's problem, and each group's, by position in hoursProblems: a grid finds its
        // own without going through them all.
        for (size_t n = 0; n < table.hoursProblems.size(); ++n) {
            const HoursProblem& h = table.hoursProblems[n];
            m_problemOfLesson.insert(h.lesson, n);
            m_problemsOfGroup[h.group].push_back(n);
        }
    }

    // The grid of one owner, its rows those of the frames its slots (or its group, `ownFrame`) use.
    void make(Grid::Kind kind, const QString& name, const QString& label, const std::vector<const Slot*>& own,
              const QString& ownFrame);

private:
    std::vector<PeriodRow> rowsOf(const std::vector<const Slot*>& own, const QString& ownFrame) const;
    Entry entryOf(const Slot& s, Grid::Kind kind, const QString& name) const;
    QStringList hoursProblemsOf(Grid::Kind kind, const QString& name, const std::vector<const Slot*>& own) const;

    Timetable& m_table;
    const SchoolModel& m_model;
    const SlotClashes& m_clashes;
    QHash<QString, size_t> m_problemOfLesson;
    QHash<QString, std::vector<size_t>> m_problemsOfGroup;
};

std::vector<PeriodRow> GridMaker::rowsOf(const std::vector<const Slot*>& own, const QString& ownFrame) const
{
    QStringList frames;
    if (!ownFrame.isEmpty())
        frames << ownFrame;
    for (const Slot* s : own)
        if (!frames.contains(s->frame))
            frames << s->frame;
    std::sort(frames.begin(), frames.end(), [this](const QString& a, const QString& b) {
        return m_model.frameOrder.indexOf(a) < m_model.frameOrder.indexOf(b);
    });
    std::vector<PeriodRow> rows;
    for (const QString& f : frames)
        for (const auto& [day, row] : m_model.rowsOfFrame.value(f))
            rows.push_back(row);
    return rows;
}

Entry GridMaker::entryOf(const Slot& s, Grid::Kind kind, const QString& name) const
{
    const Lesson l = m_model.lessons.value(s.lesson);
    Entry e;
    e.lesson = s.lesson;
    e.subject = l.subject;
    QStringList teachers;
    for (const QString& t : s.teachers)
        teachers << m_model.teacherFullName(t);
    const QString groups = s.groups.join(QStringLiteral(", "));
    e.other = kind == Grid::Kind::Group     ? teachers.join(QStringLiteral(", "))
            : kind == Grid::Kind::Teacher ? groups
                                          : groups + QStringLiteral(" · ") + teachers.join(QStringLiteral(", "));
    // In a group's grid, an option's hour says whose it is.
    if (kind == Grid::Kind::Group && !s.groups.contains(name))
        e.subject = QStringLiteral("%1 (%2)").arg(l.subject, groups);
    // The group's own room says nothing a school needs on the wall.
    e.room = s.namedRoom && kind != Grid::Kind::Room ? s.room : QString();
    e.wrongHours = m_problemOfLesson.contains(s.lesson);
    return e;
}

// The problems of its lessons (and, for a group, of the group's), in the lessons' order.
QStringList GridMaker::hoursProblemsOf(Grid::Kind kind, const QString& name, const std::vector<const Slot*>& own) const
{
    std::set<size_t> its;
    if (kind == Grid::Kind::Group)
        for (size_t n : m_problemsOfGroup.value(name))
            its.insert(n);
    for (const Slot* s : own)
        if (const auto n = m_problemOfLesson.constFind(s->lesson); n != m_problemOfLesson.constEnd())
            its.insert(*n);
    QStringList problems;
    for (size_t n : its) {
        const HoursProblem& h = m_table.hoursProblems[n];
        problems << QStringLiteral("Sesión %1 (%2): %3 de %4 horas colocadas.")
                        .arg(h.lesson, h.subject)
                        .arg(h.placed)
                        .arg(h.hours);
    }
    return problems;
}

void GridMaker::make(Grid::Kind kind, const QString& name, const QString& label, const std::vector<const Slot*>& own,
                     const QString& ownFrame)
{
    Grid grid;
    grid.kind = kind;
    grid.name = name;
    grid.label = label;
    grid.title = (kind == Grid::Kind::Group     ? QStringLiteral("Grupo ")
                  : kind == Grid::Kind::Teacher ? QStringLiteral("Profesor ")
                                                : QStringLiteral("Aula "))
               + label;
    grid.rows = rowsOf(own, ownFrame);
    QHash<QString, int> rowOf; // "frame/index"
    for (size_t r = 0; r < grid.rows.size(); ++r)
        rowOf.insert(grid.rows[r].frame + u'/' + QString::number(grid.rows[r].index), int(r));
    const int days = m_model.days;
    grid.cells.assign(grid.rows.size(), std::vector<std::vector<Entry>>(size_t(days)));
    const QString who = kind == Grid::Kind::Group     ? groupWho(name)
                      : kind == Grid::Kind::Teacher ? teacherWho(name)
                                                    : roomWho(name);
    QSet<QString> toldClash;
    for (const Slot* s : own) {
        const int row = rowOf.value(s->frame + u'/' + QString::number(s->index), -1);
        if (row < 0 || s->day >= days)
            continue; // a period the document does not list
        const PeriodRow& period = grid.rows[size_t(row)];
        Entry e = entryOf(*s, kind, name);
        e.inBreak = !period.teaching && !m_model.lessons.value(s->lesson).task;
        if (e.inBreak)
            grid.problems << QStringLiteral("Clase en un tramo que no es lectivo («%1») el %2.").arg(period.kind, when(*s));
        e.clash = m_clashes.clashes(who, when(*s));
        grid.cells[size_t(row)][size_t(s->day)].push_back(e);
        if (e.clash && !toldClash.contains(when(*s))) {
            toldClash.insert(when(*s));
            grid.problems << QStringLiteral("En dos sitios a la vez el %1.").arg(when(*s));
        }
    }
    grid.problems << hoursProblemsOf(kind, name, own);
    m_table.grids.push_back(std::move(grid));
}

// Each owner's slots; owners named by slots but not listed by the document come after the listed
// ones, in the order the slots name them.
class Owners {
public:
    explicit Owners(const QStringList& listed) : m_order(listed), m_listed(listed.begin(), listed.end()) { }
    void add(const QString& owner, const Slot& s)
    {
        auto& own = m_slots[owner];
        if (own.empty() && !m_listed.contains(owner))
            m_order << owner;
        own.push_back(&s);
    }
    // Calls `make(owner, slots)` for each owner with slots, in order.
    template<typename Make>
    void forEach(Make make) const
    {
        for (const QString& owner : m_order)
            if (const auto it = m_slots.constFind(owner); it != m_slots.constEnd())
                make(owner, *it);
    }

private:
    QStringList m_order;
    QSet<QString> m_listed;
    QHash<QString, std::vector<const Slot*>> m_slots;
};
} // namespace

void addGrids(Timetable& table, const SchoolModel& model, const std::vector<Slot>& slots, const SlotClashes& clashes)
{
    Owners groups(model.groupOrder), teachers(model.teacherOrder), rooms(model.roomOrder);
    for (const Slot& s : slots) {
        for (const QString& group : s.groups) {
            groups.add(group, s);
            const QString whole = model.wholeOfOption.value(group);
            if (!whole.isEmpty() && !s.groups.contains(whole))
                groups.add(whole, s);
        }
        for (const QString& teacher : s.teachers)
            teachers.add(teacher, s);
        if (s.namedRoom && !s.room.isEmpty())
            rooms.add(s.room, s);
    }
    GridMaker maker(table, model, clashes);
    groups.forEach([&](const QString& g, const std::vector<const Slot*>& own) {
        maker.make(Grid::Kind::Group, g, g, own, model.frameOfGroup.value(g));
    });
    teachers.forEach([&](const QString& t, const std::vector<const Slot*>& own) {
        maker.make(Grid::Kind::Teacher, t, model.teacherLabel(t), own, {});
    });
    rooms.forEach([&](const QString& r, const std::vector<const Slot*>& own) {
        maker.make(Grid::Kind::Room, r, r, own, {});
    });
}

} // namespace quintaro::timetable
