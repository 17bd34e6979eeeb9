#pragma once

#include "platform/dbf_table.h"
#include "platform/xml_document.h"

#include <QMap>
#include <QStringList>

#include <functional>
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

// The import run once its document is chosen and its tables are open: reads every placed row of
// SOLUC into a horario section, calls `tablesRead` (which may close the tables), loads the document
// into `xmlDoc` and saves the result document, the chosen one with the section appended, beside
// it. The chosen document is never changed.
void ImportarSolucion(const QString& filenameXML, ImportTables tables, std::optional<XmlDocument>& xmlDoc,
                      ImportReport& report, const std::function<void()>& tablesRead = {});

// Raises a RunError unless the document's root element is datosGHC (an empty name: no root).
void requireInterchangeRoot(const QString& rootName, const QString& path);

} // namespace quintaro
