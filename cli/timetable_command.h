#pragma once

#include <QCommandLineParser>
#include <QTextStream>

namespace quintaro::cli {

// quintaro-cli horario RESULT.xml: the solved timetable as grids, in HTML or PDF.
int horario(const QCommandLineParser& p, QTextStream& out, QTextStream& err);

// Whether a command line needs Qt Gui (a PDF is drawn with its fonts).
bool needsGui(const QStringList& arguments);

} // namespace quintaro::cli
