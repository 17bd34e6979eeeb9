#include "export/steps.h"
#include "platform/error.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace quintaro;
using namespace quintaro::test;

namespace {
QString elements(const char* tag, const QStringList& texts)
{
    QString xml;
    for (const QString& t : texts)
        xml += QStringLiteral("<%1>%2</%1>").arg(QString::fromLatin1(tag), t);
    return xml;
}

QStringList rowsOf(const StepFixture& f, const QString& table, const QStringList& fields)
{
    return joinedRows(f.rows(table), fields);
}

} // namespace

struct SubjectCase {
    const char* name;
    QStringList subjects;
    QStringList tasks;
    QStringList rows; // COD|CODLARGO|NOMBRE|CODTAREA|ESTAREA
};
void PrintTo(const SubjectCase& c, std::ostream* os) { *os << c.name; }

class Subjects : public testing::TestWithParam<SubjectCase> { };

TEST_P(Subjects, WriteAsignomt)
{
    StepFixture f;
    const SubjectCase& c = GetParam();
    f.load(interchange(QStringLiteral("<materias>%1</materias><tareas>%2</tareas>")
                           .arg(elements("materia", c.subjects), elements("tarea", c.tasks))));
    ExportarMaterias(*f.doc, f.out, f.lists, f.sources.subjects);
    ExportarTareas(*f.doc, f.out, f.lists, f.sources.subjects);
    EXPECT_EQ(rowsOf(f, QStringLiteral("ASIGNOMT"), {"COD", "CODLARGO", "NOMBRE", "CODTAREA", "ESTAREA"}), c.rows);
    EXPECT_EQ(fieldNames(f.table(QStringLiteral("ASIGNOMT"))),
              (QStringList{"COD", "CODLARGO", "NOMBRE", "MATERIA", "CODTAREA", "ESTAREA"}));
    EXPECT_EQ(f.lists.codigosUsados.contains(QStringLiteral("Coro")), false); // the tasks step leaves the lists empty
}

QStringList twelveAstronomies()
{
    QStringList s;
    for (int i = 1; i <= 12; ++i)
        s << QStringLiteral("Astronomía %1").arg(i);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Subjects,
    testing::Values(
        SubjectCase{"none", {}, {}, {}},
        SubjectCase{"accentsAndLetterCase",
                    {"Astronomía Práctica", "Astronomía Aplicada", " ASTRONOMÍA PRÁCTICA ", "Coro"},
                    {"Guardia de patio", "CORO"},
                    {"Astronomía|Astronomía|Astronomía Práctica||F", "Astronomí1|Astronomía|Astronomía Aplicada||F",
                     "Coro|Coro|Coro||F", "Guardia de|Guardia de|Guardia de patio|Guardia de|T"}},
        SubjectCase{
            "taskCollidesWithSubject",
            {"Huerto escolar"},
            {"HUERTO ESCOLAR II"},
            {"Huerto esc|Huerto esc|Huerto escolar||F", "HUERTO ES1|HUERTO ESC|HUERTO ESCOLAR II|HUERTO ESC|T"}},
        SubjectCase{"cutKeepsFinalBlank",
                    {"Teatro en inglés", "Teatro en francés"},
                    {},
                    {"Teatro en|Teatro en|Teatro en inglés||F", "Teatro en1|Teatro en|Teatro en francés||F"}},
        SubjectCase{"counterPastNineStaysUnique",
                    twelveAstronomies(),
                    {},
                    {"Astronomía|Astronomía|Astronomía 1||F", "Astronomí1|Astronomía|Astronomía 2||F",
                     "Astronomí2|Astronomía|Astronomía 3||F", "Astronomí3|Astronomía|Astronomía 4||F",
                     "Astronomí4|Astronomía|Astronomía 5||F", "Astronomí5|Astronomía|Astronomía 6||F",
                     "Astronomí6|Astronomía|Astronomía 7||F", "Astronomí7|Astronomía|Astronomía 8||F",
                     "Astronomí8|Astronomía|Astronomía 9||F", "Astronomí9|Astronomía|Astronomía 10||F",
                     "Astronom10|Astronomía|Astronomía 11||F", "Astronom11|Astronomía|Astronomía 12||F"}},
        SubjectCase{"onlyTheFirstEmptyText", {"", "Coro", "  "}, {""}, {"||||F", "Coro|Coro|Coro||F"}},
        SubjectCase{"longNameCut", {QString(90, u'x')}, {}, {"xxxxxxxxxx|xxxxxxxxxx|" + QString(80, u'x') + "||F"}}),
    [](const testing::TestParamInfo<SubjectCase>& info) { return std::string(info.param.name); });

TEST(Subjects, FinalBlankIsStoredInTheCode)
{
    // Reading trims a field's padding, so look at the bytes: 'Teatro en ' and 'Teatro en1' differ.
    StepFixture f;
    f.load(interchange(QStringLiteral("<materias><materia>Teatro en inglés</materia></materias>")));
    ExportarMaterias(*f.doc, f.out, f.lists, f.sources.subjects);
    EXPECT_TRUE(
        readFile(f.table(QStringLiteral("ASIGNOMT"))).contains(QByteArray(" Teatro en Teatro en Teatro en ingl\xe9s")));
}

TEST(Teachers, CodesNamesAndPositions)
{
    StepFixture f;
    QString teachers;
    const QStringList names
        = {"ABC", "ABC", "abc", "ABCDEFGHIJ", "ABCDEFGHIJ", "ABCDEFGHIJKL", "ABCDEFGHIJKL", "", " "};
    for (const QString& n : names)
        teachers
            += QStringLiteral("<profesor><nombre>%1</nombre><nombreCompleto> Nombre %1 </nombreCompleto></profesor>")
                   .arg(n);
    teachers += QStringLiteral("<profesor><nombre>LARGO</nombre><nombreCompleto>%1</nombreCompleto></profesor>")
                    .arg(QString(85, u'n'));
    f.load(interchange(QStringLiteral("<profesores>%1</profesores>").arg(teachers)));
    ExportarProfesores(*f.doc, f.out);
    EXPECT_EQ(rowsOf(f, QStringLiteral("PROFT"), {"ABREV", "NOMBRE", "DEPART", "EMAIL", "DNI", "X_EMPLEADO"}),
              (QStringList{"ABC|Nombre ABC||||", "ABC1|Nombre ABC||||", "abc2|Nombre abc||||",
                           "ABCDEFGHIJ|Nombre ABCDEFGHIJ||||", "ABCDEFGHI1|Nombre ABCDEFGHIJ||||",
                           "ABCDEFGHKL|Nombre ABCDEFGHIJKL||||", "ABCDEFGHL1|Nombre ABCDEFGHIJKL||||", "|Nombre||||",
                           "1|Nombre||||", "LARGO|" + QString(80, u'n') + "||||"}));
}

// Each teacher reads its own nombre and nombreCompleto: a missing one is empty and reported, a
// repeated one gives its first, and no later teacher takes another's.
TEST(Teachers, EachReadsItsOwnChildren)
{
    StepFixture f;
    f.load(interchange(QStringLiteral(
        "<profesores><profesor><nombre>A</nombre><nombreCompleto>Ana</nombreCompleto></profesor>"
        "<profesor><nombreCompleto>Sin nombre</nombreCompleto></profesor>"
        "<profesor><nombre>C</nombre></profesor>"
        "<profesor><nombre>D</nombre><nombre>E</nombre><nombreCompleto>Dora</nombreCompleto></profesor></profesores>")));
    ExportarProfesores(*f.doc, f.out);
    EXPECT_EQ(joinedRows(f.rows(QStringLiteral("PROFT")), {"ABREV", "NOMBRE"}),
              (QStringList{"A|Ana", "|Sin nombre", "C|", "D|Dora"}));
    EXPECT_EQ(childFindings(f.report), (QStringList{"profesor n.º 2: no tiene <nombre>; se toma vacío",
                                 "profesor 'C': no tiene <nombreCompleto>; se toma vacío",
                                 "profesor 'D': 2 elementos <nombre>; se usa el primero, 'D' ('E' no)"}));
}

struct RoomCase {
    const char* name;
    QStringList rooms;
    QString general; // attributes of the first general element, or empty for none
    QStringList rows; // ABREV|NOMBRE|ES_GENERICA
};
void PrintTo(const RoomCase& c, std::ostream* os) { *os << c.name; }

class Rooms : public testing::TestWithParam<RoomCase> { };

TEST_P(Rooms, WriteAulat)
{
    StepFixture f;
    const RoomCase& c = GetParam();
    QString rooms;
    for (const QString& r : c.rooms)
        rooms += QStringLiteral("<aula><nombre>%1</nombre></aula>").arg(r);
    const QString general = c.general.isEmpty()
        ? QString()
        : QStringLiteral("<conjuntoDeAulas><general %1/><general nombre=\"Otra\" n=\"9\"/></conjuntoDeAulas>")
              .arg(c.general);
    f.load(interchange(QStringLiteral("<aulas>%1</aulas>%2").arg(rooms, general)));
    ExportarAulas(*f.doc, f.out);
    EXPECT_EQ(rowsOf(f, QStringLiteral("AULAT"), {"ABREV", "NOMBRE", "ES_GENERICA"}), c.rows);
    EXPECT_EQ(fieldNames(f.table(QStringLiteral("AULAT"))),
              (QStringList{"ABREV", "NOMBRE", "EDIFICIO", "MAXALUM", "ES_GENERICA"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Rooms,
    testing::Values(
        RoomCase{"none", {}, {}, {}},
        RoomCase{"ordinary",
                 {"Laboratorio de Física", "Laboratorio de Química", "Gimnasio   Norte"},
                 {},
                 {"Laboratori|Laboratorio de Física|N", "Laborator1|Laboratorio de Química|N",
                  "Gimnasio|Gimnasio   Norte|N"}},
        RoomCase{"genericSeriesAfterOrdinary",
                 {"Aula1"},
                 "nombre=\"Aula\" numero=\"3\"",
                 {"Aula1|Aula1|N", "Aula11|Aula|S", "Aula2|Aula|S", "Aula3|Aula|S"}},
        RoomCase{"fittedTo10", {}, "a=\"Aula generica\" b=\"1\"", {"Aula rica1|Aula generica|S"}},
        RoomCase{"twentyCharacters", {}, "a=\"Aulas de uso general\" b=\"1\"", {"uso genel1|Aulas de uso general|S"}},
        RoomCase{"baseNameNotTrimmed", {}, "a=\" Aula \" b=\"1\"", {"Aula 1| Aula|S"}},
        RoomCase{"zero", {}, "a=\"Aula\" b=\"0\"", {}}, RoomCase{"negative", {}, "a=\"Aula\" b=\"-2\"", {}}),
    [](const testing::TestParamInfo<RoomCase>& info) { return std::string(info.param.name); });

TEST(Rooms, BadGenericElementStopsTheRunAfterTheOrdinaryRows)
{
    const struct {
        const char* name;
        const char* general;
        const char* says;
    } cases[] = {
        {"countNotNumeric", "<general a=\"Aula\" b=\"tres\"/>",
         "el número de aulas genéricas 'tres' no es un número entero"},
        {"oneAttribute", "<general a=\"Aula\"/>", "necesita dos atributos"},
    };
    for (const auto& c : cases) {
        StepFixture f;
        f.load(interchange(
            QStringLiteral("<aulas><aula><nombre>Gimnasio</nombre></aula></aulas><conjuntoDeAulas>%1</conjuntoDeAulas>")
                .arg(QString::fromUtf8(c.general))));
        EXPECT_TRUE(failsSaying([&] { ExportarAulas(*f.doc, f.out); }, {QString::fromUtf8(c.says)})) << c.name;
        // The table object was destroyed while the error unwound: the ordinary row is on disk.
        EXPECT_EQ(rowsOf(f, QStringLiteral("AULAT"), {"ABREV"}), QStringList{"Gimnasio"}) << c.name;
    }
}

TEST(Rooms, MissingNameIsEmptyAndReported)
{
    StepFixture f;
    f.load(interchange(QStringLiteral("<aulas><aula/><aula><nombre>Lab</nombre></aula></aulas>")));
    ExportarAulas(*f.doc, f.out);
    EXPECT_EQ(joinedRows(f.rows(QStringLiteral("AULAT")), {"ABREV", "NOMBRE"}), (QStringList{"|", "Lab|Lab"}));
    ASSERT_EQ(f.report.of(Finding::ChildMissing).size(), 1u);
    EXPECT_EQ(f.report.of(Finding::ChildMissing)[0].detail, QStringLiteral("aula n.º 1: no tiene <nombre>; se toma vacío"));
}
