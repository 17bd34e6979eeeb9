#include "run/fet_runs.h"

#include "platform/error.h"
#include "platform/no_follow.h"
#include "platform/whole_file.h"
#include "platform/xml_document.h"
#include "run/original_names.h"
#include "run/fet_solver.h"
#include "run/run_ui.h"
#include "tables/soluc_writer.h"
#include "timetable/quality.h"
#include "timetable/timetable.h"

#include <QDir>
#include <QFileInfo>

namespace quintaro {

namespace {
void requireValid(const QTemporaryDir& folder)
{
    if (!folder.isValid())
        throw RunError(QStringLiteral("No se puede crear una carpeta temporal (%1)").arg(folder.errorString()));
}
} // namespace

RunResult TemporaryExport::run(Session& session, RunUi& ui)
{
    requireValid(m_folder);
    RunResult result = session.runExportForFet(ui, dir().path());
    m_document = session.filenameXML();
    m_frames = result.report.chosenFrames;
    // The tables were made from this very document: its own names go into the file, taken from
    // what the export read.
    if (result.outcome == Session::Outcome::Finished && session.exportedDocument())
        m_names = originalNames(dir(), session.exportedDocument()->capture(), true).names;
    return result;
}

fet::FetFile TemporaryExport::fetFile(const FetChoices& choices) const
{
    const WorkDir folder = dir();
    return fet::writeFetFile(tables::readSchoolTables(folder), m_names,
                             {QFileInfo(m_document).fileName(), m_frames, choices.kinds, choices.rules});
}

std::pair<qint64, qint64> TemporaryExport::writeFetFile(const FetChoices& choices, const QString& target,
                                                        fet::RulesCarried* carried) const
{
    fet::FetFile file = fetFile(choices);
    if (!choices.previousRules.isEmpty()) {
        const fet::RulesCarried rules = fet::carryRules(file, choices.previousRules);
        if (carried)
            *carried = rules;
    }
    if (const auto failure = writeWholeFile(target, file.xml))
        throw RunError(QStringLiteral("No se puede escribir el archivo de FET %1: %2")
                           .arg(QDir::toNativeSeparators(target), failure->reason));
    return {qint64(file.lessonOfActivity.size()), file.taskActivities};
}

namespace {
// The export a FET file is made from, and what it says before any file is written: how each
// period kind was taken, and a RunError naming every group that cannot fit.
FetFileWritten exportForFet(TemporaryExport& exported, Session& session, RunUi& ui, const FetChoices& choices)
{
    FetFileWritten written;
    RunResult result = exported.run(session, ui);
    written.outcome = result.outcome;
    written.report = std::move(result.report);
    if (written.outcome != Session::Outcome::Finished)
        return written;
    const tables::SchoolTables school = exported.school();
    written.kindsTaken = tables::kindsTaken(school.periods, choices.kinds);
    // No solver can place what does not fit: said in Spanish, before FET is asked.
    if (const QStringList problems = tables::groupsOverTheirPeriods(school, choices.kinds); !problems.isEmpty())
        throw RunError(QStringLiteral("No se ha escrito el archivo de FET: %1.\nTramos: %2")
                           .arg(problems.join(QStringLiteral(".\n")), written.kindsTaken.join(QStringLiteral("; "))));
    return written;
}
} // namespace

FetFileWritten writeFetForDocument(Session& session, RunUi& ui, const QString& target, const FetChoices& choices)
{
    TemporaryExport exported;
    FetFileWritten written = exportForFet(exported, session, ui, choices);
    if (written.outcome == Session::Outcome::Finished)
        std::tie(written.activities, written.taskActivities)
            = exported.writeFetFile(choices, target, &written.rules);
    return written;
}

RunReport fetRunReport(const RunReport& exported, const ImportReport& imported)
{
    RunReport report = exported;
    report.exported.tables.clear(); // a temporary folder's tables, of no use to the person
    report.imported = imported;
    return report;
}

QStringList lessonsLeftOut(const ExportReport& report)
{
    QStringList left;
    for (const Finding& f : report.findings)
        if (f.kind == Finding::SubjectMissing || f.kind == Finding::HoursNotPositive)
            left << QStringLiteral("sesión %1 (%2)").arg(f.sesion, f.value);
    return left;
}

QString fetFinishedMessage(const FetSolved& solved)
{
    const QString placed = solved.taskActivities == 0
        ? QStringLiteral("las %1 horas de clase").arg(solved.activities)
        : QStringLiteral("las %1 horas, %2 de clase y %3 de tareas")
              .arg(solved.activities)
              .arg(solved.activities - solved.taskActivities)
              .arg(solved.taskActivities);
    QString message = QStringLiteral("%1 (FET colocó %2; marcos %3).")
                          .arg(kProcesoFinalizado, placed, solved.frames.join(u','));
    if (const QStringList left = lessonsLeftOut(solved.report.exported); !left.isEmpty())
        message += QStringLiteral("\nFuera del horario (%1): %2; el informe dice por qué.")
                       .arg(left.size())
                       .arg(left.join(QStringLiteral(", ")));
    if (!solved.eased.isEmpty())
        message += QStringLiteral("\nPara colocar todas las horas se han relajado reglas: %1.")
                       .arg(solved.eased.join(QStringLiteral("; ")));
    if (!solved.quality.isEmpty())
        message += u'\n' + solved.quality;
    return message;
}

QStringList framesOfSolution(const fet::SolutionFiles& solution)
{
    if (solution.data.isEmpty())
        return {};
    const XmlDocument data = XmlDocument::load(solution.data);
    return fet::framesInComments(data.root().firstChild("Comments").text());
}

FetImport importFetSolution(Session& session, RunUi& ui, const fet::SolutionFiles& solution,
                            const FetChoices& choices)
{
    // The export and the import take the document from one read.
    session.keepDocumentBytes();
    TemporaryExport exported;
    FetImport imported;
    imported.partial = solution.partial;
    RunResult exportRun = exported.run(session, ui);
    imported.outcome = exportRun.outcome;
    imported.report = exportRun.report; // what the export found, kept through the import
    if (imported.outcome != Session::Outcome::Finished)
        return imported;
    const tables::SchoolTables school = exported.school();
    const fet::FetFile file = exported.fetFile(choices);
    const fet::Solution solved = fet::readSolution(solution, school, file);
    imported.unplaced = solved.unplaced;
    imported.activities = qint64(solved.hours.size());
    imported.lessonsChecked = solved.lessonsChecked;
    tables::writeSoluc(exported.dir(), school, solved.hours);
    const RunResult importRun = session.runImportFrom(ui, exported.dir().path());
    imported.outcome = importRun.outcome;
    imported.report = fetRunReport(exportRun.report, importRun.report.imported);
    imported.report.imported.solver = QStringLiteral("FET");
    if (imported.outcome == Session::Outcome::Finished)
        imported.quality
            = timetable::qualityLine(timetable::readTimetable(imported.report.imported.resultDocument).quality);
    return imported;
}

namespace {
// The runs inside a FET run speak through this: the document and the frames are asked of the
// person once and given again to the second run, and what the runs say is kept for the end
// instead of a box each.
class InnerRunUi : public RunUi {
public:
    explicit InnerRunUi(RunUi& outer) : m_outer(outer) { }
    std::optional<QString> chooseDocument() override
    {
        if (!m_asked) {
            m_asked = true;
            m_document = m_outer.chooseDocument();
        }
        return m_document;
    }
    std::optional<FrameSelection> chooseFrames(const QString& documentPath, const ExportDocument& doc) override
    {
        if (!m_frames)
            m_frames = m_outer.chooseFrames(documentPath, doc);
        return m_frames;
    }
    void inform(const QString& message) override { said << message; }
    void instruct(const QString&) override { }
    void showError(const QString& message) override { errors << message; }
    void finished(const QString&, const RunReport&) override { }
    void setBusy(bool busy) override { m_outer.setBusy(busy); }

    QStringList said, errors;

private:
    RunUi& m_outer;
    bool m_asked = false;
    std::optional<QString> m_document;
    std::optional<FrameSelection> m_frames;
};

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// Why FET stopped before placing everything, and how far it got.
QString stoppedEarly(const FetSolverRun& run, int seconds, qint64 activities, const QString& document)
{
    switch (run.ending) {
    case FetSolverRun::Ending::TimedOut:
        // The suggestion in 64 bits: four times a very long limit still reads as a number.
        return QStringLiteral("FET no terminó en %1 s: llegó a colocar %2 de %3 horas. Pruebe con más tiempo: "
                              "quintaro-cli resolver \"%4\" --segundos %5.")
            .arg(seconds)
            .arg(run.placed)
            .arg(activities)
            .arg(native(document))
            .arg(qint64(seconds) * 4);
    case FetSolverRun::Ending::Overran:
        return QStringLiteral("fet-cl siguió buscando después de sus %1 s y Quintaro lo ha detenido: llegó a colocar %2 "
                              "de %3 horas. Compruebe que el fet-cl instalado es el de FET (quintaro-cli "
                              "resolver --fet-cl RUTA indica otro).")
            .arg(seconds)
            .arg(run.placed)
            .arg(activities);
    default:
        return QStringLiteral("Interrumpido: FET llegó a colocar %1 de %2 horas.").arg(run.placed).arg(activities);
    }
}
} // namespace

FetSolved solveWithFet(RunUi& ui, const QString& program, int seconds, const FetChoices& choices,
                       const std::function<void(const QString&)>& progress, const std::atomic_int* stops)
{
    FetSolved solved;
    InnerRunUi inner(ui);
    QTemporaryDir work; // kept when FET leaves something worth a look
    requireValid(work);
    const QString results = QDir(work.path()).filePath(QStringLiteral("resultado"));

    // One session for both runs: the document is chosen once, its frames asked once, its bytes
    // read once.
    Session session;
    session.keepDocumentBytes();
    const QString fetPath = QDir(work.path()).filePath(QStringLiteral("horario.fet"));
    TemporaryExport exported;
    FetFileWritten written = exportForFet(exported, session, inner, choices);
    if (choices.programExits)
        session.keepDocumentsUntilExit();
    if (written.outcome != Session::Outcome::Finished) {
        solved.ending = written.outcome == Session::Outcome::NoDocument ? FetSolved::Ending::NoDocument
                                                                         : FetSolved::Ending::NotExported;
        solved.report = written.report;
        solved.message = (inner.said + inner.errors).join(u'\n');
        return solved;
    }
    const QString document = session.filenameXML();
    solved.kindsTaken = written.kindsTaken;
    solved.report = fetRunReport(written.report);
    solved.frames = written.report.chosenFrames;

    // FET under the school's rules; when it cannot keep them all (it finds them impossible, or
    // runs out of time), again with one rule eased, as long as there is one to ease.
    FetChoices now = choices;
    FetSolverRun run;
    for (;;) {
        std::tie(written.activities, written.taskActivities) = exported.writeFetFile(now, fetPath, &written.rules);
        solved.activities = written.activities;
        solved.taskActivities = written.taskActivities;
        removeTree(results);
        run = runFetCl(program, fetPath, results, seconds, progress, stops);
        const bool couldEase = run.ending == FetSolverRun::Ending::Impossible
                            || run.ending == FetSolverRun::Ending::TimedOut;
        QString what;
        const auto eased = couldEase && now.ease ? fet::easedOnce(now.rules, now.easeStudents, &what) : std::nullopt;
        if (!eased)
            break;
        now.rules = *eased;
        solved.eased << what;
        if (progress)
            progress(QStringLiteral("FET no ha podido con todas las reglas; se prueba con %1").arg(what));
    }
    solved.rules = written.rules;
    // What was tried, for a run that still did not place everything.
    const QString triedEasing = solved.eased.isEmpty()
        ? QString()
        : QStringLiteral(" Se probó también relajando reglas: %1.").arg(solved.eased.join(QStringLiteral("; ")));
    switch (run.ending) {
    case FetSolverRun::Ending::Solved: {
        const FetImport imported = importFetSolution(session, inner, fet::findSolution(results), choices);
        if (choices.programExits)
            session.keepDocumentsUntilExit();
        solved.report = fetRunReport(written.report, imported.report.imported);
        solved.quality = imported.quality;
        if (imported.outcome != Session::Outcome::Finished) {
            solved.ending = FetSolved::Ending::FetFailed;
            solved.message = inner.errors.join(u'\n');
            return solved;
        }
        solved.ending = FetSolved::Ending::Finished;
        return solved;
    }
    case FetSolverRun::Ending::Impossible:
        solved.ending = FetSolved::Ending::Impossible;
        solved.message = QStringLiteral("FET no puede resolver estos datos. FET dice: «%1». Compruebe en Escolaria que "
                                        "ningún grupo ni profesor tiene más horas que tramos lectivos en su marco "
                                        "horario, y que cada sesión tiene su profesor y su grupo ('quintaro-cli "
                                        "comprobar' ayuda). No se ha escrito ningún documento resultado.")
                             .arg(run.fetWords)
                       + triedEasing;
        return solved;
    case FetSolverRun::Ending::TimedOut:
    case FetSolverRun::Ending::Overran:
    case FetSolverRun::Ending::Interrupted:
        solved.ending = run.ending == FetSolverRun::Ending::TimedOut  ? FetSolved::Ending::TimedOut
                      : run.ending == FetSolverRun::Ending::Overran ? FetSolved::Ending::Overran
                                                                    : FetSolved::Ending::Interrupted;
        solved.message = stoppedEarly(run, seconds, written.activities, document)
                       + QStringLiteral(" No se ha escrito ningún documento resultado.") + triedEasing;
        // Only what is there is promised: the folder is kept when it holds FET's best timetable.
        if (run.bestKept) {
            work.setAutoRemove(false);
            solved.message += QStringLiteral(" Su mejor horario está en %1; quintaro-cli importar \"%2\" --fet \"%1\" "
                                             "--marcos %3 lo trae, con las horas que falten sin colocar.")
                                  .arg(native(results), native(document), solved.frames.join(u','));
        } else {
            solved.message += QStringLiteral(" FET no dejó ningún horario que aprovechar.");
        }
        return solved;
    case FetSolverRun::Ending::Failed:
        work.setAutoRemove(false);
        solved.ending = FetSolved::Ending::FetFailed;
        solved.message = QStringLiteral("fet-cl terminó sin solución. FET dice: «%1». Sus archivos están en %2.")
                             .arg(run.fetWords, native(work.path()));
        return solved;
    }
    return solved;
}

} // namespace quintaro
