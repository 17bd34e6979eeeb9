#include "fet/fet_rules.h"

#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace quintaro::fet {

namespace {
QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// What a FET file names: its teachers, students (years, groups, subgroups), subjects, rooms and
// activity tags, its activities' lessons, and the XML of its rooms and buildings.
struct Names {
    QSet<QString> teachers, students, subjects, rooms, tags;
    QHash<qint64, QString> lessonOfActivity; // Id -> "sesión N#k": the k-th hour of lesson N
    QHash<QString, qint64> activityOfLesson; // and back
    QList<std::pair<QString, QByteArray>> roomXml, buildingXml; // name, element
    QByteArray timeConstraints, spaceConstraints; // the constraint elements of each list
};

// The element the reader stands on, with everything inside it, written out again.
QByteArray copyElement(QXmlStreamReader& reader)
{
    QByteArray out;
    QXmlStreamWriter writer(&out);
    writer.setAutoFormatting(true);
    int depth = 0;
    do {
        writer.writeCurrentToken(reader);
        if (reader.isStartElement())
            ++depth;
        else if (reader.isEndElement())
            --depth;
        if (depth > 0)
            reader.readNext();
    } while (depth > 0 && !reader.atEnd());
    return out;
}

QString childText(const QByteArray& element, const char* child)
{
    QXmlStreamReader r(element);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1StringView(child))
            return r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
    return {};
}

Names readNames(const QByteArray& xml, const QString& where)
{
    Names n;
    QXmlStreamReader r(xml);
    QStringList path;
    QHash<QString, int> hoursSeen;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isEndElement()) {
            path.removeLast();
            continue;
        }
        if (!r.isStartElement())
            continue;
        const QString name = r.name().toString();
        const QString parent = path.isEmpty() ? QString() : path.last();
        if (parent == u"Time_Constraints_List" || parent == u"Space_Constraints_List") {
            (parent == u"Time_Constraints_List" ? n.timeConstraints : n.spaceConstraints) += copyElement(r);
            continue;
        }
        if ((name == u"Room" && parent == u"Rooms_List") || (name == u"Building" && parent == u"Buildings_List")) {
            const QByteArray element = copyElement(r);
            (name == u"Room" ? n.roomXml : n.buildingXml).append({childText(element, "Name"), element});
            if (name == u"Room")
                n.rooms.insert(childText(element, "Name"));
            continue;
        }
        if (name == u"Activity" && parent == u"Activities_List") {
            const QByteArray element = copyElement(r);
            const qint64 id = childText(element, "Id").toLongLong();
            const QString lesson = childText(element, "Comments");
            const QString key = lesson + u'#' + QString::number(hoursSeen[lesson]++);
            n.lessonOfActivity.insert(id, key);
            n.activityOfLesson.insert(key, id);
            continue;
        }
        path << name;
        if (name == u"Name") {
            const QString text = r.readElementText().trimmed();
            path.removeLast();
            if (parent == u"Teacher")
                n.teachers.insert(text);
            else if (parent == u"Subject")
                n.subjects.insert(text);
            else if (parent == u"Year" || parent == u"Group" || parent == u"Subgroup")
                n.students.insert(text);
            else if (parent == u"Activity_Tag")
                n.tags.insert(text);
        }
    }
    if (r.hasError())
        throw RunError(QStringLiteral("%1 no se puede leer como archivo de FET (línea %2: %3)")
                           .arg(native(where))
                           .arg(r.lineNumber())
                           .arg(r.errorString()));
    return n;
}

enum class Refers { Nothing, Activity, Teacher, Students, Subject, Room, Tag };

Refers refersTo(QStringView element)
{
    if (element == u"Activity_Id" || element.endsWith(u"_Activity_Id") || element.startsWith(u"Activity_Id_"))
        return Refers::Activity;
    if (element == u"Teacher" || element == u"Teacher_Name")
        return Refers::Teacher;
    if (element == u"Students" || element == u"Students_Name")
        return Refers::Students;
    if (element == u"Subject" || element == u"Subject_Name")
        return Refers::Subject;
    if (element == u"Room" || element == u"Room_Name" || element == u"Preferred_Room" || element == u"Real_Room")
        return Refers::Room;
    if (element == u"Activity_Tag" || element == u"Activity_Tag_Name")
        return Refers::Tag;
    return Refers::Nothing;
}

// One constraint of the old file in the new one: its activities renumbered, every name checked.
// Empty, with `why`, when something it names is no longer there.
QByteArray carried(const QByteArray& constraint, const Names& before, const Names& now, QString* why)
{
    QByteArray out;
    QXmlStreamReader r(constraint);
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement() || refersTo(r.name()) == Refers::Nothing) {
            if (!r.isStartDocument() && !r.isEndDocument())
                w.writeCurrentToken(r);
            continue;
        }
        const QString element = r.name().toString();
        const Refers refers = refersTo(element);
        QString value = r.readElementText().trimmed();
        const auto missing = [&](const char* what) {
            *why = QStringLiteral("%1 «%2» ya no está").arg(QString::fromUtf8(what), value);
            return QByteArray();
        };
        switch (refers) {
        case Refers::Activity: {
            const QString lesson = before.lessonOfActivity.value(value.toLongLong());
            if (lesson.isEmpty()) {
                *why = QStringLiteral("la actividad %1 no está en el archivo anterior").arg(value);
                return {};
            }
            if (!now.activityOfLesson.contains(lesson)) {
                *why = QStringLiteral("la %1 (actividad %2) ya no está, o tiene menos horas")
                           .arg(lesson.section(u'#', 0, 0), value);
                return {};
            }
            value = QString::number(now.activityOfLesson.value(lesson));
            break;
        }
        case Refers::Teacher:
            if (!now.teachers.contains(value))
                return missing("el profesor");
            break;
        case Refers::Students:
            if (!now.students.contains(value))
                return missing("el grupo");
            break;
        case Refers::Subject:
            if (!now.subjects.contains(value))
                return missing("la materia");
            break;
        case Refers::Room:
            if (!now.rooms.contains(value))
                return missing("el aula");
            break;
        case Refers::Tag:
            if (!now.tags.contains(value))
                return missing("la etiqueta de actividad");
            break;
        case Refers::Nothing:
            break;
        }
        w.writeTextElement(element, value);
    }
    return out;
}

// The name of a constraint's element, for the list of those left out.
QString kindOf(const QByteArray& constraint)
{
    QXmlStreamReader r(constraint);
    return r.readNextStartElement() ? r.name().toString() : QString();
}

// Puts `fragment` at the end of the list `name` ("Rooms_List"), written empty ("<Rooms_List/>") or not.
void appendToList(QByteArray& xml, const QByteArray& name, const QByteArray& fragment)
{
    if (fragment.isEmpty())
        return;
    const QByteArray closing = "</" + name + '>', empty = '<' + name + "/>";
    if (const qsizetype at = xml.indexOf(closing); at >= 0)
        xml.insert(at, fragment);
    else if (const qsizetype at = xml.indexOf(empty); at >= 0)
        xml.replace(at, empty.size(), '<' + name + '>' + fragment + closing);
}

// Each element of a list of elements written one after the other.
QList<QByteArray> elementsOf(const QByteArray& list)
{
    QList<QByteArray> elements;
    QXmlStreamReader r(QByteArrayLiteral("<l>") + list + QByteArrayLiteral("</l>"));
    r.readNextStartElement();
    while (r.readNextStartElement())
        elements << copyElement(r);
    return elements;
}
} // namespace

RulesCarried carryRules(FetFile& file, const QString& previous)
{
    QFile in(previous);
    if (!in.open(QIODevice::ReadOnly))
        throw RunError(QStringLiteral("No se puede leer el archivo de FET con las reglas del centro %1").arg(native(previous)));
    const Names before = readNames(in.readAll(), previous);
    Names now = readNames(file.xml, QStringLiteral("el archivo nuevo"));

    RulesCarried result;
    // Rooms and buildings the school added in FET come along, so that its rules can name them.
    QByteArray rooms, buildings;
    QSet<QString> buildingsNow;
    for (const auto& [name, xml] : now.buildingXml)
        buildingsNow.insert(name);
    for (const auto& [name, xml] : before.buildingXml)
        if (!buildingsNow.contains(name))
            buildings += xml;
    for (const auto& [name, xml] : before.roomXml)
        if (!now.rooms.contains(name)) {
            rooms += xml;
            now.rooms.insert(name);
            ++result.rooms;
        }

    QByteArray time, space;
    for (const auto& [list, into] : {std::pair{&before.timeConstraints, &time}, std::pair{&before.spaceConstraints, &space}})
        for (const QByteArray& constraint : elementsOf(*list)) {
            if (childText(constraint, "Comments").startsWith(kOwnConstraintMark.trimmed()))
                continue; // written by Quintaro, and written again
            QString why;
            const QByteArray kept = carried(constraint, before, now, &why);
            if (kept.isEmpty()) {
                const QString comments = childText(constraint, "Comments");
                result.leftOut << QStringLiteral("%1%2: %3")
                                      .arg(kindOf(constraint),
                                           comments.isEmpty() ? QString() : QStringLiteral(" («%1»)").arg(comments), why);
                continue;
            }
            *into += kept;
            ++result.kept;
        }
    appendToList(file.xml, "Buildings_List", buildings);
    appendToList(file.xml, "Rooms_List", rooms);
    appendToList(file.xml, "Time_Constraints_List", time);
    appendToList(file.xml, "Space_Constraints_List", space);
    return result;
}

} // namespace quintaro::fet
