#include "run/export_record.h"
#include "run/report_text.h"
#include "platform/document_bytes.h"
#include "run/session.h"
#include "test_support.h"

#include <QCryptographicHash>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>

using namespace quintaro;
using namespace quintaro::test;

namespace {
// A school that gives every kind of finding of the export once (teachers missing 21 times).
QByteArray troubledSchool()
{
    const QString longName = QStringLiteral("Proyecto ") + QString(85, u'x');
    QString lessons = lesson("1", "Latín", "ANA", "1º A", "2") + lesson("2", "Coro", "ANA", "Nadie", "2")
        + lesson("3", "Coro", "ANA", "2º B", "2") + lesson("4", "Coro", "ANA", "1º A", "2", "Guardia")
        + lesson("5", "Coro", "ANA", "1º A", "") + lesson("6", longName, "ANA", "1º A", "1")
        + lesson("7", "Coro", "ANA", "3º C", "0");
    for (int i = 0; i < 21; ++i)
        lessons += lesson(QString::number(100 + i), "Coro", "XYZ", "1º A", "1");
    return interchange(
        QStringLiteral(
            "<materias><materia>Coro</materia><materia>%1</materia></materias><tareas/>"
            "<profesores><profesor><nombre>ANA</nombre><nombreCompleto>Łucja Nowak</nombreCompleto></profesor>"
            "<profesor><nombre>ANA</nombre><nombreCompleto>Ana Ruiz</nombreCompleto></profesor></profesores>"
            "<marcosDeHorario>%2%3</marcosDeHorario>"
            "<grupos><grupo submarco=\"M\"><nombre>1º A</nombre><nivel>ESO</nivel><curso>1</curso><unidad>A</unidad>"
            "</grupo><grupo submarco=\"X\"><nombre>2º B</nombre><nivel>ESO</nivel><curso>2</curso><unidad>B</unidad>"
            "</grupo><grupo submarco=\"M\"><nombre>3º C</nombre><nivel>BACHILLERATO</nivel><curso>1</curso>"
            "<unidad>B-Ciencias</unidad></grupo></grupos><sesionesLectivas>%4</sesionesLectivas>")
            .arg(longName, frameXml("M", {"0 1 08:30 09:25"}), frameXml("TARDE_LARGA", {"0 1 15:30 16:25"}), lessons));
}
} // namespace

TEST(Report, EveryKindOfFindingWithItsLessonsAndCsv)
{
    QTemporaryDir temp;
    const QString doc = temp.filePath(QStringLiteral("doc.xml"));
    writeFile(doc, troubledSchool());
    ScriptedUi ui;
    ui.document = doc;
    ui.frameAnswers = {{true, QStringLiteral("M         TARDE_LARG")}};
    const RunResult run = runExportOf(ui, doc, temp.filePath(QStringLiteral("VTEMP")));
    ASSERT_EQ(run.outcome, Session::Outcome::Finished) << ui.errors.join(u' ').toStdString();
    const RunReport& report = run.report;

    const struct {
        Finding::Kind kind;
        int count;
        const char* sesion; // of the first
        const char* value; // of the first
    } expected[] = {
        {Finding::SubjectMissing, 1, "1", "Latín"},   {Finding::GroupMissing, 1, "2", "Nadie"},
        {Finding::GroupOfOtherFrame, 1, "3", "2º B"}, {Finding::TaskMissing, 1, "4", "Guardia"},
        {Finding::HoursTakenAsOne, 1, "5", "Coro"},   {Finding::TeacherMissing, 21, "100", "XYZ"},
        {Finding::Unmappable, 1, "", "Łucja Nowak"},  {Finding::CodeChanged, 2, "", "ANA"},
        {Finding::FrameIdCut, 1, "", "TARDE_LARGA"},  {Finding::FrameEmpty, 1, "", "TARDE_LARG"},
        {Finding::TeacherNameShared, 1, "", "ANA"},   {Finding::HoursNotPositive, 1, "7", "0"},
    };
    for (const auto& e : expected) {
        const std::vector<Finding> found = report.exported.of(e.kind);
        ASSERT_EQ(int(found.size()), e.count) << int(e.kind);
        EXPECT_EQ(found[0].sesion, QString::fromUtf8(e.sesion)) << int(e.kind);
        EXPECT_EQ(found[0].value, QString::fromUtf8(e.value)) << int(e.kind);
    }
    // Every lesson naming ANA goes to the first ANA: said with both full names and the count.
    EXPECT_EQ(report.exported.of(Finding::TeacherNameShared)[0].detail,
              QStringLiteral("'ANA' es el nombre corto de 2 profesores: Łucja Nowak (ANA), Ana Ruiz (ANA1); las 7 "
                             "sesiones que nombran a 'ANA' van a Łucja Nowak (ANA). Dé a cada profesor un nombre "
                             "corto distinto en Escolaria y exporte de nuevo"));
    // The 95-character subject name is cut in ASIGNOMT.NOMBRE, and the group's level and unit in
    // their short fields; the long code (the name's first 10 characters) is cut on purpose.
    QStringList cut;
    for (const Finding& f : report.exported.of(Finding::TextCut))
        cut << f.value + QStringLiteral(" → ") + f.detail;
    EXPECT_EQ(cut, (QStringList{QStringLiteral("Proyecto %1 → ASIGNOMT.NOMBRE: cortado a 80 caracteres").arg(QString(85, u'x')),
                                "BACHILLERATO → GRUPOST.NIVEL: cortado a 5 caracteres",
                                "B-Ciencias → GRUPOST.GRUPO: cortado a 2 caracteres"}));

    const QString text = reportText(report);
    EXPECT_TRUE(
        text.contains(QStringLiteral("Sesiones cuyo profesor no está en PROFT: 21\n  sesión 100: profesor 'XYZ'")));
    EXPECT_TRUE(text.contains(QStringLiteral("  sesión 119: profesor 'XYZ'\n  … y 1 más")));
    EXPECT_FALSE(text.contains(QStringLiteral("sesión 120:")));
    EXPECT_TRUE(text.contains(QStringLiteral("Sesiones cuyo grupo es de un marco horario no elegido")));

    const QByteArray bytes = reportCsv(report);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")); // so that a spreadsheet reads UTF-8
    const QStringList csv = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(csv.value(0), QStringLiteral("categoría;sesión;valor;detalle"));
    EXPECT_EQ(qsizetype(csv.size()), qsizetype(report.exported.findings.size()) + 1);
    EXPECT_TRUE(csv.contains(QStringLiteral("asignatura_no_encontrada;1;Latín;sin fila en ASIGT")));
}

#ifndef _WIN32
// The digest is taken from the pieces the parse reads: a document that does not parse stops the
// run at once, not after the whole file has been read for the digest (a terabyte of sparse zeros
// after a broken start would take half an hour to read).
TEST(ExportRecordHashing, AFailedRunDoesNotWaitForTheDigest)
{
    QTemporaryDir dir;
    const QString document = dir.filePath(QStringLiteral("roto.xml"));
    writeFile(document, "<datosGHC><sin cerrar");
    QFile file(document);
    ASSERT_TRUE(file.resize(qint64(1) << 40)) << "a sparse file is needed";
    ScriptedUi ui;
    EXPECT_EQ(runExportOf(ui, document, dir.filePath(QStringLiteral("VTEMP"))).outcome, Session::Outcome::Failed);
    ASSERT_EQ(ui.errors.size(), 1);
    EXPECT_TRUE(ui.errors.front().contains(QStringLiteral("no es XML válido"))) << ui.errors.front().toStdString();
    EXPECT_LT(documentBytesRead(document), qint64(1) << 30);
}
#endif

// The digest of pieces, taken on another thread, is that of their bytes.
TEST(ExportRecordHashing, DigestOfPieces)
{
    const QByteArray bytes(3 << 20, 'x');
    const QByteArray md5 = QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
    BackgroundDigest pieces;
    for (qsizetype at = 0; at < bytes.size(); at += 65536)
        pieces.add(bytes.mid(at, 65536));
    EXPECT_EQ(pieces.result().hash, md5);
    EXPECT_EQ(pieces.result().size, bytes.size());
}
