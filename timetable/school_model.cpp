#include "timetable/school_model.h"

#include "platform/text.h"
#include "tables/document_paths.h"
#include "tables/option_groups.h"
#include "tables/period_kinds.h"
#include "tables/school_tables.h"

#include <algorithm>

namespace quintaro::timetable {

namespace {
QString trimmedText(const XmlNode& node) { return node.isNull() ? QString() : node.text().trimmed(); }

// An element's identifier: its attribute id, else its first attribute.
QString identifierOf(const XmlNode& node)
{
    if (const auto id = node.attribute("id"))
        return id->trimmed();
    return node.attributeValue(0).value_or(QString()).trimmed();
}

// The texts of every `name` child of `node`, trimmed, the empty ones left out.
QStringList childTexts(const XmlNode& node, const char* name)
{
    QStringList texts;
    for (const XmlNode& child : node.children(name))
        if (const QString t = trimmedText(child); !t.isEmpty() && !texts.contains(t))
            texts << t;
    return texts;
}

QString placeKey(const QString& frame, int day, int index)
{
    return frame + u'/' + QString::number(day) + u'/' + QString::number(index);
}
} // namespace

QString when(const Slot& s)
{
    return QStringLiteral("%1, hora %2%3")
        .arg(dayName(s.day + 1))
        .arg(s.index)
        .arg(s.frame.isEmpty() ? QString() : QStringLiteral(" (marco %1)").arg(s.frame));
}
QString teacherWho(const QString& t) { return QStringLiteral("el profesor %1").arg(t); }
QString groupWho(const QString& g) { return QStringLiteral("el grupo %1").arg(g); }
QString roomWho(const QString& r) { return QStringLiteral("el aula %1").arg(r); }


QString SchoolModel::teacherFullName(const QString& teacher) const
{
    const QString full = fullName.value(teacher);
    return full.isEmpty() ? teacher : full;
}

QString SchoolModel::teacherLabel(const QString& teacher) const
{
    const QString full = fullName.value(teacher);
    return full.isEmpty() ? teacher : QStringLiteral("%1 (%2)").arg(full, teacher);
}

SchoolModel readSchoolModel(const XmlDocument& doc)
{
    SchoolModel m;
    for (const XmlNode& s : doc.select(QString::fromLatin1(paths::kSesiones))) {
        Lesson lesson;
        lesson.subject = trimmedText(s.firstChild("materia"));
        lesson.group = trimmedText(s.firstChild("grupo"));
        lesson.groups = childTexts(s, "grupo");
        lesson.teachers = childTexts(s, "profesor");
        lesson.task = !trimmedText(s.firstChild("tarea")).isEmpty();
        const QString hours = trimmedText(
            s.firstChild("distribucionSemanal").firstChild("distribucionVariable").firstChild("numSesiones"));
        lesson.hours = hours.isEmpty() ? 1 : text::toInt(hours);
        const QString id = identifierOf(s);
        if (!m.lessons.contains(id))
            m.lessonOrder << id;
        m.lessons.insert(id, lesson);
    }
    for (const XmlNode& p : doc.select(QString::fromLatin1(paths::kProfesores))) {
        const QString name = trimmedText(p.firstChild("nombre"));
        if (!m.fullName.contains(name)) {
            m.fullName.insert(name, trimmedText(p.firstChild("nombreCompleto")));
            m.teacherOrder << name;
        }
    }
    for (const XmlNode& g : doc.select(QString::fromLatin1(paths::kGrupos))) {
        const QString name = trimmedText(g.firstChild("nombre"));
        m.frameOfGroup.insert(name, g.attribute("submarco").value_or(QString()).trimmed());
        m.groupOrder << name;
    }
    for (const XmlNode& a : doc.select(QString::fromLatin1(paths::kAulas)))
        m.roomOrder << trimmedText(a.firstChild("nombre"));
    for (const XmlNode& frame : doc.select(QString::fromLatin1(paths::kMarcos))) {
        const QString id = identifierOf(frame);
        for (const XmlNode& t : frame.children("tramo")) {
            const QString submarco = trimmedText(t.firstChild("submarco"));
            const QString owner = submarco.isEmpty() ? id : submarco;
            const auto day = text::parseInt(trimmedText(t.firstChild("dia")));
            const auto index = text::parseInt(trimmedText(t.firstChild("indice")));
            if (!day || !index)
                continue;
            m.days = std::max(m.days, std::min(*day + 1, 7));
            if (!m.frameOrder.contains(owner))
                m.frameOrder << owner;
            const QString kind = trimmedText(t.firstChild("Tipo"));
            const QString from = trimmedText(t.firstChild("horaEntrada")).left(5);
            const QString to = trimmedText(t.firstChild("horaSalida")).left(5);
            m.clockOf.insert(placeKey(owner, *day, *index), {tables::minutesOf(from), tables::minutesOf(to)});
            if (tables::PeriodKinds().isBreak(kind))
                m.breakOf.insert(placeKey(owner, *day, *index), kind);
            const PeriodRow row{owner, *index, from, to, tables::PeriodKinds().isTeaching(kind), kind};
            auto& rows = m.rowsOfFrame[owner];
            if (!rows.contains(*index) || rows.value(*index).first > *day)
                rows.insert(*index, {*day, row});
        }
    }
    std::vector<tables::GroupRow> named;
    for (const QString& g : m.groupOrder)
        named.push_back({g, {}, {}, {}, g, {}});
    m.wholeOfOption = tables::wholeGroupOfOption(named);
    for (const QString& g : m.groupOrder)
        if (m.wholeOfOption.contains(g))
            m.optionsOf[m.wholeOfOption.value(g)] << g;
    return m;
}

std::vector<Slot> readSlots(const XmlNode& section, SchoolModel& model, SlotClashes& clashes, QStringList& inBreaks)
{
    std::vector<Slot> slots;
    for (const XmlNode& t : section.children("tramo")) {
        const XmlNode aula = t.firstChild("aula");
        Slot s;
        s.frame = t.attribute("marco").value_or(QString()).trimmed();
        s.day = text::parseInt(t.attribute("dia").value_or(QString()).trimmed()).value_or(-1);
        s.index = text::parseInt(t.attribute("indice").value_or(QString()).trimmed()).value_or(-1);
        s.lesson = trimmedText(aula.firstChild("sesion"));
        s.teacher = trimmedText(aula.firstChild("profesor"));
        if (const auto id = aula.attribute("id")) {
            s.room = id->trimmed();
            s.namedRoom = true;
        } else {
            s.room = aula.attribute("anonima").value_or(QString()).trimmed();
        }
        if (s.day < 0 || s.index < 0)
            continue;
        const Lesson lesson = model.lessons.value(s.lesson);
        ++model.lessons[s.lesson].placed;
        s.teachers = QStringList{s.teacher} + lesson.teachers.mid(1);
        s.teachers.removeAll(QString());
        s.teachers.removeDuplicates();
        s.groups = lesson.groups;
        const QString what = QStringLiteral("sesión ") + s.lesson;
        const QString place = placeKey(s.frame, s.day, s.index);
        const auto [from, to] = model.clockOf.value(place, {-1, -1});
        const ClockSlot at{s.day, from, to, when(s)};
        for (const QString& teacher : s.teachers)
            clashes.place(teacherWho(teacher), teacher, at, what);
        // An option's hour is its own group's; a whole group's hour is every option's too.
        for (const QString& g : s.groups) {
            clashes.place(groupWho(g), g, at, what);
            for (const QString& option : model.optionsOf.value(g))
                clashes.place(groupWho(option), option, at, what);
        }
        if (s.namedRoom)
            clashes.place(roomWho(s.room), s.room, at, what);
        if (!lesson.task)
            if (const QString kind = model.breakOf.value(place); !kind.isEmpty())
                inBreaks << QStringLiteral("La %1 (%2) está en un tramo que no es lectivo («%3»): el %4.")
                                .arg(what, lesson.subject, kind, when(s));
        slots.push_back(s);
    }
    return slots;
}

} // namespace quintaro::timetable
