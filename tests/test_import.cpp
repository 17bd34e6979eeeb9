#include "import/import_run.h"
#include "import/slot_clashes.h"
#include "platform/error.h"
#include "run/session.h"
#include "run/report_text.h"
#include "test_support.h"
#include "tools/velmora_standin.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

using namespace quintaro;
using namespace quintaro::test;
using dbf::FieldKind;

namespace {
// One SOLUC row: ASIG, PROF, CODGRUPO, AULA, DIA, HORA, MARCO.
using SolucRow = QStringList;

void writeSoluc(const WorkDir& dir, const std::vector<SolucRow>& rows, const QString& leaveOut = {})
{
    std::vector<dbf::FieldSpec> fields;
    const QStringList names = {"ASIG", "PROF", "CODGRUPO", "AULA", "DIA", "HORA", "MARCO"};
    for (const QString& name : names)
        if (name != leaveOut)
            fields.push_back({name, name == u"DIA" || name == u"HORA" ? FieldKind::Float : FieldKind::String, 10});
    dir.removeTableFiles(QStringLiteral("SOLUC"));
    DbfTable::create(dir.path() + QStringLiteral("/soluc.dbf"), fields); // Velmora's letter case
    DbfTable t(dir.tablePath(QStringLiteral("SOLUC")), DbfTable::Access::Shared);
    for (const SolucRow& row : rows) {
        t.append();
        for (int i = 0; i < names.size(); ++i)
            if (names[i] != leaveOut)
                t.setText(t.fieldIndex(names[i]), row.value(i));
        t.post();
    }
}

// The time slots of the last horario section, as "dia|indice|marco|aula attribute|sesion|profesor".
QStringList slotsOf(const QString& path)
{
    const XmlDocument doc = XmlDocument::load(path);
    const XmlNodeList& sections = doc.select(QStringLiteral("/datosGHC/horario"));
    if (sections.empty())
        return {"(no horario)"};
    QStringList out;
    for (const XmlNode& tramo : sections.back().children("tramo")) {
        const XmlNode aula = tramo.firstChild("aula");
        QString room;
        if (aula.attribute("id"))
            room = "id=" + *aula.attribute("id");
        else if (aula.attribute("anonima"))
            room = "anonima=" + *aula.attribute("anonima");
        out << QStringList{*tramo.attribute("dia"),          *tramo.attribute("indice"),
                           *tramo.attribute("marco"),        room,
                           aula.firstChild("sesion").text(), aula.firstChild("profesor").text()}
                   .join(u'|');
    }
    return out;
}

// The sample school exported into a fresh working directory, ready for a SOLUC.
class Import : public testing::Test {
public:
    void SetUp() override
    {
        chosen = temp.filePath(QStringLiteral("escuela.xml"));
        exportSampleSchool(chosen, dir.path());
        original = readFile(chosen);
    }

    Session::Outcome import(ScriptedUi& ui)
    {
        ui.document = chosen;
        session.setWorkDirectory(dir.path());
        last = session.runImport(ui);
        return last.outcome;
    }

    QString result() const { return temp.filePath(QStringLiteral("ResultadoZentarescuela.xml")); }

    QTemporaryDir temp;
    WorkDir dir{temp.filePath(QStringLiteral("VTEMP"))};
    QString chosen;
    QByteArray original;
    Session session;
    RunResult last; // what the last import did
};
} // namespace

TEST_F(Import, TimeSlotsFromSoluc)
{
    writeSoluc(dir,
               {
                   {"Matemática", "MGL", "ESO1A", "Aula 1.01", "3", "2", "0"}, // ordinary room
                   {"Matemática", "MGL", "ESO1A", "", "0", "1", "0"}, // DIA 0: left out
                   {"Inglés", "AMS", "BACH1A", "   ", "1", "4", "1"}, // blank room: generic name
                   {"Inglés", "AMS", "BACH1A", "Aula rupo1", "1", "4", "1"}, // a generic room's code
                   {"Inglés", "XYZ", "NADA", "Sótano", "2", "1", "7"}, // nothing found
                   {"Inglés", "XYZ", "NADA", "Sótano", "2", "1", "7"}, // the same slot again
                   {"Matemática", "MGL", "ESO1A", "Aula 1.01", "4.6", "2.4", "0"}, // nearest integers
               });
    ScriptedUi ui;
    ASSERT_EQ(import(ui), Session::Outcome::Finished) << ui.errors.join(u'\n').toStdString();
    EXPECT_EQ(
        ui.messages,
        (QStringList{"Deberá Abrir el fichero XML de ESCOLARIA,\r\ndesde el cual realizó la Importación a Velmora",
                     "Proceso finalizado"}));
    EXPECT_EQ(slotsOf(result()),
              (QStringList{"2|2|M|id=Aula 1.01|101|MGL", "0|4|T|anonima=Aula de grupo|130|AMS", "0|4|T||130|AMS",
                           "1|1||||XYZ", "1|1||||XYZ", "4|2|M|id=Aula 1.01|101|MGL"}));
    EXPECT_EQ(readFile(chosen), original);
    EXPECT_EQ(session.estadoTransformado(), 1);
    EXPECT_FALSE(ui.busy);
    // The attributes of tramo stand in the order dia, indice, marco.
    EXPECT_TRUE(readFile(result()).contains("<tramo dia=\"2\" indice=\"2\" marco=\"M\">"));
}

TEST_F(Import, EmptySolucGivesEmptySectionAndReplacesAnEarlierResult)
{
    writeSoluc(dir, {{"Matemática", "MGL", "ESO1A", "", "0", "1", "0"}});
    writeFile(result(), "an earlier result");
    ScriptedUi ui;
    ASSERT_EQ(import(ui), Session::Outcome::Finished);
    EXPECT_EQ(slotsOf(result()), QStringList());
    // Everything the chosen document held is there (libxml2 may write empty elements shorter).
    const auto content
        = [](const QString& path) { return XmlDocument::load(path).root().text().remove(QRegularExpression("\\s")); };
    EXPECT_EQ(content(result()), content(chosen));
}

TEST_F(Import, NoGenericRoomGivesEmptyAnonima)
{
    DbfTable::create(dir.tablePath(QStringLiteral("AULAT")),
                     {{QStringLiteral("ABREV"), FieldKind::String, 10},
                      {QStringLiteral("NOMBRE"), FieldKind::String, 80},
                      {QStringLiteral("ES_GENERICA"), FieldKind::String, 1}});
    writeSoluc(dir, {{"Matemática", "MGL", "ESO1A", "", "1", "1", "0"}});
    ScriptedUi ui;
    ASSERT_EQ(import(ui), Session::Outcome::Finished);
    EXPECT_EQ(slotsOf(result()), QStringList{"0|1|M|anonima=|101|MGL"});
}

// The import reads SOLUC, AULAT, DIASHORAST and ASIGT only: the other three tables may be missing
// or held by Velmora.
TEST_F(Import, NeedsOnlyTheTablesItReads)
{
    writeSoluc(dir, {{"Matemática", "MGL", "ESO1A", "", "1", "1", "0"}});
    for (const char* table : {"PROFT", "GRUPOST"})
        QFile::remove(dir.tablePath(QString::fromLatin1(table)));
    DbfTable held(dir.tablePath(QStringLiteral("ASIGNOMT")), DbfTable::Access::Exclusive);
    ScriptedUi ui;
    ASSERT_EQ(import(ui), Session::Outcome::Finished) << ui.errors.join(u' ').toStdString();
    EXPECT_EQ(slotsOf(result()), QStringList{"0|1|M|anonima=Aula de grupo|101|MGL"});
}

// The solution is checked: a lesson with fewer placed hours than its HORAS, the rows Velmora left
// unplaced (DIA 0), and a teacher, group or room in two places at once, each told once.
TEST_F(Import, TheSolutionIsChecked)
{
    writeSoluc(dir, {{"Matemática", "MGL", "ESO1A", "Aula 1.01", "1", "1", "0"},
                     {"Matemática", "MGL", "ESO1A", "Aula 1.01", "1", "1", "0"},
                     {"Matemática", "MGL", "ESO1A", "", "0", "0", "0"}});
    ScriptedUi ui;
    ASSERT_EQ(import(ui), Session::Outcome::Finished) << ui.errors.join(u' ').toStdString();
    const ImportReport& report = last.report.imported;
    EXPECT_EQ(report.unplacedRows, 1);
    EXPECT_EQ(report.clashes,
              (QStringList{"el profesor MGL está en 2 sitios a la vez el lunes, hora 1 (marco M): sesión 101, sesión 101",
                           "el grupo ESO1A está en 2 sitios a la vez el lunes, hora 1 (marco M): sesión 101, sesión 101",
                           "el aula Aula 1.01 está en 2 sitios a la vez el lunes, hora 1 (marco M): sesión 101, sesión 101"}));
    ASSERT_FALSE(report.fewerHours.empty());
    const auto math = std::find_if(report.fewerHours.begin(), report.fewerHours.end(),
                                   [](const ImportReport::ShortLesson& l) { return l.sesion == u"101"; });
    ASSERT_NE(math, report.fewerHours.end());
    EXPECT_EQ(math->placed, 2);
    const QString text = reportText(last.report);
    EXPECT_TRUE(text.contains(QStringLiteral("Horas que Velmora dejó sin colocar (DIA 0 en SOLUC): 1")));
    EXPECT_TRUE(text.contains(QStringLiteral("Documento resultado: %1").arg(QDir::toNativeSeparators(result()))));
    EXPECT_TRUE(text.contains(QStringLiteral("Profesores, grupos o aulas en dos sitios a la vez: 3")));
}

// Lesson 101 taught by MGL and AMS to 1º ESO A and 1º ESO B, and Monday's third morning period a
// Recreo: the second teacher and the second group are checked too, and a class in the break is
// told; tasks may be there.
TEST(ImportCheck, SecondTeachersAndGroupsAndBreaks)
{
    QTemporaryDir temp;
    const QString chosen = temp.filePath(QStringLiteral("escuela.xml"));
    const WorkDir dir(temp.filePath(QStringLiteral("VTEMP")));
    exportSampleSchool(chosen, dir.path(), [](QByteArray xml) {
        xml.replace("<profesor>MGL</profesor><grupo>1º ESO A</grupo>",
                    "<profesor>MGL</profesor><profesor>AMS</profesor><grupo>1º ESO A</grupo><grupo>1º ESO B</grupo>");
        return xml.replace("<dia>0</dia><indice>3</indice><horaEntrada>10:30</horaEntrada><horaSalida>11:25</horaSalida>"
                           "<Tipo>Lectiva</Tipo>",
                           "<dia>0</dia><indice>3</indice><horaEntrada>10:30</horaEntrada><horaSalida>11:25</horaSalida>"
                           "<Tipo>Recreo</Tipo>");
    });
    writeSoluc(dir, {{"Matemática", "MGL", "ESO1A", "", "1", "1", "0"},
                     {"Inglés", "AMS", "ESO1B", "", "1", "1", "0"},
                     {"Matemática", "MGL", "ESO1A", "", "1", "3", "0"},
                     {"Guardia de", "CNV", "ESO1A", "", "1", "3", "0"}});
    ScriptedUi ui;
    const RunResult run = runImportOf(ui, chosen, dir.path());
    ASSERT_EQ(run.outcome, Session::Outcome::Finished) << ui.errors.join(u' ').toStdString();
    const ImportReport& report = run.report.imported;
    EXPECT_EQ(report.clashes,
              (QStringList{"el profesor AMS está en 2 sitios a la vez el lunes, hora 1 (marco M): sesión 101, sesión 111",
                           "el grupo ESO1A está en 2 sitios a la vez el lunes, hora 3 (marco M): sesión 101, sesión 138",
                           "el grupo ESO1B está en 2 sitios a la vez el lunes, hora 1 (marco M): sesión 101, sesión 111"}));
    EXPECT_EQ(report.inBreaks,
              (QStringList{"sesión 101 está en un tramo que no es lectivo («Recreo»): el lunes, hora 3 (marco M)"}));
    EXPECT_TRUE(reportText(run.report).contains(QStringLiteral("Clases en tramos que no son lectivos (recreos): 1")));
}

TEST_F(Import, ResultDocumentHeldSectionStaysAsItWas)
{
    writeSoluc(dir, {{"Matemática", "MGL", "ESO1A", "", "1", "1", "0"}});
    ScriptedUi first;
    ASSERT_EQ(import(first), Session::Outcome::Finished);
    // Choosing the result document again: its section stays, the new slots go into a new one.
    chosen = result();
    const QByteArray before = readFile(chosen);
    writeSoluc(dir, {{"Inglés", "AMS", "BACH1A", "", "2", "3", "1"}});
    ScriptedUi second;
    const RunResult again = runImportOf(second, chosen, dir.path());
    ASSERT_EQ(again.outcome, Session::Outcome::Finished);
    EXPECT_TRUE(again.report.imported.hadSchedule);
    const QString twice = temp.filePath(QStringLiteral("ResultadoZentarResultadoZentarescuela.xml"));
    const XmlDocument doc = XmlDocument::load(twice);
    const XmlNodeList& sections = doc.select(QStringLiteral("/datosGHC/horario"));
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].children("tramo").size(), 1u);
    EXPECT_EQ(slotsOf(twice), QStringList{"1|3|T|anonima=Aula de grupo|130|AMS"});
    EXPECT_EQ(readFile(chosen), before);
}

TEST_F(Import, FailuresWriteNothingAndLeaveTheDocument)
{
    const struct {
        const char* name;
        std::function<void(Import&)> arrange;
        const char* says;
    } cases[] = {
        {"missingField",
         [](Import& t) {
             writeSoluc(t.dir, {{"Matemática", "MGL", "ESO1A", "", "1", "1", "0"}}, "MARCO");
         },
         "La tabla SOLUC no tiene el campo MARCO; ¿la ha escrito Velmora?"},
        {"noSoluc", [](Import& t) { t.dir.removeTableFiles(QStringLiteral("SOLUC")); }, "No existe la tabla SOLUC en"},
        {"emptySolucFile",
         [](Import& t) {
             t.dir.removeTableFiles(QStringLiteral("SOLUC"));
             writeFile(t.dir.tablePath(QStringLiteral("SOLUC")), QByteArray());
         },
         "La tabla SOLUC"},
        {"notXml",
         [](Import& t) {
             writeSoluc(t.dir, {});
             writeFile(t.chosen, "<datosGHC><sin cerrar>");
             t.original = readFile(t.chosen);
         },
         "No se puede leer el documento XML"},
        {"wrongRoot",
         [](Import& t) {
             writeSoluc(t.dir, {});
             writeFile(t.chosen, "<?xml version=\"1.0\"?><escuela/>");
             t.original = readFile(t.chosen);
         },
         "su elemento raíz es escuela"},
    };
    for (const auto& c : cases) {
        c.arrange(*this);
        ScriptedUi ui;
        EXPECT_EQ(import(ui), Session::Outcome::Failed) << c.name;
        ASSERT_EQ(ui.errors.size(), 1) << c.name;
        EXPECT_TRUE(ui.errors[0].contains(QString::fromUtf8(c.says))) << c.name << ": " << ui.errors[0].toStdString();
        EXPECT_FALSE(QFileInfo::exists(result())) << c.name;
        EXPECT_EQ(readFile(chosen), original) << c.name;
        EXPECT_EQ(session.estadoTransformado(), 0) << c.name;
        EXPECT_FALSE(ui.busy) << c.name;
        // Every table is released again: a later run can open them.
        DbfTable again(dir.tablePath(QStringLiteral("ASIGT")), DbfTable::Access::Exclusive);
    }
}

TEST_F(Import, MissingDocument)
{
    Session automatic({QStringLiteral("importar"), QStringLiteral("1")});
    ScriptedUi ui;
    EXPECT_EQ(automatic.runImport(ui).outcome, Session::Outcome::NoDocument);
    EXPECT_EQ(ui.messages.last(), QStringLiteral("No existe archivo XML."));
    EXPECT_EQ(automatic.estadoTransformado(), -1);

    // A path that names nothing: each run's own first line, then the same words on where it
    // looked and what to do.
    QTemporaryDir temp;
    const QString typed = temp.filePath(QStringLiteral("no_esta.xml"));
    const QString detail = QDir::toNativeSeparators(typed) + QStringLiteral(" no existe; elija el documento XML que exportó Escolaria.");
    for (const bool exporting : {true, false}) {
        Session session;
        ScriptedUi typedUi;
        typedUi.document = typed;
        EXPECT_EQ((exporting ? session.runExport(typedUi) : session.runImport(typedUi)).outcome, Session::Outcome::NoDocument);
        EXPECT_EQ(typedUi.messages.last(), (exporting ? QStringLiteral("No existe archivo\n")
                                                      : QStringLiteral("No existe archivo XML.\n"))
                                               + detail);
        EXPECT_EQ(session.filenameXML(), typed); // the typed path stays
    }
}

TEST(ResultDocument, BesideTheChosenFile)
{
    EXPECT_EQ(resultDocumentPath(QStringLiteral("/datos/export.xml")),
              QStringLiteral("/datos/ResultadoZentarexport.xml"));
}

TEST(ImportSlots, EachSlotGoesToItsOwnLesson)
{
    // 301 (ANA, 2 h) and 302 (BEA, 2 h) share English and 1º ESO A; 303 (3 h) and 304 (1 h) share
    // Mathematics, group and teacher.
    QTemporaryDir temp;
    const QString doc = temp.filePath(QStringLiteral("desdobles.xml"));
    QFile::copy(splitLessonsSchool(), doc);
    const WorkDir dir(temp.filePath(QStringLiteral("VTEMP")));
    Session session;
    session.setWorkDirectory(dir.path());
    ScriptedUi ui;
    ui.document = doc;
    ASSERT_EQ(session.runExport(ui).outcome, Session::Outcome::Finished) << ui.errors.join(u' ').toStdString();

    const struct {
        const char* prof;
        const char* subject;
        const char* sesion; // expected
    } slots[] = {
        {"BEA", "Inglés", "302"}, // the teacher's own lesson first
        {"ANA", "Inglés", "301"},     {"ANA", "Inglés", "301"},
        {"XYZ", "Inglés", "302"}, // a changed teacher: the first lesson with hours left
        {"ANA", "Inglés", "301"}, // every lesson full: the first of the teacher's
        {"ANA", "Matemática", "303"}, {"ANA", "Matemática", "303"},
        {"ANA", "Matemática", "303"}, {"ANA", "Matemática", "304"}, // the 3-hour lesson is full: the 1-hour one
        {"ANA", "Geografía", ""}, // no lesson of that subject and group
    };
    std::vector<SolucRow> rows;
    QStringList expected;
    for (const auto& slot : slots) {
        rows.push_back({QString::fromUtf8(slot.subject), QString::fromUtf8(slot.prof), "ESO1A", "", "1", "1", "0"});
        expected
            << QStringLiteral("0|1|M|anonima=|%1|%2").arg(QString::fromUtf8(slot.sesion), QString::fromUtf8(slot.prof));
    }
    writeSoluc(dir, rows);
    ui.document = doc;
    const RunResult run = session.runImport(ui);
    ASSERT_EQ(run.outcome, Session::Outcome::Finished) << ui.errors.join(u' ').toStdString();
    EXPECT_EQ(slotsOf(temp.filePath(QStringLiteral("ResultadoZentardesdobles.xml"))), expected);
    const ImportReport& report = run.report.imported;
    EXPECT_EQ(report.slotsPastHours, 1);
    EXPECT_EQ(report.pairsPastHours.keys(), QStringList{"Inglés/ESO1A"});
    EXPECT_EQ(report.slotsWithoutLesson, 1);
    EXPECT_EQ(report.pairsWithoutLesson.keys(), QStringList{"Geografía/ESO1A"});
    EXPECT_TRUE(report.doubts.isEmpty()) << report.doubts.join(u'\n').toStdString();
}

TEST_F(Import, DoubtsWhenTheSolutionMayNotBelongToTheDocument)
{
    writeSoluc(dir, {{"Matemática", "MGL", "ESO1A", "", "1", "1", "0"}});
    {
        ScriptedUi ui; // the exported document, SOLUC written after the export
        ASSERT_EQ(import(ui), Session::Outcome::Finished);
        EXPECT_TRUE(last.report.imported.doubts.isEmpty()) << last.report.imported.doubts.join(u'\n').toStdString();
    }
    const struct {
        const char* name;
        std::function<void(Import&)> change;
        const char* says;
    } cases[] = {
        {"anotherDocument",
         [](Import& t) {
             t.chosen = t.temp.filePath(QStringLiteral("otro.xml"));
             writeFile(t.chosen, interchange(QStringLiteral("<materias/>")));
         },
         "desde otro documento"},
        {"documentChanged", [](Import& t) { writeFile(t.chosen, t.original + "<!-- cambiado -->"); }, "ha cambiado"},
        {"solucOlderThanTheExport",
         [](Import& t) {
             QFile soluc(t.dir.tablePath(QStringLiteral("SOLUC")));
             soluc.open(QIODevice::ReadWrite);
             soluc.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
         },
         "es anterior a la última exportación"},
        {"manySlotsWithoutLesson",
         [](Import& t) {
             writeSoluc(t.dir, std::vector<SolucRow>(5, SolucRow{"Nada", "X", "Y", "", "1", "1", "0"}));
         },
         "5 franjas de SOLUC no encuentran su sesión"},
    };
    for (const auto& c : cases) {
        c.change(*this);
        ScriptedUi ui;
        ASSERT_EQ(import(ui), Session::Outcome::Finished) << c.name;
        EXPECT_EQ(last.report.imported.doubts.filter(QString::fromUtf8(c.says)).size(), 1)
            << c.name << ": " << last.report.imported.doubts.join(u'\n').toStdString();
        SetUp(); // a fresh export for the next case
        writeSoluc(dir, {{"Matemática", "MGL", "ESO1A", "", "1", "1", "0"}});
    }
}

// Names outside Windows-1252 (stored as '?') and names cut to their field go back into the result
// as the document wrote them, when the chosen document is the exported one; otherwise they go as
// the tables keep them, and the report says which.
TEST(ImportNames, GoBackAsTheDocumentWroteThem)
{
    QTemporaryDir temp;
    const QString doc = temp.filePath(QStringLiteral("nombres.xml"));
    writeFile(doc, interchange(QStringLiteral(
                       "<materias><materia>Coro</materia></materias><tareas/>"
                       "<profesores><profesor><nombre>ŞPN</nombre><nombreCompleto>Şule Pınar</nombreCompleto></profesor>"
                       "<profesor><nombre>PROFESORA_LARGA</nombre><nombreCompleto>Larga</nombreCompleto></profesor>"
                       "</profesores><aulas><aula><nombre>Aula π</nombre></aula></aulas>"
                       "<marcosDeHorario>%1</marcosDeHorario>"
                       "<grupos><grupo submarco=\"M\"><nombre>1A</nombre><nivel>ESO</nivel><curso>1</curso>"
                       "<unidad>A</unidad></grupo></grupos><sesionesLectivas>"
                       "<sesion id=\"1\"><materia>Coro</materia><profesor>ŞPN</profesor><grupo>1A</grupo>"
                       "<distribucionSemanal><distribucionVariable><numSesiones>1</numSesiones></distribucionVariable>"
                       "</distribucionSemanal><tarea/></sesion>"
                       "<sesion id=\"2\"><materia>Coro</materia><profesor>PROFESORA_LARGA</profesor><grupo>1A</grupo>"
                       "<distribucionSemanal><distribucionVariable><numSesiones>1</numSesiones></distribucionVariable>"
                       "</distribucionSemanal><tarea/></sesion></sesionesLectivas>")
                       .arg(frameXml("M", {"0 1 08:00 09:00", "0 2 09:00 10:00", "1 1 08:00 09:00"}))));
    const WorkDir dir(temp.filePath(QStringLiteral("VTEMP")));
    {
        ScriptedUi ui;
        ASSERT_EQ(runExportOf(ui, doc, dir.path()).outcome, Session::Outcome::Finished) << ui.errors.join(u' ').toStdString();
    }
    runVelmoraStandin(dir);
    // The stand-in leaves rooms out; give every slot the one named room, as Velmora would.
    {
        DbfTable soluc(dir.tablePath(QStringLiteral("SOLUC")), DbfTable::Access::Exclusive);
        const int aula = soluc.fieldIndex(QStringLiteral("AULA"));
        for (soluc.first(); !soluc.eof(); soluc.next()) {
            soluc.edit();
            soluc.setText(aula, QStringLiteral("Aula ?"));
        }
        soluc.close();
    }
    const auto importedTexts = [&] {
        ScriptedUi ui;
        const RunResult run = runImportOf(ui, doc, dir.path());
        EXPECT_EQ(run.outcome, Session::Outcome::Finished) << ui.errors.join(u' ').toStdString();
        const XmlDocument result = XmlDocument::load(resultDocumentPath(doc));
        QStringList texts;
        for (const XmlNode& tramo : selectSingle(result, QStringLiteral("/datosGHC/horario")).children("tramo")) {
            const XmlNode aula = tramo.firstChild("aula");
            texts << aula.attribute("id").value_or(QString()) + u'|' + aula.firstChild("profesor").text();
        }
        texts.sort();
        return std::pair(texts, run.report.imported.doubts);
    };
    const auto [exported, noDoubts] = importedTexts();
    EXPECT_EQ(exported, (QStringList{"Aula π|PROFESORA_LARGA", "Aula π|ŞPN"}));
    EXPECT_TRUE(noDoubts.isEmpty()) << noDoubts.join(u'\n').toStdString();

    // The document changed since: the tables' own texts, and a warning that names them.
    writeFile(doc, readFile(doc) + "\n");
    const auto [changed, doubts] = importedTexts();
    EXPECT_EQ(changed, (QStringList{"Aula ?|?PN", "Aula ?|PROFESORGA"}));
    EXPECT_TRUE(doubts.join(u'\n').contains(QStringLiteral("PROFT.ABREV '?PN', AULAT.NOMBRE 'Aula ?'")))
        << doubts.join(u'\n').toStdString();
}

// Two slots clash when they are the same period, or periods of two frames whose clock times
// overlap on one day; periods without times clash only with themselves.
TEST(SlotClashes, SameClockTimeAcrossFramesIsOneTime)
{
    SlotClashes clashes;
    const QString ana = QStringLiteral("el profesor ANA");
    clashes.place(ana, "ANA", {1, 13 * 60 + 30, 14 * 60 + 25, "lunes, hora 6 (marco M)"}, "sesión 1");
    clashes.place(ana, "ANA", {1, 14 * 60, 14 * 60 + 55, "lunes, hora 1 (marco T)"}, "sesión 2");
    clashes.place(ana, "ANA", {1, 15 * 60, 15 * 60 + 55, "lunes, hora 2 (marco T)"}, "sesión 3"); // after both
    clashes.place(ana, "ANA", {2, 13 * 60 + 30, 14 * 60 + 25, "martes, hora 6 (marco M)"}, "sesión 4"); // another day
    const QString pablo = QStringLiteral("el profesor PAB");
    clashes.place(pablo, "PAB", {1, -1, -1, "lunes, hora 1 (marco M)"}, "sesión 5");
    clashes.place(pablo, "PAB", {1, -1, -1, "lunes, hora 1 (marco T)"}, "sesión 6"); // times unknown: apart
    clashes.place(QStringLiteral("el grupo"), "", {1, 0, 60, "lunes, hora 1"}, "sesión 7"); // no group: nobody
    EXPECT_EQ(clashes.found(), QStringList{"el profesor ANA está en 2 sitios a la vez el lunes, hora 6 (marco M) y el "
                                           "lunes, hora 1 (marco T): sesión 1, sesión 2"});
    EXPECT_TRUE(clashes.clashes(ana, QStringLiteral("lunes, hora 1 (marco T)")));
    EXPECT_FALSE(clashes.clashes(ana, QStringLiteral("lunes, hora 2 (marco T)")));
    EXPECT_FALSE(clashes.clashes(pablo, QStringLiteral("lunes, hora 1 (marco M)")));
}
