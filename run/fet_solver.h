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
    // Overran: fet-cl went on past its own time limit and was stopped by Quintaro.
    enum class Ending { Solved, Impossible, TimedOut, Overran, Interrupted, Failed };
    Ending ending = Ending::Failed;
    QString fetWords; // what FET said of why it stopped, in its own words
    qint64 placed = 0; // activities placed in the best timetable, when it stopped before the end
    qint64 total = 0;
    bool bestKept = false; // the best timetable of a run that stopped early is in the output folder
};

// How long Quintaro waits on fet-cl beyond what it was asked for.
struct FetWaits {
    int graceSeconds = 60; // past FET's own time limit, before Quintaro asks it to stop
    int stopSeconds = 30; // after asking it to stop, before Quintaro ends it
};

// What Quintaro keeps of fet-cl's output: its beginning and its end, this many bytes each.
inline constexpr qint64 kFetOutputKept = 256 * 1024;

// Runs fet-cl on `fetFile` with its results in `outputDir`, for at most `seconds`. `progress` is
// told every half second how far FET has got. `stops` counts the person's requests to stop: at the
// first fet-cl is asked to stop (SIGTERM on POSIX, Ctrl+Break on Windows: it then writes its best
// timetable so far), at the second it is ended at once. One that runs past its limit is asked
// too, and ended when it does not listen; whatever it started is ended with it, and ends if
// Quintaro itself ends.
FetSolverRun runFetCl(const QString& program, const QString& fetFile, const QString& outputDir, int seconds,
                      const std::function<void(const QString&)>& progress, const std::atomic_int* stops,
                      const FetWaits& waits = {});

} // namespace quintaro
