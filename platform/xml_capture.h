#pragma once

#include "platform/captured_list.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

struct _xmlNode;

namespace quintaro {

class CaptureBuilder;
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
    // Reads the file once, piece by piece.
    static XmlCapture load(const QString& path, const std::vector<CaptureRequest>& wanted);
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
    friend class XmlCaptureFeed;
    XmlCapture() = default;
    QString m_rootName;
    std::vector<CapturedList> m_lists;
    QHash<QByteArray, int> m_listOfPath;
};

// Builds a capture from the events of a parse that does something else too (the import's save
// keeps the names it needs in the pass that writes the result document). Names and texts are
// libxml2's UTF-8.
class XmlCaptureFeed {
public:
    explicit XmlCaptureFeed(const std::vector<CaptureRequest>& wanted);
    ~XmlCaptureFeed();
    XmlCaptureFeed(const XmlCaptureFeed&) = delete;
    XmlCaptureFeed& operator=(const XmlCaptureFeed&) = delete;

    // SAX2's start of an element: its local name and the attributes it has (five pointers each:
    // local name, prefix, URI, value, end of value).
    void start(const unsigned char* localname, int attributeCount, const unsigned char** attributes);
    void end();
    void characters(const unsigned char* text, int length);
    // The same events for an element already built, with everything in it: for a document whose
    // DTD's entities the tree builder copies in without telling.
    void element(const _xmlNode* element);

    // What was kept; a RunError naming `name` when the kept text grew past what a list holds.
    XmlCapture take(const QString& name);

private:
    XmlCapture m_capture;
    std::unique_ptr<CaptureBuilder> m_builder;
};

} // namespace quintaro
