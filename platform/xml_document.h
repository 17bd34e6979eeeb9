#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace quintaro {

class DocumentPieces;

// A light, read-only handle on an element or attribute of an XmlDocument; null when a selection
// found nothing. The tree is changed only through its XmlDocument.
class XmlNode {
public:
    XmlNode() = default;
    explicit XmlNode(_xmlNode* node) : m_node(node) { }

    bool isNull() const { return m_node == nullptr; }
    _xmlNode* raw() const { return m_node; }
    QString name() const;

    // All character content of the node and its descendants, untrimmed; an attribute's value.
    QString text() const;

    int attributeCount() const;
    // The attribute at a 0-based position in start-tag order, or nothing.
    std::optional<QString> attributeValue(int index) const;
    std::optional<QString> attribute(const char* name) const;
    // The first child element of that name, or a null node; all of them in order.
    XmlNode firstChild(const char* name) const;
    std::vector<XmlNode> children(const char* name) const;

private:
    _xmlNode* m_node = nullptr;
};

using XmlNodeList = std::vector<XmlNode>;

// The interchange document as a tree, parsed by libxml2 without network access or external
// entities. The import run reads it and writes it out again with its section spliced in
// (xml_section_save.h); the tree itself is never changed for good. Node lists are selected once
// per path and kept, so asking for "node i of path P" inside a loop costs nothing.
class XmlDocument {
public:
    // Raises a RunError naming the file and carrying libxml2's own message when the file cannot
    // be read or is not well-formed, or when it asks for an external resource.
    // Reads the file once, piece by piece.
    static XmlDocument load(const QString& path);
    // The same from pieces (of the file, or of bytes already read: no copy of them is made).
    static XmlDocument read(DocumentPieces& pieces);
    static XmlDocument parse(const QByteArray& content, const QString& name = QStringLiteral("memoria"));

    XmlDocument(XmlDocument&&) noexcept;
    XmlDocument& operator=(XmlDocument&&) noexcept;
    ~XmlDocument();

    XmlNode root() const;

    // Elements on an absolute path of element names ("/datosGHC/materias/materia"), in document order.
    const XmlNodeList& select(const QString& path) const;

protected:
    // For code that changes the tree (the tests build trees to compare with): the libxml2 document,
    // and dropping the kept selections after a change.
    _xmlDoc* raw() const { return m_doc.get(); }
    void dropSelections() { m_selections.clear(); }

private:
    friend void saveWithAppendedMarkup(XmlDocument& doc, const QString& path, QByteArrayView markup);
    struct DocDeleter {
        void operator()(_xmlDoc* doc) const;
    };
    explicit XmlDocument(_xmlDoc* doc);

    std::unique_ptr<_xmlDoc, DocDeleter> m_doc;
    mutable QHash<QString, XmlNodeList> m_selections;
};

} // namespace quintaro
