#pragma once

#include <QCommandLineParser>
#include <QTextStream>

// The commands that carry the school to FET, the free timetable generator, and back.
namespace quintaro::cli {

// quintaro-cli fet DOC: the FET file of the document.
int fetFile(const QCommandLineParser& p, QTextStream& out, QTextStream& err);
// quintaro-cli importar DOC --fet PATH: the result document from fet-cl's solution.
int importFet(const QCommandLineParser& p, QTextStream& out, QTextStream& err);
// quintaro-cli resolver DOC: the FET file, fet-cl, and the result document, in one go.
int resolver(const QCommandLineParser& p, QTextStream& out, QTextStream& err);

} // namespace quintaro::cli
