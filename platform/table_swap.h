#pragma once

#include "platform/error.h"
#include "platform/work_dir.h"

#include <QStringList>

namespace quintaro {

// The folder inside the working directory where the set a swap replaced is kept (one generation),
// and the journal a swap keeps while it runs.
inline const QString kPreviousFolder = QStringLiteral("QUINTARO_ANTERIORES");
inline const QString kSwapJournalFile = QStringLiteral("QUINTARO_CAMBIO.JSON");
// The folder inside the working directory where a new set of tables is written before it
// replaces the current one.
inline const QString kStagingFolder = QStringLiteral("QUINTARO_NUEVAS");

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
// when every move was made (whatever the tables hold now: Velmora may have worked on them) or
// when the files still to move are whole, back otherwise. A file taken back that no longer
// matches the journal (edited since) is kept aside in a folder of its own, never deleted. The
// journal is obeyed only where it names `fileNames` and Quintaro's own folders directly inside
// `target`, and no link among them; otherwise nothing is touched. Gives what it did in one Spanish
// sentence, or nothing when there was no journal. Raises a RunError (the journal stays for the
// next run) when it cannot finish.
QString recoverInterruptedSwap(const WorkDir& target, const QStringList& fileNames);

} // namespace quintaro
