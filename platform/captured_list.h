#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

namespace quintaro {

// The elements kept for one path of a document, in document order. Of each element, its character
// content (all text inside it, UTF-8, untrimmed), its attributes in start-tag order, and its
// position in the list of its parent path when that path is kept too. All bytes live in one
// buffer, so a large list costs a few allocations, not one per element.
class CapturedList {
public:
    size_t size() const { return m_elements.size(); }
    bool empty() const { return m_elements.empty(); }

    QByteArrayView text(size_t i) const;
    int attributeCount(size_t i) const { return int(m_elements.at(i).attributeCount); }
    // The attribute at a 0-based position in start-tag order, or nothing.
    std::optional<QByteArrayView> attributeValue(size_t i, int k) const;
    std::optional<QByteArrayView> attribute(size_t i, QByteArrayView name) const;
    // The element's position in its parent path's list; -1 when that path is not kept.
    qsizetype parent(size_t i) const { return m_elements.at(i).parent; }

    // The same elements with the same texts, attributes and parents.
    friend bool operator==(const CapturedList& a, const CapturedList& b);

    // Building, in document order: an element starts, takes its attributes, then its text piece by
    // piece until the next element starts. Elements of one path never nest, so each element's text
    // is one run of bytes. Offsets are 32 bits: false once the kept bytes would pass 4 GiB (the
    // list is then incomplete and must not be used).
    void startElement(qsizetype parent);
    bool addAttribute(QByteArrayView name, QByteArrayView value);
    bool appendText(QByteArrayView bytes);

private:
    struct Element {
        quint32 textBegin = 0;
        quint32 textEnd = 0;
        quint32 firstAttribute = 0;
        quint32 attributeCount = 0;
        qint32 parent = -1;
    };
    struct Attribute {
        quint32 nameBegin, nameEnd, valueBegin, valueEnd;
    };
    QByteArrayView slice(quint32 begin, quint32 end) const
    {
        return QByteArrayView(m_bytes.constData() + begin, end - begin);
    }
    const Attribute& attributeAt(size_t i, int k) const
    {
        return m_attributes[m_elements[i].firstAttribute + quint32(k)];
    }
    quint32 offset() const { return quint32(m_bytes.size()); }
    bool append(QByteArrayView bytes);

    std::vector<Element> m_elements;
    std::vector<Attribute> m_attributes;
    QByteArray m_bytes; // texts, attribute names and values
};

} // namespace quintaro
