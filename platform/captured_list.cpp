#include "platform/captured_list.h"

#include <limits>

namespace quintaro {

QByteArrayView CapturedList::text(size_t i) const
{
    const Element& e = m_elements.at(i);
    return slice(e.textBegin, e.textEnd);
}

std::optional<QByteArrayView> CapturedList::attributeValue(size_t i, int k) const
{
    if (k < 0 || k >= attributeCount(i))
        return std::nullopt;
    const Attribute& a = attributeAt(i, k);
    return slice(a.valueBegin, a.valueEnd);
}

std::optional<QByteArrayView> CapturedList::attribute(size_t i, QByteArrayView name) const
{
    for (int k = 0; k < attributeCount(i); ++k) {
        const Attribute& a = attributeAt(i, k);
        if (slice(a.nameBegin, a.nameEnd) == name)
            return slice(a.valueBegin, a.valueEnd);
    }
    return std::nullopt;
}

bool operator==(const CapturedList& a, const CapturedList& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a.text(i) != b.text(i) || a.parent(i) != b.parent(i) || a.attributeCount(i) != b.attributeCount(i))
            return false;
        for (int k = 0; k < a.attributeCount(i); ++k) {
            const CapturedList::Attribute& x = a.attributeAt(i, k);
            const CapturedList::Attribute& y = b.attributeAt(i, k);
            if (a.slice(x.nameBegin, x.nameEnd) != b.slice(y.nameBegin, y.nameEnd)
                || a.slice(x.valueBegin, x.valueEnd) != b.slice(y.valueBegin, y.valueEnd))
                return false;
        }
    }
    return true;
}

bool CapturedList::append(QByteArrayView bytes)
{
    if (size_t(bytes.size()) > std::numeric_limits<quint32>::max() - offset())
        return false;
    m_bytes.append(bytes);
    return true;
}

void CapturedList::startElement(qsizetype parent)
{
    Element e;
    e.parent = qint32(parent);
    e.firstAttribute = quint32(m_attributes.size());
    e.textBegin = e.textEnd = offset();
    m_elements.push_back(e);
}

bool CapturedList::addAttribute(QByteArrayView name, QByteArrayView value)
{
    Attribute a;
    a.nameBegin = offset();
    if (!append(name))
        return false;
    a.nameEnd = a.valueBegin = offset();
    if (!append(value))
        return false;
    a.valueEnd = offset();
    m_attributes.push_back(a);
    Element& e = m_elements.back();
    ++e.attributeCount;
    e.textBegin = e.textEnd = offset();
    return true;
}

bool CapturedList::appendText(QByteArrayView bytes)
{
    if (!append(bytes))
        return false;
    m_elements.back().textEnd = offset();
    return true;
}

} // namespace quintaro
