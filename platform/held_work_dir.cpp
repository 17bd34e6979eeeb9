#include "platform/held_work_dir.h"

#include "platform/table_swap.h"

#include <QDir>
#include <QFileInfo>

namespace quintaro {

HeldWorkDir holdWorkDir(const QString& path, bool create)
{
    const QString folder = path.isEmpty() ? WorkDir::defaultPath() : path;
    if (!create && !QFileInfo(folder).isDir())
        return HeldWorkDir{WorkDir(folder), std::nullopt, false, {}};
    bool created = false;
    HeldWorkDir held{WorkDir::prepare(folder, &created), std::nullopt, false, {}};
    held.created = created;
    try {
        held.lock.emplace(held.dir.path());
        held.recovered = recoverInterruptedSwap(held.dir);
    } catch (...) {
        held.releaseMadeFolder();
        throw;
    }
    return held;
}

void HeldWorkDir::releaseMadeFolder()
{
    if (!created) {
        lock.reset();
        return;
    }
    if (lock)
        lock->releaseAndRemove();
    lock.reset();
    QDir().rmdir(dir.path());
}

} // namespace quintaro
