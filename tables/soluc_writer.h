#pragma once

#include "tables/school_tables.h"

#include <vector>

namespace quintaro::tables {

// One weekly hour of a lesson as a solver left it.
struct PlacedHour {
    size_t lesson = 0; // index into SchoolTables::lessons
    int period = -1; // index into SchoolTables::periods; -1 when it found no place
    QString room; // AULAT.ABREV, or empty for none
};

struct SolucCounts {
    qint64 placed = 0;
    qint64 unplaced = 0; // rows with DIA 0
    qint64 withoutRoom = 0; // placed rows without a room
};

// Writes SOLUC in `dir` as Velmora does: one row per hour, the lesson's codes as ASIGT has them,
// DIA, HORA and MARCO of its period (0, 0 and its group's frame when unplaced). A SOLUC that
// another program holds is not pulled from under it.
SolucCounts writeSoluc(const WorkDir& dir, const SchoolTables& school, const std::vector<PlacedHour>& hours);

} // namespace quintaro::tables
