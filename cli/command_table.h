#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <vector>

// The commands of quintaro-cli and their options, declared once: --help, the option checks and the
// manual page are all made from this table.
namespace quintaro::cli {

struct Option {
    const char* name;
    const char* valueName; // empty for a switch
    const char* description;
};

struct Command {
    const char* name;
    const char* arguments;
    const char* summary;
    std::vector<Option> options;
    std::function<int(const QCommandLineParser&, QTextStream&, QTextStream&)> run;
};

// Every command, in the order help lists them.
const std::vector<Command>& commands();

// "quintaro-cli exportar DOC.xml [--marcos ID[,ID]] …"
QString usageOf(const Command& c);
// The whole help, or one command's with its options.
void printHelp(QTextStream& out, const Command* only = nullptr);
// The options of a command line checked against the command's own, in Spanish: an option it does
// not have, or one whose value is missing. Empty when all is well.
QString optionMistake(const Command& command, const QStringList& arguments);
// The manual page quintaro-cli(1), in roff.
void printManualPage(QTextStream& out);

} // namespace quintaro::cli
