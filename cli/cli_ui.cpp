#include "cli/cli_ui.h"

#include "platform/error.h"
#include "platform/text.h"

#include <QFile>

#include <cstdio>
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quintaro {

namespace {
// Whether a person can answer on standard input. On Windows the NUL device counts as a character
// device for _isatty, so only a real console, one whose mode can be read, counts.
bool inputIsTerminal()
{
#ifdef _WIN32
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
#else
    return ::isatty(fileno(stdin)) != 0;
#endif
}
} // namespace

CliUi::CliUi(QString document, QStringList wantedFrames, QTextStream& out, QTextStream& err)
    : m_document(std::move(document)), m_wantedFrames(std::move(wantedFrames)), m_out(out), m_err(err)
{
}

void CliUi::showError(const QString& message) { m_err << "Error: " << message << Qt::endl; }

std::optional<FrameSelection> CliUi::chooseFrames(const QString&, const ExportDocument& doc)
{
    const QStringList ids = frameIdentifiers(doc);
    if (!m_wantedFrames.isEmpty())
        return selectByIdentifiers(ids, m_wantedFrames);
    if (inputIsTerminal())
        return askOnTerminal(ids, doc);
    throw UsageError(QStringLiteral("Sin terminal para preguntar, indique los marcos con --marcos. %1")
                         .arg(matchIdentifiers(ids, {}).problem));
}

FrameSelection CliUi::askOnTerminal(const QStringList& ids, const ExportDocument& doc)
{
    QTextStream in(stdin);
    const QStringList labels = frameLabels(doc);
    for (;;) {
        m_out << "Marcos horarios del documento (identificador — nombre):" << Qt::endl;
        for (qsizetype i = 0; i < ids.size(); ++i) {
            const QStringList lines = hoursLines(doc, ids.at(i)).value_or(QStringList());
            m_out << "  " << labels.value(i);
            if (!lines.isEmpty())
                m_out << "   primer día: " << lines.join(QStringLiteral(", "));
            m_out << Qt::endl;
        }
        m_out << "Escriba el identificador de uno o dos marcos, separados por comas (por ejemplo "
              << text::trimmed(ids.value(0)) << "): " << Qt::flush;
        const QString answer = in.readLine();
        if (answer.isNull())
            throw UsageError(QStringLiteral("No se eligió ningún marco horario"));
        // Identifiers only, as --marcos takes them: a number would name a list position, which may
        // not be the frame whose identifier is that number.
        const IdentifierMatch match = matchIdentifiers(ids, answer.split(u',', Qt::SkipEmptyParts));
        const ClosingResult result = closeSelection(ids, match.rows);
        if (match.problem.isEmpty() && result.selection.resultMH)
            return result.selection;
        m_err << (match.problem.isEmpty() ? QString(result.message).replace(QStringLiteral("\r\n"), QStringLiteral(" "))
                                          : match.problem)
              << Qt::endl;
    }
}

} // namespace quintaro
