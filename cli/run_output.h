#pragma once

#include "cli/cli_ui.h"
#include "run/session.h"
#include "tables/period_kinds.h"

#include <QCommandLineParser>
#include <QTextStream>

// What the commands that run a Session share: the report on the streams, the frames of --marcos,
// and what an outcome means as an exit code.
namespace quintaro::cli {

enum ExitCode { Ok = 0, RunFailed = 1, Usage = 2, NoDocument = 3 };

// The run's report on the stream, and as CSV into the file --informe names.
void printReport(const QCommandLineParser& p, const RunReport& report, QTextStream& out);
// The frame identifiers --marcos names, if given.
QStringList framesOf(const QCommandLineParser& p);
// --no-lectivos: the school's own texts for its breaks, beside the usual words.
tables::PeriodKinds kindsOf(const QCommandLineParser& p);
// What a finished, missing or failed run means on the command line.
int finish(Session::Outcome outcome, const RunReport& report, const Session& session, const CliUi& ui, QTextStream& out,
           QTextStream& err);
// The document argument, as an absolute path.
QString documentOf(const QCommandLineParser& p);

} // namespace quintaro::cli
