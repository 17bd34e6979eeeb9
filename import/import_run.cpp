#include "import/import_run.h"

#include "import/lesson_slots.h"
#include "import/slot_clashes.h"
#include "tables/document_paths.h"
#include "tables/school_tables.h"
#include "import/schedule_section.h"
#include "platform/error.h"
#include "platform/text.h"
#include "tables/soluc_schema.h"
#include "tables/table_schemas.h"

#include <QDir>
#include <QFileInfo>

namespace quintaro {

QString resultDocumentPath(const QString& chosen)
{
    const QFileInfo info(chosen);
    return info.dir().filePath(QStringLiteral("ResultadoZentar") + info.fileName());
}

void requireInterchangeRoot(const QString& rootName, const QString& path)
{
    if (rootName.isEmpty())
        throw RunError(QStringLiteral("El documento %1 no tiene elemento raíz").arg(QDir::toNativeSeparators(path)));
    if (rootName != QLatin1StringView(kInterchangeRoot))
        throw RunError(
            QStringLiteral("El documento %1 no es un documento de intercambio de Escolaria: su elemento raíz es "
                           "%2 y debería ser %3")
                .arg(QDir::toNativeSeparators(path), rootName, QLatin1StringView(kInterchangeRoot)));
}

namespace {
// The NOMBRE of the first generic room (ES_GENERICA "S") in stored order, or empty.
QString genericRoomName(DbfTable& rooms, int esGenerica, int name)
{
    for (rooms.first(); !rooms.eof(); rooms.next())
        if (rooms.text(esGenerica) == u"S")
            return rooms.text(name);
    return {};
}

// One more slot of the pair "ASIG/CODGRUPO".
void notePair(QMap<QString, qint64>& pairs, const QString& subject, const QString& group)
{
    ++pairs[subject + u'/' + group];
}

// A declared column of a table written elsewhere (Velmora's SOLUC, or an export's table), found in
// the file by its name whatever its width and place.
int columnOf(const DbfTable& table, const dbf::TableSchema& schema, dbf::Column column)
{
    return table.fieldIndex(schema.nameOf(column));
}
} // namespace

ImportedSolution ImportarSolucion(ImportTables tables, const OriginalNames& names, const tables::PeriodKinds& kinds)
{
    DbfTable& soluc = tables.soluc;
    DbfTable& rooms = tables.rooms;
    DbfTable& periods = tables.periods;
    static const tables::Soluc S;
    static const tables::Aulat A;
    static const tables::Diashorast D;

    // Every field is looked up before the first row, so a SOLUC of another layout is refused whole.
    const int dia = columnOf(soluc, S, S.DIA);
    const int marco = columnOf(soluc, S, S.MARCO);
    const int hora = columnOf(soluc, S, S.HORA);
    const int aula = columnOf(soluc, S, S.AULA);
    const int asig = columnOf(soluc, S, S.ASIG);
    const int codgrupo = columnOf(soluc, S, S.CODGRUPO);
    const int prof = columnOf(soluc, S, S.PROF);
    const int marcoxml = columnOf(periods, D, D.MARCOXML);
    const int periodFrame = columnOf(periods, D, D.MARCO), periodDay = columnOf(periods, D, D.DIA),
              periodHour = columnOf(periods, D, D.HORA), periodFrom = columnOf(periods, D, D.HORADESDE),
              periodTo = columnOf(periods, D, D.HORAHASTA), periodKind = columnOf(periods, D, D.ES_TIPO);
    const int esGenerica = columnOf(rooms, A, A.ES_GENERICA);
    const int roomName = columnOf(rooms, A, A.NOMBRE);
    const int periodByFrame = periods.lookupOn(D.nameOf(D.MARCO));
    const int roomByCode = rooms.lookupOn(A.nameOf(A.ABREV));
    const QString genericName = genericRoomName(rooms, esGenerica, roomName);
    LessonSlots lessons(tables.lessons);
    // Each period's clock time, by frame, day and hour: periods of two frames that overlap in time
    // are the same time for the clash check.
    QHash<QString, std::pair<int, int>> clockOf;
    QHash<QString, QString> breakOf; // the Tipo of each period that is no teaching time
    for (periods.first(); !periods.eof(); periods.next()) {
        const QString key = periods.text(periodFrame) + u'/' + text::trimmed(periods.text(periodDay)) + u'/'
                          + text::trimmed(periods.text(periodHour));
        clockOf.insert(key, {tables::minutesOf(periods.text(periodFrom)), tables::minutesOf(periods.text(periodTo))});
        if (const QString kind = text::trimmed(periods.text(periodKind)); kinds.isBreak(kind))
            breakOf.insert(key, kind);
    }
    SlotClashes clashes;
    clashes.reserve(size_t(soluc.storedRowCount()) * 3); // a teacher, a group and a room per slot
    // Who the check names (teachers as the document wrote them), and each period as it is told:
    // numbered once each, not once per slot.
    QHash<QString, int> teacherNumbers, groupNumbers, roomNumbers;
    const auto placeWho = [&clashes](QHash<QString, int>& numbers, const QString& code, const auto& who) {
        if (text::trimmed(code).isEmpty())
            return -1; // nobody
        auto it = numbers.find(code);
        if (it == numbers.end())
            it = numbers.insert(code, clashes.whoNumber(who(code)));
        return *it;
    };
    const auto teacherWho = [&](const QString& code) {
        return placeWho(teacherNumbers, code, [&](const QString& c) { return QStringLiteral("el profesor %1").arg(names.teacher(c)); });
    };
    const auto groupWho = [&](const QString& code) {
        return placeWho(groupNumbers, code, [](const QString& c) { return QStringLiteral("el grupo %1").arg(c); });
    };
    const auto roomWho = [&](const QString& code) {
        return placeWho(roomNumbers, code, [](const QString& c) { return QStringLiteral("el aula %1").arg(c); });
    };
    struct Period {
        ClockSlot at;
        int number;
    };
    QHash<QString, Period> slotOf; // by period key

    ImportedSolution result;
    ImportReport& report = result.report;
    ScheduleSection section(soluc.storedRowCount());
    for (soluc.first(); !soluc.eof(); soluc.next()) {
        const qint64 day = soluc.whole(dia);
        if (day == 0) {
            ++report.unplacedRows;
            continue;
        }
        const QString frame = periods.locate(periodByFrame, {soluc.text(marco)}) ? periods.text(marcoxml) : QString();

        ScheduleSection::Room room = ScheduleSection::Room::Unnamed;
        QString roomText;
        const QString roomCode = soluc.text(aula);
        if (text::trimmed(roomCode).isEmpty()) {
            room = ScheduleSection::Room::Generic;
            roomText = genericName;
        } else if (rooms.locate(roomByCode, {roomCode}) && rooms.text(esGenerica) == u"N") {
            room = ScheduleSection::Room::Named;
            roomText = names.roomOfCode.value(roomCode, rooms.text(roomName));
        }

        const QString subject = soluc.text(asig), group = soluc.text(codgrupo), teacherCode = soluc.text(prof);
        const LessonSlots::Result lesson = lessons.take(subject, group, teacherCode);
        if (lesson.sesion.isEmpty()) {
            ++report.slotsWithoutLesson;
            notePair(report.pairsWithoutLesson, subject, group);
        } else if (lesson.pastHours) {
            ++report.slotsPastHours;
            notePair(report.pairsPastHours, subject, group);
        }
        const qint64 period = soluc.whole(hora);
        section.addSlot(int(day - 1), int(period), frame, room, roomText, lesson.sesion,
                        names.teacherOfCode.value(teacherCode, teacherCode));
        ++report.timeSlots;
        const QString periodKey = soluc.text(marco) + u'/' + QString::number(day) + u'/' + QString::number(period);
        auto slot = slotOf.find(periodKey);
        if (slot == slotOf.end()) {
            const auto [from, to] = clockOf.value(periodKey, {-1, -1});
            const QString told = QStringLiteral("%1, hora %2%3")
                                     .arg(dayName(day))
                                     .arg(period)
                                     .arg(frame.isEmpty() ? QString() : QStringLiteral(" (marco %1)").arg(frame));
            slot = slotOf.insert(periodKey, Period{ClockSlot{day, from, to, told}, clashes.whenNumber(told)});
        }
        const ClockSlot& when = slot->at;
        const QString what = lesson.sesion.isEmpty() ? subject + u'/' + group : QStringLiteral("sesión ") + lesson.sesion;
        const auto place = [&](int who) {
            if (who >= 0)
                clashes.place(who, slot->number, when, what);
        };
        // A co-taught lesson's other teachers and a lesson's other groups are there too.
        static const SharedLesson kNotShared;
        const auto found = names.sharedLessons.constFind(lesson.sesion.toLongLong());
        const SharedLesson& shared = found == names.sharedLessons.cend() ? kNotShared : *found;
        place(teacherWho(teacherCode));
        for (const QString& t : shared.teachers)
            place(teacherWho(t));
        place(groupWho(group));
        for (const QString& g : shared.groups)
            place(groupWho(g));
        if (room == ScheduleSection::Room::Named)
            place(roomWho(roomText));
        if (const auto kind = breakOf.constFind(periodKey); kind != breakOf.cend() && !lesson.task)
            report.inBreaks << QStringLiteral("%1 está en un tramo que no es lectivo («%2»): el %3")
                                   .arg(what, *kind, when.when);
    }
    result.section = section.finish();
    for (const LessonSlots::Short& s : lessons.shortOfHours())
        report.fewerHours.push_back({s.sesion, s.hours, s.taken});
    report.clashes = clashes.found();
    return result;
}

} // namespace quintaro
