#pragma once

#include "platform/dbf_table.h"

#include <QTextStream>

namespace quintaro {

// Prints a table's fields, then its live rows: aligned columns, or CSV with a header line.
void printTable(DbfTable& table, QTextStream& out, bool csv);

} // namespace quintaro
