#include "cli/commands.h"
#include "cli/console_device.h"
#include "cli/timetable_command.h"

#include "platform/document_bytes.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <memory>

namespace {
// Qt Core is enough for everything but drawing a PDF, which needs Qt Gui's fonts; that works
// without a display too (the offscreen platform where there is none).
std::unique_ptr<QCoreApplication> application(int& argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!quintaro::cli::needsGui(arguments))
        return std::make_unique<QCoreApplication>(argc, argv);
#ifndef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    return std::make_unique<QGuiApplication>(argc, argv);
}
} // namespace

int main(int argc, char* argv[])
{
    const std::unique_ptr<QCoreApplication> app = application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quintaro-cli"));
    quintaro::cli::ConsoleDevice standardOutput(stdout);
    quintaro::cli::ConsoleDevice standardError(stderr);
    QTextStream out(&standardOutput);
    QTextStream err(&standardError);
    const int code = quintaro::cli::run(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    // For the benchmark: how many bytes of documents the command read, into the file named.
    if (const QString report = qEnvironmentVariable("QUINTARO_BYTES_LEIDOS"); !report.isEmpty()) {
        QFile file(report);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(QByteArray::number(quintaro::documentBytesRead()) + '\n');
    }
    return code;
}
