#include "platform/xml_parse.h"

#include "platform/document_bytes.h"
#include "platform/error.h"

#include <QDir>
#include <QScopeGuard>


#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <mutex>

#include "platform/libxml_compat.h"

namespace quintaro::xml {

namespace {

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

// libxml2 2.12 made the structured error handler take a const xmlError*; the handler takes
// whichever this libxml2 declares, so the build works against both.
using StructuredErrorArgument = HandlerArgument<xmlStructuredErrorFunc>::type;

// Collects libxml2's messages during one parse instead of letting it print them.
struct ParseErrors {
    QString first; // in Spanish, with where it is and libxml2's own words
    bool externalBlocked = false;
    QString blockedUri;
};
thread_local ParseErrors* t_errors = nullptr;

void collectError(void*, StructuredErrorArgument error)
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

// No document may make the parser read another file or reach the network (the document itself
// comes in through our own reader).
xmlParserInputPtr refuseExternal(const char* url, const char*, xmlParserCtxtPtr)
{
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
        xmlSetExternalEntityLoader(refuseExternal);
    });
}

} // namespace

int parseOptions() { return XML_PARSE_NONET | XML_PARSE_NOENT; }

int treeParseOptions() { return parseOptions() | XML_PARSE_COMPACT; }

namespace {
int readPiece(void* context, char* buffer, int len) { return static_cast<DocumentPieces*>(context)->read(buffer, len); }
int closeNothing(void*) { return 0; }
} // namespace

xmlDoc* readPieces(xmlParserCtxt* ctxt, DocumentPieces& pieces, int options)
{
    xmlDoc* doc = xmlCtxtReadIO(ctxt, readPiece, closeNothing, &pieces, nullptr, nullptr, options);
    if (!doc)
        pieces.throwIfFailed(); // the disk's failure, not the parser's word on what it got
    return doc;
}

xmlDoc* readBytes(xmlParserCtxt* ctxt, const QByteArray& content, int options)
{
    return xmlCtxtReadMemory(ctxt, content.constData(), int(content.size()), nullptr, nullptr, options);
}

xmlDoc* parseWith(const QString& name, const std::function<xmlDoc*(xmlParserCtxt*)>& parse)
{
    initialise();
    ParseErrors errors;
    t_errors = &errors;
    xmlSetStructuredErrorFunc(nullptr, collectError);
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    // Undone however the parse ends (a reader may raise its own error).
    const auto cleanUp = qScopeGuard([&ctxt] {
        if (ctxt)
            xmlFreeParserCtxt(ctxt);
        ctxt = nullptr;
        xmlSetStructuredErrorFunc(nullptr, nullptr);
        t_errors = nullptr;
    });
    xmlDoc* doc = ctxt ? parse(ctxt) : nullptr;
    if (ctxt && !doc && errors.first.isEmpty()) {
        const xmlError* last = xmlCtxtGetLastError(ctxt);
        if (last && last->message)
            errors.first = QString::fromUtf8(last->message).trimmed();
    }
    if (ctxt)
        xmlFreeParserCtxt(ctxt);
    ctxt = nullptr;
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

} // namespace quintaro::xml
