#pragma once

#include "timetable/timetable.h"

// How good a solved timetable is, as a school judges it, counted from the grids (so a result from
// Velmora and one from FET get the same figures).
namespace quintaro::timetable {

// Counts the gaps and repeats and marks each gap in its grid (Grid::gaps); readTimetable does it.
Quality measureQuality(Timetable& timetable);

// "Calidad: 0 huecos de alumnos; 56 huecos de profesores (como mucho 3, …); una materia repetida
// en un día: 2 veces."
QString qualityLine(const Quality& quality);

} // namespace quintaro::timetable
