#pragma once

#include "platform/xml_capture.h"
#include "tables/document_paths.h"

// The interchange document as the export run reads it. One streaming pass keeps, of the paths
// below and nothing else, what the steps read; no tree is built.
namespace quintaro {

class ExportDocument {
public:
    // Raise a RunError as XmlDocument::load and parse do.
    static ExportDocument parse(const QByteArray& content, const QString& name = QStringLiteral("memoria"));
    static ExportDocument read(DocumentPieces& pieces) { return ExportDocument(XmlCapture::read(pieces, keptPaths())); }
    // Only the time frames and their periods: what the frame dialog shows.
    static ExportDocument loadTimeFrames(const QString& path);
    // The lists of a capture made elsewhere (the tests take them from a tree, the reference the
    // streaming pass is checked against).
    explicit ExportDocument(XmlCapture capture) : m_capture(std::move(capture)) { }

    const QString& rootName() const { return m_capture.rootName(); }
    const CapturedList& select(const char* path) const { return m_capture.select(path); }
    const XmlCapture& capture() const { return m_capture; }
    // The paths kept, and what is kept of each.
    static const std::vector<CaptureRequest>& keptPaths();

    // For a program about to exit: the kept lists are left for the system to reclaim.
    void keepUntilExit() { m_capture.keepUntilExit(); }

private:
    XmlCapture m_capture;
};

} // namespace quintaro
