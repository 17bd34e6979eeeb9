#include "cli/cli_ui.h"

#include "platform/error.h"
#include "platform/text.h"

#include <QFile>
#include <QRegularExpression>

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
    selectByIdentifiers(ids, {}); // raises the usage error that lists the frames
    return std::nullopt;
}

FrameSelection CliUi::askOnTerminal(const QStringList& ids, const ExportDocument& doc)
{
    QTextStream in(stdin);
    const QStringList labels = frameLabels(doc);
    for (;;) {
        m_out << "Marcos horarios del documento:" << Qt::endl;
        for (qsizetype i = 0; i < ids.size(); ++i) {
            const QStringList lines = hoursLines(doc, ids.at(i)).value_or(QStringList());
            m_out << "  " << (i + 1) << ") " << labels.value(i);
            if (!lines.isEmpty())
                m_out << "   primer día: " << lines.join(QStringLiteral(", "));
            m_out << Qt::endl;
        }
        m_out << "Elija uno o dos, por número o identificador (por ejemplo 1 o 1,2 o " << text::trimmed(ids.value(0))
              << "): " << Qt::flush;
        const QString answer = in.readLine();
        if (answer.isNull())
            throw UsageError(QStringLiteral("No se eligió ningún marco horario"));
        QList<int> rows;
        bool valid = true;
        for (const QString& part : answer.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts)) {
            // A number from the list, or a frame's identifier.
            bool ok = false;
            int row = part.toInt(&ok) - 1;
            if (!ok) {
                row = -1;
                for (qsizetype i = 0; i < ids.size() && row < 0; ++i)
                    if (text::trimmed(ids.at(i)) == part)
                        row = int(i);
            }
            valid = valid && row >= 0 && row < ids.size() && !rows.contains(row);
            rows << row;
        }
        const ClosingResult result = closeSelection(ids, valid ? rows : QList<int>());
        if (valid && result.selection.resultMH)
            return result.selection;
        m_err << (valid ? QString(result.message).replace(QStringLiteral("\r\n"), QStringLiteral(" "))
                        : QStringLiteral("Respuesta no válida."))
              << Qt::endl;
    }
}

} // namespace quintaro
