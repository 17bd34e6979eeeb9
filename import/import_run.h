#pragma once

#include "export/export_context.h"

#include <optional>

namespace quintaro {

// "ResultadoZentar" before the chosen file's name, in the chosen file's folder.
QString resultDocumentPath(const QString& chosen);

// The import run once its document is chosen: opens the seven tables through the components,
// loads the document into `xmlDoc`, appends a horario section with one tramo per placed row of
// SOLUC and saves the result document beside the chosen one, which is never changed. The tables
// are closed again however the run ends.
void ImportarSolucion(const QString& filenameXML, const WorkDir& dir, TableComponents& components,
                      std::optional<XmlDocument>& xmlDoc, RunReport& report);

// Raises a RunError unless the document's root element is datosGHC.
void requireInterchangeRoot(const XmlDocument& doc, const QString& path);

} // namespace quintaro
