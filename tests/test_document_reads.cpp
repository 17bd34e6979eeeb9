// Every run reads the school's document from disk once (its hash, names, parse and save take the
// same bytes): counted in the reader, not timed.

#include "fet/fet_solution.h"
#include "platform/document_bytes.h"
#include "run/fet_runs.h"
#include "run/fet_solver.h"
#include "timetable/timetable.h"
#include "test_support.h"
#include "tools/velmora_standin.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>
#include <string_view>

using namespace quintaro;
using namespace quintaro::test;

namespace {
ScriptedUi bothFrames(const QString& document)
{
    ScriptedUi ui;
    ui.document = document;
    ui.frameAnswers = {{true, QStringLiteral("M         T         ")}};
    return ui;
}
} // namespace

TEST(DocumentReads, EachRunReadsTheDocumentOnce)
{
    QTemporaryDir temp;
    const QString doc = temp.filePath(QStringLiteral("escuela.xml"));
    ASSERT_TRUE(QFile::copy(sampleSchool(), doc));
    const QString vtemp = temp.filePath(QStringLiteral("VTEMP"));
    const QString result = resultDocumentPath(doc);
    const QString fetCl = findFetCl({});
    const auto finished = [](RunOutcome outcome, const ScriptedUi& ui) {
        EXPECT_EQ(outcome, RunOutcome::Finished) << ui.errors.join(u'\n').toStdString();
    };
    const struct {
        const char* name;
        std::function<void()> run;
        QString read; // the document the run reads
    } runs[] = {
        {"exportar", [&] { ScriptedUi ui = bothFrames(doc); finished(runExportOf(ui, doc, vtemp).outcome, ui); }, doc},
        {"velmora", [&] { runVelmoraStandin(WorkDir(vtemp)); }, doc},
        {"importar", [&] { ScriptedUi ui; finished(runImportOf(ui, doc, vtemp).outcome, ui); }, doc},
        {"comprobar",
         [&] {
             ScriptedUi ui = bothFrames(doc);
             finished(Session().checkDocument(ui).outcome, ui);
         },
         doc},
        {"fet",
         [&] {
             ScriptedUi ui = bothFrames(doc);
             Session session;
             finished(writeFetForDocument(session, ui, temp.filePath(QStringLiteral("escuela.fet")), {}).outcome, ui);
         },
         doc},
        // A FET solution brought back exports the document again and imports it: from one read.
        {"importar --fet",
         [&] {
             ScriptedUi ui = bothFrames(doc);
             Session session;
             const auto solution = fet::findSolution(QStringLiteral(QUINTARO_SOURCE_DIR "/tests/data/escuela_activities.xml"));
             finished(importFetSolution(session, ui, solution, {}).outcome, ui);
         },
         doc},
        {"horario", [&] { timetable::readTimetable(result); }, result},
        // The export, FET's file (again for each rule eased) and the import, from one read.
        {"resolver",
         [&] {
             if (fetCl.isEmpty())
                 return;
             ScriptedUi ui = bothFrames(doc);
             const FetSolved solved = solveWithFet(ui, fetCl, 120, {}, {}, nullptr);
             EXPECT_EQ(solved.ending, FetSolved::Ending::Finished) << solved.message.toStdString();
         },
         doc},
    };
    for (const auto& r : runs) {
        const qint64 size = r.name == std::string_view("velmora") ? 0 : QFileInfo(r.read).size();
        const qint64 before = documentBytesRead();
        const qint64 readBefore = documentBytesRead(r.read);
        r.run();
        if (r.name == std::string_view("resolver") && fetCl.isEmpty())
            continue; // said below
        EXPECT_EQ(documentBytesRead(r.read) - readBefore, size) << r.name;
        // FET's runs read FET's own files and the result (for its quality line) as well.
        const std::string_view name(r.name);
        if (name.find("fet") == std::string_view::npos && name != "resolver") {
            EXPECT_EQ(documentBytesRead() - before, size) << r.name << ": no other document is read";
        }
    }
    if (fetCl.isEmpty())
        GTEST_SKIP() << "fet-cl no está instalado: resolver no se ha contado";
}
