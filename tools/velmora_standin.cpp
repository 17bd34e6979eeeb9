#include "tools/velmora_standin.h"

#include "tables/soluc_schema.h"
#include "platform/dbf_table.h"
#include "platform/error.h"
#include "platform/file_lock.h"
#include "platform/text.h"

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
};

struct Lesson {
    QString subject, teacher, group, level, course, unit, task;
    qint64 hours = 0;
};

struct School {
    std::vector<Period> periods;
    QHash<QString, QString> frameOfGroup; // GRUPOST.ABREV -> MARCO
    QStringList rooms; // ordinary rooms' ABREV, in stored order
    std::vector<Lesson> lessons;
};

int minutes(const QString& time)
{
    if (time.size() < 5 || !text::isInt(time.mid(0, 2)) || !text::isInt(time.mid(3, 2)))
        return -1;
    return 60 * time.mid(0, 2).toInt() + time.mid(3, 2).toInt();
}

std::unique_ptr<DbfTable> openExisting(const WorkDir& dir, const char* name)
{
    const QString table = QString::fromLatin1(name);
    if (!dir.tableExists(table))
        throw RunError(
            QStringLiteral("No existe la tabla %1 en %2: haga antes una exportación").arg(table, dir.path()));
    return std::make_unique<DbfTable>(dir.tablePath(table), DbfTable::Access::Shared);
}

School readSchool(const WorkDir& dir)
{
    School school;
    {
        auto t = openExisting(dir, "DIASHORAST");
        const int dia = t->fieldIndex(QStringLiteral("DIA")), hora = t->fieldIndex(QStringLiteral("HORA"));
        const int desde = t->fieldIndex(QStringLiteral("HORADESDE")),
                  hasta = t->fieldIndex(QStringLiteral("HORAHASTA"));
        const int marco = t->fieldIndex(QStringLiteral("MARCO"));
        for (t->first(); !t->eof(); t->next()) {
            Period p;
            p.day = int(t->whole(dia));
            p.hour = int(t->whole(hora));
            p.start = minutes(t->text(desde));
            p.end = minutes(t->text(hasta));
            p.frame = t->text(marco);
            p.key = p.frame + u'/' + QString::number(p.day) + u'/' + QString::number(p.hour);
            school.periods.push_back(p);
        }
    }
    {
        auto groups = openExisting(dir, "GRUPOST");
        const int abrev = groups->fieldIndex(QStringLiteral("ABREV")),
                  marco = groups->fieldIndex(QStringLiteral("MARCO"));
        for (groups->first(); !groups->eof(); groups->next())
            school.frameOfGroup.insert(groups->text(abrev), groups->text(marco));
    }
    {
        auto aulat = openExisting(dir, "AULAT");
        const int abrev = aulat->fieldIndex(QStringLiteral("ABREV"));
        const int generic = aulat->fieldIndex(QStringLiteral("ES_GENERICA"));
        for (aulat->first(); !aulat->eof(); aulat->next())
            if (aulat->text(generic) == u"N")
                school.rooms << aulat->text(abrev);
    }
    auto t = openExisting(dir, "ASIGT");
    const auto field = [&](const char* name) { return t->fieldIndex(QString::fromLatin1(name)); };
    const int casig = field("CASIG"), cprof = field("CPROF"), cgrup = field("CGRUP"), nivel = field("NIVEL");
    const int curso = field("CURSO"), grupo = field("GRUPO"), horas = field("HORAS"), ctarea = field("CTAREA");
    for (t->first(); !t->eof(); t->next())
        school.lessons.push_back({t->text(casig), t->text(cprof), t->text(cgrup), t->text(nivel), t->text(curso),
                                  t->text(grupo), t->text(ctarea), std::max<qint64>(0, t->whole(horas))});
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
        // Per frame, its periods ordered by hour, then day: early hours of every day fill first.
        for (int p = 0; p < m_count; ++p)
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
        for (size_t l = 0; l < m_school.lessons.size(); ++l) {
            const Lesson& lesson = m_school.lessons[l];
            static const std::vector<int> none;
            const auto frameFound = m_byFrame.constFind(m_school.frameOfGroup.value(lesson.group));
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

StandinReport writeSoluc(const WorkDir& dir, const School& school, const std::vector<Placement>& placements)
{
    static const tables::Soluc t;
    // Velmora may still have its solution open; it is not pulled from under it.
    if (dir.tableExists(t.name()) && isHeldByAnother(dir.tablePath(t.name())))
        throw RunError(heldByAnotherMessage(t.name()));
    dir.removeTableFiles(t.name());
    DbfTable::create(dir.tablePath(t.name()), t.fields());
    DbfTable soluc(dir.tablePath(t.name()), DbfTable::Access::Exclusive);

    StandinReport report;
    report.lessons = qint64(school.lessons.size());
    for (const Lesson& lesson : school.lessons)
        report.hours += lesson.hours;
    for (const Placement& placement : placements) {
        const Lesson& lesson = school.lessons[placement.lesson];
        soluc.append();
        soluc.setText(t.ASIG, lesson.subject);
        soluc.setText(t.PROF, lesson.teacher);
        soluc.setText(t.CODGRUPO, lesson.group);
        soluc.setText(t.NIVEL, lesson.level);
        soluc.setText(t.CURSO, lesson.course);
        soluc.setText(t.GRUPO, lesson.unit);
        soluc.setText(t.TAREA, lesson.task);
        soluc.setText(t.MARCO, school.frameOfGroup.value(lesson.group));
        soluc.setFloat(t.SESIONES, 1);
        if (placement.period < 0) {
            soluc.setFloat(t.DIA, 0);
            soluc.setFloat(t.HORA, 0);
            ++report.unplaced;
        } else {
            const Period& period = school.periods[size_t(placement.period)];
            soluc.setFloat(t.DIA, period.day);
            soluc.setFloat(t.HORA, period.hour);
            if (placement.room >= 0)
                soluc.setText(t.AULA, school.rooms.at(placement.room));
            else
                ++report.withoutRoom;
            ++report.placed;
        }
        soluc.post();
    }
    soluc.close();
    return report;
}
} // namespace

StandinReport runVelmoraStandin(const WorkDir& dir)
{
    const School school = readSchool(dir);
    const std::vector<Placement> placements = Placer(school).placeAll();
    return writeSoluc(dir, school, placements);
}

} // namespace quintaro
