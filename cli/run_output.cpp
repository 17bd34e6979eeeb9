#include "cli/run_output.h"

#include "platform/error.h"
#include "platform/whole_file.h"
#include "run/report_text.h"

#include <QDir>
#include <QFileInfo>

namespace quintaro::cli {

void printReport(const QCommandLineParser& p, const RunReport& report, QTextStream& out)
{
    const QString text = reportText(report);
    if (!text.isEmpty())
        out << text << Qt::endl;
    if (!p.isSet(QStringLiteral("informe")))
        return;
    const QString path = p.value(QStringLiteral("informe"));
    if (const auto failure = writeWholeFile(path, reportCsv(report)))
        throw RunError(QStringLiteral("No se puede escribir el informe %1: %2").arg(QDir::toNativeSeparators(path), failure->reason));
    out << "Informe en " << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) << Qt::endl;
}

QStringList framesOf(const QCommandLineParser& p)
{
    return p.isSet(QStringLiteral("marcos")) ? p.value(QStringLiteral("marcos")).split(u',') : QStringList();
}

tables::PeriodKinds kindsOf(const QCommandLineParser& p)
{
    return tables::PeriodKinds(p.isSet(QStringLiteral("no-lectivos")) ? p.value(QStringLiteral("no-lectivos")).split(u',')
                                                                      : QStringList());
}

int finish(Session::Outcome outcome, const RunReport& report, const Session& session, const CliUi& ui, QTextStream& out,
           QTextStream& err)
{
    switch (outcome) {
    case Session::Outcome::NoDocument:
    {
        // The messages name the path when there is one; a folder's does not.
        const QString said = ui.messages().join(u' ');
        const QString path = QDir::toNativeSeparators(session.filenameXML());
        err << said << (said.contains(path) ? QString() : QStringLiteral(": ") + path) << Qt::endl;
    }
        return NoDocument;
    case Session::Outcome::Failed:
        if (!report.exported.failedStep.isEmpty())
            err << "La exportación se detuvo al convertir " << report.exported.failedStep << "." << Qt::endl;
        return RunFailed;
    case Session::Outcome::Finished:
        out << ui.messages().join(u'\n') << Qt::endl;
        return Ok;
    }
    return RunFailed;
}


QString documentOf(const QCommandLineParser& p) { return QFileInfo(p.positionalArguments().at(1)).absoluteFilePath(); }

} // namespace quintaro::cli
