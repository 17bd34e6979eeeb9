#pragma once

#include "platform/xml_document.h"

namespace quintaro {

// The node at index i of a selection; a missing one stops the run with a message naming the
// path and the position ("what" names the owner, e.g. "del profesor").
XmlNode requireNode(const XmlDocument& doc, const QString& path, size_t index, const QString& what);
QString trimmedText(const XmlDocument& doc, const QString& path, size_t index, const QString& what);

// `value` as a whole number of 32 bits; otherwise a RunError that says where it stands and what
// it is: "<where>: <name> 'tres' no es un número entero".
int wholeNumber(const QString& value, const QString& where, const QString& name);

} // namespace quintaro
