#include "timetable/timetable.h"

#include "import/import_run.h"
#include "import/slot_clashes.h"
#include "platform/error.h"
#include "platform/text.h"
#include "platform/xml_document.h"
#include "tables/option_groups.h"
#include "tables/document_paths.h"
#include "tables/period_kinds.h"
#include "tables/weekdays.h"
#include "timetable/quality.h"
#include "tables/school_tables.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <set>

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

struct Lesson {
    QString subject, group; // the first group
    QStringList groups, teachers; // every one the lesson names, as written
    bool task = false; // a guardia, a meeting: it may be in a break
    qint64 hours = 1;
    qint64 placed = 0;
};

// The texts of every `name` child of `node`, trimmed, the empty ones left out.
QStringList childTexts(const XmlNode& node, const char* name)
{
    QStringList texts;
    for (const XmlNode& child : node.children(name))
        if (const QString t = trimmedText(child); !t.isEmpty() && !texts.contains(t))
            texts << t;
    return texts;
}

struct Slot {
    QString frame;
    int day = 0, index = 0;
    QString lesson, teacher, room;
    bool namedRoom = false;
    QStringList teachers, groups; // the tramo's teacher first, then the lesson's others; its groups
};

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

} // namespace

Timetable readTimetable(const QString& path)
{
    const XmlDocument doc = XmlDocument::load(path);
    const QString shown = QDir::toNativeSeparators(path);
    requireInterchangeRoot(doc.root().name(), path); // the import's own check and words
    const XmlNodeList& sections = doc.select(QString::fromLatin1(paths::kHorario));
    if (sections.empty())
        throw RunError(QStringLiteral("%1 no tiene sección horario: abra el documento resultado "
                                      "(ResultadoZentar…), el que escribe la importación")
                           .arg(shown));

    // What the document says of its lessons, teachers, groups and frames.
    QHash<QString, Lesson> lessons;
    QStringList lessonOrder;
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
        if (!lessons.contains(id))
            lessonOrder << id;
        lessons.insert(id, lesson);
    }
    QHash<QString, QString> fullName;
    QStringList teacherOrder;
    for (const XmlNode& p : doc.select(QString::fromLatin1(paths::kProfesores))) {
        const QString name = trimmedText(p.firstChild("nombre"));
        if (!fullName.contains(name)) {
            fullName.insert(name, trimmedText(p.firstChild("nombreCompleto")));
            teacherOrder << name;
        }
    }
    QHash<QString, QString> frameOfGroup;
    QStringList groupOrder;
    for (const XmlNode& g : doc.select(QString::fromLatin1(paths::kGrupos))) {
        const QString name = trimmedText(g.firstChild("nombre"));
        frameOfGroup.insert(name, g.attribute("submarco").value_or(QString()).trimmed());
        groupOrder << name;
    }
    QStringList roomOrder;
    for (const XmlNode& a : doc.select(QString::fromLatin1(paths::kAulas)))
        roomOrder << trimmedText(a.firstChild("nombre"));
    // Each frame's period rows, by index, with the times of the earliest day that has them.
    QStringList frameOrder;
    QHash<QString, QMap<int, std::pair<int, PeriodRow>>> rowsOfFrame;
    QHash<QString, std::pair<int, int>> clockOf; // "frame/day/index" -> minutes from, to
    QHash<QString, QString> breakOf; // "frame/day/index" -> the Tipo of a period that is no teaching time
    int days = 5;
    for (const XmlNode& frame : doc.select(QString::fromLatin1(paths::kMarcos))) {
        const QString id = identifierOf(frame);
        for (const XmlNode& t : frame.children("tramo")) {
            const QString submarco = trimmedText(t.firstChild("submarco"));
            const QString owner = submarco.isEmpty() ? id : submarco;
            const auto day = text::parseInt(trimmedText(t.firstChild("dia")));
            const auto index = text::parseInt(trimmedText(t.firstChild("indice")));
            if (!day || !index)
                continue;
            days = std::max(days, std::min(*day + 1, 7));
            if (!frameOrder.contains(owner))
                frameOrder << owner;
            auto& rows = rowsOfFrame[owner];
            const QString kind = trimmedText(t.firstChild("Tipo"));
            clockOf.insert(owner + u'/' + QString::number(*day) + u'/' + QString::number(*index),
                           {tables::minutesOf(trimmedText(t.firstChild("horaEntrada")).left(5)),
                            tables::minutesOf(trimmedText(t.firstChild("horaSalida")).left(5))});
            if (tables::PeriodKinds().isBreak(kind))
                breakOf.insert(owner + u'/' + QString::number(*day) + u'/' + QString::number(*index), kind);
            const PeriodRow row{owner, *index, trimmedText(t.firstChild("horaEntrada")).left(5),
                                trimmedText(t.firstChild("horaSalida")).left(5),
                                tables::PeriodKinds().isTeaching(kind), kind};
            if (!rows.contains(*index) || rows.value(*index).first > *day)
                rows.insert(*index, {*day, row});
        }
    }

    // The option groups of each whole group (tables/option_groups.h), by name.
    QHash<QString, QStringList> optionsOf;
    QHash<QString, QString> wholeOfOption;
    {
        std::vector<tables::GroupRow> named;
        for (const QString& g : groupOrder)
            named.push_back({g, {}, {}, {}, g, {}});
        wholeOfOption = tables::wholeGroupOfOption(named);
        for (const QString& g : groupOrder)
            if (wholeOfOption.contains(g))
                optionsOf[wholeOfOption.value(g)] << g;
    }

    // The slots of the last horario section, and who is where.
    Timetable table;
    std::vector<Slot> slots;
    SlotClashes clashes;
    for (const XmlNode& t : sections.back().children("tramo")) {
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
        const Lesson lesson = lessons.value(s.lesson);
        ++lessons[s.lesson].placed;
        s.teachers = QStringList{s.teacher} + lesson.teachers.mid(1);
        s.teachers.removeAll(QString());
        s.teachers.removeDuplicates();
        s.groups = lesson.groups;
        const QString what = QStringLiteral("sesión ") + s.lesson;
        const auto [from, to] = clockOf.value(s.frame + u'/' + QString::number(s.day) + u'/' + QString::number(s.index), {-1, -1});
        const ClockSlot at{s.day, from, to, when(s)};
        for (const QString& t : s.teachers)
            clashes.place(teacherWho(t), t, at, what);
        // An option's hour is its own group's; a whole group's hour is every option's too.
        for (const QString& g : s.groups) {
            clashes.place(groupWho(g), g, at, what);
            for (const QString& option : optionsOf.value(g))
                clashes.place(groupWho(option), option, at, what);
        }
        if (s.namedRoom)
            clashes.place(roomWho(s.room), s.room, at, what);
        if (!lesson.task)
            if (const QString kind = breakOf.value(s.frame + u'/' + QString::number(s.day) + u'/' + QString::number(s.index));
                !kind.isEmpty())
                table.inBreaks << QStringLiteral("La %1 (%2) está en un tramo que no es lectivo («%3»): el %4.")
                                      .arg(what, lesson.subject, kind, when(s));
        slots.push_back(s);
    }

    table.document = QFileInfo(path).fileName();
    for (int d = 0; d < days; ++d)
        table.days << tables::weekdayName(d);
    table.clashes = clashes.found();
    QSet<QString> wrongHours;
    // Each lesson's problem, and each group's, by position in hoursProblems: a grid finds its own
    // without going through them all.
    QHash<QString, size_t> problemOfLesson;
    QHash<QString, std::vector<size_t>> problemsOfGroup;
    for (const QString& id : lessonOrder) {
        const Lesson& l = lessons.value(id);
        if (l.placed != l.hours && l.hours > 0) {
            problemOfLesson.insert(id, table.hoursProblems.size());
            problemsOfGroup[l.group].push_back(table.hoursProblems.size());
            table.hoursProblems.push_back({id, l.subject, l.group, l.hours, l.placed});
            wrongHours.insert(id);
        }
    }

    // One grid per owner that has slots, its rows those of the frames its slots (or its group) use.
    const auto makeGrid = [&](Grid::Kind kind, const QString& name, const QString& label,
                              const std::vector<const Slot*>& own, const QString& ownFrame) {
        Grid grid;
        grid.kind = kind;
        grid.name = name;
        grid.label = label;
        grid.title = (kind == Grid::Kind::Group ? QStringLiteral("Grupo ") : kind == Grid::Kind::Teacher ? QStringLiteral("Profesor ") : QStringLiteral("Aula ")) + label;
        QStringList frames;
        if (!ownFrame.isEmpty())
            frames << ownFrame;
        for (const Slot* s : own)
            if (!frames.contains(s->frame))
                frames << s->frame;
        std::sort(frames.begin(), frames.end(), [&](const QString& a, const QString& b) {
            return frameOrder.indexOf(a) < frameOrder.indexOf(b);
        });
        QHash<QString, int> rowOf;
        for (const QString& f : frames)
            for (const auto& [day, row] : rowsOfFrame.value(f)) {
                rowOf.insert(f + u'/' + QString::number(row.index), int(grid.rows.size()));
                grid.rows.push_back(row);
            }
        grid.cells.assign(grid.rows.size(), std::vector<std::vector<Entry>>(size_t(days)));
        const QString who = kind == Grid::Kind::Group ? groupWho(name) : kind == Grid::Kind::Teacher ? teacherWho(name) : roomWho(name);
        QSet<QString> toldClash;
        for (const Slot* s : own) {
            const int row = rowOf.value(s->frame + u'/' + QString::number(s->index), -1);
            if (row < 0 || s->day >= days)
                continue; // a period the document does not list
            const Lesson& l = lessons[s->lesson];
            Entry e;
            e.lesson = s->lesson;
            e.subject = l.subject;
            QStringList teachers;
            for (const QString& t : s->teachers)
                teachers << (fullName.value(t).isEmpty() ? t : fullName.value(t));
            const QString groups = s->groups.join(QStringLiteral(", "));
            e.other = kind == Grid::Kind::Group ? teachers.join(QStringLiteral(", "))
                    : kind == Grid::Kind::Teacher ? groups
                                                  : groups + QStringLiteral(" · ") + teachers.join(QStringLiteral(", "));
            // In a group's grid, an option's hour says whose it is.
            if (kind == Grid::Kind::Group && !s->groups.contains(name))
                e.subject = QStringLiteral("%1 (%2)").arg(l.subject, groups);
            // The group's own room says nothing a school needs on the wall.
            e.room = s->namedRoom && kind != Grid::Kind::Room ? s->room : QString();
            e.inBreak = !grid.rows[size_t(row)].teaching && !l.task;
            if (e.inBreak)
                grid.problems << QStringLiteral("Clase en un tramo que no es lectivo («%1») el %2.")
                                     .arg(grid.rows[size_t(row)].kind, when(*s));
            e.clash = clashes.clashes(who, when(*s));
            e.wrongHours = wrongHours.contains(s->lesson);
            grid.cells[size_t(row)][size_t(s->day)].push_back(e);
            if (e.clash && !toldClash.contains(when(*s))) {
                toldClash.insert(when(*s));
                grid.problems << QStringLiteral("En dos sitios a la vez el %1.").arg(when(*s));
            }
        }
        // The problems of its lessons (and, for a group, of the group's), in the lessons' order.
        std::set<size_t> itsProblems;
        if (kind == Grid::Kind::Group)
            for (size_t n : problemsOfGroup.value(name))
                itsProblems.insert(n);
        for (const Slot* s : own)
            if (const auto n = problemOfLesson.constFind(s->lesson); n != problemOfLesson.constEnd())
                itsProblems.insert(*n);
        for (size_t n : itsProblems) {
            const HoursProblem& h = table.hoursProblems[n];
            grid.problems << QStringLiteral("Sesión %1 (%2): %3 de %4 horas colocadas.")
                                 .arg(h.lesson, h.subject)
                                 .arg(h.placed)
                                 .arg(h.hours);
        }
        table.grids.push_back(std::move(grid));
    };

    QHash<QString, std::vector<const Slot*>> byGroup, byTeacher, byRoom;
    // Owners named by slots but not listed by the document come after the listed ones, in the
    // order the slots name them.
    QStringList extraGroups, extraTeachers, extraRooms;
    const QSet<QString> listedGroups(groupOrder.begin(), groupOrder.end()),
        listedTeachers(teacherOrder.begin(), teacherOrder.end()), listedRooms(roomOrder.begin(), roomOrder.end());
    const auto add = [](QHash<QString, std::vector<const Slot*>>& by, const QString& owner, const Slot& s,
                        const QSet<QString>& listed, QStringList& extra) {
        auto& own = by[owner];
        if (own.empty() && !listed.contains(owner))
            extra << owner;
        own.push_back(&s);
    };
    for (const Slot& s : slots) {
        for (const QString& group : s.groups) {
            add(byGroup, group, s, listedGroups, extraGroups);
            const QString whole = wholeOfOption.value(group);
            if (!whole.isEmpty() && !s.groups.contains(whole))
                add(byGroup, whole, s, listedGroups, extraGroups);
        }
        for (const QString& teacher : s.teachers)
            add(byTeacher, teacher, s, listedTeachers, extraTeachers);
        if (s.namedRoom && !s.room.isEmpty())
            add(byRoom, s.room, s, listedRooms, extraRooms);
    }
    for (const QString& g : groupOrder + extraGroups)
        if (byGroup.contains(g))
            makeGrid(Grid::Kind::Group, g, g, byGroup.value(g), frameOfGroup.value(g));
    for (const QString& t : teacherOrder + extraTeachers)
        if (byTeacher.contains(t))
            makeGrid(Grid::Kind::Teacher, t,
                     fullName.value(t).isEmpty() ? t : QStringLiteral("%1 (%2)").arg(fullName.value(t), t),
                     byTeacher.value(t), {});
    for (const QString& r : roomOrder + extraRooms)
        if (byRoom.contains(r))
            makeGrid(Grid::Kind::Room, r, r, byRoom.value(r), {});
    table.quality = measureQuality(table);
    return table;
}

void keepOnly(Timetable& timetable, const GridFilter& filter)
{
    if (filter.name.isEmpty())
        return;
    std::vector<Grid> kept;
    QStringList names;
    for (Grid& g : timetable.grids)
        if (g.kind == filter.kind) {
            names << g.name;
            if (g.name == filter.name.trimmed())
                kept.push_back(std::move(g));
        }
    if (kept.empty()) {
        const char* what = filter.kind == Grid::Kind::Group ? "grupo" : filter.kind == Grid::Kind::Teacher ? "profesor" : "aula";
        throw RunError(QStringLiteral("El horario no tiene %1 «%2»; tiene: %3")
                           .arg(QString::fromLatin1(what), filter.name.trimmed(), names.join(QStringLiteral(", "))));
    }
    timetable.grids = std::move(kept);
}

} // namespace quintaro::timetable
