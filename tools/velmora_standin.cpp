#include "tools/velmora_standin.h"

#include "platform/dbf_table.h"
#include "platform/error.h"
#include "platform/text.h"

#include <QHash>

#include <algorithm>
#include <memory>
#include <vector>

namespace quintaro {

namespace {
using dbf::FieldKind;

enum Column { ASIG, PROF, CODGRUPO, TURNO, NIVEL, CURSO, GRUPO, AULA, TAREA, DIA, HORA, SESIONES, MARCO };

const std::vector<dbf::FieldSpec> kSolucFields = {
    {QStringLiteral("ASIG"), FieldKind::String, 10},     {QStringLiteral("PROF"), FieldKind::String, 10},
    {QStringLiteral("CODGRUPO"), FieldKind::String, 10}, {QStringLiteral("TURNO"), FieldKind::String, 1},
    {QStringLiteral("NIVEL"), FieldKind::String, 5},     {QStringLiteral("CURSO"), FieldKind::String, 3},
    {QStringLiteral("GRUPO"), FieldKind::String, 2},     {QStringLiteral("AULA"), FieldKind::String, 10},
    {QStringLiteral("TAREA"), FieldKind::String, 10},    {QStringLiteral("DIA"), FieldKind::Float, 0},
    {QStringLiteral("HORA"), FieldKind::Float, 0},       {QStringLiteral("SESIONES"), FieldKind::Float, 0},
    {QStringLiteral("MARCO"), FieldKind::String, 1},
};

struct Period {
    int day = 0; // DIASHORAST.DIA, from 1
    int hour = 0; // DIASHORAST.HORA
    int start = -1;
    int end = -1;
    QString frame;
    QString key; // frame, day and hour: the same slot when times are unknown
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

std::vector<Period> readPeriods(const WorkDir& dir)
{
    auto t = openExisting(dir, "DIASHORAST");
    const int dia = t->fieldIndex(QStringLiteral("DIA")), hora = t->fieldIndex(QStringLiteral("HORA"));
    const int desde = t->fieldIndex(QStringLiteral("HORADESDE")), hasta = t->fieldIndex(QStringLiteral("HORAHASTA"));
    const int marco = t->fieldIndex(QStringLiteral("MARCO"));
    std::vector<Period> periods;
    for (t->first(); !t->eof(); t->next()) {
        Period p;
        p.day = int(t->whole(dia));
        p.hour = int(t->whole(hora));
        p.start = minutes(t->text(desde));
        p.end = minutes(t->text(hasta));
        p.frame = t->text(marco);
        p.key = p.frame + u'/' + QString::number(p.day) + u'/' + QString::number(p.hour);
        periods.push_back(p);
    }
    return periods;
}

bool overlap(const Period& a, const Period& b)
{
    if (a.key == b.key)
        return true;
    if (a.day != b.day || a.start < 0 || b.start < 0 || a.end <= a.start || b.end <= b.start)
        return false;
    return a.start < b.end && b.start < a.end;
}
} // namespace

StandinReport runVelmoraStandin(const WorkDir& dir)
{
    StandinReport report;
    const std::vector<Period> periods = readPeriods(dir);
    const int count = int(periods.size());

    // For each period, the periods at the same time (itself included).
    std::vector<std::vector<int>> sameTime(static_cast<size_t>(count));
    for (int p = 0; p < count; ++p)
        for (int q = 0; q < count; ++q)
            if (overlap(periods[size_t(p)], periods[size_t(q)]))
                sameTime[size_t(p)].push_back(q);

    // Per frame, its periods ordered by hour, then day: early hours of every day fill first.
    QHash<QString, std::vector<int>> byFrame;
    for (int p = 0; p < count; ++p)
        byFrame[periods[size_t(p)].frame].push_back(p);
    for (auto& list : byFrame)
        std::stable_sort(list.begin(), list.end(), [&](int a, int b) {
            return std::pair(periods[size_t(a)].hour, periods[size_t(a)].day)
                < std::pair(periods[size_t(b)].hour, periods[size_t(b)].day);
        });

    QHash<QString, QString> frameOfGroup;
    {
        auto groups = openExisting(dir, "GRUPOST");
        const int abrev = groups->fieldIndex(QStringLiteral("ABREV")),
                  marco = groups->fieldIndex(QStringLiteral("MARCO"));
        for (groups->first(); !groups->eof(); groups->next())
            frameOfGroup.insert(groups->text(abrev), groups->text(marco));
    }
    QStringList rooms;
    {
        auto aulat = openExisting(dir, "AULAT");
        const int abrev = aulat->fieldIndex(QStringLiteral("ABREV")),
                  generic = aulat->fieldIndex(QStringLiteral("ES_GENERICA"));
        for (aulat->first(); !aulat->eof(); aulat->next())
            if (aulat->text(generic) == u"N")
                rooms << aulat->text(abrev);
    }

    dir.removeTableFiles(QStringLiteral("SOLUC"));
    DbfTable::create(dir.tablePath(QStringLiteral("SOLUC")), kSolucFields);
    DbfTable soluc(dir.tablePath(QStringLiteral("SOLUC")), DbfTable::Access::Exclusive);

    auto lessons = openExisting(dir, "ASIGT");
    const auto field = [&](const char* name) { return lessons->fieldIndex(QString::fromLatin1(name)); };
    const int casig = field("CASIG"), cprof = field("CPROF"), cgrup = field("CGRUP"), nivel = field("NIVEL");
    const int curso = field("CURSO"), grupo = field("GRUPO"), horas = field("HORAS"), ctarea = field("CTAREA");

    QHash<QString, Busy> teacherBusy, groupBusy;
    const auto busyOf = [count](QHash<QString, Busy>& all, const QString& key) -> Busy& {
        auto it = all.find(key);
        if (it == all.end())
            it = all.insert(key, Busy(size_t(count)));
        return *it;
    };
    std::vector<Busy> roomBusy(size_t(rooms.size()), Busy(size_t(count)));
    std::vector<int> firstMaybeFreeRoom(size_t(count), 0);
    const auto freeAt = [&](const Busy* busy, int p) {
        if (!busy)
            return true;
        for (int q : sameTime[size_t(p)])
            if (busy->has(q))
                return false;
        return true;
    };
    const auto takeRoom = [&](int p) -> int {
        int& r = firstMaybeFreeRoom[size_t(p)];
        // Rooms before r are taken at p for good: rooms only ever become busier.
        for (; r < rooms.size(); ++r)
            if (freeAt(&roomBusy[size_t(r)], p))
                return r;
        return -1;
    };

    for (lessons->first(); !lessons->eof(); lessons->next()) {
        ++report.lessons;
        const QString teacher = lessons->text(cprof);
        const QString group = lessons->text(cgrup);
        const QString frame = frameOfGroup.value(group);
        static const std::vector<int> none;
        const auto frameFound = byFrame.constFind(frame);
        const std::vector<int>& candidates = group.isEmpty() || frameFound == byFrame.cend() ? none : *frameFound;
        Busy* tBusy = teacher.isEmpty() ? nullptr : &busyOf(teacherBusy, teacher);
        Busy* gBusy = &busyOf(groupBusy, group);
        const qint64 hours = std::max<qint64>(0, lessons->whole(horas));
        report.hours += hours;
        QList<int> daysUsed;
        for (qint64 h = 0; h < hours; ++h) {
            int chosen = -1;
            // A day this lesson has not used yet, if there is one; then any day.
            for (int pass = 0; pass < 2 && chosen < 0; ++pass)
                for (int p : candidates)
                    if ((pass == 1 || !daysUsed.contains(periods[size_t(p)].day)) && freeAt(tBusy, p)
                        && freeAt(gBusy, p)) {
                        chosen = p;
                        break;
                    }

            soluc.append();
            soluc.setText(ASIG, lessons->text(casig));
            soluc.setText(PROF, teacher);
            soluc.setText(CODGRUPO, group);
            soluc.setText(NIVEL, lessons->text(nivel));
            soluc.setText(CURSO, lessons->text(curso));
            soluc.setText(GRUPO, lessons->text(grupo));
            soluc.setText(TAREA, lessons->text(ctarea));
            soluc.setText(MARCO, frame);
            soluc.setFloat(SESIONES, 1);
            if (chosen < 0) {
                soluc.setFloat(DIA, 0);
                soluc.setFloat(HORA, 0);
                ++report.unplaced;
            } else {
                const Period& period = periods[size_t(chosen)];
                soluc.setFloat(DIA, period.day);
                soluc.setFloat(HORA, period.hour);
                if (tBusy)
                    tBusy->take(chosen);
                gBusy->take(chosen);
                daysUsed << period.day;
                const int room = takeRoom(chosen);
                if (room >= 0) {
                    roomBusy[size_t(room)].take(chosen);
                    soluc.setText(AULA, rooms.at(room));
                } else {
                    ++report.withoutRoom;
                }
                ++report.placed;
            }
            soluc.post();
        }
    }
    soluc.close();
    return report;
}

} // namespace quintaro
