#include "platform/xml_section_save.h"

#include "platform/document_bytes.h"
#include "platform/error.h"
#include "platform/whole_file.h"
#include "platform/xml_capture.h"
#include "platform/xml_parse.h"
#include "platform/xml_save_detail.h"

#include <QDir>
#include <QIODevice>
#include <QScopeGuard>

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlsave.h>

#include <vector>

namespace quintaro {

namespace {

using xml::SaveTarget;

// Complete parts of the tree are written and freed once this many elements have been built since
// the last write: the tree in memory stays small, and each write covers many elements.
constexpr int kElementsPerWrite = 4096;

QByteArrayView bytesOf(const xmlChar* s) { return QByteArrayView(reinterpret_cast<const char*>(s)); }

// "</name>" or "</prefix:name>", as the serialiser closes `element`.
QByteArray endTagOf(const xmlNode* element)
{
    QByteArray tag("</");
    if (element->ns && element->ns->prefix)
        tag.append(bytesOf(element->ns->prefix)).append(':');
    return tag.append(bytesOf(element->name)).append('>');
}

// Writes the document as libxml2's serialiser would write its whole tree, while the SAX2 tree
// builder builds it: the elements open at the parser's position form a path from the root; the
// start tags along it are written as soon as something inside them is, and everything before the
// path is complete, so it is written through libxml2's own node serialiser and freed. What the
// tree saves is therefore the same bytes: the declaration, the nodes around the root each followed
// by a line break, and the root with the markup and a line break as its last children.
class StreamingWriter {
public:
    StreamingWriter(QIODevice& device, XmlCaptureFeed* feed) : m_target{&device}, m_feed(feed) {}
    StreamingWriter(const StreamingWriter&) = delete;
    StreamingWriter& operator=(const StreamingWriter&) = delete;
    ~StreamingWriter()
    {
        if (m_out)
            xmlOutputBufferClose(m_out);
        if (m_tags)
            xmlOutputBufferClose(m_tags);
        xmlFreeNode(m_emptyText);
    }

    // Before the tree builder adds an element.
    void beforeStart(xmlParserCtxt* ctxt)
    {
        if (m_keepTree || m_open.empty() || stopped())
            return;
        if (++m_built >= kElementsPerWrite) {
            m_built = 0;
            writePath(m_open);
            stopIfFailed(ctxt);
        }
    }

    // After the tree builder has added `element` under `parent` (none for the root).
    void started(xmlParserCtxt* ctxt, xmlNode* parent, xmlNode* element)
    {
        if (!parent) {
            beginDocument(ctxt, element);
            stopIfFailed(ctxt);
        } else if (parent == m_root) {
            m_result.rootChildren.insert(QByteArray(reinterpret_cast<const char*>(element->name)));
        }
        if (!m_keepTree)
            m_open.push_back(element);
    }

    // Whether the capture is fed from the parser's events (not from the tree, once it is whole).
    bool feedsFromEvents() const { return m_feed && !m_keepTree; }
    XmlCaptureFeed* feed() const { return m_feed; }

    // After the tree builder has closed `element`.
    void ended(xmlParserCtxt* ctxt, xmlNode* element)
    {
        if (m_keepTree || m_open.empty() || m_open.back() != element || stopped())
            return;
        m_open.pop_back();
        const bool written = m_written > m_open.size();
        if (element == m_root) {
            writePath({element}); // the root: its end waits for the markup
        } else if (written) {
            const DocumentEncoding asSaved(*this);
            writeChildren(element, nullptr);
            put(endTagOf(element));
            xmlUnlinkNode(element);
            xmlFreeNode(element);
        }
        if (written)
            m_written = m_open.size();
        stopIfFailed(ctxt);
    }

    // After the parse, with the markup: the root's end, the nodes after the root, or the whole tree
    // when it was kept. False when the device refused a write.
    bool finish(xmlDoc* doc, const QString& path, QByteArrayView markup)
    {
        if (m_keepTree)
            return xml::writeTreeWithMarkup(doc, *m_target.device, markup, path);
        if (m_composeFailed || !m_out)
            throw RunError(composeError(path));
        const xml::SilentErrors quiet;
        put(markup);
        put("\n");
        put(endTagOf(m_root));
        put("\n");
        {
            const DocumentEncoding asSaved(*this);
            for (xmlNode* node = m_root->next; node; node = node->next) {
                xmlNodeDumpOutput(m_out, m_doc, node, 0, 0, m_encoding.constData());
                put("\n");
            }
        }
        const int closed = xmlOutputBufferClose(m_out);
        m_out = nullptr;
        if (m_target.failed || closed < 0)
            return false;
        // What was written at the root's start is what the tree would have said at the end.
        const QByteArrayView finalEncoding(xml::encodingOf(doc));
        if (finalEncoding != m_encoding || doc->standalone != m_standalone
            || bytesOf(doc->version ? doc->version : reinterpret_cast<const xmlChar*>("1.0")) != m_version)
            throw RunError(composeError(path));
        return true;
    }

    bool keepsTree() const { return m_keepTree; }
    xmlNode* root() const { return m_root; }
    bool failedToWrite() const { return m_target.failed; }
    bool failedToCompose() const { return m_composeFailed; }
    StreamedSave result() const { return m_result; }

    static QString composeError(const QString& path)
    {
        return QStringLiteral("No se pudo componer el documento %1").arg(QDir::toNativeSeparators(path));
    }

private:
    // While nodes are written the document says the encoding it is saved in, as during a save of
    // the whole tree (attributes of a document without one otherwise get character references).
    class DocumentEncoding {
    public:
        explicit DocumentEncoding(StreamingWriter& writer) : m_doc(writer.m_doc), m_old(writer.m_doc->encoding)
        {
            if (!m_old)
                m_doc->encoding = reinterpret_cast<const xmlChar*>(writer.m_encoding.constData());
        }
        DocumentEncoding(const DocumentEncoding&) = delete;
        DocumentEncoding& operator=(const DocumentEncoding&) = delete;
        ~DocumentEncoding() { m_doc->encoding = m_old; }

    private:
        xmlDoc* m_doc;
        const xmlChar* m_old;
    };

    bool stopped() const { return m_target.failed || m_composeFailed; }

    void stopIfFailed(xmlParserCtxt* ctxt)
    {
        if (stopped())
            xmlStopParser(ctxt);
    }

    // The root has started: the encoding is known, and so is whether the document has a DTD,
    // whose declarations and entities only the whole tree saves as they were.
    void beginDocument(xmlParserCtxt* ctxt, xmlNode* root)
    {
        m_doc = ctxt->myDoc;
        m_root = root;
        for (xmlNode* node = m_doc->children; node && node != root; node = node->next)
            m_keepTree = m_keepTree || (node->type != XML_COMMENT_NODE && node->type != XML_PI_NODE);
        m_keepTree = m_keepTree || m_doc->intSubset || m_doc->extSubset;
        if (m_keepTree)
            return;
        // The encoding the parser will give the document when it ends.
        const xmlChar* encoding = m_doc->encoding ? m_doc->encoding : ctxt->encoding;
        if (!encoding && ctxt->inputNr > 0 && ctxt->inputTab[0])
            encoding = ctxt->inputTab[0]->encoding;
        m_encoding = encoding ? QByteArray(reinterpret_cast<const char*>(encoding)) : QByteArray("UTF-8");
        m_standalone = m_doc->standalone;
        m_version = m_doc->version ? QByteArray(reinterpret_cast<const char*>(m_doc->version)) : QByteArray("1.0");

        xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(m_encoding.constData());
        m_out = handler ? xmlOutputBufferCreateIO(xml::writeToTarget, xml::closeNothing, &m_target, handler) : nullptr;
        if (handler && !m_out)
            xmlCharEncCloseFunc(handler); // the buffer that would have owned it was not made
        m_tags = xmlOutputBufferCreateIO(xml::writeToTarget, xml::closeNothing, &m_tagTarget, nullptr);
        m_emptyText = xmlNewText(reinterpret_cast<const xmlChar*>("")); // of no document: it outlives it
        m_composeFailed = !m_out || !m_tags || !m_emptyText;
    }

    void put(QByteArrayView bytes) { xmlOutputBufferWrite(m_out, int(bytes.size()), bytes.data()); }

    void writeDeclaration()
    {
        QByteArray declaration = "<?xml version=\"" + m_version + "\" encoding=\"" + m_encoding + "\"";
        if (m_standalone == 0)
            declaration += " standalone=\"no\"";
        else if (m_standalone == 1)
            declaration += " standalone=\"yes\"";
        put(declaration + "?>\n");
        for (xmlNode* node = m_doc->children; node != m_root; node = node->next) {
            xmlNodeDumpOutput(m_out, m_doc, node, 0, 0, m_encoding.constData());
            put("\n");
        }
    }

    // `element`'s start tag as the serialiser writes it: the element is serialised with one empty
    // text as its only child, and its end tag cut off.
    void writeStartTag(xmlNode* element)
    {
        xmlNode* children = element->children;
        xmlNode* last = element->last;
        element->children = element->last = m_emptyText;
        m_emptyText->parent = element;
        xmlNodeDumpOutput(m_tags, m_doc, element, 0, 0, m_encoding.constData());
        element->children = children;
        element->last = last;
        m_emptyText->parent = nullptr;
        xmlOutputBufferFlush(m_tags);
        const QByteArray endTag = endTagOf(element);
        if (m_tagBytes.endsWith(endTag))
            put(QByteArrayView(m_tagBytes).chopped(endTag.size()));
        else
            m_composeFailed = true;
        m_tagBytes.clear();
    }

    // Writes and frees `parent`'s children up to `openChild`.
    void writeChildren(xmlNode* parent, xmlNode* openChild)
    {
        xmlNode* child = parent->children;
        while (child && child != openChild) {
            xmlNode* next = child->next;
            xmlNodeDumpOutput(m_out, m_doc, child, 0, 0, m_encoding.constData());
            xmlUnlinkNode(child);
            xmlFreeNode(child);
            child = next;
        }
    }

    // Writes everything complete so far along `path` (the open elements, or the root as it
    // closes): the start tags not yet written, and every child before the next element on it.
    void writePath(const std::vector<xmlNode*>& path)
    {
        const DocumentEncoding asSaved(*this);
        for (size_t i = 0; i < path.size(); ++i) {
            xmlNode* element = path[i];
            if (i >= m_written) {
                if (element == m_root)
                    writeDeclaration();
                writeStartTag(element);
                m_written = i + 1;
            }
            writeChildren(element, i + 1 < path.size() ? path[i + 1] : nullptr);
        }
    }

    SaveTarget m_target;
    QByteArray m_tagBytes;
    SaveTarget m_tagTarget{nullptr, &m_tagBytes};
    XmlCaptureFeed* m_feed;
    xmlDoc* m_doc = nullptr;
    xmlNode* m_root = nullptr;
    bool m_keepTree = false;
    bool m_composeFailed = false;
    QByteArray m_encoding;
    QByteArray m_version;
    int m_standalone = -1;
    xmlOutputBufferPtr m_out = nullptr; // the file, through the document's encoder
    xmlOutputBufferPtr m_tags = nullptr; // start tags, in UTF-8
    xmlNode* m_emptyText = nullptr;
    std::vector<xmlNode*> m_open; // the elements open at the parser's position, from the root
    size_t m_written = 0; // how many of them have their start tag written
    int m_built = 0;
    StreamedSave m_result;
};

// The callbacks reach the writer through these: libxml2 hands entity content to them from a
// context of its own, which only builds.
thread_local StreamingWriter* t_writer = nullptr;
thread_local xmlParserCtxt* t_main = nullptr;
// The tree builder's own handlers for text, which the capture also sees.
thread_local charactersSAXFunc t_characters = nullptr, t_whitespace = nullptr;
thread_local cdataBlockSAXFunc t_cdata = nullptr;

StreamingWriter* writerFor(void* ctx) { return ctx == t_main ? t_writer : nullptr; }

void onStart(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri, int namespaceCount,
             const xmlChar** namespaces, int attributeCount, int defaulted, const xmlChar** attributes)
{
    auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
    StreamingWriter* writer = writerFor(ctx);
    if (writer)
        writer->beforeStart(ctxt);
    xmlNode* parent = ctxt->node;
    xmlSAX2StartElementNs(ctx, localname, prefix, uri, namespaceCount, namespaces, attributeCount, defaulted,
                          attributes);
    if (!writer || !ctxt->node || ctxt->node == parent)
        return;
    writer->started(ctxt, parent, ctxt->node);
    // Attributes defaulted by the document's DTD are not part of the element, as in the tree.
    if (writer->feedsFromEvents())
        writer->feed()->start(localname, attributeCount - defaulted, attributes);
}

void onEnd(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri)
{
    auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
    xmlNode* element = ctxt->node;
    xmlSAX2EndElementNs(ctx, localname, prefix, uri);
    StreamingWriter* writer = writerFor(ctx);
    if (!writer || !element || ctxt->node == element)
        return;
    if (writer->feedsFromEvents())
        writer->feed()->end();
    writer->ended(ctxt, element);
}

void feedText(void* ctx, const xmlChar* text, int length)
{
    if (StreamingWriter* writer = writerFor(ctx); writer && writer->feedsFromEvents())
        writer->feed()->characters(text, length);
}

void onCharacters(void* ctx, const xmlChar* text, int length)
{
    feedText(ctx, text, length);
    t_characters(ctx, text, length);
}

void onWhitespace(void* ctx, const xmlChar* text, int length)
{
    feedText(ctx, text, length);
    t_whitespace(ctx, text, length);
}

void onCData(void* ctx, const xmlChar* text, int length)
{
    feedText(ctx, text, length);
    t_cdata(ctx, text, length);
}

} // namespace

StreamedSave saveWithAppendedMarkup(DocumentPieces& pieces, const QString& path,
                                    const std::vector<CaptureRequest>& wanted,
                                    const std::function<QByteArray(const XmlCapture&)>& markupOf)
{
    StreamedSave result;
    const auto failure = writeWholeFile(path, [&](QIODevice& file) {
        XmlCaptureFeed feed(wanted);
        StreamingWriter writer(file, &feed);
        t_writer = &writer;
        const auto reset = qScopeGuard([] {
            t_writer = nullptr;
            t_main = nullptr;
        });
        xmlDoc* doc = nullptr;
        try {
            doc = xml::parseWith(pieces.path(), [&](xmlParserCtxt* ctxt) {
                t_main = ctxt;
                xmlSAXHandler* sax = ctxt->sax;
                t_characters = sax->characters;
                t_whitespace = sax->ignorableWhitespace;
                t_cdata = sax->cdataBlock;
                sax->startElementNs = onStart;
                sax->endElementNs = onEnd;
                sax->characters = onCharacters;
                sax->ignorableWhitespace = onWhitespace;
                sax->cdataBlock = onCData;
                return xml::readPieces(ctxt, pieces, xml::treeParseOptions());
            });
        } catch (const RunError&) {
            // What stopped the parse may have been the writer.
            if (writer.failedToWrite())
                return false;
            if (writer.failedToCompose())
                throw RunError(StreamingWriter::composeError(path));
            throw;
        }
        t_writer = nullptr;
        const auto freeDoc = qScopeGuard([doc] { xmlFreeDoc(doc); });
        if (writer.keepsTree() && writer.root())
            feed.element(writer.root());
        const QByteArray markup = markupOf(feed.take(pieces.path()));
        if (!writer.finish(doc, path, markup))
            return false;
        result = writer.result();
        return true;
    });
    if (failure)
        throw RunError(QStringLiteral("No se pudo guardar el documento %1: %2")
                           .arg(QDir::toNativeSeparators(path), failure->reason));
    return result;
}

StreamedSave saveWithAppendedMarkup(DocumentPieces& pieces, const QString& path, QByteArrayView markup)
{
    return saveWithAppendedMarkup(pieces, path, {}, [markup](const XmlCapture&) { return markup.toByteArray(); });
}

} // namespace quintaro
