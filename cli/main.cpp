#include "cli/commands.h"
#include "cli/console_device.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quintaro-cli"));
    quintaro::cli::ConsoleDevice standardOutput(stdout);
    quintaro::cli::ConsoleDevice standardError(stderr);
    QTextStream out(&standardOutput);
    QTextStream err(&standardError);
    const int code = quintaro::cli::run(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return code;
}
