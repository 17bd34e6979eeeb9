#include "cli/fet_commands.h"

#include "cli/run_output.h"
#include "platform/error.h"
#include "run/fet_runs.h"
#include "run/fet_solver.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>
#include <csignal>
#include <cstdio>
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace quintaro::cli {

namespace {
QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// What a run that did not finish says, the export's report with it.
int notFinished(Session::Outcome outcome, const Session& session, const CliUi& ui, const QCommandLineParser& p,
                QTextStream& out, QTextStream& err)
{
    const int code = finish(outcome, session, ui, out, err);
    if (outcome == Session::Outcome::Failed)
        printReport(p, session.report(), err);
    return code;
}

// The import of a solution: the result document and its report.
int importSolution(const fet::SolutionFiles& files, const QStringList& frames, const QCommandLineParser& p,
                   QTextStream& out, QTextStream& err)
{
    CliUi ui(documentOf(p), frames, out, err);
    Session session;
    const FetImport imported = importFetSolution(session, ui, files);
    session.keepDocumentsUntilExit();
    if (imported.outcome != Session::Outcome::Finished)
        return notFinished(imported.outcome, session, ui, p, out, err);
    out << "Proceso finalizado" << Qt::endl;
    printReport(p, session.report(), out);
    if (imported.partial)
        out << "Aviso: esta solución es la mejor de una ejecución de FET que no terminó; " << imported.unplaced
            << " de " << imported.activities << " horas quedan sin colocar." << Qt::endl;
    return Ok;
}

std::atomic_bool interrupted{false};
extern "C" void onInterrupt(int) { interrupted = true; }
} // namespace

int fetFile(const QCommandLineParser& p, QTextStream& out, QTextStream& err)
{
    const QString document = documentOf(p);
    const QString target = QFileInfo(p.isSet(QStringLiteral("salida"))
                                         ? p.value(QStringLiteral("salida"))
                                         : QFileInfo(document).dir().filePath(QFileInfo(document).completeBaseName()
                                                                              + QStringLiteral(".fet")))
                               .absoluteFilePath();
    CliUi ui(document, framesOf(p), out, err);
    Session session;
    const FetFileWritten written = writeFetForDocument(session, ui, target);
    session.keepDocumentsUntilExit();
    if (written.outcome != Session::Outcome::Finished)
        return notFinished(written.outcome, session, ui, p, out, err);
    out << "Archivo de FET: " << native(target) << " (" << written.activities << " actividades; marcos "
        << session.report().chosenFrames.join(u',') << ")." << Qt::endl;
    printReport(p, session.report(), out);
    out << "Resuélvalo con fet-cl --inputfile=\"" << native(target) << "\" --outputdir=CARPETA, y traiga la solución "
        << "con quintaro-cli importar \"" << native(document) << "\" --fet CARPETA (o todo junto: quintaro-cli resolver)."
        << Qt::endl;
    return Ok;
}

int importFet(const QCommandLineParser& p, QTextStream& out, QTextStream& err)
{
    const fet::SolutionFiles files = fet::findSolution(p.value(QStringLiteral("fet")));
    // The frames the solution was made for, unless --marcos says which.
    QStringList frames = framesOf(p);
    if (frames.isEmpty())
        frames = framesOfSolution(files);
    return importSolution(files, frames, p, out, err);
}

int resolver(const QCommandLineParser& p, QTextStream& out, QTextStream& err)
{
    const QString program = findFetCl(p.value(QStringLiteral("fet-cl")));
    if (program.isEmpty())
        throw RunError(fetClMissingMessage());
    int seconds = 300;
    if (p.isSet(QStringLiteral("segundos"))) {
        bool ok = false;
        seconds = p.value(QStringLiteral("segundos")).toInt(&ok);
        if (!ok || seconds < 1)
            throw UsageError(QStringLiteral("--segundos necesita un número entero de segundos, 1 o más (no '%1')")
                                 .arg(p.value(QStringLiteral("segundos"))));
    }
    const QString document = documentOf(p);
    QTemporaryDir work; // kept when FET leaves something worth a look
    if (!work.isValid())
        throw RunError(QStringLiteral("No se puede crear una carpeta temporal (%1)").arg(work.errorString()));
    const QString fetPath = QDir(work.path()).filePath(QFileInfo(document).completeBaseName() + QStringLiteral(".fet"));
    const QString results = QDir(work.path()).filePath(QStringLiteral("resultado"));

    CliUi ui(document, framesOf(p), out, err);
    Session session;
    const FetFileWritten written = writeFetForDocument(session, ui, fetPath);
    session.keepDocumentsUntilExit();
    if (written.outcome != Session::Outcome::Finished)
        return notFinished(written.outcome, session, ui, p, out, err);
    const QStringList frames = session.report().chosenFrames;
    out << "FET resuelve " << written.activities << " horas de clase (marcos " << frames.join(u',') << "; como mucho "
        << seconds << " s; Ctrl+C lo detiene)." << Qt::endl;

    const bool terminal = isatty(fileno(stdout)) != 0;
    const auto progress = [&](const QString& said) {
        if (terminal)
            out << "\r  " << said << " de " << written.activities << "   " << Qt::flush;
    };
    interrupted = false;
    const auto previous = std::signal(SIGINT, onInterrupt);
    const FetSolverRun run = runFetCl(program, fetPath, results, seconds, progress, &interrupted);
    std::signal(SIGINT, previous);
    if (terminal)
        out << Qt::endl;

    switch (run.ending) {
    case FetSolverRun::Ending::Solved:
        return importSolution(fet::findSolution(results), frames, p, out, err);
    case FetSolverRun::Ending::Impossible:
        err << "FET no puede resolver estos datos. FET dice: «" << run.fetWords << "». Compruebe en Escolaria que "
            << "ningún grupo ni profesor tiene más horas que tramos lectivos en su marco horario, y que cada sesión "
            << "tiene su profesor y su grupo ('quintaro-cli comprobar' ayuda). No se ha escrito ningún documento "
               "resultado."
            << Qt::endl;
        return RunFailed;
    case FetSolverRun::Ending::TimedOut:
    case FetSolverRun::Ending::Interrupted:
        work.setAutoRemove(false);
        err << (run.ending == FetSolverRun::Ending::TimedOut
                    ? QStringLiteral("FET no terminó en %1 s: llegó a colocar %2 de %3 horas de clase. Pruebe con más "
                                     "tiempo (--segundos %4).")
                          .arg(seconds)
                          .arg(run.placed)
                          .arg(written.activities)
                          .arg(seconds * 4)
                    : QStringLiteral("Interrumpido: FET llegó a colocar %1 de %2 horas de clase.")
                          .arg(run.placed)
                          .arg(written.activities))
            << " No se ha escrito ningún documento resultado. Su mejor horario está en " << native(results)
            << "; quintaro-cli importar \"" << native(document) << "\" --fet \"" << native(results) << "\" --marcos "
            << frames.join(u',') << " lo trae, con las horas que falten sin colocar." << Qt::endl;
        return run.ending == FetSolverRun::Ending::Interrupted ? 130 : RunFailed;
    case FetSolverRun::Ending::Failed:
        work.setAutoRemove(false);
        err << "fet-cl terminó sin solución. FET dice: «" << run.fetWords << "». Sus archivos están en "
            << native(work.path()) << "." << Qt::endl;
        return RunFailed;
    }
    return RunFailed;
}

} // namespace quintaro::cli
