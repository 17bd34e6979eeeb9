#pragma once

#include <QByteArrayView>
#include <QString>

namespace quintaro {

class XmlDocument;

// Writes `doc` to `path` in the document's own encoding (UTF-8 when it declares none), with
// `markup` (UTF-8, one element) as the root element's last child and a line break after it: the
// file is what libxml2 writes once that element is added to the tree, without building it. The
// markup goes through the document's own encoder on the way, so a character the encoding lacks
// becomes a character reference exactly as the serialiser writes it. The file is written whole or
// not at all; the tree is left as it was.
void saveWithAppendedMarkup(XmlDocument& doc, const QString& path, QByteArrayView markup);

} // namespace quintaro
