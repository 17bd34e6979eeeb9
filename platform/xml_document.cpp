#include "platform/xml_document.h"

#include "platform/error.h"
#include "platform/file_error.h"
#include "platform/xml_parse.h"

#include <QFile>
#include <QSaveFile>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

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
    const QByteArray native = xml::nativePath(path);
    return XmlDocument(xml::parseWith(path, native, [&](xmlParserCtxtPtr ctxt) {
        return xmlCtxtReadFile(ctxt, native.constData(), nullptr, xml::parseOptions());
    }));
}

XmlDocument XmlDocument::parse(const QByteArray& content, const QString& name)
{
    return XmlDocument(xml::parseWith(name, QByteArray(), [&](xmlParserCtxtPtr ctxt) {
        return xmlCtxtReadMemory(ctxt, content.constData(), int(content.size()), nullptr, nullptr, xml::parseOptions());
    }));
}

void XmlDocument::keepUntilExit()
{
    // Reachable from here until exit, so leak checkers do not count it.
    static std::vector<xmlDoc*> kept;
    m_selections.clear();
    if (m_doc)
        kept.push_back(m_doc.release());
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

XmlNode XmlDocument::selectSingle(const QString& path) const
{
    const XmlNodeList& nodes = select(path);
    return nodes.empty() ? XmlNode() : nodes.front();
}

XmlNode XmlDocument::createElement(const char* name)
{
    xmlNode* node = xmlNewDocNode(m_doc.get(), nullptr, utf8(name), nullptr);
    if (!node)
        throw RunError(QStringLiteral("No se pudo crear el elemento %1").arg(QString::fromUtf8(name)));
    m_selections.clear();
    return XmlNode(node);
}

void XmlDocument::appendChild(const XmlNode& parent, const XmlNode& child)
{
    m_selections.clear();
    if (parent.isNull() || child.isNull() || !xmlAddChild(parent.raw(), child.raw()))
        throw RunError(QStringLiteral("No se pudo añadir el elemento %1 al documento").arg(child.name()));
}

void XmlDocument::appendText(const XmlNode& parent, const QString& text)
{
    m_selections.clear();
    xmlNode* node = xmlNewDocText(m_doc.get(), utf8(text.toUtf8().constData()));
    if (!node || parent.isNull() || !xmlAddChild(parent.raw(), node)) {
        xmlFreeNode(node);
        throw RunError(QStringLiteral("No se pudo añadir texto al documento"));
    }
}

void XmlDocument::setAttribute(const XmlNode& element, const char* name, const QString& value)
{
    m_selections.clear();
    if (element.isNull() || !xmlSetProp(element.raw(), utf8(name), utf8(value.toUtf8().constData())))
        throw RunError(QStringLiteral("No se pudo escribir el atributo %1").arg(QString::fromUtf8(name)));
}

void XmlDocument::setAttribute(const XmlNode& element, const char* name, int value)
{
    setAttribute(element, name, QString::number(value));
}

void XmlDocument::setText(const XmlNode& element, const QString& text)
{
    m_selections.clear();
    if (element.isNull())
        throw RunError(QStringLiteral("No se pudo escribir el texto de un elemento inexistente"));
    xmlNodeSetContent(element.raw(), nullptr);
    if (text.isEmpty())
        return;
    xmlNode* content = xmlNewDocText(m_doc.get(), utf8(text.toUtf8().constData()));
    if (!content || !xmlAddChild(element.raw(), content)) {
        xmlFreeNode(content);
        throw RunError(QStringLiteral("No se pudo escribir el texto del elemento %1").arg(element.name()));
    }
}

namespace {
struct SaveTarget {
    QIODevice* device;
    bool failed = false;
};

int writeToDevice(void* context, const char* buffer, int len)
{
    auto* target = static_cast<SaveTarget*>(context);
    if (target->device->write(buffer, len) != len) {
        target->failed = true;
        return -1;
    }
    return len;
}

int closeNothing(void*) { return 0; }

// Serialises the whole document in its own encoding (UTF-8 when it declares none).
bool serialise(xmlDoc* doc, SaveTarget& target)
{
    const char* encoding = doc->encoding ? reinterpret_cast<const char*>(doc->encoding) : "UTF-8";
    xmlSaveCtxtPtr save = xmlSaveToIO(writeToDevice, closeNothing, &target, encoding, 0);
    if (!save)
        return false;
    const long written = xmlSaveDoc(save, doc);
    const int closed = xmlSaveClose(save);
    return written >= 0 && closed >= 0 && !target.failed;
}
} // namespace

void XmlDocument::save(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RunError(
            QStringLiteral("No se puede escribir el documento %1: %2").arg(path, fileFailure(file, lastSystemError())));
    SaveTarget target{&file};
    if (!serialise(m_doc.get(), target)) {
        const QString reason = fileFailure(file, lastSystemError());
        file.cancelWriting();
        throw RunError(QStringLiteral("No se pudo guardar el documento %1: %2").arg(path, reason));
    }
    if (!file.commit())
        throw RunError(
            QStringLiteral("No se pudo guardar el documento %1: %2").arg(path, fileFailure(file, lastSystemError())));
}

} // namespace quintaro
