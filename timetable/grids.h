#pragma once

#include "timetable/school_model.h"

// The grids of a timetable: one per group, teacher and named room that has slots, in the
// document's order (groups, then teachers, then rooms), each with its problems under it.
namespace quintaro::timetable {

// Adds them to `table`, whose hoursProblems are already counted.
void addGrids(Timetable& table, const SchoolModel& model, const std::vector<Slot>& slots, const SlotClashes& clashes);

} // namespace quintaro::timetable
