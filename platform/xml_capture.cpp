#include "platform/xml_capture.h"

#include "platform/document_bytes.h"
#include "platform/error.h"
#include "platform/xml_parse.h"

#include <QScopeGuard>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>

namespace quintaro {

XmlCapture::XmlCapture(QString rootName, std::vector<std::pair<QByteArray, CapturedList>> lists)
    : m_rootName(std::move(rootName))
{
    for (auto& [path, list] : lists) {
        m_listOfPath.insert(path, int(m_lists.size()));
        m_lists.push_back(std::move(list));
    }
}

const CapturedList& XmlCapture::select(QByteArrayView path) const
{
    const auto found = m_listOfPath.constFind(path.toByteArray());
    if (found == m_listOfPath.cend())
        throw RunError(QStringLiteral("Error interno: la ruta %1 no se leyó del documento")
                           .arg(QString::fromUtf8(path.data(), path.size())));
    return m_lists[size_t(*found)];
}

namespace {
// Reachable from here until exit (the holder itself is never destroyed), so leak checkers do not
// count what it holds.
std::vector<CapturedList>& keptUntilExit()
{
    static auto* const kept = new std::vector<CapturedList>;
    return *kept;
}
} // namespace

void XmlCapture::keepUntilExit()
{
    for (CapturedList& list : m_lists)
        keptUntilExit().push_back(std::move(list));
    m_lists.clear();
    m_listOfPath.clear();
}

size_t XmlCapture::listsKeptUntilExit() { return keptUntilExit().size(); }

// Builds the lists from the streaming parser's callbacks.
class CaptureBuilder {
public:
    CaptureBuilder(XmlCapture& capture, const std::vector<CaptureRequest>& wanted) : m_capture(capture)
    {
        m_nodes.push_back({}); // above the root
        for (const CaptureRequest& request : wanted) {
            int node = 0;
            for (const QByteArray& name : request.path.split('/').mid(1))
                node = childNode(node, name.constData(), true);
            PathNode& kept = m_nodes[size_t(node)];
            if (kept.list < 0) {
                kept.list = int(m_capture.m_lists.size());
                m_capture.m_lists.emplace_back();
                m_capture.m_listOfPath.insert(request.path, kept.list);
            }
            kept.text = kept.text || request.text;
            kept.attributes = kept.attributes || request.attributes;
        }
    }

    void start(const xmlChar* localname, int attributeCount, const xmlChar** attributes)
    {
        if (m_open.empty())
            m_capture.m_rootName = QString::fromUtf8(reinterpret_cast<const char*>(localname));
        const int parent = m_open.empty() ? 0 : m_open.back();
        const int node = parent < 0 ? -1 : childNode(parent, reinterpret_cast<const char*>(localname), false);
        m_open.push_back(node);
        if (node < 0 || m_nodes[size_t(node)].list < 0)
            return;
        const PathNode& path = m_nodes[size_t(node)];
        CapturedList& list = listOf(path);
        list.startElement(parentPosition(path));
        if (path.attributes) {
            // Each attribute is five pointers: local name, prefix, URI, value, end of value.
            for (int k = 0; k < attributeCount; ++k) {
                const char* value = reinterpret_cast<const char*>(attributes[5 * k + 3]);
                const char* end = reinterpret_cast<const char*>(attributes[5 * k + 4]);
                keep(list.addAttribute(reinterpret_cast<const char*>(attributes[5 * k]), QByteArrayView(value, end)));
            }
        }
        if (path.text)
            m_collecting.push_back(path.list);
    }

    void end()
    {
        const int node = m_open.back();
        m_open.pop_back();
        if (node >= 0 && m_nodes[size_t(node)].list >= 0 && m_nodes[size_t(node)].text)
            m_collecting.pop_back();
    }

    void characters(const xmlChar* text, int length)
    {
        for (int list : m_collecting)
            keep(m_capture.m_lists[size_t(list)].appendText(
                QByteArrayView(reinterpret_cast<const char*>(text), qsizetype(length))));
    }

    bool overflowed() const { return m_overflow; }

private:
    struct PathNode {
        QByteArray name;
        int parent = -1;
        std::vector<int> children;
        int list = -1;
        bool text = false;
        bool attributes = false;
    };

    int childNode(int parent, const char* name, bool add)
    {
        for (int child : m_nodes[size_t(parent)].children)
            if (std::strcmp(m_nodes[size_t(child)].name.constData(), name) == 0)
                return child;
        if (!add)
            return -1;
        m_nodes.push_back({QByteArray(name), parent, {}, -1, false, false});
        const int added = int(m_nodes.size() - 1);
        m_nodes[size_t(parent)].children.push_back(added);
        return added;
    }

    CapturedList& listOf(const PathNode& node) { return m_capture.m_lists[size_t(node.list)]; }

    // The open element of the parent path is the last one kept in its list.
    qsizetype parentPosition(const PathNode& node)
    {
        const PathNode& parent = m_nodes[size_t(node.parent)];
        if (parent.list < 0)
            return -1;
        return qsizetype(listOf(parent).size()) - 1;
    }

    // A document whose kept text passes 4 GiB is refused, not mangled.
    void keep(bool added) { m_overflow = m_overflow || !added; }

    XmlCapture& m_capture;
    std::vector<PathNode> m_nodes;
    std::vector<int> m_open; // the path node of each open element; -1 off the kept paths
    std::vector<int> m_collecting; // lists whose open element takes text
    bool m_overflow = false;
};

XmlCaptureFeed::XmlCaptureFeed(const std::vector<CaptureRequest>& wanted)
    : m_builder(std::make_unique<CaptureBuilder>(m_capture, wanted))
{
}

XmlCaptureFeed::~XmlCaptureFeed() = default;

void XmlCaptureFeed::start(const xmlChar* localname, int attributeCount, const xmlChar** attributes)
{
    m_builder->start(localname, attributeCount, attributes);
}

void XmlCaptureFeed::end() { m_builder->end(); }

void XmlCaptureFeed::characters(const xmlChar* text, int length) { m_builder->characters(text, length); }

void XmlCaptureFeed::element(const xmlNode* element)
{
    std::vector<const xmlChar*> attributes;
    std::vector<std::unique_ptr<xmlChar, decltype(xmlFree)>> values;
    for (const xmlAttr* a = element->properties; a; a = a->next) {
        values.emplace_back(xmlNodeGetContent(reinterpret_cast<const xmlNode*>(a)), xmlFree);
        const xmlChar* value = values.back() ? values.back().get() : reinterpret_cast<const xmlChar*>("");
        attributes.insert(attributes.end(), {a->name, a->ns ? a->ns->prefix : nullptr, a->ns ? a->ns->href : nullptr,
                                             value, value + xmlStrlen(value)});
    }
    start(element->name, int(values.size()), attributes.data());
    for (const xmlNode* child = element->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE)
            this->element(child);
        else if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) && child->content)
            characters(child->content, xmlStrlen(child->content));
    }
    end();
}

XmlCapture XmlCaptureFeed::take(const QString& name)
{
    if (m_builder->overflowed())
        throw RunError(QStringLiteral("El documento XML %1 es demasiado grande para leerlo").arg(name));
    return std::move(m_capture);
}

namespace {
// The callbacks reach the feed through this, not through their context argument: libxml2 hands
// entity content to them from a context of its own.
thread_local XmlCaptureFeed* t_feed = nullptr;

void onStart(void*, const xmlChar* localname, const xmlChar*, const xmlChar*, int, const xmlChar**, int attributeCount,
             int defaulted, const xmlChar** attributes)
{
    // Attributes defaulted by the document's DTD are not part of the element, as in the tree.
    t_feed->start(localname, attributeCount - defaulted, attributes);
}
void onEnd(void*, const xmlChar*, const xmlChar*, const xmlChar*) { t_feed->end(); }
void onCharacters(void*, const xmlChar* text, int length) { t_feed->characters(text, length); }

template <typename Read>
XmlCapture capture(const QString& name, const std::vector<CaptureRequest>& wanted,
                   Read read)
{
    XmlCaptureFeed feed(wanted);
    t_feed = &feed;
    const auto reset = qScopeGuard([] { t_feed = nullptr; });
    // Only the DTD is built (libxml2 keeps the declared entities there); elements, text and
    // attributes go to the feed.
    xmlDoc* dtdOnly = xml::parseWith(name, [&](xmlParserCtxt* ctxt) {
        xmlSAXHandler* sax = ctxt->sax;
        sax->startElementNs = onStart;
        sax->endElementNs = onEnd;
        sax->characters = onCharacters;
        sax->ignorableWhitespace = onCharacters;
        sax->cdataBlock = onCharacters;
        // Comments and processing instructions are read as the tree reads them (some of
        // libxml2's messages quote them) and dropped.
        sax->comment = [](void*, const xmlChar*) {};
        sax->processingInstruction = [](void*, const xmlChar*, const xmlChar*) {};
        return read(ctxt);
    });
    xmlFreeDoc(dtdOnly);
    return feed.take(name);
}
} // namespace

XmlCapture XmlCapture::load(const QString& path, const std::vector<CaptureRequest>& wanted)
{
    DocumentPieces pieces(path);
    return read(pieces, wanted);
}

XmlCapture XmlCapture::read(DocumentPieces& pieces, const std::vector<CaptureRequest>& wanted)
{
    return capture(pieces.path(), wanted, [&](xmlParserCtxt* ctxt) {
        return xml::readPieces(ctxt, pieces, xml::parseOptions());
    });
}

XmlCapture XmlCapture::parse(const QByteArray& content, const std::vector<CaptureRequest>& wanted, const QString& name)
{
    return capture(name, wanted, [&](xmlParserCtxt* ctxt) {
        return xml::readBytes(ctxt, content, xml::parseOptions());
    });
}

} // namespace quintaro
