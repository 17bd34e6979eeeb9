#include "platform/file_lock.h"

#include <QFile>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#endif

namespace quintaro {

#ifndef _WIN32
namespace {
// A record lock over the whole file, as Wine takes for a Windows program's LockFile: set on the
// open file description (so it is ours until the file is closed), or, on a descriptor opened
// without the access that kind of lock needs, only asked about.
bool tryRecordLock(int fd, LockMode mode)
{
    struct flock lock {};
    lock.l_type = mode == LockMode::Exclusive ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return true;
    if (errno != EBADF)
        return false;
    lock.l_type = mode == LockMode::Exclusive ? F_WRLCK : F_RDLCK;
    return ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type == F_UNLCK;
}
} // namespace
#endif

bool tryLockFile(int fd, LockMode mode)
{
#ifdef _WIN32
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED overlapped{};
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (mode == LockMode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    return LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &overlapped);
#else
    if (::flock(fd, (mode == LockMode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
        return false;
    if (tryRecordLock(fd, mode))
        return true;
    ::flock(fd, LOCK_UN);
    return false;
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
