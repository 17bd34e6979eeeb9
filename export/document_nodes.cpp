#include "export/document_nodes.h"

#include "platform/error.h"
#include "platform/text.h"

namespace quintaro {

namespace {
void requireElement(const CapturedList& list, const char* path, size_t index, const QString& what)
{
    const size_t count = list.size();
    if (index >= count)
        throw RunError(QStringLiteral("Falta el elemento %1 %2 n.º %3: el documento solo tiene %4")
                           .arg(QLatin1StringView(path), what)
                           .arg(index + 1)
                           .arg(count));
}
} // namespace

void requireElement(const ExportDocument& doc, const char* path, size_t index, const QString& what)
{
    requireElement(doc.select(path), path, index, what);
}

QByteArrayView trimmedBytes(QByteArrayView text)
{
    // Bytes at or below 32 are whole characters in UTF-8, so this trims as text::trimmed does.
    while (!text.isEmpty() && quint8(text.front()) <= 32)
        text = text.sliced(1);
    while (!text.isEmpty() && quint8(text.back()) <= 32)
        text.chop(1);
    return text;
}

QByteArrayView trimmedBytes(const CapturedList& list, const char* path, size_t index, const QString& what)
{
    requireElement(list, path, index, what);
    return trimmedBytes(list.text(index));
}

QByteArrayView trimmedBytes(const ExportDocument& doc, const char* path, size_t index, const QString& what)
{
    return trimmedBytes(doc.select(path), path, index, what);
}

QString trimmedText(const ExportDocument& doc, const char* path, size_t index, const QString& what)
{
    return QString::fromUtf8(trimmedBytes(doc, path, index, what));
}

int wholeNumber(const QString& value, const QString& where, const QString& name)
{
    if (const std::optional<int> number = text::parseInt(QStringView(value)))
        return *number;
    notWholeNumber(value, where, name);
}

void notWholeNumber(const QString& value, const QString& where, const QString& name)
{
    throw RunError(QStringLiteral("%1: %2 '%3' no es un número entero").arg(where, name, value));
}

} // namespace quintaro
