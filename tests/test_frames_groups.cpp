#include "export/frame_choice.h"
#include "export/steps.h"
#include "platform/error.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace quintaro;
using namespace quintaro::test;

namespace {
QStringList rowsOf(const StepFixture& f, const QString& table, const QStringList& fields)
{
    return joinedRows(f.rows(table), fields);
}

FrameSelection chosen(const QString& resultado) { return {true, resultado}; }
QString padded(const QString& id) { return id.leftJustified(10, u' ', true); }
} // namespace

// ---- the choice shared by the dialog and the command line

TEST(FrameChoice, ClosingBuildsTheTextInListOrder)
{
    const QStringList ids = {"A", "B", "ABCDEFGHIJKL"};
    EXPECT_EQ(closeSelection(ids, {1, 0}).selection.resultado, padded("A") + padded("B"));
    EXPECT_TRUE(closeSelection(ids, {1, 0}).message.isEmpty());
    EXPECT_EQ(closeSelection(ids, {2}).selection.resultado, QStringLiteral("ABCDEFGHIJ"));

    const ClosingResult tooMany = closeSelection(ids, {0, 1, 2});
    EXPECT_FALSE(tooMany.selection.resultMH);
    EXPECT_EQ(
        tooMany.message,
        QStringLiteral("Demasiados Marcos Horarios seleccionados.\r\nComo máximo puede seleccionar 2 Marcos Horarios"));
    const ClosingResult none = closeSelection(ids, {});
    EXPECT_FALSE(none.selection.resultMH);
    EXPECT_EQ(none.message, QStringLiteral("Debe al menos seleccionar 1 Marco Horario."));
}

TEST(FrameChoice, CommandLineMatchesTrimmedIdentifiers)
{
    const QStringList ids = {" A", "B ", "C"};
    EXPECT_EQ(selectByIdentifiers(ids, {"B", "A"}).resultado, selectByIdentifiers(ids, {" A ", "B"}).resultado);
    EXPECT_EQ(selectByIdentifiers(ids, {"B", "A"}).resultado, padded(" A") + padded("B "));
    EXPECT_THROW(selectByIdentifiers(ids, {"Z"}), UsageError);
    EXPECT_THROW(selectByIdentifiers(ids, {"A", "B", "C"}), UsageError);
    EXPECT_THROW(selectByIdentifiers(ids, {"A", "A"}), UsageError);
}

// A frame is known by its attribute id wherever it stands; by its first attribute only without one.
TEST(FrameChoice, IdentifierIsTheIdAttribute)
{
    StepFixture f;
    f.load(interchange(QStringLiteral("<marcosDeHorario>%1%2</marcosDeHorario>")
                           .arg(QString(frameXml("M", {"0 1 08:00 09:00"})).replace("<marcoHorario id=\"M\">",
                                                                                     "<marcoHorario nombre=\"Mañana\" "
                                                                                     "id=\"M\">"),
                                QString(frameXml("T", {"0 1 15:00 16:00"})).replace(" id=\"T\"", " clave=\"T\""))));
    EXPECT_EQ(frameIdentifiers(*f.doc), (QStringList{"M", "T"}));
    f.ui.frameAnswers.push_back(closeSelection(frameIdentifiers(*f.doc), {0}).selection);
    f.frames = ExportarMarcos(*f.doc, f.out, f.chooser());
    EXPECT_EQ(f.frames.marcoXML1, QStringLiteral("M"));
    EXPECT_EQ(joinedRows(f.rows(QStringLiteral("DIASHORAST")), {"DIHO", "MARCOXML"}), QStringList{"11|M"});
}

TEST(FrameChoice, HoursListShowsDayZeroOfTheCurrentFrame)
{
    const QString tipo = QStringLiteral("Lectiva de tarde con guardia");
    const ExportDocument doc = exportDocumentFromTree(XmlDocument::parse(interchange(
        QStringLiteral(
            "<marcosDeHorario><marcoHorario id=\"A\">"
            "<tramo><submarco>A</submarco><dia>0</dia><indice>1</indice><horaEntrada>08:30</"
            "horaEntrada><horaSalida>09:25</horaSalida><Tipo></Tipo></tramo>"
            "<tramo><submarco>A</submarco><dia> "
            "0</dia><indice>2</indice><horaEntrada>09:30</horaEntrada><horaSalida>10:25</horaSalida><Tipo/></tramo>"
            "<tramo><submarco>A "
            "</submarco><dia>0</dia><indice>3</indice><horaEntrada>x</horaEntrada><horaSalida>y</horaSalida><Tipo/></"
            "tramo>"
            "<tramo><submarco>A</submarco><dia>1</dia><indice>1</indice><horaEntrada>x</horaEntrada><horaSalida>y</"
            "horaSalida><Tipo/></tramo>"
            "<tramo><submarco>A</submarco><dia>0</dia><indice>4</indice><horaEntrada>11:30</"
            "horaEntrada><horaSalida>12:25</horaSalida><Tipo>%1</Tipo></tramo>"
            "</marcoHorario></marcosDeHorario>")
            .arg(tipo))));
    EXPECT_EQ(hoursLines(doc, QStringLiteral("A")),
              (QStringList{"1-08:30-09:25-", QStringLiteral("4-11:30-12:25-%1").arg(tipo).left(30)}));
    EXPECT_EQ(hoursLines(doc, QStringLiteral("B")), QStringList());

    const ExportDocument onePeriod
        = exportDocumentFromTree(XmlDocument::parse(interchange(frameXml("A", {"0 1 08:00 09:00"}))));
    EXPECT_FALSE(hoursLines(onePeriod, QStringLiteral("A")).has_value());
}

// ---- the time-frames step

TEST(TimeFrames, PeriodRowAsTheTablesSay)
{
    StepFixture f;
    f.load(interchange(QStringLiteral("<marcosDeHorario>%1</marcosDeHorario>")
                           .arg(frameXml("A", {"2 4 10:05 11:00", "7 1 09:00:00 09:50:00", "0 1 10:00 09:30"}))));
    f.frames = ExportarMarcos(*f.doc, f.out, f.chooser());
    EXPECT_EQ(f.ui.framesAsked, 0); // one frame: no dialog
    EXPECT_EQ(fieldNames(f.table(QStringLiteral("DIASHORAST"))),
              (QStringList{"DIHO", "CODDIHO", "DIA", "TEXTODIA", "HORA", "TEXTOHOR", "HORADESDE", "HORAHASTA",
                           "MINUTOS", "MARCO", "MARCOXML", "ES_MARCO_ID", "ES_SUBMARCO", "ES_DIA", "ES_HORADESDE",
                           "ES_HORAHASTA", "ES_TIPO"}));
    const std::vector<Row> rows = f.rows(QStringLiteral("DIASHORAST"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0],
              (Row{{"DIHO", "34"},
                   {"CODDIHO", ""},
                   {"DIA", "3"},
                   {"TEXTODIA", "Miércoles"},
                   {"HORA", "4"},
                   {"TEXTOHOR", "4-10:05-11:00"},
                   {"HORADESDE", "10:05"},
                   {"HORAHASTA", "11:00"},
                   {"MINUTOS", "55"},
                   {"MARCO", "0"},
                   {"MARCOXML", "A"},
                   {"ES_MARCO_ID", "A"},
                   {"ES_SUBMARCO", "A"},
                   {"ES_DIA", "2"},
                   {"ES_HORADESDE", "10:05"},
                   {"ES_HORAHASTA", "11:00"},
                   {"ES_TIPO", "Lectiva"}}));
    EXPECT_EQ(rows[1]["DIA"], QStringLiteral("8"));
    EXPECT_EQ(rows[1]["TEXTODIA"], QString());
    EXPECT_EQ(rows[1]["HORADESDE"], QStringLiteral("09:00"));
    EXPECT_EQ(rows[1]["ES_HORADESDE"], QStringLiteral("09:00:00"));
    EXPECT_EQ(rows[1]["MINUTOS"], QStringLiteral("50"));
    EXPECT_EQ(rows[2]["MINUTOS"], QStringLiteral("-30"));
    EXPECT_EQ(f.frames.marcoXML1, QStringLiteral("A"));
    EXPECT_EQ(f.frames.marcoXML2, QString());
    EXPECT_EQ(f.frames.marco1 + f.frames.marco2, QStringLiteral("01"));
}

TEST(TimeFrames, CodesFollowTheStartOfDayZero)
{
    const struct {
        const char* name;
        QStringList first; // periods of the frame listed first
        QStringList second; // periods of the other one
        const char* codes; // marco1, marco2
    } cases[] = {
        {"firstStartsLater", {"0 1 15:00 16:00"}, {"0 1 08:00 09:00"}, "10"},
        {"equalStarts", {"0 1 08:00 09:00"}, {"0 1 08:00 09:00"}, "01"},
        {"firstHasNoPeriodOneOnDayZero", {"1 1 08:00 09:00"}, {"0 1 07:00 08:00"}, "01"},
        {"secondHasNoneCountsAsWholeDay", {"0 1 23:59 23:59"}, {"0 2 01:00 02:00"}, "01"},
    };
    for (const auto& c : cases) {
        StepFixture f;
        f.load(interchange(QStringLiteral("<marcosDeHorario>%1%2</marcosDeHorario>")
                               .arg(frameXml("X", c.first), frameXml("Y", c.second))));
        f.ui.frameAnswers = {chosen(padded("X") + padded("Y"))};
        f.frames = ExportarMarcos(*f.doc, f.out, f.chooser());
        EXPECT_EQ((f.frames.marco1 + f.frames.marco2).toStdString(), c.codes) << c.name;
        QStringList expected;
        for (int i = 0; i < c.first.size(); ++i)
            expected << "X|" + f.frames.marco1;
        for (int i = 0; i < c.second.size(); ++i)
            expected << "Y|" + f.frames.marco2;
        EXPECT_EQ(rowsOf(f, QStringLiteral("DIASHORAST"), {"MARCOXML", "MARCO"}), expected) << c.name;
    }
}

TEST(TimeFrames, AChooserThatGivesUpEndsTheRun)
{
    // The window's dialog is shown again until its choice is valid (see the GUI tests); a chooser
    // that answers nothing, or nothing valid, ends the run instead of asking for ever.
    for (const std::deque<FrameSelection>& answers :
         {std::deque<FrameSelection>{}, std::deque<FrameSelection>{{false, padded("A") + padded("B") + padded("C")}}}) {
        StepFixture f;
        f.load(interchange(QStringLiteral("<marcosDeHorario>%1%2%3</marcosDeHorario>")
                               .arg(frameXml("A", {"0 1 08:00 09:00"}), frameXml("B", {"0 1 08:00 09:00"}),
                                    frameXml("C", {"0 1 08:00 09:00"}))));
        f.ui.frameAnswers = answers;
        EXPECT_TRUE(failsSaying([&] { ExportarMarcos(*f.doc, f.out, f.chooser()); },
                                {kExportCancelled}));
        EXPECT_EQ(f.ui.framesAsked, 1);
    }
}

TEST(TimeFrames, LongIdentifierOrBlankSubmarco)
{
    StepFixture f;
    f.load(interchange(
        QStringLiteral("<marcosDeHorario><marcoHorario id=\" ABCDEFGHIJKL \">%1</marcoHorario></marcosDeHorario>")
            .arg(QStringLiteral("<tramo><submarco>ABCDEFGHIJKL</submarco><dia>0</dia><indice>1</indice>"
                                "<horaEntrada>08:00</horaEntrada><horaSalida>09:00</horaSalida><Tipo/></tramo>"
                                "<tramo><submarco> </submarco><dia>0</dia><indice>1</indice>"
                                "<horaEntrada>07:00</horaEntrada><horaSalida>08:00</horaSalida><Tipo/></tramo>"))));
    f.frames = ExportarMarcos(*f.doc, f.out, f.chooser());
    // The identifier is cut to 10, so its own period no longer matches; the blank one belongs to
    // the (empty) second frame and takes part in the codes: 0 against 420 minutes.
    EXPECT_EQ(f.frames.marcoXML1, QStringLiteral("ABCDEFGHIJ"));
    EXPECT_EQ(rowsOf(f, QStringLiteral("DIASHORAST"), {"DIHO", "MARCOXML", "MARCO"}), QStringList{"11||1"});
}

TEST(TimeFrames, BadInputStopsTheRun)
{
    const struct {
        const char* name;
        QString frames;
        const char* says;
    } cases[] = {
        {"noFrames", QString(), "no tiene marcos horarios"},
        {"singleFrameWithoutId", "<marcoHorario nombre=\"x\"/>", "no tiene atributo id"},
        {"hourWithoutLeadingZero", frameXml("A", {"0 1 8:30 09:00"}),
         "El tramo n.º 1 del marco A: horaEntrada '8:30' no es una hora (hh:mm)"},
        {"dayNotNumeric", frameXml("A", {"lunes 1 08:30 09:00"}),
         "El tramo n.º 1 del marco A: dia 'lunes' no es un número entero"},
        {"missingDay",
         "<marcoHorario id=\"A\"><tramo><submarco>A</submarco><indice>1</indice><horaEntrada>08:00</horaEntrada>"
         "<horaSalida>09:00</horaSalida><Tipo/></tramo></marcoHorario>",
         "El tramo n.º 1 del marco A: dia '' no es un número entero"},
    };
    for (const auto& c : cases) {
        StepFixture f;
        f.load(interchange(QStringLiteral("<marcosDeHorario>%1</marcosDeHorario>").arg(c.frames)));
        EXPECT_TRUE(
            failsSaying([&] { f.frames = ExportarMarcos(*f.doc, f.out, f.chooser()); }, {QString::fromUtf8(c.says)}))
            << c.name;
    }
}

// A period without Tipo reads it as empty, and a later period keeps its own children.
TEST(TimeFrames, EachPeriodReadsItsOwnChildren)
{
    StepFixture f;
    f.load(interchange(QStringLiteral(
        "<marcosDeHorario><marcoHorario id=\"A\">"
        "<tramo><submarco>A</submarco><dia>0</dia><indice>1</indice><horaEntrada>08:00</horaEntrada>"
        "<horaSalida>09:00</horaSalida></tramo>"
        "<tramo><submarco>A</submarco><dia>0</dia><indice>2</indice><horaEntrada>09:00</horaEntrada>"
        "<horaSalida>10:00</horaSalida><Tipo>Recreo</Tipo></tramo></marcoHorario></marcosDeHorario>")));
    f.frames = ExportarMarcos(*f.doc, f.out, f.chooser());
    EXPECT_EQ(joinedRows(f.rows(QStringLiteral("DIASHORAST")), {"DIHO", "ES_TIPO"}), (QStringList{"11|", "12|Recreo"}));
    ASSERT_EQ(f.report.of(Finding::ChildMissing).size(), 1u);
    EXPECT_EQ(f.report.of(Finding::ChildMissing)[0].detail,
              QStringLiteral("tramo n.º 1 del marco A: no tiene <Tipo>; se toma vacío"));
}

// ---- the groups step

namespace {
QString group(const QString& submarco, const QString& name, const QString& level, const QString& course,
              const QString& unit)
{
    return QStringLiteral(
               "<grupo "
               "submarco=\"%1\"><nombre>%2</nombre><nivel>%3</nivel><curso>%4</curso><unidad>%5</unidad></grupo>")
        .arg(submarco, name, level, course, unit);
}
} // namespace

TEST(Groups, CodesAndFrameCodes)
{
    StepFixture f;
    f.load(interchange(QStringLiteral("<grupos>%1</grupos>")
                           .arg(group("1", "1º ESO A", "ESO", "1", "A") + group("2", "Otro", "ESO", "1", "A")
                                + group(" 2 ", "Tercero", "ESO", "1", "A") + group("3", "Fuera", "X", "Y", "Z")
                                + group("2", "Cuarto", "eso", "1", "A") + group("1", "Largo", "ABCDEFGHIJ", "KL", "")
                                + group("1", "Largo 2", "ABCDEFGHIJ", "KL", "")
                                + group("1", "Nivel largo", "BACHILLER", "1234", "ABC"))));
    f.frames = {"1", "2", "1", "0"};
    ExportarGrupos(*f.doc, f.out, f.frames);
    EXPECT_EQ(rowsOf(f, QStringLiteral("GRUPOST"), {"ABREV", "TURNO", "NIVEL", "CURSO", "GRUPO", "DESCRIP", "MARCO"}),
              (QStringList{"ESO1A||ESO|1|A|1º ESO A|1", "ESO1A1||ESO|1|A|Otro|0", "ESO1A2||ESO|1|A|Tercero|0",
                           "eso1A3||eso|1|A|Cuarto|0", "ABCDEFGHKL||ABCDE|KL||Largo|1",
                           "ABCDEFGHL1||ABCDE|KL||Largo 2|1", "BACHILLEBC||BACHI|123|AB|Nivel largo|1"}));
}

TEST(Groups, WholeSubmarcoIsCompared)
{
    StepFixture f;
    f.load(interchange(QStringLiteral("<grupos>%1</grupos>")
                           .arg(group("10", "Diez", "A", "1", "A") + group("M1", "Eme", "B", "1", "A")
                                + group("1", "Uno", "C", "1", "A") + group("12", "Doce", "D", "1", "A"))));
    f.frames = {"10", "M1", "0", "1"};
    ExportarGrupos(*f.doc, f.out, f.frames);
    EXPECT_EQ(rowsOf(f, QStringLiteral("GRUPOST"), {"DESCRIP", "MARCO"}), (QStringList{"Diez|0", "Eme|1"}));

    StepFixture g;
    g.load(interchange(QStringLiteral("<grupos>%1</grupos>")
                           .arg(group("12", "Doce", "D", "1", "A") + group(" ", "Blanco", "E", "1", "A"))));
    g.frames = {"1", "", "0", "1"};
    ExportarGrupos(*g.doc, g.out, g.frames);
    EXPECT_EQ(rowsOf(g, QStringLiteral("GRUPOST"), {"DESCRIP", "MARCO"}), QStringList{"Blanco|1"});
}

TEST(Groups, WithoutSubmarcoStopsTheRun)
{
    StepFixture f;
    f.load(interchange(QStringLiteral(
        "<grupos><grupo><nombre>A</nombre><nivel>A</nivel><curso>1</curso><unidad>A</unidad></grupo></grupos>")));
    f.frames = {"1", "", "0", "1"};
    EXPECT_TRUE(failsSaying([&] { ExportarGrupos(*f.doc, f.out, f.frames); }, {"no tiene atributo submarco"}));
}

// A group without nombre or nivel, or with two nombre, reads its own children: the groups after it
// keep their descriptions and frames, and the last group is not lost.
TEST(Groups, EachReadsItsOwnChildren)
{
    StepFixture f;
    f.load(interchange(QStringLiteral(
        "<grupos><grupo submarco=\"1\"><nivel>ESO</nivel><curso>1</curso><unidad>A</unidad></grupo>"
        "<grupo submarco=\"1\"><nombre>2º B</nombre><nombre>Dos B</nombre><nivel>ESO</nivel><curso>2</curso>"
        "<unidad>B</unidad></grupo>"
        "<grupo submarco=\"1\"><nombre>3º C</nombre><curso>3</curso><unidad>C</unidad></grupo></grupos>")));
    f.frames = {"1", "", "0", "1"};
    ExportarGrupos(*f.doc, f.out, f.frames);
    EXPECT_EQ(joinedRows(f.rows(QStringLiteral("GRUPOST")), {"ABREV", "NIVEL", "DESCRIP", "MARCO"}),
              (QStringList{"ESO1A|ESO||0", "ESO2B|ESO|2º B|0", "3C||3º C|0"}));
    EXPECT_EQ(childFindings(f.report), (QStringList{"grupo n.º 1: no tiene <nombre>; se toma vacío",
                                 "grupo '2º B': 2 elementos <nombre>; se usa el primero, '2º B' ('Dos B' no)",
                                 "grupo '3º C': no tiene <nivel>; se toma vacío"}));
}
