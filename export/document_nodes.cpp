#include "export/document_nodes.h"

#include "platform/error.h"
#include "platform/text.h"

namespace quintaro {

XmlNode requireNode(const XmlDocument& doc, const QString& path, size_t index, const QString& what)
{
    const XmlNodeList& nodes = doc.select(path);
    if (index >= nodes.size())
        throw RunError(QStringLiteral("Falta el elemento %1 %2 n.º %3: el documento solo tiene %4")
                           .arg(path, what)
                           .arg(index + 1)
                           .arg(nodes.size()));
    return nodes[index];
}

QString trimmedText(const XmlDocument& doc, const QString& path, size_t index, const QString& what)
{
    return text::trimmed(requireNode(doc, path, index, what).text());
}

int wholeNumber(const QString& value, const QString& where, const QString& name)
{
    if (text::isInt(value))
        return text::toInt(value);
    throw RunError(QStringLiteral("%1: %2 '%3' no es un número entero").arg(where, name, value));
}

} // namespace quintaro
