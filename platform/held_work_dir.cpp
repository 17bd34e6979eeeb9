#include "platform/held_work_dir.h"

#include "platform/table_swap.h"

#include <QDir>
#include <QFileInfo>

namespace quintaro {

HeldWorkDir holdWorkDir(const QString& path, bool create, const QStringList& swapFiles)
{
    const QString folder = path.isEmpty() ? WorkDir::defaultPath() : path;
    if (!create && !QFileInfo(folder).isDir())
        return HeldWorkDir{WorkDir(folder), std::nullopt, {}, {}};
    QStringList made;
    HeldWorkDir held{WorkDir::prepare(folder, &made), std::nullopt, {}, {}};
    held.made = made;
    try {
        held.lock.emplace(held.dir.path());
        held.recovered = recoverInterruptedSwap(held.dir, swapFiles);
    } catch (...) {
        held.releaseMadeFolder();
        throw;
    }
    return held;
}

void HeldWorkDir::releaseMadeFolder()
{
    if (made.isEmpty()) {
        lock.reset();
        return;
    }
    if (lock)
        lock->releaseAndRemove();
    lock.reset();
    for (const QString& folder : made)
        if (!QDir().rmdir(folder))
            break; // not empty: something else is there now
}

} // namespace quintaro
