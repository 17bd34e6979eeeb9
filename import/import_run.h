#pragma once

#include "import/import_report.h"
#include "platform/dbf_table.h"
#include "tables/period_kinds.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

namespace quintaro {

// The tables the import reads, opened by the caller.
struct ImportTables {
    DbfTable& soluc;
    DbfTable& rooms; // AULAT
    DbfTable& periods; // DIASHORAST
    DbfTable& lessons; // ASIGT
};

// A lesson the document gives more than one teacher or group: the codes of all but the first
// (PROFT.ABREV, GRUPOST.ABREV), which Velmora's tables have no room for.
struct SharedLesson {
    QStringList teachers, groups;
};

// The document's own texts for codes and rooms whose table form differs (see originalNames): the
// teacher written back for a SOLUC.PROF code, the room for an AULAT.ABREV code; and the lessons
// shared by several teachers or groups, by lesson id.
struct OriginalNames {
    QHash<QString, QString> teacherOfCode;
    QHash<QString, QString> roomOfCode;
    QHash<qint64, SharedLesson> sharedLessons;

    // The teacher as the document wrote them.
    QString teacher(const QString& code) const { return teacherOfCode.value(code, code); }
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
// Class hours in periods that `kinds` takes as breaks are reported.
ImportedSolution ImportarSolucion(ImportTables tables, const OriginalNames& names = {},
                                  const tables::PeriodKinds& kinds = tables::PeriodKinds());

// "ResultadoZentar" before the chosen file's name, in the chosen file's folder.
QString resultDocumentPath(const QString& chosen);

// Raises a RunError unless the document's root element is datosGHC (an empty name: no root).
void requireInterchangeRoot(const QString& rootName, const QString& path);

} // namespace quintaro
