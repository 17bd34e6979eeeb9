#pragma once

#include <QStringList>
#include <QTextStream>

namespace quintaro::cli {

enum ExitCode { Ok = 0, RunFailed = 1, Usage = 2, NoDocument = 3 };

// Runs the command line given without the program's name; returns the exit code.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace quintaro::cli
