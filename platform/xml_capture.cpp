#include "platform/xml_capture.h"

#include "platform/error.h"
#include "platform/xml_document.h"
#include "platform/xml_parse.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
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

const CapturedList& XmlCapture::select(QByteArrayView path) const
{
    const auto found = m_listOfPath.constFind(path.toByteArray());
    if (found == m_listOfPath.cend())
        throw RunError(QStringLiteral("Error interno: la ruta %1 no se leyó del documento")
                           .arg(QString::fromUtf8(path.data(), path.size())));
    return m_lists[size_t(*found)];
}

void XmlCapture::keepUntilExit()
{
    // Reachable from here until exit (the holder itself is never destroyed), so leak checkers
    // do not count it.
    static auto* const kept = new std::vector<CapturedList>;
    for (CapturedList& list : m_lists)
        kept->push_back(std::move(list));
    m_lists.clear();
    m_listOfPath.clear();
}

// Builds the lists: from the streaming parser's callbacks, or from a tree's selections.
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

    // ---- streaming
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
        CapturedList::Element e;
        e.parent = parentPosition(path);
        if (path.attributes) {
            e.firstAttribute = quint32(list.m_attributes.size());
            e.attributeCount = quint32(attributeCount);
            // Each attribute is five pointers: local name, prefix, URI, value, end of value.
            for (int k = 0; k < attributeCount; ++k) {
                const char* value = reinterpret_cast<const char*>(attributes[5 * k + 3]);
                const char* end = reinterpret_cast<const char*>(attributes[5 * k + 4]);
                addAttribute(list, reinterpret_cast<const char*>(attributes[5 * k]), QByteArrayView(value, end));
            }
        }
        if (path.text) {
            e.textBegin = e.textEnd = offset(list);
            m_collecting.push_back(path.list);
        }
        list.m_elements.push_back(e);
    }

    void end()
    {
        const int node = m_open.back();
        m_open.pop_back();
        if (node < 0 || m_nodes[size_t(node)].list < 0 || !m_nodes[size_t(node)].text)
            return;
        CapturedList& list = listOf(m_nodes[size_t(node)]);
        list.m_elements.back().textEnd = offset(list);
        m_collecting.pop_back();
    }

    void characters(const xmlChar* text, int length)
    {
        for (int list : m_collecting)
            append(m_capture.m_lists[size_t(list)], reinterpret_cast<const char*>(text), size_t(length));
    }

    bool overflowed() const { return m_overflow; }

    // ---- from a tree
    void copyFrom(const XmlDocument& doc, const std::vector<CaptureRequest>& wanted)
    {
        const XmlNode root = doc.root();
        m_capture.m_rootName = root.isNull() ? QString() : root.name();
        for (const CaptureRequest& request : wanted) {
            const QString path = QString::fromUtf8(request.path);
            const int node = nodeOf(request.path);
            const PathNode& kept = m_nodes[size_t(node)];
            CapturedList& list = listOf(kept);
            if (!list.m_elements.empty())
                continue; // asked for twice
            QHash<const void*, qint32> parentAt;
            const qsizetype slash = path.lastIndexOf(u'/');
            if (slash > 0 && m_nodes[size_t(kept.parent)].list >= 0) {
                const XmlNodeList& parents = doc.select(path.left(slash));
                for (size_t i = 0; i < parents.size(); ++i)
                    parentAt.insert(parents[i].raw(), qint32(i));
            }
            for (const XmlNode& element : doc.select(path)) {
                CapturedList::Element e;
                e.parent = parentAt.value(reinterpret_cast<const xmlNode*>(element.raw())->parent, -1);
                if (kept.attributes) {
                    e.firstAttribute = quint32(list.m_attributes.size());
                    e.attributeCount = quint32(element.attributeCount());
                    for (const xmlAttr* a = element.raw()->properties; a; a = a->next)
                        addAttribute(list, reinterpret_cast<const char*>(a->name),
                                     XmlNode(reinterpret_cast<xmlNode*>(const_cast<xmlAttr*>(a))).text().toUtf8());
                }
                if (kept.text) {
                    const QByteArray text = element.text().toUtf8();
                    e.textBegin = append(list, text.constData(), size_t(text.size()));
                    e.textEnd = offset(list);
                }
                list.m_elements.push_back(e);
            }
        }
    }

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
    int nodeOf(const QByteArray& path)
    {
        int node = 0;
        for (const QByteArray& name : path.split('/').mid(1))
            node = childNode(node, name.constData(), false);
        return node;
    }

    CapturedList& listOf(const PathNode& node) { return m_capture.m_lists[size_t(node.list)]; }

    // The open element of the parent path is the last one kept in its list.
    qint32 parentPosition(const PathNode& node)
    {
        const PathNode& parent = m_nodes[size_t(node.parent)];
        if (parent.list < 0)
            return -1;
        return qint32(listOf(parent).m_elements.size()) - 1;
    }

    quint32 offset(const CapturedList& list) const { return quint32(list.m_bytes.size()); }
    void addAttribute(CapturedList& list, const char* name, QByteArrayView value)
    {
        CapturedList::Attribute a;
        a.nameBegin = append(list, name, std::strlen(name));
        a.nameEnd = offset(list);
        a.valueBegin = append(list, value.data(), size_t(value.size()));
        a.valueEnd = offset(list);
        list.m_attributes.push_back(a);
    }
    // Offsets are 32 bits: a document whose kept text passes 4 GiB is refused, not mangled.
    quint32 append(CapturedList& list, const char* bytes, size_t length)
    {
        const quint32 at = offset(list);
        if (m_overflow || length > std::numeric_limits<quint32>::max() - at) {
            m_overflow = true;
            return at;
        }
        if (length > 0)
            list.m_bytes.append(bytes, qsizetype(length));
        return at;
    }

    XmlCapture& m_capture;
    std::vector<PathNode> m_nodes;
    std::vector<int> m_open; // the path node of each open element; -1 off the kept paths
    std::vector<int> m_collecting; // lists whose open element takes text
    bool m_overflow = false;
};

namespace {
// The callbacks reach the builder through this, not through their context argument: libxml2 hands
// entity content to them from a context of its own.
thread_local CaptureBuilder* t_builder = nullptr;

void onStart(void*, const xmlChar* localname, const xmlChar*, const xmlChar*, int, const xmlChar**, int attributeCount,
             int defaulted, const xmlChar** attributes)
{
    // Attributes defaulted by the document's DTD are not part of the element, as in the tree.
    t_builder->start(localname, attributeCount - defaulted, attributes);
}
void onEnd(void*, const xmlChar*, const xmlChar*, const xmlChar*) { t_builder->end(); }
void onCharacters(void*, const xmlChar* text, int length) { t_builder->characters(text, length); }

template <typename Read>
XmlCapture capture(const QString& name, const QByteArray& mainFile, const std::vector<CaptureRequest>& wanted,
                   Read read)
{
    XmlCapture result;
    CaptureBuilder builder(result, wanted);
    t_builder = &builder;
    struct Reset {
        ~Reset() { t_builder = nullptr; }
    } reset;
    // Only the DTD is built (libxml2 keeps the declared entities there); elements, text and
    // attributes go to the builder.
    xmlDoc* dtdOnly = xml::parseWith(name, mainFile, [&](xmlParserCtxt* ctxt) {
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
    if (builder.overflowed())
        throw RunError(QStringLiteral("El documento XML %1 es demasiado grande para leerlo").arg(name));
    return result;
}
} // namespace

XmlCapture XmlCapture::load(const QString& path, const std::vector<CaptureRequest>& wanted)
{
    const QByteArray native = xml::nativePath(path);
    return capture(path, native, wanted, [&](xmlParserCtxt* ctxt) {
        return xmlCtxtReadFile(ctxt, native.constData(), nullptr, xml::parseOptions());
    });
}

XmlCapture XmlCapture::parse(const QByteArray& content, const std::vector<CaptureRequest>& wanted, const QString& name)
{
    return capture(name, QByteArray(), wanted, [&](xmlParserCtxt* ctxt) {
        return xmlCtxtReadMemory(ctxt, content.constData(), int(content.size()), nullptr, nullptr, xml::parseOptions());
    });
}

XmlCapture XmlCapture::fromTree(const XmlDocument& doc, const std::vector<CaptureRequest>& wanted)
{
    XmlCapture result;
    CaptureBuilder builder(result, wanted);
    builder.copyFrom(doc, wanted);
    return result;
}

} // namespace quintaro
