#include "fet/fet_file.h"

#include "tables/option_groups.h"

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

namespace {
// The file, one FET list at a time, in the order FET reads them. The names each list gives
// (subjects, teachers, groups) are kept for the lists after it.
class FileWriter {
public:
    FileWriter(const tables::SchoolTables& school, const OriginalNames& names, const FileHeading& heading)
        : m_school(school), m_names(names), m_heading(heading), m_grid(school), m_w(&m_file.xml),
          m_wholeOfOption(tables::wholeGroupOfOption(school.groups))
    {
    }

    FetFile write()
    {
        m_w.stream().writeStartDocument();
        m_w.open("fet");
        m_w.stream().writeAttribute(QStringLiteral("version"), QStringLiteral("6.8.5"));
        m_w.text("Institution_Name", m_heading.institution);
        m_w.text("Comments", QStringLiteral("Escrito por Quintaro desde %1.\n%2%3\nReglas pedidas: %4")
                                 .arg(m_heading.institution, kFramesLine, m_heading.frames.join(u','),
                                      m_heading.rules.described().join(QStringLiteral("; "))));
        writeDaysAndHours();
        writeSubjects();
        writeTeachers();
        writeStudents();
        writeActivities();
        writeRooms();
        writeTimeConstraints();
        writeSpaceConstraints();
        m_w.close(); // fet
        m_w.stream().writeEndDocument();
        return std::move(m_file);
    }

private:
    void writeDaysAndHours()
    {
        m_w.open("Days_List");
        m_w.number("Number_of_Days", m_grid.days().size());
        for (const QString& day : m_grid.days())
            m_w.named("Day", day);
        m_w.close();
        m_w.open("Hours_List");
        m_w.number("Number_of_Hours", m_grid.hours().size());
        for (const QString& hour : m_grid.hours())
            m_w.named("Hour", hour);
        m_w.close();
    }

    void writeSubjects()
    {
        UniqueNames subjectNames;
        m_w.open("Subjects_List");
        for (const tables::NamedRow& s : m_school.subjects) {
            if (m_subjectOf.contains(s.code))
                continue;
            m_subjectOf.insert(s.code, subjectNames.give(s.name, s.code));
            m_subjectName.insert(s.code, s.name);
            m_w.open("Subject");
            m_w.text("Name", m_subjectOf.value(s.code));
            m_w.text("Comments", s.code);
            m_w.close();
        }
        m_w.close();
        m_w.open("Activity_Tags_List");
        m_w.close();
    }

    void writeTeachers()
    {
        UniqueNames teacherNames;
        m_w.open("Teachers_List");
        for (const tables::NamedRow& t : m_school.teachers) {
            if (m_teacherOf.contains(t.code))
                continue;
            m_teacherOf.insert(t.code, teacherNames.give(m_names.teacherOfCode.value(t.code, t.code), t.code));
            m_w.open("Teacher");
            m_w.text("Name", m_teacherOf.value(t.code));
            m_w.number("Target_Number_of_Hours", 0);
            m_w.open("Qualified_Subjects");
            m_w.close();
            m_w.text("Comments", t.name);
            m_w.close();
        }
        m_w.close();
    }

    // Years by level and course, each with its groups, in the order the groups come; an option's
    // group (tables/option_groups.h) as a subgroup of its whole group.
    void writeStudents()
    {
        UniqueNames studentNames;
        std::vector<std::pair<QString, std::vector<const tables::GroupRow*>>> years;
        std::map<QString, std::vector<const tables::GroupRow*>> optionsOf; // whole group's code -> options
        for (const tables::GroupRow& g : m_school.groups) {
            if (m_wholeOfOption.contains(g.code)) {
                optionsOf[m_wholeOfOption.value(g.code)].push_back(&g);
                continue;
            }
            const QString year = QStringLiteral("%1 %2").arg(g.level, g.course).trimmed();
            auto it = std::find_if(years.begin(), years.end(), [&](const auto& y) { return y.first == year; });
            if (it == years.end())
                it = years.insert(years.end(), {year, {}});
            it->second.push_back(&g);
        }
        for (const tables::GroupRow& g : m_school.groups)
            m_groupOf.insert(g.code, studentNames.give(g.name, g.code));
        m_w.open("Students_List");
        for (const auto& [year, groups] : years) {
            m_w.open("Year");
            m_w.text("Name", studentNames.give(
                                 QStringLiteral("Curso %1").arg(year.isEmpty() ? QStringLiteral("sin nivel") : year), year));
            m_w.number("Number_of_Students", 0);
            m_w.text("Comments", QString());
            for (const tables::GroupRow* g : groups) {
                m_w.open("Group");
                m_w.text("Name", m_groupOf.value(g->code));
                m_w.number("Number_of_Students", 0);
                m_w.text("Comments", g->code);
                if (const auto options = optionsOf.find(g->code); options != optionsOf.end())
                    for (const tables::GroupRow* option : options->second) {
                        m_w.open("Subgroup");
                        m_w.text("Name", m_groupOf.value(option->code));
                        m_w.number("Number_of_Students", 0);
                        m_w.text("Comments", option->code);
                        m_w.close();
                    }
                m_w.close();
            }
            m_w.close();
        }
        m_w.close();
    }

    // The FET names of a lesson's teachers or groups: its own, then those the document adds.
    static QStringList fetNames(const QString& first, const QStringList& more, const QHash<QString, QString>& fetName)
    {
        QStringList names;
        for (const QString& code : QStringList{first} + more)
            if (const auto it = fetName.constFind(code); it != fetName.cend() && !names.contains(*it))
                names << *it;
        return names;
    }

    // One activity per hour, with every teacher and group of its lesson; a lesson's hours one
    // activity group (FET's split activity).
    void writeActivities()
    {
        m_w.open("Activities_List");
        for (size_t l = 0; l < m_school.lessons.size(); ++l) {
            const tables::LessonRow& lesson = m_school.lessons[l];
            if (lesson.hours <= 0)
                continue;
            const SharedLesson shared = m_names.sharedLessons.value(lesson.id);
            const QStringList teachers = fetNames(lesson.teacher, shared.teachers, m_teacherOf);
            const QStringList students = fetNames(lesson.group, shared.groups, m_groupOf);
            const qint64 first = qint64(m_file.lessonOfActivity.size()) + 1;
            m_firstActivityOf.insert(l, first);
            if (lesson.hours > 1)
                m_groupsOfActivities.push_back({first, lesson.hours});
            for (const QString& teacher : teachers)
                for (const QString& group : QStringList{lesson.group} + shared.groups)
                    if (const QString frame = m_school.frameOfGroup.value(group); !frame.isEmpty())
                        m_framesOfTeacher[teacher].insert(frame);
            if (students.isEmpty())
                m_withoutGroup.push_back({first, lesson.hours, teachers, !lesson.task.isEmpty()
                                                                        && m_heading.kinds.isBreak(m_subjectName.value(lesson.subject))});
            if (!lesson.task.isEmpty())
                m_file.taskActivities += lesson.hours;
            for (qint64 h = 0; h < lesson.hours; ++h) {
                m_file.lessonOfActivity.push_back(l);
                const qint64 id = qint64(m_file.lessonOfActivity.size());
                m_w.open("Activity");
                for (const QString& teacher : teachers) {
                    m_w.text("Teacher", teacher);
                    m_activitiesOfTeacher[teacher].push_back(id);
                }
                m_w.text("Subject", m_subjectOf.value(lesson.subject, lesson.subject));
                for (const QString& group : students)
                    m_w.text("Students", group);
                m_w.number("Duration", 1);
                m_w.number("Total_Duration", lesson.hours);
                m_w.number("Id", id);
                m_w.number("Activity_Group_Id", lesson.hours > 1 ? first : 0);
                m_w.activeAndComments(activityComment(lesson.id));
                m_w.close();
            }
        }
        m_w.close();
    }

    void writeRooms()
    {
        m_w.open("Buildings_List");
        m_w.close();
        UniqueNames roomNames;
        m_w.open("Rooms_List");
        for (const tables::NamedRow& r : m_school.rooms) {
            if (r.generic) // a stand-in for "the group's own room", which FET need not place
                continue;
            const QString name = roomNames.give(m_names.roomOfCode.value(r.code, r.name), r.code);
            m_file.roomCodeOfName.insert(name, r.code);
            m_w.open("Room");
            m_w.text("Name", name);
            m_w.text("Building", QString());
            m_w.number("Capacity", 30000);
            m_w.text("Virtual", QStringLiteral("false"));
            m_w.text("Comments", r.code);
            m_w.close();
        }
        m_w.close();
    }

    void writeTimes(const char* element, const std::vector<std::pair<int, int>>& times)
    {
        for (const auto& [d, h] : times) {
            m_w.open(element);
            m_w.text("Day", m_grid.days().at(d));
            m_w.text("Hour", m_grid.hours().at(h));
            m_w.close();
        }
    }

    // Whether a FET day and hour is a period of a break kind (a Recreo) in its frame.
    bool isBreakPeriod(int d, int h) const
    {
        const int p = m_grid.periodAt(d, h);
        return p >= 0 && !m_heading.kinds.isTeaching(m_school.periods[size_t(p)].kind);
    }

    // Every slot that is teaching time in no frame: breaks, periods of other kinds, hours a frame
    // does not have on that day. When a task belongs in a break ("Guardia de recreo"), the breaks
    // stay open to it and are closed to the groups and the other tasks instead.
    void writeBreaks()
    {
        const bool breaksForTasks = std::any_of(m_withoutGroup.begin(), m_withoutGroup.end(),
                                                [](const WithoutGroup& w) { return w.inABreak; });
        std::vector<std::pair<int, int>> breaks;
        for (int d = 0; d < m_grid.days().size(); ++d)
            for (int h = 0; h < m_grid.hours().size(); ++h) {
                if (breaksForTasks && isBreakPeriod(d, h)) {
                    m_openBreaks.insert(qMakePair(d, h));
                } else if (m_grid.periodAt(d, h) < 0 || isBreakPeriod(d, h)) {
                    breaks.push_back({d, h});
                    m_isBreak.insert(qMakePair(d, h));
                }
            }
        if (breaks.empty())
            return;
        m_w.open("ConstraintBreakTimes");
        m_w.number("Weight_Percentage", 100);
        m_w.number("Number_of_Break_Times", qint64(breaks.size()));
        writeTimes("Break_Time", breaks);
        m_w.ownConstraintEnd(QStringLiteral("Tramos que no son lectivos en ningún marco"));
        m_w.close();
    }

    // Each group only in its own frame's teaching hours (an option's, through its whole group's).
    void writeGroupsInTheirFrames()
    {
        for (const tables::GroupRow& g : m_school.groups) {
            if (m_wholeOfOption.contains(g.code))
                continue;
            std::vector<std::pair<int, int>> away;
            for (int d = 0; d < m_grid.days().size(); ++d)
                for (int h = 0; h < m_grid.hours().size(); ++h)
                    if ((m_grid.frameOfHour(h) != g.frame && !m_isBreak.contains(qMakePair(d, h)))
                        || m_openBreaks.contains(qMakePair(d, h)))
                        away.push_back({d, h});
            if (away.empty())
                continue;
            m_w.open("ConstraintStudentsSetNotAvailableTimes");
            m_w.number("Weight_Percentage", 100);
            m_w.text("Students", m_groupOf.value(g.code));
            m_w.number("Number_of_Not_Available_Times", qint64(away.size()));
            writeTimes("Not_Available_Time", away);
            m_w.ownConstraintEnd(m_openBreaks.isEmpty() ? QStringLiteral("Horas del otro marco horario")
                                                        : QStringLiteral("Horas del otro marco horario y recreos"));
            m_w.close();
        }
    }

    // A lesson without a group (a guardia, a meeting) in the frames its teachers teach in (all, for
    // a teacher with no class), in their teaching periods, or in their breaks when its name says so.
    void writeLessonsWithoutGroup()
    {
        for (const WithoutGroup& lesson : m_withoutGroup) {
            QSet<QString> frames;
            for (const QString& teacher : lesson.teachers)
                frames.unite(m_framesOfTeacher[teacher]);
            std::vector<std::pair<int, int>> slots;
            for (const bool inABreak : {lesson.inABreak, false}) {
                for (int d = 0; d < m_grid.days().size(); ++d)
                    for (int h = 0; h < m_grid.hours().size(); ++h)
                        if (m_grid.periodAt(d, h) >= 0 && isBreakPeriod(d, h) == inABreak
                            && (frames.isEmpty() || frames.contains(m_grid.frameOfHour(h))))
                            slots.push_back({d, h});
                if (!slots.empty())
                    break; // no break in its frames: its teaching periods
            }
            if (slots.empty())
                continue;
            for (qint64 id = lesson.firstActivity; id < lesson.firstActivity + lesson.hours; ++id) {
                m_w.open("ConstraintActivityPreferredTimeSlots");
                m_w.number("Weight_Percentage", 100);
                m_w.number("Activity_Id", id);
                m_w.number("Number_of_Preferred_Time_Slots", qint64(slots.size()));
                for (const auto& [d, h] : slots) {
                    m_w.open("Preferred_Time_Slot");
                    m_w.text("Preferred_Day", m_grid.days().at(d));
                    m_w.text("Preferred_Hour", m_grid.hours().at(h));
                    m_w.close();
                }
                m_w.ownConstraintEnd(lesson.inABreak ? QStringLiteral("En un recreo de los marcos de su profesor")
                                                     : QStringLiteral("En los marcos horarios de su profesor"));
                m_w.close();
            }
        }
    }

    // The options of a block at one time: the k-th lesson of each option of a whole group, when
    // every option has one of the same hours, hour by hour.
    void writeOptionBlocks()
    {
        std::map<QString, std::vector<QString>> optionsOf; // whole group -> options, in the groups' order
        for (const tables::GroupRow& g : m_school.groups)
            if (m_wholeOfOption.contains(g.code))
                optionsOf[m_wholeOfOption.value(g.code)].push_back(g.code);
        QHash<QString, std::vector<size_t>> lessonsOf; // group -> its lessons with hours
        for (size_t l = 0; l < m_school.lessons.size(); ++l)
            if (m_school.lessons[l].hours > 0)
                lessonsOf[m_school.lessons[l].group].push_back(l);
        for (const auto& [whole, options] : optionsOf) {
            if (options.size() < 2)
                continue;
            for (size_t k = 0;; ++k) {
                std::vector<size_t> block;
                for (const QString& option : options)
                    if (lessonsOf.value(option).size() > k)
                        block.push_back(lessonsOf.value(option)[k]);
                if (block.size() < options.size())
                    break;
                const qint64 hours = m_school.lessons[block.front()].hours;
                if (std::any_of(block.begin(), block.end(), [&](size_t l) { return m_school.lessons[l].hours != hours; }))
                    continue;
                for (qint64 h = 0; h < hours; ++h) {
                    m_w.open("ConstraintActivitiesSameStartingTime");
                    m_w.number("Weight_Percentage", 100);
                    m_w.number("Number_of_Activities", qint64(block.size()));
                    for (size_t l : block)
                        m_w.number("Activity_Id", m_firstActivityOf.value(l) + h);
                    m_w.ownConstraintEnd(QStringLiteral("Bloque de opciones de %1").arg(m_groupOf.value(whole)));
                    m_w.close();
                }
            }
        }
    }

    // A lesson's hours on different days where the week has room for them, as FET itself
    // proposes for split activities (not compulsory).
    void writeDifferentDays()
    {
        for (const auto& [first, hours] : m_groupsOfActivities) {
            if (!m_heading.rules.differentDays || hours > m_grid.days().size())
                continue;
            m_w.open("ConstraintMinDaysBetweenActivities");
            m_w.number("Weight_Percentage", 95);
            m_w.text("Consecutive_If_Same_Day", QStringLiteral("true"));
            m_w.number("Number_of_Activities", hours);
            for (qint64 id = first; id < first + hours; ++id)
                m_w.number("Activity_Id", id);
            m_w.number("MinDays", 1);
            m_w.ownConstraintEnd();
            m_w.close();
        }
    }

    void writeTimeConstraints()
    {
        m_w.open("Time_Constraints_List");
        m_w.open("ConstraintBasicCompulsoryTime");
        m_w.number("Weight_Percentage", 100);
        m_w.ownConstraintEnd();
        m_w.close();
        writeBreaks();
        writeGroupsInTheirFrames();
        writeLessonsWithoutGroup();
        writeOptionBlocks();
        writeDifferentDays();
        writeSchoolRules(m_w, m_heading.rules);
        // Only teachers in both frames need it.
        if (const auto overlaps = overlappingHours(m_grid, m_school, m_heading.kinds); !overlaps.empty()) {
            std::erase_if(m_activitiesOfTeacher,
                          [&](const auto& teacher) { return m_framesOfTeacher[teacher.first].size() == 1; });
            writeSameClockTime(m_w, m_grid, overlaps, m_activitiesOfTeacher);
        }
        m_w.close();
    }

    void writeSpaceConstraints()
    {
        m_w.open("Space_Constraints_List");
        m_w.open("ConstraintBasicCompulsorySpace");
        m_w.number("Weight_Percentage", 100);
        m_w.ownConstraintEnd();
        m_w.close();
        m_w.close();
    }

    const tables::SchoolTables& m_school;
    const OriginalNames& m_names;
    const FileHeading& m_heading;
    const Grid m_grid;
    FetFile m_file;
    Writer m_w;
    const QHash<QString, QString> m_wholeOfOption; // option group's code -> whole group's
    QHash<QString, QString> m_subjectOf; // ASIGNOMT.COD -> FET name
    QHash<QString, QString> m_subjectName; // ASIGNOMT.COD -> NOMBRE
    QHash<QString, QString> m_teacherOf; // PROFT.ABREV -> FET name
    QHash<QString, QString> m_groupOf; // GRUPOST.ABREV -> FET name
    std::vector<std::pair<qint64, qint64>> m_groupsOfActivities; // first id, hours: to spread over days
    std::map<QString, std::vector<qint64>> m_activitiesOfTeacher; // FET name -> ids
    std::map<QString, QSet<QString>> m_framesOfTeacher; // FET name -> the frames of their lessons' groups
    QSet<QPair<int, int>> m_isBreak; // FET day and hour
    QSet<QPair<int, int>> m_openBreaks; // break periods left open to tasks that belong there
    QHash<size_t, qint64> m_firstActivityOf; // lesson -> its first activity's id
    struct WithoutGroup {
        qint64 firstActivity, hours;
        QStringList teachers; // FET names
        bool inABreak; // a task whose name says it is done in a break
    };
    std::vector<WithoutGroup> m_withoutGroup;
};
} // namespace

FetFile writeFetFile(const tables::SchoolTables& school, const OriginalNames& names, const FileHeading& heading)
{
    return FileWriter(school, names, heading).write();
}

} // namespace quintaro::fet
