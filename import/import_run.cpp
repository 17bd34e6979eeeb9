#include "import/import_run.h"

#include "import/lesson_slots.h"
#include "import/schedule_section.h"
#include "platform/error.h"
#include "platform/text.h"

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
        throw RunError(QStringLiteral("El documento %1 no tiene elemento raíz").arg(path));
    if (rootName != u"datosGHC")
        throw RunError(
            QStringLiteral("El documento %1 no es un documento de intercambio de Escolaria: su elemento raíz es "
                           "%2 y debería ser datosGHC")
                .arg(path, rootName));
}

namespace {
// The NOMBRE of the first generic room (ES_GENERICA "S") in stored order, or empty.
QString genericRoomName(DbfTable& rooms)
{
    const int generic = rooms.fieldIndex(QStringLiteral("ES_GENERICA"));
    const int name = rooms.fieldIndex(QStringLiteral("NOMBRE"));
    for (rooms.first(); !rooms.eof(); rooms.next())
        if (rooms.text(generic) == u"S")
            return rooms.text(name);
    return {};
}

// One more slot of the pair "ASIG/CODGRUPO".
void notePair(QMap<QString, qint64>& pairs, const QString& subject, const QString& group)
{
    ++pairs[subject + u'/' + group];
}
} // namespace

void ImportarSolucion(const QString& filenameXML, ImportTables tables, std::optional<XmlDocument>& xmlDoc,
                      ImportReport& report, const std::function<void()>& tablesRead)
{
    DbfTable& soluc = tables.soluc;
    DbfTable& rooms = tables.rooms;
    DbfTable& periods = tables.periods;

    const QString genericName = genericRoomName(rooms);

    // Every field is looked up before the first row, so a SOLUC of another layout is refused whole.
    const int dia = soluc.fieldIndex(QStringLiteral("DIA"));
    const int marco = soluc.fieldIndex(QStringLiteral("MARCO"));
    const int hora = soluc.fieldIndex(QStringLiteral("HORA"));
    const int aula = soluc.fieldIndex(QStringLiteral("AULA"));
    const int asig = soluc.fieldIndex(QStringLiteral("ASIG"));
    const int codgrupo = soluc.fieldIndex(QStringLiteral("CODGRUPO"));
    const int prof = soluc.fieldIndex(QStringLiteral("PROF"));
    const int marcoxml = periods.fieldIndex(QStringLiteral("MARCOXML"));
    const int esGenerica = rooms.fieldIndex(QStringLiteral("ES_GENERICA"));
    const int roomName = rooms.fieldIndex(QStringLiteral("NOMBRE"));
    const int periodByFrame = periods.lookupOn(QStringLiteral("MARCO"));
    const int roomByCode = rooms.lookupOn(QStringLiteral("ABREV"));
    LessonSlots lessons(tables.lessons);

    qint64 slots = 0;
    ScheduleSection section;
    for (soluc.first(); !soluc.eof(); soluc.next()) {
        const qint64 day = soluc.whole(dia);
        if (day == 0)
            continue;
        const QString frame = periods.locate(periodByFrame, {soluc.text(marco)}) ? periods.text(marcoxml) : QString();

        ScheduleSection::Room room = ScheduleSection::Room::Unnamed;
        QString roomText;
        const QString roomCode = soluc.text(aula);
        if (text::trimmed(roomCode).isEmpty()) {
            room = ScheduleSection::Room::Generic;
            roomText = genericName;
        } else if (rooms.locate(roomByCode, {roomCode}) && rooms.text(esGenerica) == u"N") {
            room = ScheduleSection::Room::Named;
            roomText = rooms.text(roomName);
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
        section.addSlot(int(day - 1), int(soluc.whole(hora)), frame, room, roomText, lesson.sesion, teacherCode);
        ++slots;
    }

    const QByteArray markup = section.finish();
    if (tablesRead)
        tablesRead();

    // The tables' rows are gone from memory (when the caller closed them) before the tree comes.
    xmlDoc.reset();
    xmlDoc.emplace(XmlDocument::load(filenameXML));
    XmlDocument& doc = *xmlDoc;
    requireInterchangeRoot(doc.root().name(), filenameXML);
    // A document that already holds a horario (a result document chosen again) keeps that
    // section as it is; the time slots go into the one appended now.
    report.hadSchedule = !doc.root().firstChild("horario").isNull();
    report.resultDocument = resultDocumentPath(filenameXML);
    doc.saveAppending(report.resultDocument, markup);
    report.timeSlots = slots;
}

} // namespace quintaro
