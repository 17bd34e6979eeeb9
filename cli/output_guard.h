#pragma once

#include <QCommandLineParser>

namespace quintaro::cli {

// Refuses (UsageError) a command whose output file (--informe, --salida, --html, --pdf) is a file
// the command reads or writes otherwise: the school's document, its result document, a FET
// solution, a table of the working directory, or another output of the same command. Compared by
// file identity, so a link or another spelling of the name is caught too.
void refuseOutputsOverInputs(const QCommandLineParser& p, const QString& command);

} // namespace quintaro::cli
