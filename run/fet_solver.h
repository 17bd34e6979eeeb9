#pragma once

#include <QString>

#include <atomic>
#include <functional>

// Running FET's command-line solver, fet-cl, as a separate program the user has installed.
namespace quintaro {

// How long FET may search when nobody says otherwise.
inline constexpr int kFetDefaultSeconds = 300;

// Where fet-cl is: `given` (--fet-cl), else QUINTARO_FET_CL, else on PATH, else (on Windows) in
// FET's usual install folders. Empty when it is nowhere.
QString findFetCl(const QString& given);

// What to say when fet-cl is nowhere: how to install FET.
QString fetClMissingMessage();

struct FetSolverRun {
    enum class Ending { Solved, Impossible, TimedOut, Interrupted, Failed };
    Ending ending = Ending::Failed;
    QString fetWords; // what FET said of why it stopped, in its own words
    qint64 placed = 0; // activities placed in the best timetable, when it stopped before the end
    qint64 total = 0;
};

// Runs fet-cl on `fetFile` with its results in `outputDir`, for at most `seconds`. `progress` is
// told every half second how far FET has got; when `interrupt` turns true, fet-cl is asked to
// stop (SIGTERM: it then writes its best timetable so far).
FetSolverRun runFetCl(const QString& program, const QString& fetFile, const QString& outputDir, int seconds,
                      const std::function<void(const QString&)>& progress, const std::atomic_bool* interrupt);

} // namespace quintaro
