#include "cli/commands.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quintaro-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = quintaro::cli::run(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return code;
}
