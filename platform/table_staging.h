#pragma once

#include "platform/work_dir.h"

#include <QStringList>

namespace quintaro {

// The folders inside the working directory where a new set of tables is written before it
// replaces the current one, and where the set it replaced is kept (one generation).
inline const QString kStagingFolder = QStringLiteral("QUINTARO_NUEVAS");
inline const QString kPreviousFolder = QStringLiteral("QUINTARO_ANTERIORES");

// Moves the files named in `fileNames` (such as "ASIGT.DBF", each matched without regard to case)
// from `source` into `target`; the target's files of those names go into a fresh previous-set
// folder, which then takes the place of the earlier one. Refuses, moving nothing, while another
// program holds one of the target's tables (.DBF); a move that fails puts back what had moved.
void replaceFileSet(const WorkDir& target, const WorkDir& source, const QStringList& fileNames);

// A staging folder inside the working directory for a run's new tables. It starts empty (what a
// run that died left there is thrown away) and is removed, with whatever it still holds, when the
// object goes: tables of a failed run never reach Velmora.
class TableStaging {
public:
    explicit TableStaging(const WorkDir& target);
    ~TableStaging();
    TableStaging(const TableStaging&) = delete;
    TableStaging& operator=(const TableStaging&) = delete;

    const WorkDir& dir() const { return m_staging; }
    // Puts the staged files in place, keeping the ones they replace as the previous set.
    void commit(const QStringList& fileNames);

private:
    WorkDir m_target;
    WorkDir m_staging;
};

// Puts the previous set back, keeping the set it replaces as the new previous set, so that this
// can be undone the same way. Raises a RunError when there is no previous set.
void restorePreviousSet(const WorkDir& target, const QStringList& fileNames);

} // namespace quintaro
