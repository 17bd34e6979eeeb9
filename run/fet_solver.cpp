#include "run/fet_solver.h"

#include "fet/fet_solution.h"
#include "run/solver_process.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>


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
    return said.mid(0, 3).join(u' ').left(2000);
}

// The latest "FET reached N activities placed" of its log, or -1. Only the log's end is read: a
// program that floods it cannot make Quintaro read without end.
qint64 reachedSoFar(const QString& outputDir)
{
    QFile log(QDir(outputDir).filePath(QStringLiteral("logs/max_placed_activities.txt")));
    if (!log.open(QIODevice::ReadOnly))
        return -1;
    constexpr qint64 kTail = 4096;
    if (log.size() > kTail)
        log.seek(log.size() - kTail);
    static const QRegularExpression reached(QStringLiteral("reached (\\d+) activities placed"));
    qint64 last = -1;
    for (const QString& line : QString::fromUtf8(log.read(kTail)).split(u'\n'))
        if (const auto m = reached.match(line); m.hasMatch())
            last = m.captured(1).toLongLong();
    return last;
}

// fet-cl's output, its beginning and its end kept (kFetOutputKept bytes each) and the middle left
// out: what FET says of why it stopped is at one end or the other.
class KeptOutput {
public:
    void add(const QByteArray& bytes)
    {
        const qint64 room = kFetOutputKept - m_head.size();
        m_head += bytes.left(qMax<qint64>(room, 0));
        if (bytes.size() <= room)
            return;
        m_tail += bytes.mid(qMax<qint64>(room, 0));
        if (m_tail.size() > kFetOutputKept) {
            m_skipped = true;
            m_tail = m_tail.right(kFetOutputKept);
        }
    }
    QString text() const
    {
        return QString::fromLocal8Bit(m_head + (m_skipped ? QByteArrayLiteral("\n…\n") : QByteArray()) + m_tail);
    }

private:
    QByteArray m_head, m_tail;
    bool m_skipped = false;
};

} // namespace

FetSolverRun runFetCl(const QString& program, const QString& fetFile, const QString& outputDir, int seconds,
                      const std::function<void(const QString&)>& progress, const std::atomic_int* stops,
                      const FetWaits& waits)
{
    SolverProcess fet(program, {QStringLiteral("--inputfile=") + QDir::toNativeSeparators(fetFile),
                                QStringLiteral("--outputdir=") + QDir::toNativeSeparators(outputDir),
                                QStringLiteral("--timelimitseconds=%1").arg(seconds), QStringLiteral("--language=en_US"),
                                QStringLiteral("--writetimetablesdaysvertical=false"),
                                QStringLiteral("--writetimetablestimehorizontal=false"),
                                QStringLiteral("--writetimetablestimevertical=false")});
    FetSolverRun run;
    if (!fet.start(&run.fetWords))
        return run;
    KeptOutput output;
    QElapsedTimer clock;
    clock.start();
    const qint64 overrunAt = (qint64(seconds) + waits.graceSeconds) * 1000;
    qint64 askedAt = -1; // when fet-cl was asked to stop
    bool overran = false, ended = false;
    while (!fet.waitForFinished(500)) {
        output.add(fet.readAll());
        const int asked = stops ? stops->load() : 0;
        if (askedAt < 0 && (asked > 0 || clock.elapsed() > overrunAt)) {
            overran = asked == 0;
            askedAt = clock.elapsed();
            fet.askToStop();
        } else if (askedAt >= 0 && !ended && (asked > 1 || clock.elapsed() - askedAt > waits.stopSeconds * 1000)) {
            ended = true;
            fet.end();
        }
        // Told every half second, so that a window stays alive while it waits.
        if (progress)
            progress(QStringLiteral("%1 horas colocadas, %2 s")
                         .arg(qMax<qint64>(reachedSoFar(outputDir), 0))
                         .arg(clock.elapsed() / 1000));
    }
    output.add(fet.readAll());
    const QString said = output.text();
    const fet::SolutionsFound found = fet::solutionsIn(outputDir);
    run.bestKept = !found.highest.isEmpty();
    if (askedAt >= 0) {
        run.ending = overran ? FetSolverRun::Ending::Overran : FetSolverRun::Ending::Interrupted;
    } else if (fet.succeeded()) {
        run.ending = !found.complete.isEmpty() ? FetSolverRun::Ending::Solved
                   : !found.highest.isEmpty()  ? FetSolverRun::Ending::TimedOut
                                               : FetSolverRun::Ending::Failed;
    } else {
        run.fetWords = reasonIn(said);
        run.ending = run.fetWords.isEmpty() ? FetSolverRun::Ending::Failed : FetSolverRun::Ending::Impossible;
    }
    if (run.ending == FetSolverRun::Ending::Failed && run.fetWords.isEmpty()) {
        const QStringList lines = said.trimmed().split(u'\n');
        run.fetWords = lines.mid(qMax<qsizetype>(0, lines.size() - 5)).join(u' ').left(2000);
    }
    run.placed = qMax<qint64>(reachedSoFar(outputDir), 0);
    return run;
}

} // namespace quintaro
