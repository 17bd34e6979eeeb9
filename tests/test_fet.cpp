// The FET file made from an export's tables, and FET's solution read back, on small schools made
// here as table rows.
#include "fet/fet_file.h"
#include "fet/fet_solution.h"
#include "platform/error.h"
#include "platform/xml_document.h"
#include "tables/period_kinds.h"
#include "test_support.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quintaro;
using namespace quintaro::test;

namespace {
// Two days; frame "0" (M) with three periods a day, the second a break; frame "1" (T) with two.
// Group G1 in M, G2 in T; lesson 101 of 2 hours for G1 (teacher "?PN", written "ŞPN" in the
// document), lesson 102 of 1 hour for G2; one ordinary room and one generic.
tables::SchoolTables twoFrames()
{
    tables::SchoolTables s;
    for (int day = 1; day <= 2; ++day) {
        const QString name = day == 1 ? QStringLiteral("Lunes") : QStringLiteral("Martes");
        s.periods.push_back({day, 1, name, "08:00", "09:00", "0", "M", "Lectiva"});
        s.periods.push_back({day, 2, name, "09:00", "09:30", "0", "M", "Recreo"});
        s.periods.push_back({day, 3, name, "09:30", "10:30", "0", "M", "Lectiva"});
        s.periods.push_back({day, 1, name, "15:00", "16:00", "1", "T", "Lectiva"});
        s.periods.push_back({day, 2, name, "16:00", "17:00", "1", "T", ""});
    }
    s.groups = {{"G1", "ESO", "1", "A", "1º ESO A", "0"}, {"G2", "BACH", "1", "A", "1º Bachillerato A", "1"}};
    for (const auto& g : s.groups)
        s.frameOfGroup.insert(g.code, g.frame);
    s.teachers = {{"?PN", "Şenol Pınar"}, {"ANA", "Ana Ruiz"}};
    s.subjects = {{"Matemátic", "Matemáticas"}, {"Historia", "Historia"}};
    s.rooms = {{"Aula 1", "Aula 1", false}, {"Aula rupo1", "Aula de grupo", true}};
    s.lessons = {{"Matemátic", "?PN", "G1", "ESO", "1", "A", "", 2, 101}, {"Historia", "ANA", "G2", "BACH", "1", "A", "", 1, 102}};
    return s;
}

OriginalNames documentNames()
{
    OriginalNames names;
    names.teacherOfCode.insert(QStringLiteral("?PN"), QStringLiteral("ŞPN"));
    return names;
}

QStringList texts(const XmlDocument& doc, const QString& path)
{
    QStringList found;
    for (const XmlNode& n : doc.select(path))
        found << n.text().trimmed();
    return found;
}

// Day and hour pairs ("Lunes/M 2 09:00-09:30") under a constraint's element.
QStringList times(const XmlNode& constraint, const char* element)
{
    QStringList found;
    for (const XmlNode& t : constraint.children(element))
        found << t.firstChild("Day").text() + u'/' + t.firstChild("Hour").text();
    return found;
}
} // namespace

TEST(FetFile, OneGridGroupsInTheirOwnFrameBreaksForEverybody)
{
    const fet::FetFile file = fet::writeFetFile(twoFrames(), documentNames(), {"escuela.xml", {"M", "T"}, {}, {}});
    const XmlDocument doc = XmlDocument::parse(file.xml);
    EXPECT_EQ(texts(doc, "/fet/Days_List/Day/Name"), (QStringList{"Lunes", "Martes"}));
    EXPECT_EQ(texts(doc, "/fet/Hours_List/Hour/Name"),
              (QStringList{"M 1 08:00-09:00", "M 2 09:00-09:30", "M 3 09:30-10:30", "T 1 15:00-16:00", "T 2 16:00-17:00"}));
    // The teacher as the document wrote it, the whole name in the comments; the generic room left out.
    EXPECT_EQ(texts(doc, "/fet/Teachers_List/Teacher/Name"), (QStringList{"ŞPN", "ANA"}));
    EXPECT_EQ(texts(doc, "/fet/Teachers_List/Teacher/Comments"), (QStringList{"Şenol Pınar", "Ana Ruiz"}));
    EXPECT_EQ(texts(doc, "/fet/Rooms_List/Room/Name"), QStringList{"Aula 1"});
    EXPECT_EQ(texts(doc, "/fet/Students_List/Year/Name"), (QStringList{"Curso ESO 1", "Curso BACH 1"}));
    EXPECT_EQ(texts(doc, "/fet/Students_List/Year/Group/Name"), (QStringList{"1º ESO A", "1º Bachillerato A"}));
    // One activity per hour, a lesson's hours one group, its id in the comments.
    EXPECT_EQ(texts(doc, "/fet/Activities_List/Activity/Id"), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(texts(doc, "/fet/Activities_List/Activity/Activity_Group_Id"), (QStringList{"1", "1", "0"}));
    EXPECT_EQ(texts(doc, "/fet/Activities_List/Activity/Comments"), (QStringList{"sesión 101", "sesión 101", "sesión 102"}));
    EXPECT_EQ(texts(doc, "/fet/Activities_List/Activity/Teacher"), (QStringList{"ŞPN", "ŞPN", "ANA"}));
    EXPECT_EQ(file.lessonOfActivity, (std::vector<size_t>{0, 0, 1}));
    EXPECT_EQ(fet::framesInComments(doc.root().firstChild("Comments").text()), (QStringList{"M", "T"}));

    // The break of frame M is nobody's time; T's unnamed kind counts as teaching.
    const XmlNodeList& breaks = doc.select("/fet/Time_Constraints_List/ConstraintBreakTimes");
    ASSERT_EQ(breaks.size(), 1u);
    EXPECT_EQ(times(breaks[0], "Break_Time"), (QStringList{"Lunes/M 2 09:00-09:30", "Martes/M 2 09:00-09:30"}));
    // Each group is kept out of the other frame's teaching hours.
    const XmlNodeList& away = doc.select("/fet/Time_Constraints_List/ConstraintStudentsSetNotAvailableTimes");
    ASSERT_EQ(away.size(), 2u);
    EXPECT_EQ(away[0].firstChild("Students").text(), QStringLiteral("1º ESO A"));
    EXPECT_EQ(times(away[0], "Not_Available_Time"),
              (QStringList{"Lunes/T 1 15:00-16:00", "Lunes/T 2 16:00-17:00", "Martes/T 1 15:00-16:00",
                           "Martes/T 2 16:00-17:00"}));
    EXPECT_EQ(times(away[1], "Not_Available_Time"),
              (QStringList{"Lunes/M 1 08:00-09:00", "Lunes/M 3 09:30-10:30", "Martes/M 1 08:00-09:00",
                           "Martes/M 3 09:30-10:30"}));
    // A lesson's two hours on two days, as FET proposes (not compulsory).
    const XmlNodeList& spread = doc.select("/fet/Time_Constraints_List/ConstraintMinDaysBetweenActivities");
    ASSERT_EQ(spread.size(), 1u);
    EXPECT_EQ(spread[0].firstChild("Weight_Percentage").text(), QStringLiteral("95"));
}

TEST(FetFile, NamesFetWouldConfuseAreKeptApart)
{
    tables::SchoolTables s = twoFrames();
    // Two teachers the document calls alike, and a group named like a year.
    s.teachers = {{"JGM", "Jesús García"}, {"JGM1", "José Gil"}};
    OriginalNames names;
    names.teacherOfCode.insert(QStringLiteral("JGM1"), QStringLiteral("JGM"));
    s.groups[1].name = QStringLiteral("Curso ESO 1");
    const XmlDocument doc = XmlDocument::parse(fet::writeFetFile(s, names, {"x.xml", {"M"}, {}, {}}).xml);
    EXPECT_EQ(texts(doc, "/fet/Teachers_List/Teacher/Name"), (QStringList{"JGM", "JGM (JGM1)"}));
    EXPECT_EQ(texts(doc, "/fet/Students_List/Year/Name"), (QStringList{"Curso ESO 1 (ESO 1)", "Curso BACH 1"}));
}

namespace {
// An activities file as fet-cl writes it: Id, Day, Hour, Room for each activity.
QString activitiesFile(const QString& folder, const QList<QStringList>& rows)
{
    QByteArray xml = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Activities_Timetable>\n";
    for (const QStringList& r : rows)
        xml += QStringLiteral("<Activity><Id>%1</Id><Day>%2</Day><Hour>%3</Hour><Room>%4</Room></Activity>\n")
                   .arg(r.value(0), r.value(1), r.value(2), r.value(3))
                   .toUtf8();
    xml += "</Activities_Timetable>\n";
    const QString path = QDir(folder).filePath(QStringLiteral("escuela_activities.xml"));
    writeFile(path, xml);
    return path;
}
} // namespace

TEST(FetSolution, PlacedAndUnplacedHoursAndWhatIsNotOfThisSchool)
{
    QTemporaryDir temp;
    const tables::SchoolTables school = twoFrames();
    const fet::FetFile file = fet::writeFetFile(school, {}, {"escuela.xml", {"M", "T"}, {}, {}});
    const auto read = [&](const QList<QStringList>& rows) {
        return fet::readSolution(fet::findSolution(activitiesFile(temp.path(), rows)), school, file);
    };

    const fet::Solution solved = read({{"1", "Lunes", "M 1 08:00-09:00", "Aula 1"},
                                       {"2", "", "", ""},
                                       {"3", "Martes", "T 2 16:00-17:00", ""}});
    ASSERT_EQ(solved.hours.size(), 3u);
    EXPECT_EQ(solved.unplaced, 1);
    EXPECT_FALSE(solved.lessonsChecked); // no data file beside it: the caller says so
    EXPECT_EQ(solved.hours[0].lesson, 0u);
    EXPECT_EQ(school.periods[size_t(solved.hours[0].period)].hour, 1);
    EXPECT_EQ(solved.hours[0].room, QStringLiteral("Aula 1")); // back to its AULAT code
    EXPECT_EQ(solved.hours[1].period, -1);
    const tables::PeriodRow& tuesday = school.periods[size_t(solved.hours[2].period)];
    EXPECT_EQ(std::tuple(tuesday.day, tuesday.hour, tuesday.frame), std::tuple(2, 2, QStringLiteral("1")));

    const struct {
        const char* name;
        QList<QStringList> rows;
        const char* said;
    } wrong[] = {
        {"fewer activities", {{"1", "Lunes", "M 1 08:00-09:00", ""}}, "la solución tiene 1 actividades y el documento da 3"},
        {"an unknown id", {{"1", "", "", ""}, {"2", "", "", ""}, {"9", "", "", ""}}, "actividad «9» desconocida"},
        {"an hour the grid lacks",
         {{"1", "Lunes", "M 9", ""}, {"2", "", "", ""}, {"3", "", "", ""}},
         "a la hora «M 9», que el documento no tiene"},
        // Edited in FET's window: G1's lesson moved to an evening hour. It is not taken as the
        // same period number of the morning.
        {"an hour of the other frame",
         {{"1", "Lunes", "T 1 15:00-16:00", ""}, {"2", "", "", ""}, {"3", "", "", ""}},
         "está a la hora «T 1 15:00-16:00», que es de otro marco horario que el de su grupo"},
        // Without FET's data beside it, activities in another order show as a teacher and a
        // group twice at once, which FET never does.
        {"lessons in another order",
         {{"1", "Lunes", "M 1 08:00-09:00", ""}, {"2", "Lunes", "M 1 08:00-09:00", ""}, {"3", "", "", ""}},
         "las actividades 1 y 2 ponen al profesor ?PN dos veces el «Lunes» a la hora «M 1 08:00-09:00»"},
    };
    for (const auto& c : wrong)
        EXPECT_TRUE(failsSaying([&] { read(c.rows); }, {QStringLiteral("no es de este documento"), QString::fromUtf8(c.said)}))
            << c.name;
    EXPECT_TRUE(failsSaying([&] { fet::findSolution(temp.filePath(QStringLiteral("nada"))); }, {QStringLiteral("No existe")}));
}

TEST(PeriodKinds, BreaksByTheirWordsWithoutCaseOrAccentsTeachingOtherwise)
{
    const tables::PeriodKinds usual;
    for (const char* teaching : {"", "Lectiva", "LECTIVA", "lectivo", "Clase", "Horas de clase", "Tutoría"})
        EXPECT_TRUE(usual.isTeaching(QString::fromUtf8(teaching))) << teaching;
    for (const char* pause : {"Recreo", "RECREO 2", "recreo-largo", "Descanso", "Patio", "Comida", "Almuerzo",
                              "Comedor", "Pausa", "No lectiva", "NO LECTIVO", "  Récreo  "})
        EXPECT_TRUE(usual.isBreak(QString::fromUtf8(pause))) << pause;
    // A school's own words for its breaks, as --no-lectivos gives them.
    const tables::PeriodKinds school({QStringLiteral("Cambio de clase"), QStringLiteral("TUTORÍA")});
    EXPECT_TRUE(school.isBreak(QStringLiteral("cambio de CLASE")));
    EXPECT_TRUE(school.isBreak(QStringLiteral("tutoria")));
    EXPECT_TRUE(school.isTeaching(QStringLiteral("Clase")));
}

TEST(PeriodKinds, KindsTakenAndGroupsThatCannotFit)
{
    tables::SchoolTables s = twoFrames(); // M: 2 teaching periods a day and a Recreo; T: 2 periods
    EXPECT_EQ(tables::kindsTaken(s.periods, tables::PeriodKinds()),
              (QStringList{"'Lectiva': lectivo, 6 tramos", "'Recreo': no lectivo, 2 tramos", "'': lectivo, 2 tramos"}));
    EXPECT_TRUE(tables::groupsOverTheirPeriods(s, tables::PeriodKinds()).isEmpty());
    // A school whose "Lectiva" periods are its breaks: G1's frame has none left; G2, 3 hours in its
    // frame's two periods without a Tipo.
    s.lessons[1].hours = 3;
    const QStringList problems = tables::groupsOverTheirPeriods(s, tables::PeriodKinds({QStringLiteral("Lectiva")}));
    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("El grupo 1º ESO A no tiene ningún tramo lectivo"))) << problems[0].toStdString();
    EXPECT_TRUE(problems[1].startsWith(QStringLiteral("El grupo 1º Bachillerato A tiene 3 horas de clase a la semana y "
                                                      "su marco horario solo 2 tramos lectivos")))
        << problems[1].toStdString();
}
