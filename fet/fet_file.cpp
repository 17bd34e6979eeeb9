#include "fet/fet_file.h"

#include <QSet>
#include <QXmlStreamWriter>

#include <map>
#include <tuple>

#include <algorithm>

namespace quintaro::fet {

namespace {
const QString kFramesLine = QStringLiteral("Marcos horarios: ");

// Names FET keeps apart: a name already given goes with the code that makes it unique.
class UniqueNames {
public:
    QString give(const QString& wanted, const QString& code)
    {
        QString name = wanted.trimmed().isEmpty() ? code : wanted.trimmed();
        if (m_taken.contains(name))
            name = QStringLiteral("%1 (%2)").arg(name, code);
        while (m_taken.contains(name))
            name += u'\'';
        m_taken.insert(name);
        return name;
    }

private:
    QSet<QString> m_taken;
};

class Writer {
public:
    explicit Writer(QByteArray* out) : m_xml(out) { m_xml.setAutoFormatting(true); }
    void text(const char* element, const QString& value) { m_xml.writeTextElement(QLatin1StringView(element), value); }
    void number(const char* element, qint64 value) { text(element, QString::number(value)); }
    void open(const char* element) { m_xml.writeStartElement(QLatin1StringView(element)); }
    void close() { m_xml.writeEndElement(); }
    QXmlStreamWriter& stream() { return m_xml; }
    // An element holding only its name (a day, an hour).
    void named(const char* element, const QString& name)
    {
        open(element);
        text("Name", name);
        close();
    }
    // The end of a constraint Quintaro writes: marked as its own, so that a later file made with
    // --reglas tells it from the school's.
    void ownConstraintEnd(const QString& comments = {})
    {
        activeAndComments(kOwnConstraintMark + comments);
    }
    void activeAndComments(const QString& comments = {})
    {
        text("Active", QStringLiteral("true"));
        text("Comments", comments);
    }

private:
    QXmlStreamWriter m_xml;
};
} // namespace

QString activityComment(qint64 lessonId) { return QStringLiteral("sesión %1").arg(lessonId); }

QStringList framesInComments(const QString& comments)
{
    for (const QString& line : comments.split(u'\n'))
        if (line.startsWith(kFramesLine))
            return line.mid(kFramesLine.size()).split(u',', Qt::SkipEmptyParts);
    return {};
}

QStringList SchoolRules::described() const
{
    QStringList said;
    if (studentGaps >= 0)
        said << (studentGaps == 0 ? QStringLiteral("Alumnos sin huecos (--huecos-alumnos 0)")
                                  : QStringLiteral("Alumnos con %1 huecos a la semana como mucho (--huecos-alumnos %1)")
                                        .arg(studentGaps));
    if (studentsEarly)
        said << QStringLiteral("Alumnos que empiezan cada día en su primer tramo lectivo (--primera-hora si)");
    if (teacherGaps >= 0)
        said << QStringLiteral("Profesores con %1 huecos a la semana como mucho (--huecos-profesor %1)").arg(teacherGaps);
    if (differentDays)
        said << QStringLiteral("Las horas de una sesión en días distintos, si caben (--dias-distintos si)");
    return said;
}

std::optional<SchoolRules> easedOnce(const SchoolRules& rules, bool studentsToo, QString* what)
{
    SchoolRules eased = rules;
    if (rules.teacherGaps >= 0 && rules.teacherGaps < 6) {
        eased.teacherGaps = rules.teacherGaps + 3;
        *what = QStringLiteral("profesores con hasta %1 huecos a la semana").arg(eased.teacherGaps);
    } else if (rules.teacherGaps >= 0) {
        eased.teacherGaps = -1;
        *what = QStringLiteral("profesores sin límite de huecos");
    } else if (rules.studentsEarly) {
        eased.studentsEarly = false;
        *what = QStringLiteral("grupos que pueden empezar después de su primer tramo");
    } else if (rules.differentDays) {
        eased.differentDays = false;
        *what = QStringLiteral("horas de una sesión que pueden caer el mismo día");
    } else if (studentsToo && rules.studentGaps >= 0) {
        eased.studentGaps = rules.studentGaps == 0 ? 1 : -1;
        *what = eased.studentGaps >= 0 ? QStringLiteral("grupos con hasta 1 hueco a la semana")
                                       : QStringLiteral("grupos sin límite de huecos");
    } else {
        return std::nullopt;
    }
    return eased;
}

namespace {
// The school's rules, each a FET constraint whose comment says which option asked it.
void writeSchoolRules(Writer& w, const SchoolRules& rules)
{
    const QStringList said = rules.described();
    qsizetype line = 0;
    if (rules.studentGaps >= 0) {
        w.open("ConstraintStudentsMaxGapsPerWeek");
        w.number("Weight_Percentage", 100);
        w.number("Max_Gaps", rules.studentGaps);
        w.ownConstraintEnd(said.at(line++));
        w.close();
    }
    if (rules.studentsEarly) {
        w.open("ConstraintStudentsEarlyMaxBeginningsAtSecondHour");
        w.number("Weight_Percentage", 100);
        w.number("Max_Beginnings_At_Second_Hour", 0);
        w.ownConstraintEnd(said.at(line++));
        w.close();
    }
    if (rules.teacherGaps >= 0) {
        w.open("ConstraintTeachersMaxGapsPerWeek");
        w.number("Weight_Percentage", 100);
        w.number("Max_Gaps", rules.teacherGaps);
        w.ownConstraintEnd(said.at(line++));
        w.close();
    }
}

// The pairs of hours of two frames that overlap in clock time on one day, as (day, hour, hour).
std::vector<std::tuple<int, int, int>> overlappingHours(const Grid& grid, const tables::SchoolTables& school,
                                                         const tables::PeriodKinds& kinds)
{
    std::vector<std::tuple<int, int, int>> pairs;
    for (size_t p = 0; p < school.periods.size(); ++p)
        for (size_t q = p + 1; q < school.periods.size(); ++q) {
            const tables::PeriodRow &a = school.periods[p], &b = school.periods[q];
            if (a.day != b.day || a.frame == b.frame || !kinds.isTeaching(a.kind) || !kinds.isTeaching(b.kind))
                continue;
            const int aFrom = tables::minutesOf(a.from), aTo = tables::minutesOf(a.to);
            const int bFrom = tables::minutesOf(b.from), bTo = tables::minutesOf(b.to);
            if (aFrom < 0 || aTo < 0 || bFrom < 0 || bTo < 0 || aFrom >= bTo || bFrom >= aTo)
                continue;
            pairs.emplace_back(grid.dayOf(int(p)), grid.hourOf(int(p)), grid.hourOf(int(q)));
        }
    return pairs;
}

// A teacher whose lessons lie in two frames is never at two hours of one clock time: FET keeps
// the frames' hours apart, so each overlapping pair of hours is a selection of which the teacher's
// activities may occupy one.
void writeSameClockTime(Writer& w, const Grid& grid, const std::vector<std::tuple<int, int, int>>& overlaps,
                        const std::map<QString, std::vector<qint64>>& activitiesOfTeacher)
{
    for (const auto& [teacher, ids] : activitiesOfTeacher)
        for (const auto& [day, first, second] : overlaps) {
            w.open("ConstraintActivitiesOccupyMaxTimeSlotsFromSelection");
            w.number("Weight_Percentage", 100);
            w.number("Number_of_Activities", qint64(ids.size()));
            for (qint64 id : ids)
                w.number("Activity_Id", id);
            w.number("Number_of_Selected_Time_Slots", 2);
            for (int hour : {first, second}) {
                w.open("Selected_Time_Slot");
                w.text("Selected_Day", grid.days().at(day));
                w.text("Selected_Hour", grid.hours().at(hour));
                w.close();
            }
            w.number("Max_Number_of_Occupied_Time_Slots", 1);
            w.ownConstraintEnd(QStringLiteral("%1 no está en dos sitios a la misma hora del reloj").arg(teacher));
            w.close();
        }
}
} // namespace

FetFile writeFetFile(const tables::SchoolTables& school, const OriginalNames& names, const FileHeading& heading)
{
    const Grid grid(school);
    FetFile file;
    Writer w(&file.xml);
    w.stream().writeStartDocument();
    w.open("fet");
    w.stream().writeAttribute(QStringLiteral("version"), QStringLiteral("6.8.5"));
    w.text("Institution_Name", heading.institution);
    w.text("Comments", QStringLiteral("Escrito por Quintaro desde %1.\n%2%3\nReglas pedidas: %4")
                           .arg(heading.institution, kFramesLine, heading.frames.join(u','),
                                heading.rules.described().join(QStringLiteral("; "))));

    w.open("Days_List");
    w.number("Number_of_Days", grid.days().size());
    for (const QString& day : grid.days())
        w.named("Day", day);
    w.close();
    w.open("Hours_List");
    w.number("Number_of_Hours", grid.hours().size());
    for (const QString& hour : grid.hours())
        w.named("Hour", hour);
    w.close();

    UniqueNames subjectNames;
    QHash<QString, QString> subjectOf; // ASIGNOMT.COD -> FET name
    w.open("Subjects_List");
    for (const tables::NamedRow& s : school.subjects) {
        if (subjectOf.contains(s.code))
            continue;
        subjectOf.insert(s.code, subjectNames.give(s.name, s.code));
        w.open("Subject");
        w.text("Name", subjectOf.value(s.code));
        w.text("Comments", s.code);
        w.close();
    }
    w.close();
    w.open("Activity_Tags_List");
    w.close();

    UniqueNames teacherNames;
    QHash<QString, QString> teacherOf; // PROFT.ABREV -> FET name
    w.open("Teachers_List");
    for (const tables::NamedRow& t : school.teachers) {
        if (teacherOf.contains(t.code))
            continue;
        teacherOf.insert(t.code, teacherNames.give(names.teacherOfCode.value(t.code, t.code), t.code));
        w.open("Teacher");
        w.text("Name", teacherOf.value(t.code));
        w.number("Target_Number_of_Hours", 0);
        w.open("Qualified_Subjects");
        w.close();
        w.text("Comments", t.name);
        w.close();
    }
    w.close();

    // Years by level and course, each with its groups, in the order the groups come.
    UniqueNames studentNames;
    QHash<QString, QString> groupOf; // GRUPOST.ABREV -> FET name
    std::vector<std::pair<QString, std::vector<const tables::GroupRow*>>> years;
    for (const tables::GroupRow& g : school.groups) {
        const QString year = QStringLiteral("%1 %2").arg(g.level, g.course).trimmed();
        auto it = std::find_if(years.begin(), years.end(), [&](const auto& y) { return y.first == year; });
        if (it == years.end())
            it = years.insert(years.end(), {year, {}});
        it->second.push_back(&g);
    }
    for (const tables::GroupRow& g : school.groups)
        groupOf.insert(g.code, studentNames.give(g.name, g.code));
    w.open("Students_List");
    for (const auto& [year, groups] : years) {
        w.open("Year");
        w.text("Name", studentNames.give(QStringLiteral("Curso %1").arg(year.isEmpty() ? QStringLiteral("sin nivel") : year),
                                         year));
        w.number("Number_of_Students", 0);
        w.text("Comments", QString());
        for (const tables::GroupRow* g : groups) {
            w.open("Group");
            w.text("Name", groupOf.value(g->code));
            w.number("Number_of_Students", 0);
            w.text("Comments", g->code);
            w.close();
        }
        w.close();
    }
    w.close();

    // One activity per hour; a lesson's hours one activity group (FET's split activity).
    std::vector<std::pair<qint64, qint64>> groupsOfActivities; // first id, hours: to spread over days
    std::map<QString, std::vector<qint64>> activitiesOfTeacher; // FET name -> ids
    std::map<QString, QSet<QString>> framesOfTeacher; // FET name -> the frames of their lessons' groups
    w.open("Activities_List");
    for (size_t l = 0; l < school.lessons.size(); ++l) {
        const tables::LessonRow& lesson = school.lessons[l];
        if (lesson.hours <= 0)
            continue;
        const qint64 first = qint64(file.lessonOfActivity.size()) + 1;
        if (lesson.hours > 1)
            groupsOfActivities.push_back({first, lesson.hours});
        for (qint64 h = 0; h < lesson.hours; ++h) {
            file.lessonOfActivity.push_back(l);
            w.open("Activity");
            if (teacherOf.contains(lesson.teacher)) {
                const QString& teacher = teacherOf.value(lesson.teacher);
                w.text("Teacher", teacher);
                activitiesOfTeacher[teacher].push_back(qint64(file.lessonOfActivity.size()));
                framesOfTeacher[teacher].insert(school.frameOfGroup.value(lesson.group));
            }
            w.text("Subject", subjectOf.value(lesson.subject, lesson.subject));
            if (groupOf.contains(lesson.group))
                w.text("Students", groupOf.value(lesson.group));
            w.number("Duration", 1);
            w.number("Total_Duration", lesson.hours);
            w.number("Id", qint64(file.lessonOfActivity.size()));
            w.number("Activity_Group_Id", lesson.hours > 1 ? first : 0);
            w.activeAndComments(activityComment(lesson.id));
            w.close();
        }
    }
    w.close();

    w.open("Buildings_List");
    w.close();
    UniqueNames roomNames;
    w.open("Rooms_List");
    for (const tables::NamedRow& r : school.rooms) {
        if (r.generic) // a stand-in for "the group's own room", which FET need not place
            continue;
        const QString name = roomNames.give(names.roomOfCode.value(r.code, r.name), r.code);
        file.roomCodeOfName.insert(name, r.code);
        w.open("Room");
        w.text("Name", name);
        w.text("Building", QString());
        w.number("Capacity", 30000);
        w.text("Virtual", QStringLiteral("false"));
        w.text("Comments", r.code);
        w.close();
    }
    w.close();

    w.open("Time_Constraints_List");
    w.open("ConstraintBasicCompulsoryTime");
    w.number("Weight_Percentage", 100);
    w.ownConstraintEnd();
    w.close();
    // Every slot that is teaching time in no frame: breaks, periods of other kinds, hours a frame
    // does not have on that day.
    std::vector<std::pair<int, int>> breaks;
    QSet<QPair<int, int>> isBreak;
    for (int d = 0; d < grid.days().size(); ++d)
        for (int h = 0; h < grid.hours().size(); ++h) {
            const int p = grid.periodAt(d, h);
            if (p < 0 || !heading.kinds.isTeaching(school.periods[size_t(p)].kind)) {
                breaks.push_back({d, h});
                isBreak.insert(qMakePair(d, h));
            }
        }
    const auto writeTimes = [&](const char* element, const std::vector<std::pair<int, int>>& times) {
        for (const auto& [d, h] : times) {
            w.open(element);
            w.text("Day", grid.days().at(d));
            w.text("Hour", grid.hours().at(h));
            w.close();
        }
    };
    if (!breaks.empty()) {
        w.open("ConstraintBreakTimes");
        w.number("Weight_Percentage", 100);
        w.number("Number_of_Break_Times", qint64(breaks.size()));
        writeTimes("Break_Time", breaks);
        w.ownConstraintEnd(QStringLiteral("Tramos que no son lectivos en ningún marco"));
        w.close();
    }
    // Each group only in its own frame's hours.
    for (const tables::GroupRow& g : school.groups) {
        std::vector<std::pair<int, int>> away;
        for (int d = 0; d < grid.days().size(); ++d)
            for (int h = 0; h < grid.hours().size(); ++h)
                if (grid.frameOfHour(h) != g.frame && !isBreak.contains(qMakePair(d, h)))
                    away.push_back({d, h});
        if (away.empty())
            continue;
        w.open("ConstraintStudentsSetNotAvailableTimes");
        w.number("Weight_Percentage", 100);
        w.text("Students", groupOf.value(g.code));
        w.number("Number_of_Not_Available_Times", qint64(away.size()));
        writeTimes("Not_Available_Time", away);
        w.ownConstraintEnd(QStringLiteral("Horas del otro marco horario"));
        w.close();
    }
    // A lesson's hours on different days where the week has room for them, as FET itself proposes
    // for split activities (not compulsory).
    for (const auto& [first, hours] : groupsOfActivities) {
        if (!heading.rules.differentDays || hours > grid.days().size())
            continue;
        w.open("ConstraintMinDaysBetweenActivities");
        w.number("Weight_Percentage", 95);
        w.text("Consecutive_If_Same_Day", QStringLiteral("true"));
        w.number("Number_of_Activities", hours);
        for (qint64 id = first; id < first + hours; ++id)
            w.number("Activity_Id", id);
        w.number("MinDays", 1);
        w.ownConstraintEnd();
        w.close();
    }
    writeSchoolRules(w, heading.rules);
    // Only teachers in both frames (or with tasks, which have no frame of their own) need it.
    if (const auto overlaps = overlappingHours(grid, school, heading.kinds); !overlaps.empty()) {
        std::erase_if(activitiesOfTeacher, [&](const auto& teacher) { return framesOfTeacher[teacher.first].size() < 2; });
        writeSameClockTime(w, grid, overlaps, activitiesOfTeacher);
    }
    w.close();

    w.open("Space_Constraints_List");
    w.open("ConstraintBasicCompulsorySpace");
    w.number("Weight_Percentage", 100);
    w.ownConstraintEnd();
    w.close();
    w.close();

    w.close(); // fet
    w.stream().writeEndDocument();
    return file;
}

} // namespace quintaro::fet
