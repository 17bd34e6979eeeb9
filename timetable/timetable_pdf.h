#pragma once

#include "timetable/timetable.h"

#include <QByteArray>

namespace quintaro::timetable {

// The grids as a PDF, one A4 landscape page per grid, drawn by Qt (needs a QGuiApplication).
QByteArray timetablePdf(const Timetable& timetable);

} // namespace quintaro::timetable
