#pragma once

#include "import/import_report.h"
#include "platform/dbf_table.h"

#include <QByteArray>
#include <QHash>

namespace quintaro {

// The tables the import reads, opened by the caller.
struct ImportTables {
    DbfTable& soluc;
    DbfTable& rooms; // AULAT
    DbfTable& periods; // DIASHORAST
    DbfTable& lessons; // ASIGT
};

// The document's own texts for codes and rooms whose table form differs (see originalNames): the
// teacher written back for a SOLUC.PROF code, the room for an AULAT.ABREV code.
struct OriginalNames {
    QHash<QString, QString> teacherOfCode;
    QHash<QString, QString> roomOfCode;
};

// What reading the solution made: the horario section as markup (UTF-8, closed), and the slots and
// findings for the report.
struct ImportedSolution {
    QByteArray section;
    ImportReport report;
};

// Reads every placed row of SOLUC into a horario section: one tramo per slot, with its frame, its
// room and the lesson it belongs to. The caller then saves the chosen document with the section
// appended, beside it (resultDocumentPath).
ImportedSolution ImportarSolucion(ImportTables tables, const OriginalNames& names = {});

// "ResultadoZentar" before the chosen file's name, in the chosen file's folder.
QString resultDocumentPath(const QString& chosen);

// Raises a RunError unless the document's root element is datosGHC (an empty name: no root).
void requireInterchangeRoot(const QString& rootName, const QString& path);

} // namespace quintaro
