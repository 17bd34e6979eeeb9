#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSet>
#include <QString>

#include <functional>
#include <vector>

namespace quintaro {

class DocumentPieces;
class XmlCapture;
class XmlDocument;
struct CaptureRequest;

// Writes `doc` to `path` in the document's own encoding (UTF-8 when it declares none), with
// `markup` (UTF-8, one element) as the root element's last child and a line break after it: the
// file is what libxml2 writes once that element is added to the tree, without building it. The
// markup goes through the document's own encoder on the way, so a character the encoding lacks
// becomes a character reference exactly as the serialiser writes it. The file is written whole or
// not at all; the tree is left as it was.
void saveWithAppendedMarkup(XmlDocument& doc, const QString& path, QByteArrayView markup);

// The same file, written while the document is parsed from `pieces`: each part of the tree is
// written and let go of as soon as it is complete, so the whole tree is never in memory. A document
// with a DTD is kept whole and saved as above. Raises the parse's RunError for a document that
// does not parse.
struct StreamedSave {
    QSet<QByteArray> rootChildren; // the names of the root element's child elements
};
StreamedSave saveWithAppendedMarkup(DocumentPieces& pieces, const QString& path, QByteArrayView markup);
// The same in one pass for markup made from the document itself: the pass also keeps `wanted`, and
// once it has read the whole document `markupOf` makes the markup from what it kept. Whatever
// `markupOf` raises leaves no file.
StreamedSave saveWithAppendedMarkup(DocumentPieces& pieces, const QString& path,
                                    const std::vector<CaptureRequest>& wanted,
                                    const std::function<QByteArray(const XmlCapture&)>& markupOf);

} // namespace quintaro
