#pragma once

#include "export/export_document.h"

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

// `value` as a whole number of 32 bits; otherwise a RunError that says where it stands and what
// it is: "<where>: <name> 'tres' no es un número entero" (raised by notWholeNumber).
int wholeNumber(const QString& value, const QString& where, const QString& name);
[[noreturn]] void notWholeNumber(const QString& value, const QString& where, const QString& name);

} // namespace quintaro
