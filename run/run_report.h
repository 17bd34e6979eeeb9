#pragma once

#include "export/export_report.h"
#include "import/import_run.h"

namespace quintaro {

// What the last run did, for the front ends: the export's part, or the import's.
struct RunReport : ExportReport, ImportReport {
    QStringList chosenFrames; // the export's frame identifiers
    QString workDirectory; // where the tables are
    QStringList workDirNotes; // what holding the working directory did first (an interrupted swap finished)
};

} // namespace quintaro
