#include "platform/xml_document.h"

#include "platform/error.h"
#include "platform/file_error.h"

#include <QFile>
#include <QSaveFile>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <mutex>

namespace quintaro {

namespace {

const xmlChar* utf8(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

QString fromXml(const xmlChar* s) { return s ? QString::fromUtf8(reinterpret_cast<const char*>(s)) : QString(); }

// What a parse error means, in a few words a school's IT person can act on.
QString kindOf(int code)
{
    switch (code) {
    case XML_ERR_DOCUMENT_EMPTY:
        return QStringLiteral("está vacío o no empieza por un elemento");
    case XML_ERR_DOCUMENT_END:
        return QStringLiteral("tiene texto después del elemento raíz");
    case XML_ERR_TAG_NAME_MISMATCH:
        return QStringLiteral("una etiqueta de cierre no corresponde a la que abrió el elemento");
    case XML_ERR_TAG_NOT_FINISHED:
    case XML_ERR_LTSLASH_REQUIRED:
        return QStringLiteral("está cortado: falta cerrar algún elemento");
    case XML_ERR_INVALID_CHAR:
    case XML_ERR_INVALID_ENCODING:
        return QStringLiteral("contiene un carácter no válido o en otra codificación");
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY:
        return QStringLiteral("usa una entidad que no está declarada");
    case XML_ERR_ENTITY_LOOP:
        return QStringLiteral("sus entidades se expanden sin límite");
    default:
        return QStringLiteral("tiene un error de sintaxis");
    }
}

// Collects libxml2's messages during one parse instead of letting it print them.
struct ParseErrors {
    QByteArray mainFile; // the document itself, the one file the parser may open
    QString first; // in Spanish, with where it is and libxml2's own words
    bool externalBlocked = false;
    QString blockedUri;
};
thread_local ParseErrors* t_errors = nullptr;

void collectError(void*, xmlErrorPtr error)
{
    if (!t_errors || !error || !t_errors->first.isEmpty() || error->level < XML_ERR_ERROR)
        return;
    const QString detail = QString::fromUtf8(error->message ? error->message : "error").trimmed();
    QString where;
    if (error->line > 0)
        where = error->int2 > 0 ? QStringLiteral(" (línea %1, columna %2)").arg(error->line).arg(error->int2)
                                : QStringLiteral(" (línea %1)").arg(error->line);
    t_errors->first = QStringLiteral("no es XML válido%1: %2 (libxml2: %3)").arg(where, kindOf(error->code), detail);
}

xmlExternalEntityLoader g_defaultLoader = nullptr;

// No document may make the parser read another file or reach the network.
xmlParserInputPtr refuseExternal(const char* url, const char* id, xmlParserCtxtPtr ctxt)
{
    if (t_errors && url && !t_errors->mainFile.isEmpty() && t_errors->mainFile == url)
        return g_defaultLoader(url, id, ctxt);
    if (t_errors && !t_errors->externalBlocked) {
        t_errors->externalBlocked = true;
        t_errors->blockedUri = QString::fromUtf8(url ? url : "");
    }
    return nullptr;
}

void initialise()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        g_defaultLoader = xmlGetExternalEntityLoader();
        xmlSetExternalEntityLoader(refuseExternal);
    });
}

// Entities are replaced while parsing, where libxml2's amplification limits apply; without
// DTDLOAD no external subset is read, and the loader above refuses every external entity.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOENT;

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

namespace {
template <typename Parse> xmlDoc* parseWith(const QString& name, const QByteArray& mainFile, Parse parse)
{
    initialise();
    ParseErrors errors;
    errors.mainFile = mainFile;
    t_errors = &errors;
    xmlSetStructuredErrorFunc(nullptr, collectError);
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    xmlDoc* doc = ctxt ? parse(ctxt) : nullptr;
    if (ctxt && !doc && errors.first.isEmpty()) {
        const xmlError* last = xmlCtxtGetLastError(ctxt);
        if (last && last->message)
            errors.first = QString::fromUtf8(last->message).trimmed();
    }
    if (ctxt)
        xmlFreeParserCtxt(ctxt);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    t_errors = nullptr;

    if (errors.externalBlocked) {
        xmlFreeDoc(doc);
        throw RunError(QStringLiteral("El documento %1 pide leer un recurso externo (%2); Quintaro no lo permite")
                           .arg(name, errors.blockedUri));
    }
    if (!doc) {
        throw RunError(QStringLiteral("No se puede leer el documento XML %1: %2")
                           .arg(name, errors.first.isEmpty() ? QStringLiteral("error desconocido") : errors.first));
    }
    return doc;
}
} // namespace

XmlDocument XmlDocument::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RunError(QStringLiteral("No se puede abrir el documento XML %1: %2")
                           .arg(path, fileFailure(file, lastSystemError())));
    file.close();
#ifdef Q_OS_WIN
    // libxml2 on Windows takes UTF-8 paths and opens them as wide names.
    const QByteArray native = path.toUtf8();
#else
    const QByteArray native = QFile::encodeName(path);
#endif
    return XmlDocument(parseWith(path, native, [&](xmlParserCtxtPtr ctxt) {
        return xmlCtxtReadFile(ctxt, native.constData(), nullptr, kParseOptions);
    }));
}

XmlDocument XmlDocument::parse(const QByteArray& content, const QString& name)
{
    return XmlDocument(parseWith(name, QByteArray(), [&](xmlParserCtxtPtr ctxt) {
        return xmlCtxtReadMemory(ctxt, content.constData(), int(content.size()), nullptr, nullptr, kParseOptions);
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
