#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace quintaro {

class XmlDocument;

// The elements kept for one path, in document order: exactly the list XmlDocument::select() gives
// for it. Of each element, its character content (all text inside it, UTF-8, untrimmed) when the
// path asked for text, its attributes in start-tag order when it asked for them, and its position
// in the list of its parent path when that path is kept too.
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

private:
    friend class CaptureBuilder;
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

    std::vector<Element> m_elements;
    std::vector<Attribute> m_attributes;
    QByteArray m_bytes; // texts, attribute names and values
};

// A path to keep ("/datosGHC/sesionesLectivas/sesion") and what to keep of its elements. A path is
// kept whole (its count, and parent positions for its children) even when it asks for neither.
struct CaptureRequest {
    QByteArray path;
    bool text = false;
    bool attributes = false;
};

// What one streaming pass over a document keeps: the root element's name and, for a fixed set of
// paths, the elements on each. No tree is built, so memory grows with what is kept, not with the
// document. The pass has the same safety rules and error messages as XmlDocument::load.
class XmlCapture {
public:
    static XmlCapture load(const QString& path, const std::vector<CaptureRequest>& wanted);
    static XmlCapture parse(const QByteArray& content, const std::vector<CaptureRequest>& wanted,
                            const QString& name = QStringLiteral("memoria"));
    // The same lists taken from a parsed tree through its select().
    static XmlCapture fromTree(const XmlDocument& doc, const std::vector<CaptureRequest>& wanted);

    const QString& rootName() const { return m_rootName; }
    // The list of a requested path; asking for any other is a programming error.
    const CapturedList& select(QByteArrayView path) const;

    // Leaves the lists allocated when the object goes, for a program about to exit.
    void keepUntilExit();

private:
    friend class CaptureBuilder;
    QString m_rootName;
    std::vector<CapturedList> m_lists;
    QHash<QByteArray, int> m_listOfPath;
};

} // namespace quintaro
