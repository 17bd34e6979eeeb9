#pragma once

#include "export/export_report.h"
#include "import/import_report.h"

#include <QStringList>

namespace quintaro {

// What a run did, for the front ends: the export's part and the import's part (a FET run has
// both), and what both runs share.
struct RunReport {
    ExportReport exported;
    ImportReport imported;
    QStringList chosenFrames; // the export's frame identifiers
    QString workDirectory; // where the tables are
    QStringList workDirNotes; // what holding the working directory did first (an interrupted swap finished)
};

enum class RunOutcome { Finished, NoDocument, Failed };

// What a run returns: how it ended and what it did. The result document, for an import, is
// `report.imported.resultDocument`.
struct RunResult {
    RunOutcome outcome = RunOutcome::Failed;
    RunReport report;
};

} // namespace quintaro
