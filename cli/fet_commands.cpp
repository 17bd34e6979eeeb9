#include "cli/fet_commands.h"

#include "cli/run_output.h"
#include "platform/error.h"
#include "run/fet_runs.h"
#include "run/fet_solver.h"

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <vector>
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
int notFinished(Session::Outcome outcome, const RunReport& report, const Session& session, const CliUi& ui,
                const QCommandLineParser& p, QTextStream& out, QTextStream& err)
{
    const int code = finish(outcome, report, session, ui, out, err);
    if (outcome == Session::Outcome::Failed)
        printReport(p, report, err);
    return code;
}

// A limit of free periods: a whole number, or "no" for none asked.
int gapsOption(const QCommandLineParser& p, const QString& name, int byDefault)
{
    if (!p.optionNames().contains(name)) // not given, or not an option of this command
        return byDefault;
    const QString value = p.value(name).trimmed();
    if (value.compare(u"no", Qt::CaseInsensitive) == 0)
        return -1;
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < 0)
        throw UsageError(QStringLiteral("--%1 necesita un número de huecos (0 o más) o «no» (no '%2')").arg(name, value));
    return n;
}

bool yesNoOption(const QCommandLineParser& p, const QString& name, bool byDefault)
{
    if (!p.optionNames().contains(name))
        return byDefault;
    const QString value = p.value(name).trimmed().toLower();
    if (value == u"si" || value == u"sí")
        return true;
    if (value == u"no")
        return false;
    throw UsageError(QStringLiteral("--%1 necesita «si» o «no» (no '%2')").arg(name, p.value(name)));
}

// What the options ask of every FET run.
FetChoices choicesOf(const QCommandLineParser& p)
{
    FetChoices choices;
    choices.programExits = true;
    choices.kinds = kindsOf(p);
    fet::SchoolRules& rules = choices.rules;
    rules.studentGaps = gapsOption(p, QStringLiteral("huecos-alumnos"), rules.studentGaps);
    rules.teacherGaps = gapsOption(p, QStringLiteral("huecos-profesor"), rules.teacherGaps);
    rules.studentsEarly = yesNoOption(p, QStringLiteral("primera-hora"), rules.studentsEarly);
    rules.differentDays = yesNoOption(p, QStringLiteral("dias-distintos"), rules.differentDays);
    choices.ease = yesNoOption(p, QStringLiteral("relajar"), choices.ease);
    choices.easeStudents = yesNoOption(p, QStringLiteral("relajar-alumnos"), choices.easeStudents);
    if (p.optionNames().contains(QStringLiteral("reglas")))
        choices.previousRules = QFileInfo(p.value(QStringLiteral("reglas"))).absoluteFilePath();
    return choices;
}

// What became of the school's own rules given with --reglas.
void printRules(const QCommandLineParser& p, const fet::RulesCarried& rules, QTextStream& out)
{
    if (!p.optionNames().contains(QStringLiteral("reglas")))
        return;
    out << "Reglas del centro conservadas de " << native(p.value(QStringLiteral("reglas"))) << ": " << rules.kept;
    if (rules.rooms > 0)
        out << " (y " << rules.rooms << (rules.rooms == 1 ? " aula añadida en FET)" : " aulas añadidas en FET)");
    out << '.' << Qt::endl;
    if (!rules.leftOut.isEmpty())
        out << "Reglas dejadas fuera (" << rules.leftOut.size() << "), porque nombran lo que ya no está:" << Qt::endl
            << "  " << rules.leftOut.join(QStringLiteral("\n  ")) << Qt::endl;
}

void printKinds(const QStringList& kindsTaken, QTextStream& out)
{
    if (!kindsTaken.isEmpty())
        out << "Tramos por su Tipo: " << kindsTaken.join(QStringLiteral("; ")) << '.' << Qt::endl;
}

// The import of a solution: the result document and its report.
int importSolution(const fet::SolutionFiles& files, const QStringList& frames, const QCommandLineParser& p,
                   QTextStream& out, QTextStream& err)
{
    CliUi ui(documentOf(p), frames, out, err);
    Session session;
    const FetImport imported = importFetSolution(session, ui, files, choicesOf(p));
    session.keepDocumentsUntilExit();
    if (imported.outcome != Session::Outcome::Finished)
        return notFinished(imported.outcome, imported.report, session, ui, p, out, err);
    out << "Proceso finalizado" << Qt::endl;
    if (!imported.quality.isEmpty())
        out << imported.quality << Qt::endl;
    if (const QStringList left = lessonsLeftOut(imported.report.exported); !left.isEmpty())
        out << "Fuera del horario (" << left.size() << "): " << left.join(QStringLiteral(", "))
            << "; el informe dice por qué." << Qt::endl;
    printReport(p, imported.report, out);
    if (!imported.lessonsChecked)
        out << "Aviso: junto a la solución no está el archivo de datos de FET (…_data_and_timetable.fet), así que no se "
               "ha podido comprobar actividad por actividad que sea la sesión de este documento; sí se ha comprobado "
               "que ninguna está fuera del marco horario de su grupo ni pone a un profesor o un grupo en dos sitios a "
               "la vez."
            << Qt::endl;
    if (imported.partial)
        out << "Aviso: esta solución es la mejor de una ejecución de FET que no terminó; " << imported.unplaced
            << " de " << imported.activities << " horas quedan sin colocar." << Qt::endl;
    return Ok;
}

// The person's requests to stop (Ctrl+C, a shutdown's SIGTERM, a closed terminal's SIGHUP): the
// first asks FET to stop and keep its best timetable, the second ends it at once.
std::atomic_int stopRequests{0};
extern "C" void onStopRequest(int) { ++stopRequests; }

// The stop signals handled while FET runs; the previous handling comes back when it goes.
class StopSignals {
public:
    StopSignals()
    {
        for (int s : kSignals)
            m_previous.push_back(std::signal(s, onStopRequest));
    }
    ~StopSignals()
    {
        for (size_t i = 0; i < std::size(kSignals); ++i)
            std::signal(kSignals[i], m_previous[i]);
    }

private:
#ifdef _WIN32
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGBREAK};
#else
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
#endif
    std::vector<void (*)(int)> m_previous;
};
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
    const FetFileWritten written = writeFetForDocument(session, ui, target, choicesOf(p));
    session.keepDocumentsUntilExit();
    if (written.outcome != Session::Outcome::Finished)
        return notFinished(written.outcome, written.report, session, ui, p, out, err);
    out << "Archivo de FET: " << native(target) << " (" << written.activities << " actividades; marcos "
        << written.report.chosenFrames.join(u',') << ")." << Qt::endl;
    printKinds(written.kindsTaken, out);
    printRules(p, written.rules, out);
    printReport(p, written.report, out);
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
    int seconds = kFetDefaultSeconds;
    if (p.isSet(QStringLiteral("segundos"))) {
        bool ok = false;
        seconds = p.value(QStringLiteral("segundos")).toInt(&ok);
        if (!ok || seconds < 1)
            throw UsageError(QStringLiteral("--segundos necesita un número entero de segundos, 1 o más (no '%1')")
                                 .arg(p.value(QStringLiteral("segundos"))));
    }
    CliUi ui(documentOf(p), framesOf(p), out, err);
    const bool terminal = isatty(fileno(stdout)) != 0;
    bool started = false;
    const auto progress = [&](const QString& said) {
        if (!started) {
            started = true;
            out << "FET está resolviendo el horario (como mucho " << seconds << " s; Ctrl+C lo detiene)." << Qt::endl;
        }
        if (terminal)
            out << "\r  " << said << "   " << Qt::flush;
    };
    stopRequests = 0;
    const FetSolved solved = [&] {
        const StopSignals handled;
        return solveWithFet(ui, program, seconds, choicesOf(p), progress, &stopRequests);
    }();
    if (terminal && started)
        out << Qt::endl;

    switch (solved.ending) {
    case FetSolved::Ending::Finished:
        out << fetFinishedMessage(solved) << Qt::endl;
        printKinds(solved.kindsTaken, out);
        printRules(p, solved.rules, out);
        printReport(p, solved.report, out);
        return Ok;
    case FetSolved::Ending::NoDocument:
        err << solved.message << Qt::endl;
        return NoDocument;
    case FetSolved::Ending::NotExported:
        err << solved.message << Qt::endl;
        printReport(p, solved.report, err);
        return RunFailed;
    case FetSolved::Ending::Interrupted:
        err << solved.message << Qt::endl;
        printReport(p, solved.report, err);
        return 130;
    case FetSolved::Ending::Impossible:
    case FetSolved::Ending::TimedOut:
    case FetSolved::Ending::Overran:
    case FetSolved::Ending::FetFailed:
        err << solved.message << Qt::endl;
        // What the export found may be why FET could not place everything.
        printReport(p, solved.report, err);
        return RunFailed;
    }
    return RunFailed;
}

} // namespace quintaro::cli
