#pragma once

#include "platform/dbf_table.h"
#include "platform/xml_document.h"

#include <QMap>
#include <QStringList>

#include <optional>

namespace quintaro {

// What the import run did and noticed, for the person who started it.
struct ImportReport {
    QString resultDocument;
    qint64 timeSlots = 0;
    bool hadSchedule = false; // the chosen document already held a horario section
    // Slots whose subject and group name no lesson (empty sesion), and slots beyond the weekly
    // hours of every lesson of their subject and group; each "ASIG/CODGRUPO" with its slots.
    qint64 slotsWithoutLesson = 0;
    QMap<QString, qint64> pairsWithoutLesson;
    qint64 slotsPastHours = 0;
    QMap<QString, qint64> pairsPastHours;
    // Reasons to doubt that the solution belongs to the document.
    QStringList doubts;
};

// The tables the import reads, opened by the caller.
struct ImportTables {
    DbfTable& soluc;
    DbfTable& rooms; // AULAT
    DbfTable& periods; // DIASHORAST
    DbfTable& lessons; // ASIGT
};

// "ResultadoZentar" before the chosen file's name, in the chosen file's folder.
QString resultDocumentPath(const QString& chosen);

// The import run once its document is chosen and its tables are open: loads the document into
// `xmlDoc`, appends a horario section with one tramo per placed row of SOLUC and saves the result
// document beside the chosen one, which is never changed.
void ImportarSolucion(const QString& filenameXML, ImportTables tables, std::optional<XmlDocument>& xmlDoc,
                      ImportReport& report);

// Raises a RunError unless the document's root element is datosGHC (an empty name: no root).
void requireInterchangeRoot(const QString& rootName, const QString& path);

} // namespace quintaro
