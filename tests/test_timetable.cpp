// The solved timetable as grids, read from a small result document with two faults in it: a
// lesson one hour short and a teacher in two places at once.
#include "platform/error.h"
#include "test_support.h"
#include "timetable/timetable.h"
#include "timetable/timetable_html.h"
#include "timetable/quality.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quintaro;
using namespace quintaro::test;
using timetable::Grid;

namespace {
QString lesson(const char* id, const char* subject, const char* teacher, const char* group, int hours)
{
    return QStringLiteral("<sesion id=\"%1\"><materia>%2</materia><profesor>%3</profesor><grupo>%4</grupo>"
                          "<distribucionSemanal><distribucionVariable><numSesiones>%5</numSesiones>"
                          "</distribucionVariable></distribucionSemanal><tarea/></sesion>")
        .arg(QString::fromUtf8(id), QString::fromUtf8(subject), QString::fromUtf8(teacher), QString::fromUtf8(group))
        .arg(hours);
}

QString slot(int day, int index, const char* room, const char* id, const char* teacher)
{
    return QStringLiteral("<tramo dia=\"%1\" indice=\"%2\" marco=\"M\"><aula %3><sesion>%4</sesion>"
                          "<profesor>%5</profesor></aula></tramo>")
        .arg(day)
        .arg(index)
        .arg(QString::fromUtf8(room), QString::fromUtf8(id), QString::fromUtf8(teacher));
}

// Lesson 101 placed one hour of two; ANA given 102 and 103 on Tuesday at period 2, both of 1º B.
QString faultyResult(const QString& folder)
{
    QString periods;
    for (int day = 0; day < 5; ++day)
        for (int index = 1; index <= 2; ++index)
            periods += QStringLiteral("<tramo><submarco>M</submarco><dia>%1</dia><indice>%2</indice>"
                                      "<horaEntrada>0%3:00</horaEntrada><horaSalida>0%3:55</horaSalida>"
                                      "<Tipo>Lectiva</Tipo></tramo>")
                           .arg(day)
                           .arg(index)
                           .arg(7 + index);
    const QString xml
        = QStringLiteral("<datosGHC><materias/><profesores>"
                         "<profesor><nombre>ANA</nombre><nombreCompleto>Ana Ruiz</nombreCompleto></profesor>"
                         "<profesor><nombre>ŞPN</nombre><nombreCompleto>Şenol Pınar</nombreCompleto></profesor>"
                         "</profesores><aulas><aula><nombre>Aula π</nombre></aula></aulas>"
                         "<marcosDeHorario><marcoHorario nombre=\"Mañana\" id=\"M\">%1</marcoHorario></marcosDeHorario>"
                         "<grupos><grupo submarco=\"M\"><nombre>1º A</nombre></grupo>"
                         "<grupo submarco=\"M\"><nombre>1º B</nombre></grupo></grupos><sesionesLectivas>%2%3%4"
                         "</sesionesLectivas><horario>%5%6%7</horario></datosGHC>")
              .arg(periods, lesson("101", "Matemáticas", "ANA", "1º A", 2), lesson("102", "Historia", "ANA", "1º B", 1),
                   lesson("103", "Física", "ŞPN", "1º B", 1), slot(0, 1, "id=\"Aula π\"", "101", "ANA"),
                   slot(1, 2, "anonima=\"Aula de grupo\"", "102", "ANA"),
                   slot(1, 2, "anonima=\"Aula de grupo\"", "103", "ANA"));
    const QString path = QDir(folder).filePath(QStringLiteral("ResultadoZentarx.xml"));
    writeFile(path, xml.toUtf8());
    return path;
}

const Grid& gridOf(const timetable::Timetable& t, Grid::Kind kind, const QString& name)
{
    for (const Grid& g : t.grids)
        if (g.kind == kind && g.name == name)
            return g;
    throw std::runtime_error("no grid");
}
} // namespace

TEST(Timetable, GridsPerGroupTeacherAndRoomWithBothFaultsMarked)
{
    QTemporaryDir temp;
    const timetable::Timetable t = timetable::readTimetable(faultyResult(temp.path()));
    QStringList titles;
    for (const Grid& g : t.grids)
        titles << g.title;
    // Every group, teacher and named room with a slot, nobody without one (ŞPN has none).
    EXPECT_EQ(titles, (QStringList{"Grupo 1º A", "Grupo 1º B", "Profesor Ana Ruiz (ANA)", "Aula Aula π"}));
    EXPECT_EQ(t.days, (QStringList{"Lunes", "Martes", "Miércoles", "Jueves", "Viernes"}));

    ASSERT_EQ(t.hoursProblems.size(), 1u);
    EXPECT_EQ(t.hoursProblems[0].lesson, QStringLiteral("101"));
    EXPECT_EQ(std::pair(t.hoursProblems[0].placed, t.hoursProblems[0].hours), std::pair(qint64(1), qint64(2)));
    EXPECT_TRUE(t.clashes.contains(
        QStringLiteral("el profesor ANA está en 2 sitios a la vez el martes, hora 2 (marco M): sesión 102, sesión 103")));
    EXPECT_TRUE(t.clashes.contains(
        QStringLiteral("el grupo 1º B está en 2 sitios a la vez el martes, hora 2 (marco M): sesión 102, sesión 103")));

    // In ANA's grid, Tuesday's second period holds both lessons, each marked; Monday's first the
    // short lesson, marked for its hours, in its room.
    const Grid& ana = gridOf(t, Grid::Kind::Teacher, QStringLiteral("ANA"));
    ASSERT_EQ(ana.rows.size(), 2u);
    EXPECT_EQ(std::tuple(ana.rows[1].index, ana.rows[1].from, ana.rows[1].to), std::tuple(2, QString("09:00"), QString("09:55")));
    const auto& tuesday = ana.cells[1][1];
    ASSERT_EQ(tuesday.size(), 2u);
    EXPECT_TRUE(tuesday[0].clash && tuesday[1].clash);
    EXPECT_EQ(tuesday[0].other, QStringLiteral("1º B"));
    const auto& monday = ana.cells[0][0];
    ASSERT_EQ(monday.size(), 1u);
    EXPECT_TRUE(monday[0].wrongHours);
    EXPECT_FALSE(monday[0].clash);
    EXPECT_EQ(monday[0].room, QStringLiteral("Aula π"));
    EXPECT_EQ(ana.problems, (QStringList{"En dos sitios a la vez el martes, hora 2 (marco M).",
                                         "Sesión 101 (Matemáticas): 1 de 2 horas colocadas."}));
    // A group's grid names the teacher in full.
    EXPECT_EQ(gridOf(t, Grid::Kind::Group, QStringLiteral("1º A")).cells[0][0][0].other, QStringLiteral("Ana Ruiz"));

    const QString html = timetable::timetableHtml(t);
    EXPECT_EQ(html.count(QStringLiteral("class=\"sesion choque\"")), 4); // ANA's two and 1º B's two
    EXPECT_TRUE(html.contains(QStringLiteral("class=\"sesion horas\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("<li>Sesión 101 (Matemáticas): 1 de 2 horas colocadas.</li>")));
}

TEST(Timetable, OneGridByNameAndWhatIsNotAResult)
{
    QTemporaryDir temp;
    timetable::Timetable t = timetable::readTimetable(faultyResult(temp.path()));
    timetable::keepOnly(t, {Grid::Kind::Room, QStringLiteral("Aula π")});
    ASSERT_EQ(t.grids.size(), 1u);
    EXPECT_EQ(t.grids[0].title, QStringLiteral("Aula Aula π"));
    EXPECT_TRUE(failsSaying([&] { timetable::keepOnly(t, {Grid::Kind::Teacher, QStringLiteral("ŞPN")}); },
                            {QStringLiteral("no tiene profesor «ŞPN»")}));

    const QString chosen = temp.filePath(QStringLiteral("escuela.xml"));
    QFile::copy(sampleSchool(), chosen);
    EXPECT_TRUE(failsSaying([&] { timetable::readTimetable(chosen); },
                            {QStringLiteral("no tiene sección horario"), QStringLiteral("ResultadoZentar")}));
}

// Gaps are free teaching periods between two lessons of a day within one frame: a break between
// them is no gap, nor are a teacher's morning and evening.
TEST(Timetable, QualityCountsAndMarksGaps)
{
    const auto grid = [](Grid::Kind kind, const char* name, const std::vector<std::pair<const char*, bool>>& rows,
                         const std::vector<std::vector<const char*>>& days) {
        Grid g;
        g.kind = kind;
        g.name = g.label = QString::fromUtf8(name);
        int index = 0;
        for (const auto& [frame, teaching] : rows)
            g.rows.push_back({QString::fromUtf8(frame), ++index, {}, {}, teaching, {}});
        g.cells.assign(g.rows.size(), std::vector<std::vector<timetable::Entry>>(days.size()));
        for (size_t d = 0; d < days.size(); ++d)
            for (size_t r = 0; r < g.rows.size(); ++r)
                if (*days[d][r])
                    g.cells[r][d].push_back({"1", QString::fromUtf8(days[d][r]), {}, {}});
        return g;
    };
    timetable::Timetable t;
    // 1º A: Monday lesson, free, lesson (1 gap); Tuesday lesson, break, lesson (no gap) and
    // Matemáticas twice.
    t.grids.push_back(grid(Grid::Kind::Group, "1º A", {{"M", true}, {"M", true}, {"M", false}, {"M", true}},
                           {{"Mat", "", "", "Len"}, {"Mat", "Len", "", "Mat"}}));
    // ANA: a morning lesson and an evening one (two shifts, no gap); PAB: two gaps on Monday.
    t.grids.push_back(grid(Grid::Kind::Teacher, "ANA", {{"M", true}, {"M", true}, {"T", true}, {"T", true}},
                           {{"Mat", "", "", "Len"}}));
    t.grids.push_back(grid(Grid::Kind::Teacher, "PAB", {{"M", true}, {"M", true}, {"M", true}, {"M", true}},
                           {{"Mat", "", "", "Len"}}));
    const timetable::Quality q = timetable::measureQuality(t);
    EXPECT_EQ(q.studentGaps, 1);
    EXPECT_EQ(q.groupsWithGaps, 1);
    EXPECT_EQ(q.subjectTwiceInADay, 1);
    EXPECT_EQ(q.teacherGaps, 2);
    EXPECT_EQ(q.mostTeacherGaps, 2);
    EXPECT_EQ(q.teacherWithMost, QStringLiteral("PAB"));
    EXPECT_TRUE(t.grids[0].gaps[1][0]); // Monday's second period of 1º A
    EXPECT_FALSE(t.grids[0].gaps[1][1]);
    EXPECT_EQ(timetable::qualityLine(q), QStringLiteral("Calidad: 1 hueco de alumnos (en 1 grupo); 2 huecos de "
                                                        "profesores (como mucho 2, PAB); una materia repetida en un "
                                                        "día: 1 vez."));
    EXPECT_TRUE(timetable::gridHtml(t.grids[0], {"Lunes", "Martes"}).contains(QStringLiteral("class=\"hueco\"")));
}

// A co-taught lesson, an option block of 1º A and a Recreo: the second teacher has the lesson in
// their grid, the options clash with their whole group's lesson but not with each other, a class
// in the Recreo is told (a guardia there is not), and the break row is named as the school names it.
TEST(Timetable, SecondTeachersOptionsAndBreaks)
{
    QTemporaryDir temp;
    const auto tramo = [](int index, const char* from, const char* kind) {
        return QStringLiteral("<tramo><submarco>M</submarco><dia>0</dia><indice>%1</indice><horaEntrada>%2</horaEntrada>"
                              "<horaSalida>%2</horaSalida><Tipo>%3</Tipo></tramo>")
            .arg(index)
            .arg(QString::fromUtf8(from), QString::fromUtf8(kind));
    };
    const QString task = QStringLiteral("<sesion id=\"204\"><materia>Guardia de recreo</materia><profesor>BEA</profesor>"
                                        "<grupo/><distribucionSemanal><distribucionVariable><numSesiones>1</numSesiones>"
                                        "</distribucionVariable></distribucionSemanal><tarea>Guardia de</tarea></sesion>");
    const QString xml
        = QStringLiteral("<datosGHC><profesores>"
                         "<profesor><nombre>ANA</nombre><nombreCompleto>Ana Ruiz</nombreCompleto></profesor>"
                         "<profesor><nombre>BEA</nombre><nombreCompleto>Bea Gil</nombreCompleto></profesor>"
                         "</profesores><marcosDeHorario><marcoHorario id=\"M\">%1%2</marcoHorario></marcosDeHorario>"
                         "<grupos><grupo submarco=\"M\"><nombre>1º A</nombre></grupo>"
                         "<grupo submarco=\"M\"><nombre>1º A · Francés</nombre></grupo>"
                         "<grupo submarco=\"M\"><nombre>1º A · Alemán</nombre></grupo></grupos>"
                         "<sesionesLectivas>%3%4%5%6</sesionesLectivas><horario>%7%8%9</horario></datosGHC>")
              .arg(tramo(1, "08:00", "Lectiva"), tramo(2, "09:00", "Recreo"),
                   QString(lesson("201", "Matemáticas", "ANA", "1º A", 1))
                       .replace("<profesor>ANA</profesor>", "<profesor>ANA</profesor><profesor>BEA</profesor>"),
                   lesson("202", "Francés", "FRA", "1º A · Francés", 2), lesson("203", "Alemán", "ALE", "1º A · Alemán", 1),
                   task, slot(0, 1, "anonima=\"Aula de grupo\"", "201", "ANA") + slot(0, 1, "anonima=\"Aula de grupo\"", "202", "FRA"),
                   slot(0, 1, "anonima=\"Aula de grupo\"", "203", "ALE") + slot(0, 2, "anonima=\"Aula de grupo\"", "202", "FRA"),
                   slot(0, 2, "anonima=\"Aula de grupo\"", "204", "BEA"));
    const QString path = temp.filePath(QStringLiteral("ResultadoZentarx.xml"));
    writeFile(path, xml.toUtf8());
    const timetable::Timetable t = timetable::readTimetable(path);

    EXPECT_EQ(t.clashes, (QStringList{"el grupo 1º A · Francés está en 2 sitios a la vez el lunes, hora 1 (marco M): "
                                      "sesión 201, sesión 202",
                                      "el grupo 1º A · Alemán está en 2 sitios a la vez el lunes, hora 1 (marco M): "
                                      "sesión 201, sesión 203"}));
    EXPECT_EQ(t.inBreaks, (QStringList{"La sesión 202 (Francés) está en un tramo que no es lectivo («Recreo»): el lunes, "
                                       "hora 2 (marco M)."}));
    const Grid& bea = gridOf(t, Grid::Kind::Teacher, QStringLiteral("BEA"));
    ASSERT_EQ(bea.rows.size(), 2u);
    EXPECT_EQ(bea.cells[0][0].at(0).lesson, QStringLiteral("201"));
    EXPECT_EQ(bea.cells[1][0].at(0).subject, QStringLiteral("Guardia de recreo"));
    EXPECT_TRUE(bea.problems.isEmpty()) << bea.problems.join(u'\n').toStdString();
    EXPECT_EQ(gridOf(t, Grid::Kind::Group, QStringLiteral("1º A")).cells[0][0].at(0).other, QStringLiteral("Ana Ruiz, Bea Gil"));
    // The whole group's grid shows its options' hours, each saying whose it is; no room is written.
    QStringList subjects;
    for (const timetable::Entry& e : gridOf(t, Grid::Kind::Group, QStringLiteral("1º A")).cells[0][0]) {
        subjects << e.subject;
        EXPECT_TRUE(e.room.isEmpty());
    }
    EXPECT_EQ(subjects, (QStringList{"Matemáticas", "Francés (1º A · Francés)", "Alemán (1º A · Alemán)"}));
    const QString html = timetable::timetableHtml(t);
    EXPECT_TRUE(html.contains(QStringLiteral("<th>Recreo<br>09:00–09:00</th>")));
    EXPECT_FALSE(html.contains(QStringLiteral("Aula de grupo")));
    EXPECT_TRUE(html.contains(QStringLiteral("clases en recreos: 1")));
}
