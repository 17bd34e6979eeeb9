#pragma once

#include "platform/captured_list.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace quintaro {

class DocumentPieces;

// A path to keep ("/datosGHC/sesionesLectivas/sesion") and what to keep of its elements. A path is
// kept whole (its count, and parent positions for its children) even when it asks for neither.
struct CaptureRequest {
    QByteArray path;
    bool text = false;
    bool attributes = false;
};

// What one streaming pass over a document keeps: the root element's name and, for a fixed set of
// paths, the elements on each. No tree is built, so memory grows with what is kept, not with the
// document. The pass has the same safety rules and error messages as XmlDocument::load.
class XmlCapture {
public:
    // Reads the file once, piece by piece; each piece is also handed to `onPiece` (a digest).
    static XmlCapture load(const QString& path, const std::vector<CaptureRequest>& wanted,
                           const std::function<void(const QByteArray&)>& onPiece = {});
    // The same from pieces (of the file, or of bytes already read: no copy of them is made).
    static XmlCapture read(DocumentPieces& pieces, const std::vector<CaptureRequest>& wanted);
    static XmlCapture parse(const QByteArray& content, const std::vector<CaptureRequest>& wanted,
                            const QString& name = QStringLiteral("memoria"));
    // Lists built elsewhere, each with its path (the tests take them from a tree).
    XmlCapture(QString rootName, std::vector<std::pair<QByteArray, CapturedList>> lists);

    const QString& rootName() const { return m_rootName; }
    // The list of a requested path; asking for any other is a programming error.
    const CapturedList& select(QByteArrayView path) const;

    // Leaves the lists allocated when the object goes, for a program about to exit.
    void keepUntilExit();
    // How many lists have been left so, in this program (a program that goes on must not add any).
    static size_t listsKeptUntilExit();

private:
    friend class CaptureBuilder;
    XmlCapture() = default;
    QString m_rootName;
    std::vector<CapturedList> m_lists;
    QHash<QByteArray, int> m_listOfPath;
};

} // namespace quintaro
