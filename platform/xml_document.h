#pragma once

#include <QHash>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace quintaro {

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

// The interchange document, parsed by libxml2 without network access or external entities.
// Node lists are selected once per path and kept, so asking for "node i of path P" inside a
// loop costs nothing; any change to the tree drops the kept lists.
class XmlDocument {
public:
    // Raises a RunError naming the file and carrying libxml2's own message when the file cannot
    // be read or is not well-formed, or when it asks for an external resource.
    static XmlDocument load(const QString& path);
    static XmlDocument parse(const QByteArray& content, const QString& name = QStringLiteral("memoria"));

    XmlDocument(XmlDocument&&) noexcept;
    XmlDocument& operator=(XmlDocument&&) noexcept;
    ~XmlDocument();

    XmlNode root() const;

    // Elements on an absolute path of element names ("/datosGHC/materias/materia"), in document order.
    const XmlNodeList& select(const QString& path) const;
    XmlNode selectSingle(const QString& path) const;

    // Changing the tree (the result document of the import run). Every change drops the kept
    // selections, so a later select() sees the tree as it is and no kept list outlives a node.
    XmlNode createElement(const char* name);
    void appendChild(const XmlNode& parent, const XmlNode& child);
    // Appends a text node (layout between added elements).
    void appendText(const XmlNode& parent, const QString& text);
    void setAttribute(const XmlNode& element, const char* name, const QString& value);
    void setAttribute(const XmlNode& element, const char* name, int value);
    // Replaces the element's content with this text.
    void setText(const XmlNode& element, const QString& text);

    // Writes the whole document in its own encoding: a temporary file beside `path`, then a rename
    // over it, so a failure never leaves a half-written file.
    void save(const QString& path) const;
    // The same, with `markup` (UTF-8, one element) written as the root element's last child and a
    // line break after it: the file is what save() writes once that element is added to the tree,
    // without building it. The markup is put in the document's encoding on the way.
    void saveAppending(const QString& path, QByteArrayView markup);

    // Leaves the tree allocated when the object goes, for a program about to exit: freeing a large
    // tree's many small blocks takes longer than the rest of the exit.
    void keepUntilExit();

private:
    struct DocDeleter {
        void operator()(_xmlDoc* doc) const;
    };
    explicit XmlDocument(_xmlDoc* doc);

    std::unique_ptr<_xmlDoc, DocDeleter> m_doc;
    mutable QHash<QString, XmlNodeList> m_selections;
};

} // namespace quintaro
