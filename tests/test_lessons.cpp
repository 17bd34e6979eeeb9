#include "export/steps.h"
#include "platform/error.h"
#include "platform/table_staging.h"
#include "run/session.h"
#include "test_support.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace quintaro;
using namespace quintaro::test;

namespace {
// A school with two subjects, a task, two teachers, one frame and two groups; `lessons` is the
// inner XML of sesionesLectivas.
QByteArray school(const QString& lessons)
{
    return interchange(
        QStringLiteral("<materias><materia>Matemáticas</materia><materia>Coro</materia></materias>"
                       "<tareas><tarea>Guardia de patio</tarea></tareas>"
                       "<profesores><profesor><nombre>ABC</nombre><nombreCompleto>Ana</nombreCompleto></profesor>"
                       "<profesor><nombre>MGL</nombre><nombreCompleto>María</nombreCompleto></profesor></profesores>"
                       "<marcosDeHorario>%1</marcosDeHorario>"
                       "<grupos><grupo submarco=\"M\"><nombre>1º ESO "
                       "A</nombre><nivel>ESO</nivel><curso>1</curso><unidad>A</unidad></grupo>"
                       "<grupo submarco=\"M\"><nombre>2º ESO "
                       "B</nombre><nivel>ESO</nivel><curso>2</curso><unidad>B</unidad></grupo></grupos>"
                       "<sesionesLectivas>%2</sesionesLectivas>")
            .arg(frameXml("M", {"0 1 08:30 09:25"}), lessons));
}

struct ExportOutcome {
    Session::Outcome outcome;
    ScriptedUi ui;
    std::vector<Row> asigt;
    ExportReport report;
};

// The whole export run of `xml`, through the session the window and the command line use.
ExportOutcome exportRun(const QByteArray& xml, QTemporaryDir& temp)
{
    const QString doc = temp.filePath(QStringLiteral("doc.xml"));
    writeFile(doc, xml);
    ExportOutcome run;
    const RunResult result = runExportOf(run.ui, doc, temp.filePath(QStringLiteral("VTEMP")));
    run.outcome = result.outcome;
    run.report = result.report.exported;
    const QString asigt = WorkDir(temp.filePath(QStringLiteral("VTEMP"))).tablePath(QStringLiteral("ASIGT"));
    if (QFileInfo::exists(asigt))
        run.asigt = readRows(asigt);
    return run;
}

QStringList column(const std::vector<Row>& rows, const QStringList& fields) { return joinedRows(rows, fields); }
} // namespace

TEST(Lessons, SplitStringsAndHours)
{
    const QStringList hours = {"3", "", "0", "-2", "13", "14", "16", "25"};
    QString lessons;
    for (int i = 0; i < hours.size(); ++i)
        lessons += lesson(QString::number(i + 1), "Matemáticas", "ABC", "1º ESO A", hours[i]);
    QTemporaryDir temp;
    const ExportOutcome run = exportRun(school(lessons), temp);
    ASSERT_EQ(run.outcome, Session::Outcome::Finished) << run.ui.errors.join(u'\n').toStdString();
    EXPECT_EQ(column(run.asigt, {"HORAS", "SESIONES", "ES_SESION"}),
              (QStringList{"3|111|1", "1|1|2", "0||3", "-2||4", "13|" + QString(13, u'1') + "|5",
                           "14|1" + QString(13, u'1') + "|6", "16|3" + QString(13, u'1') + "|7",
                           "25|12" + QString(13, u'1') + "|8"}));
}

TEST(Lessons, LookupsDroppedLessonsAndReport)
{
    const QString lessons = lesson("1", "Matemáticas", "ABC", "1º ESO A", "2")
        + lesson("2", "Latín", "ABC", "1º ESO A", "2") + // subject not found: dropped
        lesson("3", "Coro", "abc", "2º ESO B", "1") + // teacher case differs
        lesson("4", "Guardia de patio", "MGL", "3º ESO C", "1", "Guardia de") + // group missing, task by code
        lesson("5", "Coro", "MGL", "1º ESO A", "1", "Guardia de patio"); // task by name: not found
    QTemporaryDir temp;
    const ExportOutcome run = exportRun(school(lessons), temp);
    ASSERT_EQ(run.outcome, Session::Outcome::Finished);
    EXPECT_EQ(run.ui.messages, QStringList{"Proceso finalizado"});
    EXPECT_EQ(column(run.asigt,
                     {"CASIG", "CPROF", "CGRUP", "CAULA", "TURNO", "NIVEL", "CURSO", "GRUPO", "NCONEX", "CTAREA",
                      "ES_SESION"}),
              (QStringList{"Matemática|ABC|ESO1A|||ESO|1|A|||1", "Coro||ESO2B|||ESO|2|B|||3",
                           "Guardia de|MGL||||||||Guardia de|4", "Coro|MGL|ESO1A|||ESO|1|A|||5"}));
    const std::vector<Finding> dropped = run.report.of(Finding::SubjectMissing);
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].sesion, QStringLiteral("2"));
    EXPECT_EQ(dropped[0].value, QStringLiteral("Latín"));
    EXPECT_EQ(run.report.count(Finding::TeacherMissing), 1);
    EXPECT_EQ(run.report.count(Finding::GroupMissing), 1);
    EXPECT_EQ(run.report.count(Finding::TaskMissing), 1);
}

TEST(Lessons, ErrorsEndTheRunNamingWhatIsWrong)
{
    const struct {
        const char* name;
        QString lessons;
        const char* says;
    } cases[] = {
        {"hoursNotNumeric", lesson("529", "Coro", "ABC", "1º ESO A", "tres"),
         "La sesión 529 (posición 1): numSesiones 'tres' no es un número entero."},
        {"idNotNumeric", lesson("x1", "Coro", "ABC", "1º ESO A", "1"),
         "La sesión n.º 1 de /datosGHC/sesionesLectivas/sesion: su identificador (el primer atributo), 'x1', no es un "
         "número entero"},
        {"idOverflow", lesson("99999999999", "Coro", "ABC", "1º ESO A", "1"),
         "'99999999999', no cabe en un entero de 32 bits"},
        {"noAttribute", QString(lesson("1", "Coro", "ABC", "1º ESO A", "1")).replace(" id=\"1\"", ""),
         "La sesión n.º 1"},
    };
    for (const auto& c : cases) {
        QTemporaryDir temp;
        const ExportOutcome run = exportRun(school(c.lessons), temp);
        EXPECT_EQ(run.outcome, Session::Outcome::Failed) << c.name;
        ASSERT_EQ(run.ui.errors.size(), 1) << c.name;
        EXPECT_TRUE(run.ui.errors[0].contains(QString::fromUtf8(c.says)))
            << c.name << ": " << run.ui.errors[0].toStdString();
        EXPECT_EQ(run.report.failedStep, QStringLiteral("las sesiones lectivas (tabla ASIGT)")) << c.name;
        EXPECT_TRUE(run.asigt.empty()) << c.name; // no row for the failing lesson
        EXPECT_FALSE(run.ui.busy) << c.name; // the wait cursor is back
    }
}

// A co-taught lesson (two teachers) and a lesson without teacher or numSesiones: each lesson reads
// its own children, so every later lesson keeps its own teacher, and the report names each case.
TEST(Lessons, EachReadsItsOwnChildren)
{
    QTemporaryDir temp;
    const QString coTaught = QString(lesson("10", "Coro", "ABC", "1º ESO A", "2"))
                                 .replace("<profesor>ABC</profesor>", "<profesor>ABC</profesor><profesor>MGL</profesor>");
    const QString noTeacher = QString(lesson("11", "Coro", "ABC", "2º ESO B", "1")).replace("<profesor>ABC</profesor>", "");
    const QString noHours
        = QString(lesson("12", "Matemáticas", "MGL", "1º ESO A", "1"))
              .replace("<distribucionSemanal><distribucionVariable><numSesiones>1</numSesiones></distribucionVariable>"
                       "</distribucionSemanal>",
                       "");
    const ExportOutcome run = exportRun(
        school(coTaught + noTeacher + noHours + lesson("13", "Matemáticas", "MGL", "2º ESO B", "3")), temp);
    ASSERT_EQ(run.outcome, Session::Outcome::Finished) << run.ui.errors.join(u'\n').toStdString();
    EXPECT_EQ(joinedRows(run.asigt, {"ES_SESION", "CPROF", "CGRUP", "HORAS"}),
              (QStringList{"10|ABC|ESO1A|2", "11||ESO2B|1", "12|MGL|ESO1A|1", "13|MGL|ESO2B|3"}));
    EXPECT_EQ(childFindings(run.report), (QStringList{"sesión 10: docencia compartida, Velmora recibe solo al profesor ABC (MGL no)",
                                 "sesión 11: no tiene <profesor>; se toma vacío",
                                 "sesión 12: no tiene <numSesiones>; se toma vacío"}));
    EXPECT_EQ(run.report.of(Finding::HoursTakenAsOne).size(), 1u);
}

// A failed run takes away every folder it made (a/b/VTEMP, not only VTEMP), and a folder chosen as
// the document is said to be one.
TEST(ExportRun, FailedRunLeavesNoFolderItMadeAndAFolderIsNoDocument)
{
    QTemporaryDir temp;
    const QString doc = temp.filePath(QStringLiteral("doc.xml"));
    writeFile(doc, school(lesson("1", "Coro", "ABC", "1º ESO A", "tres")));
    ScriptedUi ui;
    ASSERT_EQ(runExportOf(ui, doc, temp.filePath(QStringLiteral("a/b/VTEMP"))).outcome, Session::Outcome::Failed);
    EXPECT_FALSE(QFileInfo::exists(temp.filePath(QStringLiteral("a"))));

    ScriptedUi folder;
    EXPECT_EQ(runExportOf(folder, temp.path(), temp.filePath(QStringLiteral("VTEMP"))).outcome,
              Session::Outcome::NoDocument);
    EXPECT_EQ(folder.messages, QStringList{kFolderNotDocument});
}

TEST(ExportRun, SecondRunStartsWithEmptyListsAndTablesAreReleased)
{
    QTemporaryDir temp;
    const QString doc = temp.filePath(QStringLiteral("doc.xml"));
    writeFile(doc, school(lesson("1", "Coro", "ABC", "1º ESO A", "1")));
    Session session;
    session.setWorkDirectory(temp.filePath(QStringLiteral("VTEMP")));
    ScriptedUi ui;
    ui.document = doc;
    ASSERT_EQ(session.runExport(ui).outcome, Session::Outcome::Finished);
    EXPECT_EQ(session.estadoTransformado(), 1);
    // The same window may run again (after a failure it must): the codes come out the same.
    ASSERT_EQ(session.runExport(ui).outcome, Session::Outcome::Finished);
    const std::vector<Row> subjects
        = readRows(WorkDir(temp.filePath(QStringLiteral("VTEMP"))).tablePath(QStringLiteral("ASIGNOMT")));
    EXPECT_EQ(column(subjects, {"COD"}), (QStringList{"Matemática", "Coro", "Guardia de"}));
}

TEST(ExportRun, MissingDocumentAndBadDocuments)
{
    QTemporaryDir temp;
    const QString vtemp = temp.filePath(QStringLiteral("VTEMP"));
    {
        Session automatic({QStringLiteral("EXPORTAR"), QStringLiteral("x")});
        EXPECT_EQ(automatic.automaticRun(), QStringLiteral("exportar"));
        ScriptedUi ui; // the dialog is cancelled: no document
        EXPECT_EQ(automatic.runExport(ui).outcome, Session::Outcome::NoDocument);
        EXPECT_EQ(ui.messages, QStringList{"No existe archivo"});
        EXPECT_EQ(automatic.estadoTransformado(), -1);
    }
    // Earlier tables stay untouched when the document cannot be used at all.
    QDir().mkpath(vtemp);
    writeFile(WorkDir(vtemp).tablePath(QStringLiteral("ASIGNOMT")), "previous");
    const struct {
        const char* name;
        QByteArray xml;
        const char* says;
    } cases[] = {
        {"notXml", "no es XML", "No se puede leer el documento XML"},
        {"wrongRoot", "<otro><materias/></otro>", "su elemento raíz es otro"},
    };
    for (const auto& c : cases) {
        const QString doc = temp.filePath(QStringLiteral("bad.xml"));
        writeFile(doc, c.xml);
        Session session;
        session.setWorkDirectory(vtemp);
        ScriptedUi ui;
        ui.document = doc;
        EXPECT_EQ(session.runExport(ui).outcome, Session::Outcome::Failed) << c.name;
        ASSERT_EQ(ui.errors.size(), 1) << c.name;
        EXPECT_TRUE(ui.errors[0].contains(QString::fromUtf8(c.says))) << c.name << ": " << ui.errors[0].toStdString();
        EXPECT_EQ(session.estadoTransformado(), 0) << c.name;
        EXPECT_EQ(readFile(WorkDir(vtemp).tablePath(QStringLiteral("ASIGNOMT"))), QByteArray("previous")) << c.name;
        EXPECT_EQ(readFile(doc), c.xml) << c.name;
    }
}

TEST(ExportRun, TableHeldByAnotherProgramIsNamed)
{
    QTemporaryDir temp;
    const QString vtemp = temp.filePath(QStringLiteral("VTEMP"));
    QDir().mkpath(vtemp);
    DbfTable::create(WorkDir(vtemp).tablePath(QStringLiteral("PROFT")),
                     {{QStringLiteral("ABREV"), dbf::FieldKind::String, 10}});
    DbfTable held(WorkDir(vtemp).tablePath(QStringLiteral("PROFT")), DbfTable::Access::Exclusive);
    const ExportOutcome run = exportRun(school(QString()), temp);
    EXPECT_EQ(run.outcome, Session::Outcome::Failed);
    EXPECT_EQ(run.ui.errors,
              QStringList{"La tabla PROFT está en uso por otro programa; ciérrela en Velmora (o en el "
                          "programa que la tenga abierta) y vuelva a intentarlo. Las tablas de Velmora "
                          "no se han cambiado."});
    EXPECT_EQ(run.report.failedStep, QStringLiteral("los profesores (tabla PROFT)"));
}

TEST(Lessons, CutOrChangedNamesStillFindTheRowsTheyProduced)
{
    // The subject's name is cut to 80 in NOMBRE, the group's to 80 in DESCRIP, and the teacher's
    // code shortened to 10: the exact lookups find nothing, the rows of their own steps do.
    QTemporaryDir temp;
    const ExportOutcome run = exportRun(readFile(splitLessonsSchool()), temp);
    ASSERT_EQ(run.outcome, Session::Outcome::Finished) << run.ui.errors.join(u'\n').toStdString();
    EXPECT_EQ(run.report.count(Finding::SubjectMissing), 0);
    EXPECT_EQ(run.report.count(Finding::TeacherMissing), 0);
    EXPECT_EQ(run.report.count(Finding::GroupMissing), 0);
    EXPECT_EQ(
        column(run.asigt, {"ES_SESION", "CASIG", "CPROF", "CGRUP", "NIVEL", "CURSO", "GRUPO"}),
        (QStringList{"301|Inglés|ANA|ESO1A|ESO|1|A", "302|Inglés|BEA|ESO1A|ESO|1|A", "303|Matemática|ANA|ESO1A|ESO|1|A",
                     "304|Matemática|ANA|ESO1A|ESO|1|A", "305|Proyecto i|PROF_CONGO|ESO1B|ESO|1|B"}));
}

TEST(ExportRun, AllOrNothingWithThePreviousSetKept)
{
    QTemporaryDir temp;
    const QString vtemp = temp.filePath(QStringLiteral("VTEMP"));
    const WorkDir dir(vtemp);
    const QStringList tables = {"ASIGNOMT", "PROFT", "AULAT", "DIASHORAST", "GRUPOST", "ASIGT"};
    const auto snapshot = [&](const WorkDir& d) {
        QStringList bytes;
        for (const QString& table : tables)
            bytes << QString::fromLatin1(readFile(d.tablePath(table)).toHex());
        return bytes;
    };

    // A first export, then a second of another school: the first set is kept as the previous one.
    ASSERT_EQ(exportRun(school(lesson("1", "Coro", "ABC", "1º ESO A", "1")), temp).outcome, Session::Outcome::Finished);
    const QStringList first = snapshot(dir);
    writeFile(WorkDir(vtemp).path() + QStringLiteral("/asigt.mdx"), "index of the first set"); // Velmora's case
    ASSERT_EQ(exportRun(readFile(splitLessonsSchool()), temp).outcome, Session::Outcome::Finished);
    const QStringList second = snapshot(dir);
    ASSERT_NE(first, second);
    const WorkDir previous(QDir(vtemp).filePath(QStringLiteral("QUINTARO_ANTERIORES")));
    EXPECT_EQ(snapshot(previous), first);
    EXPECT_EQ(readFile(previous.path() + QStringLiteral("/asigt.mdx")), QByteArray("index of the first set"));
    EXPECT_TRUE(dir.filesNamed(QStringLiteral("ASIGT.MDX")).isEmpty());

    // An export that fails in its last step leaves every table byte for byte as it was, and says so.
    const ExportOutcome failed = exportRun(school(lesson("1", "Coro", "ABC", "1º ESO A", "tres")), temp);
    EXPECT_EQ(failed.outcome, Session::Outcome::Failed);
    ASSERT_EQ(failed.ui.errors.size(), 1);
    EXPECT_TRUE(failed.ui.errors[0].contains(QStringLiteral("Las tablas de Velmora no se han cambiado")));
    EXPECT_EQ(snapshot(dir), second);
    EXPECT_EQ(snapshot(previous), first);
    EXPECT_EQ(QDir(vtemp).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"QUINTARO_ANTERIORES"});

    // Restoring puts the first set back and keeps the second, so that it can be undone again.
    restorePreviousExport(dir);
    EXPECT_EQ(snapshot(dir), first);
    EXPECT_EQ(snapshot(previous), second);
    restorePreviousExport(dir);
    EXPECT_EQ(snapshot(dir), second);

    // A table held by another program at the swap stops the run before anything moves.
    DbfTable held(dir.tablePath(QStringLiteral("ASIGT")), DbfTable::Access::Exclusive);
    EXPECT_THROW(replaceFileSet(dir, previous, {"ASIGNOMT.DBF", "ASIGT.DBF"}), RunError);
    held.close();
    EXPECT_EQ(snapshot(dir), second);
    EXPECT_EQ(snapshot(previous), first);
}
