#include "platform/xml_section_save.h"

#include "platform/error.h"
#include "platform/libxml_compat.h"
#include "platform/whole_file.h"
#include "platform/xml_document.h"
#include "platform/xml_save_detail.h"

#include <QDir>
#include <QIODevice>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlsave.h>

namespace quintaro {

namespace xml {

bool SaveTarget::put(QByteArrayView bytes)
{
    failed = failed || device->write(bytes.data(), bytes.size()) != bytes.size();
    return !failed;
}

void SaveTarget::write(QByteArrayView bytes)
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

namespace {
void ignoreError(void*, HandlerArgument<xmlStructuredErrorFunc>::type) { }
} // namespace

SilentErrors::SilentErrors() { xmlSetStructuredErrorFunc(nullptr, ignoreError); }

SilentErrors::~SilentErrors() { xmlSetStructuredErrorFunc(nullptr, nullptr); }

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

} // namespace xml

namespace {

using xml::SaveTarget;

const xmlChar* utf8(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

QString composeError(const QString& path)
{
    return QStringLiteral("No se pudo componer el documento %1").arg(QDir::toNativeSeparators(path));
}

// Serialises the whole document in its own encoding.
bool serialise(xmlDoc* doc, SaveTarget& target)
{
    xmlSaveCtxtPtr save = xmlSaveToIO(xml::writeToTarget, xml::closeNothing, &target, xml::encodingOf(doc), 0);
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
    xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(xml::writeToTarget, xml::closeNothing, &target, handler);
    if (!buffer)
        throw RunError(QStringLiteral("No se pudo preparar la codificación %1").arg(QString::fromUtf8(encoding)));
    xmlOutputBufferFlush(buffer);
    out.clear(); // what an encoder writes before any text (a byte-order mark) is already in the document
    xmlOutputBufferWrite(buffer, int(text.size()), text.data());
    xmlOutputBufferClose(buffer);
    return out;
}

} // namespace

bool xml::writeTreeWithMarkup(xmlDoc* doc, QIODevice& device, QByteArrayView markup, const QString& path)
{
    xmlNode* root = xmlDocGetRootElement(doc);
    if (!root)
        throw RunError(QStringLiteral("El documento %1 no tiene elemento raíz").arg(QDir::toNativeSeparators(path)));
    // A marker element holds the markup's place; its random value occurs nowhere else.
    const QByteArray token = QByteArray::number(QRandomGenerator::system()->generate64(), 16)
        + QByteArray::number(QRandomGenerator::system()->generate64(), 16);
    xmlNode* marker = xmlNewDocNode(doc, nullptr, utf8("quintaro-marca"), nullptr);
    xmlNode* lineBreak = xmlNewDocText(doc, utf8("\n"));
    if (!marker || !lineBreak || !xmlSetProp(marker, utf8("valor"), utf8(token.constData()))) {
        xmlFreeNode(marker);
        xmlFreeNode(lineBreak);
        throw RunError(composeError(path));
    }
    xmlAddChild(root, marker);
    xmlAddChild(root, lineBreak);
    const auto restore = qScopeGuard([&] { // the tree is left as it was
        for (xmlNode* node : {marker, lineBreak}) {
            xmlUnlinkNode(node);
            xmlFreeNode(node);
        }
    });

    const xml::SilentErrors quiet;
    const char* encoding = encodingOf(doc);
    const QByteArray encoded = isUtf8(encoding) ? QByteArray() : inEncoding(encoding, markup);
    SaveTarget target{&device};
    target.placeholder = inEncoding(encoding, "<quintaro-marca valor=\"" + token + "\"/>");
    target.replacement = encoded.isNull() ? markup : QByteArrayView(encoded);
    if (!serialise(doc, target))
        return false;
    if (!target.spliced)
        throw RunError(composeError(path));
    return true;
}

void saveWithAppendedMarkup(XmlDocument& document, const QString& path, QByteArrayView markup)
{
    document.dropSelections();
    const auto failure = writeWholeFile(path, [&](QIODevice& file) {
        return xml::writeTreeWithMarkup(document.raw(), file, markup, path);
    });
    if (failure)
        throw RunError(QStringLiteral("No se pudo guardar el documento %1: %2").arg(QDir::toNativeSeparators(path), failure->reason));
}

} // namespace quintaro
