#pragma once

#include "export/export_document.h"
#include "export/export_report.h"

#include <initializer_list>
#include <vector>

namespace quintaro {

// Stops the run, with a message naming the path and the position, when the path has no element at
// index i ("what" names the owner, e.g. "del profesor").
void requireElement(const ExportDocument& doc, const char* path, size_t index, const QString& what);

// The text of the element at index i, without leading and trailing characters at or below 32: as
// the document holds it (UTF-8), or as a string.
QByteArrayView trimmedBytes(const ExportDocument& doc, const char* path, size_t index, const QString& what);
// The same on a path's list selected beforehand, for loops over many elements.
QByteArrayView trimmedBytes(const CapturedList& list, const char* path, size_t index, const QString& what);
QString trimmedText(const ExportDocument& doc, const char* path, size_t index, const QString& what);
QByteArrayView trimmedBytes(QByteArrayView text);

// The children on one path of each element of an owner path, found through the elements' parent
// positions: each element reads its own children, never another's. `chain` is the owner's path,
// the kept paths between, and the child's path ({kSesiones, kSesionProfesor}).
class OwnChildren {
public:
    OwnChildren(const ExportDocument& doc, std::initializer_list<const char*> chain);
    int count(size_t owner) const { return owner < m_count.size() ? m_count[owner] : 0; }
    // The owner's k-th child's text, trimmed; empty when it has no such child.
    QByteArrayView text(size_t owner, int k = 0) const;
    // The child's element name ("profesor"), for the report.
    QString name() const { return m_name; }

private:
    const CapturedList& m_children;
    QString m_name;
    std::vector<qsizetype> m_first; // per owner, its first child's position, or -1
    std::vector<int> m_count;
};

// An owner's child as a step reads it: the first one, empty when there is none. A missing child
// and a repeated one are noted in the report, naming the owner ("sesión 305143", "profesor 'ANA'").
QByteArrayView ownChild(const OwnChildren& children, size_t owner, ExportReport& report, const QString& ownerName,
                        const QString& sesion = {});

// `value` as a whole number of 32 bits; otherwise a RunError that says where it stands and what
// it is: "<where>: <name> 'tres' no es un número entero" (raised by notWholeNumber).
int wholeNumber(const QString& value, const QString& where, const QString& name);
[[noreturn]] void notWholeNumber(const QString& value, const QString& where, const QString& name);

} // namespace quintaro
