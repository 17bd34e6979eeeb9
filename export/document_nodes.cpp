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

OwnChildren::OwnChildren(const ExportDocument& doc, std::initializer_list<const char*> chain)
    : m_children(doc.select(*(chain.end() - 1)))
{
    const QByteArrayView path(*(chain.end() - 1));
    m_name = QString::fromUtf8(path.sliced(path.lastIndexOf('/') + 1));
    std::vector<const CapturedList*> between;
    for (auto it = chain.begin() + 1; it + 1 < chain.end(); ++it)
        between.push_back(&doc.select(*it));
    const size_t owners = doc.select(*chain.begin()).size();
    m_first.assign(owners, -1);
    m_count.assign(owners, 0);
    for (size_t j = 0; j < m_children.size(); ++j) {
        qsizetype owner = m_children.parent(j);
        for (auto level = between.rbegin(); level != between.rend() && owner >= 0; ++level)
            owner = (*level)->parent(size_t(owner));
        if (owner < 0 || size_t(owner) >= owners)
            continue;
        // In document order an owner's descendants stand together, so its children are one run.
        if (m_first[size_t(owner)] < 0)
            m_first[size_t(owner)] = qsizetype(j);
        ++m_count[size_t(owner)];
    }
}

QByteArrayView OwnChildren::text(size_t owner, int k) const
{
    if (k < 0 || k >= count(owner))
        return {};
    return trimmedBytes(m_children.text(size_t(m_first[owner] + k)));
}

QByteArrayView ownChild(const OwnChildren& children, size_t owner, ExportReport& report, const QString& ownerName,
                        const QString& sesion)
{
    const int count = children.count(owner);
    const QString tag = u'<' + children.name() + u'>';
    if (count == 0) {
        report.note(Finding::ChildMissing, sesion, tag, QStringLiteral("%1: no tiene %2; se toma vacío").arg(ownerName, tag));
        return {};
    }
    if (count > 1) {
        QStringList left;
        for (int k = 1; k < count; ++k)
            left << QString::fromUtf8(children.text(owner, k));
        const QString first = QString::fromUtf8(children.text(owner));
        report.note(Finding::ChildRepeated, sesion, tag,
                    children.name() == u"profesor"
                        ? (report.forFet ? QStringLiteral("%1: docencia compartida, FET recibe a todos sus profesores "
                                                          "(%2, %3); Velmora solo recibiría a %2")
                                         : QStringLiteral("%1: docencia compartida, Velmora recibe solo al profesor %2 (%3 no)"))
                              .arg(ownerName, first, left.join(QStringLiteral(", ")))
                    : report.forFet && children.name() == u"grupo"
                        ? QStringLiteral("%1: %2 grupos, FET los recibe todos ('%3', '%4'); Velmora solo recibiría '%3'")
                              .arg(ownerName)
                              .arg(count)
                              .arg(first, left.join(QStringLiteral("', '")))
                        : QStringLiteral("%1: %2 elementos %3; se usa el primero, '%4' ('%5' no)")
                              .arg(ownerName)
                              .arg(count)
                              .arg(tag, first, left.join(QStringLiteral("', '"))));
    }
    return children.text(owner);
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
