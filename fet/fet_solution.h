#pragma once

#include "fet/fet_file.h"
#include "tables/soluc_writer.h"

#include <vector>

// Reading back what FET's command-line program solved: the start of each activity by day and hour
// name, and its room.
namespace quintaro::fet {

// Where a solution is: fet-cl's output folder (timetables/NAME/NAME_activities.xml), or the
// activities file itself; the data FET solved lies beside it (NAME_data_and_timetable.fet).
struct SolutionFiles {
    QString activities;
    QString data; // empty when it is not there
    // Only the best timetable of a run that stopped (time limit, interruption) was found:
    // timetables/NAME-highest, where unplaced activities have no day.
    bool partial = false;
};
// Raises a RunError saying what is missing when `path` holds no solution.
SolutionFiles findSolution(const QString& path);

// The activities files in fet-cl's output folder: of a complete solution, and of the best
// timetable of a run that stopped early; each empty when not there.
struct SolutionsFound {
    QString complete, highest;
};
SolutionsFound solutionsIn(const QString& outputDir);

struct Solution {
    std::vector<tables::PlacedHour> hours; // one per activity, in Id order
    qint64 unplaced = 0;
    bool lessonsChecked = false; // FET's data was beside it, so each activity's lesson was checked
};
// The solution as placed hours of the lessons, for SOLUC. The activities are checked to be those
// of `file`: the same count; where FET's data is beside it, each activity's lesson; and always
// what FET itself never does with its own data: an hour of another frame than its group's, or a
// teacher or group twice at one hour. A solution of another document, or of other frames, or
// with its lessons in another order stops with a message saying so.
Solution readSolution(const SolutionFiles& files, const tables::SchoolTables& school, const FetFile& file);

} // namespace quintaro::fet
