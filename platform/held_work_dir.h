#pragma once

#include "platform/work_dir.h"
#include "platform/work_dir_lock.h"

#include <QStringList>

#include <optional>

namespace quintaro {

// A run's hold on the working directory, for as long as the run reads or writes it: the folder
// (made when missing, if asked), locked for this run alone, and any table swap that a kill or a
// power cut interrupted finished before anything else.
struct HeldWorkDir {
    WorkDir dir;
    std::optional<WorkDirLock> lock; // none when the folder does not exist and was not to be made
    QStringList made; // the folders this run made, the deepest first
    QString recovered; // what finishing an interrupted swap did, in one sentence; empty otherwise

    // Lets go of the folder; the folders this run made are taken away again, each while empty.
    void releaseMadeFolder();
};

// `swapFiles` are the names a table swap in this folder moves (recoverInterruptedSwap obeys a
// journal only for them). Raises a RunError when the folder cannot be made or locked (another run
// holds it), or when an interrupted swap cannot be finished.
HeldWorkDir holdWorkDir(const QString& path, bool create, const QStringList& swapFiles);

} // namespace quintaro
