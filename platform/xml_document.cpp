#include "platform/xml_document.h"

#include "platform/error.h"
#include "platform/file_error.h"
#include "platform/xml_parse.h"

#include <QRandomGenerator>
#include <QSaveFile>

#include <functional>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
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
        return xmlCtxtReadFile(ctxt, native.constData(), nullptr, xml::treeParseOptions());
    }));
}

XmlDocument XmlDocument::parse(const QByteArray& content, const QString& name)
{
    return XmlDocument(xml::parseWith(name, QByteArray(), [&](xmlParserCtxtPtr ctxt) {
        return xmlCtxtReadMemory(ctxt, content.constData(), int(content.size()), nullptr, nullptr,
                                 xml::treeParseOptions());
    }));
}

void XmlDocument::keepUntilExit()
{
    // Reachable from here until exit (the holder itself is never destroyed), so leak checkers
    // do not count it.
    static auto* const kept = new std::vector<xmlDoc*>;
    m_selections.clear();
    if (m_doc)
        kept->push_back(m_doc.release());
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
// Where a serialisation goes: a device, or memory. On the way to a device a placeholder may be
// replaced: the last bytes are held back until they cannot be the start of it.
struct SaveTarget {
    QIODevice* device = nullptr;
    QByteArray* memory = nullptr;
    QByteArray placeholder;
    QByteArrayView replacement;
    QByteArray held;
    bool spliced = false;
    bool failed = false;

    bool put(QByteArrayView bytes)
    {
        failed = failed || device->write(bytes.data(), bytes.size()) != bytes.size();
        return !failed;
    }

    void write(QByteArrayView bytes)
    {
        if (memory) {
            memory->append(bytes);
            return;
        }
        if (placeholder.isEmpty() || spliced) {
            put(bytes);
            return;
        }
        held.append(bytes);
        const qsizetype at = held.indexOf(placeholder);
        if (at >= 0) {
            spliced = true;
            put(QByteArrayView(held).first(at)) && put(replacement)
                && put(QByteArrayView(held).sliced(at + placeholder.size()));
            held.clear();
        } else if (held.size() >= placeholder.size()) {
            const qsizetype ready = held.size() - (placeholder.size() - 1);
            put(QByteArrayView(held).first(ready));
            held.remove(0, ready);
        }
    }
};

int writeToTarget(void* context, const char* buffer, int len)
{
    auto* target = static_cast<SaveTarget*>(context);
    target->write(QByteArrayView(buffer, len));
    return target->failed ? -1 : len;
}

int closeNothing(void*) { return 0; }

const char* encodingOf(const xmlDoc* doc)
{
    return doc->encoding ? reinterpret_cast<const char*>(doc->encoding) : "UTF-8";
}

// Serialises the whole document in its own encoding (UTF-8 when it declares none).
bool serialise(xmlDoc* doc, SaveTarget& target)
{
    xmlSaveCtxtPtr save = xmlSaveToIO(writeToTarget, closeNothing, &target, encodingOf(doc), 0);
    if (!save)
        return false;
    const long written = xmlSaveDoc(save, doc);
    const int closed = xmlSaveClose(save);
    return written >= 0 && closed >= 0 && !target.failed;
}

bool isUtf8(const char* encoding) { return xmlParseCharEncoding(encoding) == XML_CHAR_ENCODING_UTF8; }

// UTF-8 markup in the document's encoding exactly as its serialiser writes it: through the same
// encoder, which writes a character it cannot encode as a character reference.
QByteArray inEncoding(const char* encoding, QByteArrayView text)
{
    if (isUtf8(encoding))
        return text.toByteArray();
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(encoding);
    QByteArray out;
    SaveTarget target{nullptr, &out};
    xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(writeToTarget, closeNothing, &target, handler);
    if (!buffer)
        throw RunError(QStringLiteral("No se pudo preparar la codificación %1").arg(QString::fromUtf8(encoding)));
    xmlOutputBufferFlush(buffer);
    out.clear(); // what an encoder writes before any text (a byte-order mark) is already in the document
    xmlOutputBufferWrite(buffer, int(text.size()), text.data());
    xmlOutputBufferClose(buffer);
    return out;
}

// Writes a file whole or not at all: a temporary file beside `path`, renamed over it once every
// byte is written.
void writeAtomically(const QString& path, const std::function<bool(QSaveFile&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RunError(
            QStringLiteral("No se puede escribir el documento %1: %2").arg(path, fileFailure(file, lastSystemError())));
    if (!write(file)) {
        const QString reason = fileFailure(file, lastSystemError());
        file.cancelWriting();
        throw RunError(QStringLiteral("No se pudo guardar el documento %1: %2").arg(path, reason));
    }
    if (!commitWhole(file))
        throw RunError(
            QStringLiteral("No se pudo guardar el documento %1: %2").arg(path, fileFailure(file, lastSystemError())));
}
} // namespace

void XmlDocument::save(const QString& path) const
{
    writeAtomically(path, [&](QSaveFile& file) {
        SaveTarget target{&file};
        return serialise(m_doc.get(), target);
    });
}

void XmlDocument::saveAppending(const QString& path, QByteArrayView markup)
{
    xmlDoc* doc = m_doc.get();
    xmlNode* root = xmlDocGetRootElement(doc);
    if (!root)
        throw RunError(QStringLiteral("El documento %1 no tiene elemento raíz").arg(path));
    m_selections.clear();
    // A marker element holds the markup's place; its random value occurs nowhere else.
    const QByteArray token = QByteArray::number(QRandomGenerator::system()->generate64(), 16)
        + QByteArray::number(QRandomGenerator::system()->generate64(), 16);
    xmlNode* marker = xmlNewDocNode(doc, nullptr, utf8("quintaro-marca"), nullptr);
    xmlNode* lineBreak = xmlNewDocText(doc, utf8("\n"));
    if (!marker || !lineBreak || !xmlSetProp(marker, utf8("valor"), utf8(token.constData()))) {
        xmlFreeNode(marker);
        xmlFreeNode(lineBreak);
        throw RunError(QStringLiteral("No se pudo componer el documento %1").arg(path));
    }
    xmlAddChild(root, marker);
    xmlAddChild(root, lineBreak);
    struct Restore { // the tree is left as it was
        xmlNode* added[2];
        ~Restore()
        {
            for (xmlNode* node : added) {
                xmlUnlinkNode(node);
                xmlFreeNode(node);
            }
        }
    } restore{{marker, lineBreak}};

    const char* encoding = encodingOf(doc);
    const QByteArray encoded = isUtf8(encoding) ? QByteArray() : inEncoding(encoding, markup);
    writeAtomically(path, [&](QSaveFile& file) {
        SaveTarget target{&file};
        target.placeholder = inEncoding(encoding, "<quintaro-marca valor=\"" + token + "\"/>");
        target.replacement = encoded.isNull() ? markup : QByteArrayView(encoded);
        if (!serialise(doc, target))
            return false;
        if (!target.spliced)
            throw RunError(QStringLiteral("No se pudo componer el documento %1").arg(path));
        return true;
    });
}

} // namespace quintaro
