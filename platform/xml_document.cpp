#include "platform/xml_document.h"

#include "platform/document_bytes.h"
#include "platform/error.h"
#include "platform/xml_parse.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

namespace quintaro {

namespace {

const xmlChar* utf8(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

QString fromXml(const xmlChar* s) { return s ? QString::fromUtf8(reinterpret_cast<const char*>(s)) : QString(); }

XmlNodeList childElements(const XmlNodeList& parents, const QByteArray& name)
{
    XmlNodeList result;
    if (parents.empty())
        return result;
    // Parsed names live in the document's dictionary: when the name is there, compare pointers.
    const xmlDoc* doc = parents.front().raw()->doc;
    const xmlChar* interned
        = doc && doc->dict ? xmlDictExists(doc->dict, utf8(name.constData()), int(name.size())) : nullptr;
    if (doc && doc->dict && !interned)
        return result; // no element in the document has that name
    for (const XmlNode& parent : parents)
        for (xmlNode* child = parent.raw()->children; child; child = child->next)
            if (child->type == XML_ELEMENT_NODE
                && (interned ? child->name == interned : xmlStrEqual(child->name, utf8(name.constData()))))
                result.push_back(XmlNode(child));
    return result;
}

} // namespace

// ---- XmlNode ----

QString XmlNode::name() const { return m_node ? fromXml(m_node->name) : QString(); }

QString XmlNode::text() const
{
    if (!m_node)
        return {};
    xmlChar* content = xmlNodeGetContent(m_node);
    QString result = fromXml(content);
    xmlFree(content);
    return result;
}

int XmlNode::attributeCount() const
{
    int n = 0;
    if (m_node && m_node->type == XML_ELEMENT_NODE)
        for (xmlAttr* a = m_node->properties; a; a = a->next)
            ++n;
    return n;
}

std::optional<QString> XmlNode::attributeValue(int index) const
{
    if (!m_node || m_node->type != XML_ELEMENT_NODE || index < 0)
        return std::nullopt;
    xmlAttr* a = m_node->properties;
    for (int i = 0; a && i < index; ++i)
        a = a->next;
    if (!a)
        return std::nullopt;
    return XmlNode(reinterpret_cast<xmlNode*>(a)).text();
}

std::optional<QString> XmlNode::attribute(const char* name) const
{
    if (!m_node || m_node->type != XML_ELEMENT_NODE)
        return std::nullopt;
    for (xmlAttr* a = m_node->properties; a; a = a->next)
        if (xmlStrEqual(a->name, utf8(name)))
            return XmlNode(reinterpret_cast<xmlNode*>(a)).text();
    return std::nullopt;
}

XmlNode XmlNode::firstChild(const char* name) const
{
    if (!m_node)
        return {};
    for (xmlNode* child = m_node->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE && xmlStrEqual(child->name, utf8(name)))
            return XmlNode(child);
    return {};
}

std::vector<XmlNode> XmlNode::children(const char* name) const
{
    std::vector<XmlNode> result;
    if (m_node)
        result = childElements({*this}, QByteArray(name));
    return result;
}

// ---- XmlDocument ----

void XmlDocument::DocDeleter::operator()(_xmlDoc* doc) const { xmlFreeDoc(doc); }

XmlDocument::XmlDocument(_xmlDoc* doc) : m_doc(doc) { }
XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;
XmlDocument& XmlDocument::operator=(XmlDocument&&) noexcept = default;
XmlDocument::~XmlDocument() = default;

XmlDocument XmlDocument::load(const QString& path)
{
    DocumentPieces pieces(path);
    return read(pieces);
}

XmlDocument XmlDocument::read(DocumentPieces& pieces)
{
    return XmlDocument(xml::parseWith(pieces.path(), [&](xmlParserCtxtPtr ctxt) {
        return xml::readPieces(ctxt, pieces, xml::treeParseOptions());
    }));
}

XmlDocument XmlDocument::parse(const QByteArray& content, const QString& name)
{
    return XmlDocument(xml::parseWith(name, [&](xmlParserCtxtPtr ctxt) {
        return xml::readBytes(ctxt, content, xml::treeParseOptions());
    }));
}


XmlNode XmlDocument::root() const { return XmlNode(xmlDocGetRootElement(m_doc.get())); }

const XmlNodeList& XmlDocument::select(const QString& path) const
{
    auto cached = m_selections.constFind(path);
    if (cached != m_selections.cend())
        return *cached;

    // An absolute path: "/root" selects the root element when its name matches; a longer path
    // takes the children of its parent path's selection, itself selected once and kept.
    XmlNodeList nodes;
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash == 0) {
        const XmlNode top = root();
        if (!top.isNull() && xmlStrEqual(top.raw()->name, utf8(path.mid(1).toUtf8().constData())))
            nodes.push_back(top);
    } else if (slash > 0) {
        nodes = childElements(select(path.left(slash)), path.mid(slash + 1).toUtf8());
    }
    return *m_selections.insert(path, std::move(nodes));
}

} // namespace quintaro
