#pragma once

#include "timetable/timetable.h"

#include <QString>

namespace quintaro::timetable {

// One self-contained HTML page: its style inside, no scripts, an index at the top linking each
// grid, each grid on a page of its own when printed, what is wrong listed under its grid.
QString timetableHtml(const Timetable& timetable);

// One grid as an HTML table with its title and problems, for the window and the PDF.
QString gridHtml(const Grid& grid, const QStringList& days);

// The style both use.
QString timetableStyle();

} // namespace quintaro::timetable
