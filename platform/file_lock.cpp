#include "platform/file_lock.h"

#include "platform/file_error.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <unistd.h>
#endif

namespace quintaro {

namespace {
// lockWhole gives 0 once the file is locked, kHeld when another holder has it, and otherwise the
// system's error (a disk that takes no locks, for instance).
constexpr int kHeld = -1;

#ifdef _WIN32
int lockWhole(int fd, LockMode mode)
{
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED overlapped{};
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (mode != LockMode::Shared ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &overlapped))
        return 0;
    const DWORD error = GetLastError();
    return error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION ? kHeld : int(error);
}

void closeFd(int fd) { _close(fd); }
#else
// A record lock over the whole file, as Wine takes for a Windows program's LockFile: set on the
// open file description (so it is ours until the file is closed), or, on a descriptor opened
// without the access that kind of lock needs, only asked about.
int heldOr(int error) { return error == EWOULDBLOCK || error == EAGAIN || error == EACCES ? kHeld : error; }

int recordLock(int fd, LockMode mode)
{
    struct flock lock { };
    lock.l_type = mode != LockMode::Shared ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return 0;
    if (errno != EBADF)
        return heldOr(errno);
    lock.l_type = mode != LockMode::Shared ? F_WRLCK : F_RDLCK;
    if (::fcntl(fd, F_OFD_GETLK, &lock) != 0)
        return errno;
    return lock.l_type == F_UNLCK ? 0 : kHeld;
}

int lockWhole(int fd, LockMode mode)
{
    if (::flock(fd, (mode != LockMode::Shared ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
        return heldOr(errno);
    const int recorded = recordLock(fd, mode);
    if (recorded != 0)
        ::flock(fd, LOCK_UN);
    return recorded;
}

void closeFd(int fd) { ::close(fd); }
#endif
} // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        reset();
        m_fd = other.release();
    }
    return *this;
}

void FileDescriptor::reset()
{
    if (m_fd >= 0)
        closeFd(m_fd);
    m_fd = -1;
}

LockedOpen openLocked(const QString& path, LockMode mode, bool writable)
{
    LockedOpen result;
#ifdef _WIN32
    const DWORD access = GENERIC_READ | (writable ? GENERIC_WRITE : 0);
    const DWORD share = mode == LockMode::Shared    ? FILE_SHARE_READ | FILE_SHARE_WRITE
        : mode == LockMode::ExclusiveMovable ? FILE_SHARE_DELETE
                                             : 0;
    HANDLE handle = CreateFileW(reinterpret_cast<LPCWSTR>(path.utf16()), access, share, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        result.held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        result.systemError = int(error);
        result.reason = failureKind(int(error));
        return result;
    }
    result.fd = FileDescriptor(
        _open_osfhandle(reinterpret_cast<intptr_t>(handle), (writable ? _O_RDWR : _O_RDONLY) | _O_BINARY));
    if (!result.fd.valid()) {
        CloseHandle(handle);
        result.systemError = lastSystemError();
        result.reason = failureKind(result.systemError);
        return result;
    }
#else
    result.fd = FileDescriptor(::open(QFile::encodeName(path).constData(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC));
    if (!result.fd.valid()) {
        result.systemError = errno;
        result.reason = failureKind(errno);
        return result;
    }
#endif
    if (const int error = lockWhole(result.fd.get(), mode); error != 0) {
        result.fd.reset();
        // Another holder, or a lock refused for its own reason, which is said as it is.
        result.held = error == kHeld;
        if (!result.held) {
            result.systemError = error;
            result.reason = failureKind(error);
        }
    }
    return result;
}

bool isWriteRefused(int systemError)
{
#ifdef _WIN32
    return systemError == ERROR_ACCESS_DENIED || systemError == ERROR_WRITE_PROTECT;
#else
    return systemError == EROFS || systemError == EACCES || systemError == EPERM;
#endif
}

QString heldByAnotherMessage(const QString& table)
{
    return QStringLiteral("La tabla %1 está en uso por otro programa; ciérrela en Velmora (o en el programa que la "
                          "tenga abierta) y vuelva a intentarlo")
        .arg(table);
}

bool isHeldByAnother(const QString& path)
{
    return openLocked(path, LockMode::Exclusive, false).held;
}

} // namespace quintaro
