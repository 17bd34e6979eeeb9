#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace quintaro {
class DocumentPieces;
}
struct _xmlDoc;
struct _xmlParserCtxt;

// What the tree parse and the streaming parse share: libxml2 set up so that no document reaches
// the network or another file, and its errors told in Spanish with line, column and kind.
namespace quintaro::xml {

// Entities are replaced while parsing, where libxml2's amplification limits apply; without
// DTDLOAD no external subset is read, and the entity loader refuses every external resource.
int parseOptions();
// For a tree: short texts are also kept inside their nodes, which saves memory and time. The tree's
// existing texts must then never be changed in place (no text node is; elements' texts are
// replaced whole).
int treeParseOptions();

// Parses the document on `ctxt` from its file, read once piece by piece (a RunError when the disk
// fails), or from bytes already read.
_xmlDoc* readPieces(_xmlParserCtxt* ctxt, DocumentPieces& pieces, int options);
_xmlDoc* readBytes(_xmlParserCtxt* ctxt, const QByteArray& content, int options);

// Runs `parse` on a fresh parser context, which may open no file at all (the document comes through
// readPieces or readBytes). Raises a RunError naming `name` when the document is not well-formed or
// asks for an external resource; otherwise gives what `parse` returned, which the caller frees.
_xmlDoc* parseWith(const QString& name, const std::function<_xmlDoc*(_xmlParserCtxt*)>& parse);

} // namespace quintaro::xml
