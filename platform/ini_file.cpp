#include "platform/ini_file.h"

#include "platform/error.h"
#include "platform/file_error.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <optional>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace quintaro {

namespace {
struct Line {
    qsizetype begin; // offset of the first byte
    qsizetype end; // offset of the line ending (or the end of the content)
    qsizetype next; // offset of the next line
};

QList<Line> splitLines(const QByteArray& content)
{
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < content.size()) {
        qsizetype nl = content.indexOf('\n', pos);
        const qsizetype next = nl < 0 ? content.size() : nl + 1;
        qsizetype end = nl < 0 ? content.size() : nl;
        if (end > pos && content.at(end - 1) == '\r')
            --end;
        lines.append({pos, end, next});
        pos = next;
    }
    return lines;
}

bool sameName(const QByteArray& a, const QString& b)
{
    return QString::fromUtf8(a.trimmed()).compare(b, Qt::CaseInsensitive) == 0;
}

// The section name of a "[name]" line, or nothing.
std::optional<QByteArray> sectionOf(const QByteArray& line)
{
    const QByteArray t = line.trimmed();
    if (t.startsWith('[') && t.contains(']'))
        return t.mid(1, t.indexOf(']') - 1);
    return std::nullopt;
}
} // namespace

QByteArray iniWithValue(const QByteArray& content, const QString& section, const QString& key, const QString& value)
{
    const QByteArray eol = content.contains("\r\n") || !content.contains('\n') ? QByteArray("\r\n") : QByteArray("\n");
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8();
    const QList<Line> lines = splitLines(content);

    qsizetype sectionLine = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray text = content.mid(lines[i].begin, lines[i].end - lines[i].begin);
        const auto name = sectionOf(text);
        if (sectionLine < 0) {
            if (name && sameName(*name, section))
                sectionLine = i;
            continue;
        }
        if (name) // the next section starts: the key is not there
            break;
        const qsizetype eq = text.indexOf('=');
        if (eq > 0 && sameName(text.left(eq), key)) {
            QByteArray result = content;
            const qsizetype valueStart = lines[i].begin + eq + 1;
            return result.replace(valueStart, lines[i].end - valueStart, value.toUtf8());
        }
    }

    if (sectionLine < 0) {
        QByteArray result = content;
        if (!result.isEmpty() && !result.endsWith('\n'))
            result += eol;
        return result + '[' + section.toUtf8() + ']' + eol + entry + eol;
    }
    // Insert after the section's last non-blank line.
    qsizetype after = sectionLine;
    for (qsizetype i = sectionLine + 1; i < lines.size(); ++i) {
        const QByteArray text = content.mid(lines[i].begin, lines[i].end - lines[i].begin);
        if (sectionOf(text))
            break;
        if (!text.trimmed().isEmpty())
            after = i;
    }
    QByteArray result = content;
    const Line& last = lines[after];
    if (last.next == last.end) // the last line of the file has no ending
        return result + eol + entry + eol;
    return result.insert(last.next, entry + eol);
}

void writeIniInteger(const QString& path, const QString& section, const QString& key, int value)
{
    const auto failure = [&](int systemError = lastSystemError()) {
        return QStringLiteral("No se puede escribir el resultado en %1 (%2). Instale Quintaro en una carpeta donde "
                              "pueda escribir (la que propone el instalador, o la de Velmora) o pida permiso de "
                              "escritura en %3.")
            .arg(QDir::toNativeSeparators(path), failureKind(systemError),
                 QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    };
#ifdef Q_OS_WIN
    if (!WritePrivateProfileStringW(reinterpret_cast<LPCWSTR>(section.utf16()), reinterpret_cast<LPCWSTR>(key.utf16()),
                                    reinterpret_cast<LPCWSTR>(QString::number(value).utf16()),
                                    reinterpret_cast<LPCWSTR>(path.utf16())))
        throw RunError(failure());
#else
    QByteArray content;
    if (QFileInfo::exists(path)) {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            throw RunError(failure());
        content = in.readAll();
    }
    if (const auto written = writeWholeFile(path, iniWithValue(content, section, key, QString::number(value))))
        throw RunError(failure(written->systemError));
#endif
}

} // namespace quintaro
