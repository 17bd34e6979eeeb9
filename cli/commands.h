#pragma once

#include <QStringList>
#include <QTextStream>

namespace quintaro::cli {

// Runs the command line given without the program's name; returns the exit code.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace quintaro::cli
