#pragma once

#include "run/run_report.h"

#include <QByteArray>
#include <QString>

namespace quintaro {

// How many findings of each kind the report lists one by one; the rest are counted.
constexpr int kFindingsShown = 20;

// The last run's report as a person reads it, the same in the window and on the command line: the
// tables and their rows, then each kind of finding with its first entries and how many more.
QString reportText(const RunReport& report);

// The findings as CSV for a spreadsheet, one per line: categoría;sesión;valor;detalle.
QByteArray reportCsv(const RunReport& report);

} // namespace quintaro
