#include "xml_tree.h"

#include "platform/error.h"
#include "platform/whole_file.h"

#include <QHash>
#include <QSet>

#include <libxml/tree.h>
#include <libxml/xmlsave.h>

namespace quintaro::test {

namespace {
const xmlChar* utf8(const char* s) { return reinterpret_cast<const xmlChar*>(s); }
} // namespace

XmlNode EditableXmlDocument::createElement(const char* name)
{
    xmlNode* node = xmlNewDocNode(raw(), nullptr, utf8(name), nullptr);
    if (!node)
        throw RunError(QStringLiteral("No se pudo crear el elemento %1").arg(QString::fromUtf8(name)));
    dropSelections();
    return XmlNode(node);
}

void EditableXmlDocument::appendChild(const XmlNode& parent, const XmlNode& child)
{
    dropSelections();
    if (parent.isNull() || child.isNull() || !xmlAddChild(parent.raw(), child.raw()))
        throw RunError(QStringLiteral("No se pudo añadir el elemento %1 al documento").arg(child.name()));
}

void EditableXmlDocument::appendText(const XmlNode& parent, const QString& text)
{
    dropSelections();
    xmlNode* node = xmlNewDocText(raw(), utf8(text.toUtf8().constData()));
    if (!node || parent.isNull() || !xmlAddChild(parent.raw(), node)) {
        xmlFreeNode(node);
        throw RunError(QStringLiteral("No se pudo añadir texto al documento"));
    }
}

void EditableXmlDocument::setAttribute(const XmlNode& element, const char* name, const QString& value)
{
    dropSelections();
    if (element.isNull() || !xmlSetProp(element.raw(), utf8(name), utf8(value.toUtf8().constData())))
        throw RunError(QStringLiteral("No se pudo escribir el atributo %1").arg(QString::fromUtf8(name)));
}

void EditableXmlDocument::setAttribute(const XmlNode& element, const char* name, int value)
{
    setAttribute(element, name, QString::number(value));
}

void EditableXmlDocument::setText(const XmlNode& element, const QString& text)
{
    dropSelections();
    if (element.isNull())
        throw RunError(QStringLiteral("No se pudo escribir el texto de un elemento inexistente"));
    xmlNodeSetContent(element.raw(), nullptr);
    if (text.isEmpty())
        return;
    xmlNode* content = xmlNewDocText(raw(), utf8(text.toUtf8().constData()));
    if (!content || !xmlAddChild(element.raw(), content)) {
        xmlFreeNode(content);
        throw RunError(QStringLiteral("No se pudo escribir el texto del elemento %1").arg(element.name()));
    }
}

void EditableXmlDocument::save(const QString& path) const
{
    xmlDoc* doc = raw();
    const char* encoding = doc->encoding ? reinterpret_cast<const char*>(doc->encoding) : "UTF-8";
    xmlBufferPtr buffer = xmlBufferCreate();
    xmlSaveCtxtPtr save = xmlSaveToBuffer(buffer, encoding, 0);
    const bool serialised = save && xmlSaveDoc(save, doc) >= 0 && xmlSaveClose(save) >= 0;
    const QByteArray bytes(reinterpret_cast<const char*>(xmlBufferContent(buffer)), xmlBufferLength(buffer));
    xmlBufferFree(buffer);
    if (!serialised)
        throw RunError(QStringLiteral("No se pudo componer el documento %1").arg(path));
    if (const auto failure = writeWholeFile(path, bytes))
        throw RunError(QStringLiteral("No se pudo guardar el documento %1: %2").arg(path, failure->reason));
}

XmlNode selectSingle(const XmlDocument& doc, const QString& path)
{
    const XmlNodeList& nodes = doc.select(path);
    return nodes.empty() ? XmlNode() : nodes.front();
}

XmlCapture captureFromTree(const XmlDocument& doc, const std::vector<CaptureRequest>& wanted)
{
    std::vector<std::pair<QByteArray, CapturedList>> lists;
    QSet<QByteArray> kept;
    for (const CaptureRequest& request : wanted)
        kept.insert(request.path);
    QSet<QByteArray> done;
    for (const CaptureRequest& request : wanted) {
        if (done.contains(request.path))
            continue; // asked for twice
        done.insert(request.path);
        // What the path keeps: what any of its requests asks for.
        bool text = false, attributes = false;
        for (const CaptureRequest& other : wanted)
            if (other.path == request.path)
                text = text || other.text, attributes = attributes || other.attributes;
        const QString path = QString::fromUtf8(request.path);
        QHash<const void*, qsizetype> parentAt;
        const qsizetype slash = path.lastIndexOf(u'/');
        if (slash > 0 && kept.contains(request.path.left(slash))) {
            const XmlNodeList& parents = doc.select(path.left(slash));
            for (size_t i = 0; i < parents.size(); ++i)
                parentAt.insert(parents[i].raw(), qsizetype(i));
        }
        CapturedList list;
        for (const XmlNode& element : doc.select(path)) {
            list.startElement(parentAt.value(element.raw()->parent, -1));
            if (attributes)
                for (const xmlAttr* a = element.raw()->properties; a; a = a->next)
                    list.addAttribute(reinterpret_cast<const char*>(a->name),
                                      XmlNode(reinterpret_cast<xmlNode*>(const_cast<xmlAttr*>(a))).text().toUtf8());
            if (text)
                list.appendText(element.text().toUtf8());
        }
        lists.emplace_back(request.path, std::move(list));
    }
    const XmlNode root = doc.root();
    return XmlCapture(root.isNull() ? QString() : root.name(), std::move(lists));
}

ExportDocument exportDocumentFromTree(const XmlDocument& doc)
{
    return ExportDocument(captureFromTree(doc, ExportDocument::keptPaths()));
}

} // namespace quintaro::test
