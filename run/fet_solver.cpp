#include "run/fet_solver.h"

#include "fet/fet_solution.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace quintaro {

QString findFetCl(const QString& given)
{
    if (!given.isEmpty())
        return QFileInfo(given).isFile() ? QFileInfo(given).absoluteFilePath() : QString();
    const QString fromEnvironment = qEnvironmentVariable("QUINTARO_FET_CL");
    if (!fromEnvironment.isEmpty())
        return QFileInfo(fromEnvironment).isFile() ? QFileInfo(fromEnvironment).absoluteFilePath() : QString();
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("fet-cl"));
    if (!onPath.isEmpty())
        return onPath;
#ifdef Q_OS_WIN
    // FET for Windows comes as a folder "fet-X.Y.Z" unpacked where the user chose; look in the
    // usual places.
    for (const QString& base : {qEnvironmentVariable("ProgramFiles"), qEnvironmentVariable("ProgramFiles(x86)"),
                                qEnvironmentVariable("LOCALAPPDATA") + QStringLiteral("/Programs"),
                                QStringLiteral("C:/")}) {
        if (base.isEmpty())
            continue;
        for (const QFileInfo& folder : QDir(base).entryInfoList({QStringLiteral("fet*")}, QDir::Dirs, QDir::Name | QDir::Reversed)) {
            const QString candidate = QDir(folder.absoluteFilePath()).filePath(QStringLiteral("fet-cl.exe"));
            if (QFileInfo(candidate).isFile())
                return candidate;
        }
    }
#endif
    return {};
}

QString fetClMissingMessage()
{
#ifdef Q_OS_WIN
    return QStringLiteral("No se encuentra fet-cl.exe, el programa de línea de órdenes de FET. Descargue FET para "
                          "Windows de su página oficial, descomprímalo (por ejemplo en C:\\fet) e indique "
                          "fet-cl.exe con --fet-cl o con la variable QUINTARO_FET_CL");
#else
    return QStringLiteral("No se encuentra fet-cl, el programa de línea de órdenes de FET. Instálelo con "
                          "'sudo apt-get install fet' (o indíquelo con --fet-cl o con la variable QUINTARO_FET_CL)");
#endif
}

namespace {
// The lines of FET's output that say why the data cannot be solved.
QString reasonIn(const QString& output)
{
    // FET writes its dialogs' texts as "Message: …" lines, and ends with "Cannot precompute - data
    // is wrong - aborting" or names what it did not find.
    QStringList said;
    for (const QString& line : output.split(u'\n')) {
        const QString t = line.trimmed();
        if (t.startsWith(QStringLiteral("Message:")))
            said << t.mid(8).trimmed();
        else if (t.contains(QStringLiteral("Cannot precompute")) || t.contains(QStringLiteral("was not found"))
                 || t.startsWith(QStringLiteral("Error")))
            said << t;
    }
    said.removeDuplicates();
    return said.mid(0, 3).join(u' ');
}

// The latest "FET reached N activities placed" of its log, or -1.
qint64 reachedSoFar(const QString& outputDir)
{
    QFile log(QDir(outputDir).filePath(QStringLiteral("logs/max_placed_activities.txt")));
    if (!log.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression reached(QStringLiteral("reached (\\d+) activities placed"));
    qint64 last = -1;
    for (const QString& line : QString::fromUtf8(log.readAll()).split(u'\n'))
        if (const auto m = reached.match(line); m.hasMatch())
            last = m.captured(1).toLongLong();
    return last;
}

} // namespace

FetSolverRun runFetCl(const QString& program, const QString& fetFile, const QString& outputDir, int seconds,
                      const std::function<void(const QString&)>& progress, const std::atomic_bool* interrupt)
{
    QProcess fet;
    fet.setProgram(program);
    fet.setArguments({QStringLiteral("--inputfile=") + QDir::toNativeSeparators(fetFile),
                      QStringLiteral("--outputdir=") + QDir::toNativeSeparators(outputDir),
                      QStringLiteral("--timelimitseconds=%1").arg(seconds), QStringLiteral("--language=en_US"),
                      QStringLiteral("--writetimetablesdaysvertical=false"),
                      QStringLiteral("--writetimetablestimehorizontal=false"),
                      QStringLiteral("--writetimetablestimevertical=false")});
    fet.setProcessChannelMode(QProcess::MergedChannels);
#ifndef Q_OS_WIN
    // Its own process group: Ctrl-C at the terminal reaches Quintaro only, which passes it on as
    // SIGTERM (FET then writes its best timetable; SIGINT would stop it without writing).
    fet.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    fet.start();
    FetSolverRun run;
    if (!fet.waitForStarted(30000)) {
        run.fetWords = fet.errorString();
        return run;
    }
    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    bool stopping = false;
    while (!fet.waitForFinished(500)) {
        output += fet.readAll();
        if (interrupt && *interrupt && !stopping) {
            stopping = true;
            fet.terminate();
        }
        // Told every half second, so that a window stays alive while it waits.
        if (progress)
            progress(QStringLiteral("%1 horas de clase colocadas, %2 s")
                         .arg(qMax<qint64>(reachedSoFar(outputDir), 0))
                         .arg(clock.elapsed() / 1000));
    }
    output += fet.readAll();
    const QString said = QString::fromLocal8Bit(output);
    if (stopping) {
        run.ending = FetSolverRun::Ending::Interrupted;
    } else if (fet.exitStatus() == QProcess::NormalExit && fet.exitCode() == 0) {
        const fet::SolutionsFound found = fet::solutionsIn(outputDir);
        run.ending = !found.complete.isEmpty() ? FetSolverRun::Ending::Solved
                   : !found.highest.isEmpty()  ? FetSolverRun::Ending::TimedOut
                                               : FetSolverRun::Ending::Failed;
    } else {
        run.fetWords = reasonIn(said);
        run.ending = run.fetWords.isEmpty() ? FetSolverRun::Ending::Failed : FetSolverRun::Ending::Impossible;
    }
    if (run.ending == FetSolverRun::Ending::Failed && run.fetWords.isEmpty()) {
        const QStringList lines = said.trimmed().split(u'\n');
        run.fetWords = lines.mid(qMax<qsizetype>(0, lines.size() - 5)).join(u' ');
    }
    run.placed = qMax<qint64>(reachedSoFar(outputDir), 0);
    return run;
}

} // namespace quintaro
