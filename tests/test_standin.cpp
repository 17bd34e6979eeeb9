#include "run/session.h"
#include "test_support.h"
#include "tools/velmora_standin.h"

#include <QHash>
#include <QSet>

#include <gtest/gtest.h>

using namespace quintaro;
using namespace quintaro::test;

namespace {
// The sample school exported with both frames, then solved by the stand-in.
class RoundTrip : public testing::Test {
public:
    void SetUp() override
    {
        chosen = temp.filePath(QStringLiteral("escuela.xml"));
        exportSampleSchool(chosen, dir.path());
        report = runVelmoraStandin(dir);
        soluc = readRows(dir.tablePath(QStringLiteral("SOLUC")));
    }

    std::vector<Row> table(const char* name) const { return readRows(dir.tablePath(QString::fromLatin1(name))); }

    QTemporaryDir temp;
    WorkDir dir{temp.filePath(QStringLiteral("VTEMP"))};
    QString chosen;
    StandinReport report;
    std::vector<Row> soluc;
};
} // namespace

TEST_F(RoundTrip, StandinPlacesEveryHourWithoutClashes)
{
    EXPECT_EQ(fieldNames(dir.tablePath(QStringLiteral("SOLUC"))),
              (QStringList{"ASIG", "PROF", "CODGRUPO", "TURNO", "NIVEL", "CURSO", "GRUPO", "AULA", "TAREA", "DIA",
                           "HORA", "SESIONES", "MARCO"}));
    qint64 hours = 0;
    for (const Row& lesson : table("ASIGT"))
        hours += lesson["HORAS"].toLongLong();
    EXPECT_EQ(qint64(soluc.size()), hours);
    EXPECT_EQ(report.placed + report.unplaced, hours);
    EXPECT_GT(report.placed, 0);

    QSet<QString> ordinaryRooms;
    for (const Row& room : table("AULAT"))
        if (room["ES_GENERICA"] == u"N")
            ordinaryRooms << room["ABREV"];
    QHash<QString, QString> frameOfGroup;
    for (const Row& group : table("GRUPOST"))
        frameOfGroup.insert(group["ABREV"], group["MARCO"]);

    // The sample's two frames never overlap in time, so frame, day and hour name one time.
    QSet<QString> taken;
    for (const Row& row : soluc) {
        if (row["DIA"] == u"0")
            continue;
        const QString time = row["MARCO"] + u'/' + row["DIA"] + u'/' + row["HORA"];
        EXPECT_EQ(row["MARCO"], frameOfGroup.value(row["CODGRUPO"]));
        for (const QString& who : {QStringLiteral("P:") + row["PROF"], QStringLiteral("G:") + row["CODGRUPO"],
                                   QStringLiteral("A:") + row["AULA"]}) {
            if (who == u"A:" || who == u"P:")
                continue;
            EXPECT_FALSE(taken.contains(who + u'@' + time)) << (who + u'@' + time).toStdString();
            taken << who + u'@' + time;
        }
        if (!row["AULA"].isEmpty()) {
            EXPECT_TRUE(ordinaryRooms.contains(row["AULA"]));
        }
    }
}

TEST_F(RoundTrip, EveryPlacedHourComesBackAsATimeSlot)
{
    ScriptedUi ui;
    ASSERT_EQ(runImportOf(ui, chosen, dir.path()).outcome, Session::Outcome::Finished) << ui.errors.join(u'\n').toStdString();

    QHash<QString, QString> roomName, frameId, sessionOf;
    for (const Row& room : table("AULAT"))
        roomName.insert(room["ABREV"], room["NOMBRE"]);
    for (const Row& period : table("DIASHORAST"))
        frameId.insert(period["MARCO"], period["MARCOXML"]);
    for (const Row& lesson : table("ASIGT")) {
        const QString key = lesson["CASIG"] + u'|' + lesson["CGRUP"];
        if (!sessionOf.contains(key))
            sessionOf.insert(key, lesson["ES_SESION"]);
    }
    QStringList expected;
    for (const Row& row : soluc) {
        if (row["DIA"] == u"0")
            continue;
        const QString room = row["AULA"].isEmpty() ? QStringLiteral("anonima=Aula de grupo")
                                                   : QStringLiteral("id=") + roomName[row["AULA"]];
        expected
            << QStringList{QString::number(row["DIA"].toInt() - 1),         row["HORA"], frameId[row["MARCO"]], room,
                           sessionOf[row["ASIG"] + u'|' + row["CODGRUPO"]], row["PROF"]}
                   .join(u'|');
    }

    const XmlDocument result = XmlDocument::load(temp.filePath(QStringLiteral("ResultadoZentarescuela.xml")));
    QStringList got;
    for (const XmlNode& tramo : selectSingle(result, QStringLiteral("/datosGHC/horario")).children("tramo")) {
        const XmlNode aula = tramo.firstChild("aula");
        const QString room = aula.attribute("id") ? "id=" + *aula.attribute("id")
                                                  : "anonima=" + aula.attribute("anonima").value_or("?");
        got << QStringList{*tramo.attribute("dia"),          *tramo.attribute("indice"),
                           *tramo.attribute("marco"),        room,
                           aula.firstChild("sesion").text(), aula.firstChild("profesor").text()}
                   .join(u'|');
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(qint64(got.size()), report.placed);
    EXPECT_FALSE(got.filter(QStringLiteral("|M|")).isEmpty());
    EXPECT_FALSE(got.filter(QStringLiteral("|T|")).isEmpty());
}

TEST_F(RoundTrip, StandinRefusesASolutionHeldByAnotherProgram)
{
    DbfTable held(dir.tablePath(QStringLiteral("SOLUC")), DbfTable::Access::Exclusive);
    EXPECT_TRUE(failsSaying([&] { runVelmoraStandin(dir); }, {QStringLiteral("SOLUC"), QStringLiteral("en uso")}));
    held.close();
    EXPECT_EQ(readRows(dir.tablePath(QStringLiteral("SOLUC"))).size(), soluc.size());
}

TEST_F(RoundTrip, StandinNeverPlacesAnHourInABreak)
{
    // The sample's periods are all "Lectiva"; a school that calls those its breaks gets none used.
    const StandinReport none = runVelmoraStandin(dir, tables::PeriodKinds({QStringLiteral("lectiva")}));
    EXPECT_EQ(none.placed, 0);
    EXPECT_EQ(none.unplaced, report.placed + report.unplaced);
}
