#pragma once

#include "platform/work_dir.h"
#include "tables/period_kinds.h"

#include <QtGlobal>

namespace quintaro {

struct StandinReport {
    qint64 lessons = 0; // ASIGT rows read
    qint64 hours = 0; // weekly hours asked for
    qint64 placed = 0; // SOLUC rows with a day
    qint64 unplaced = 0; // SOLUC rows with DIA 0
    qint64 withoutRoom = 0;
};

// A stand-in for Velmora, which cannot run here: reads the tables of an export run and writes
// SOLUC as Velmora would. Each ASIGT row's weekly hours go, greedily and deterministically, into
// the periods of its group's frame, never putting a teacher or a group in two places at once
// (periods of the two frames that overlap in time count as the same time). Each placed hour gets
// the first ordinary room free then, or no room; an hour that finds no period gives a row with
// DIA 0. Breaks (by `kinds`) are never used.
StandinReport runVelmoraStandin(const WorkDir& dir, const tables::PeriodKinds& kinds = tables::PeriodKinds());

} // namespace quintaro
