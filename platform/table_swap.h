#pragma once

#include "platform/error.h"
#include "platform/work_dir.h"

#include <QStringList>

namespace quintaro {

// The folder inside the working directory where the set a swap replaced is kept (one generation),
// and the journal a swap keeps while it runs.
inline const QString kPreviousFolder = QStringLiteral("QUINTARO_ANTERIORES");
inline const QString kSwapJournalFile = QStringLiteral("QUINTARO_CAMBIO.JSON");

// A failure once a swap has begun moving files: its message says which tables are in place.
class SwapError : public RunError {
public:
    using RunError::RunError;
};

// Moves the files named in `fileNames` (such as "ASIGT.DBF", each matched without regard to case)
// from `source` into `target`, and keeps the target's files of those names as the previous set,
// which replaces the one kept before. All or nothing, even across a kill or a power cut:
//   1. every table of the target is locked for exclusive use, and stays locked until it has moved
//      (refused, nothing touched, while another program holds one);
//   2. the new set's files and folders are written to the disk;
//   3. a journal listing every move is written whole into the target, then the moves are made
//      and the folders synced; the journal then says the new set is in place;
//   4. only then is the earlier previous set removed and the replaced set put in its place; the
//      journal goes last.
// A failed move puts back what had moved. A run that finds a journal (recoverInterruptedSwap)
// finishes the swap forward, or back when the new set is not whole. Raises a RunError that says
// which tables are in place when it fails: a SwapError once files have begun to move, a plain
// RunError (nothing changed) before.
void replaceFileSet(const WorkDir& target, const WorkDir& source, const QStringList& fileNames);

// Finishes a swap that a kill or a power cut interrupted, from its journal in `target`: forward
// when every file of the new set is there whole, back otherwise. Gives what it did in one Spanish
// sentence, or nothing when there was no journal. Raises a RunError (the journal stays for the
// next run) when it cannot finish.
QString recoverInterruptedSwap(const WorkDir& target);

} // namespace quintaro
