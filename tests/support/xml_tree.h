#pragma once

#include "export/export_document.h"
#include "platform/xml_capture.h"
#include "platform/xml_document.h"

// The tree side of the tests: building and saving trees, and the lists that the streaming pass
// must give, taken from a tree's selections as the reference it is checked against.
namespace quintaro::test {

// A parsed document that can be changed and saved, for building expected results.
class EditableXmlDocument : public XmlDocument {
public:
    explicit EditableXmlDocument(XmlDocument&& parsed) : XmlDocument(std::move(parsed)) { }

    XmlNode createElement(const char* name);
    void appendChild(const XmlNode& parent, const XmlNode& child);
    // Appends a text node (layout between added elements).
    void appendText(const XmlNode& parent, const QString& text);
    void setAttribute(const XmlNode& element, const char* name, const QString& value);
    void setAttribute(const XmlNode& element, const char* name, int value);
    // Replaces the element's content with this text.
    void setText(const XmlNode& element, const QString& text);
    // The whole document in its own encoding, as libxml2 serialises it; written whole or not at all.
    void save(const QString& path) const;
};

// The first element on the path, or a null node.
XmlNode selectSingle(const XmlDocument& doc, const QString& path);

// The lists of these paths taken from a tree through its select().
XmlCapture captureFromTree(const XmlDocument& doc, const std::vector<CaptureRequest>& wanted);
// What the export run reads, taken from a tree.
ExportDocument exportDocumentFromTree(const XmlDocument& doc);

} // namespace quintaro::test
