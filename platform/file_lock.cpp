#include "platform/file_lock.h"

#include <QFile>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#endif

namespace quintaro {

bool tryLockFile(int fd, LockMode mode)
{
#ifdef _WIN32
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED overlapped{};
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (mode == LockMode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    return LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &overlapped);
#else
    return ::flock(fd, (mode == LockMode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0;
#endif
}

bool isHeldByAnother(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return !tryLockFile(file.handle(), LockMode::Exclusive);
}

} // namespace quintaro
