#include "platform/durable.h"

#include "platform/error.h"
#include "platform/file_error.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quintaro::durable {

namespace {
[[noreturn]] void failSync(const QString& path, int error)
{
    throw RunError(
        QStringLiteral("No se puede asegurar en el disco %1 (%2)").arg(QDir::toNativeSeparators(path), failureKind(error)));
}
} // namespace

#ifdef _WIN32

void syncFile(const QString& path)
{
    HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(path.utf16()), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        failSync(path, int(GetLastError()));
    const bool flushed = FlushFileBuffers(h);
    const DWORD error = GetLastError();
    CloseHandle(h);
    if (!flushed)
        failSync(path, int(error));
}

void syncFolder(const QString&) { }

bool moveFile(const QString& from, const QString& to)
{
    return MoveFileExW(reinterpret_cast<LPCWSTR>(from.utf16()), reinterpret_cast<LPCWSTR>(to.utf16()),
                       MOVEFILE_WRITE_THROUGH);
}

QStringList entriesOf(const QString& folder)
{
    QStringList names;
    WIN32_FIND_DATAW found;
    const QString pattern = QDir::toNativeSeparators(folder) + QStringLiteral("\\*");
    HANDLE h = FindFirstFileW(reinterpret_cast<LPCWSTR>(pattern.utf16()), &found);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return names;
        throw RunError(QStringLiteral("No se puede leer la carpeta %1 (%2)")
                           .arg(QDir::toNativeSeparators(folder), failureKind(int(error))));
    }
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (name != u"." && name != u"..")
            names << name;
    } while (FindNextFileW(h, &found));
    const DWORD error = GetLastError();
    FindClose(h);
    if (error != ERROR_NO_MORE_FILES)
        throw RunError(QStringLiteral("No se puede leer la carpeta %1 (%2)")
                           .arg(QDir::toNativeSeparators(folder), failureKind(int(error))));
    return names;
}

#else

namespace {
void syncPath(const QString& path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        failSync(path, errno);
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!synced)
        failSync(path, error);
}
} // namespace

void syncFile(const QString& path) { syncPath(path, O_RDONLY); }

void syncFolder(const QString& path) { syncPath(path, O_RDONLY | O_DIRECTORY); }

bool moveFile(const QString& from, const QString& to)
{
    // Plain rename(2), so that an existing `to` is refused rather than replaced, as on Windows.
    const QByteArray target = QFile::encodeName(to);
    if (::access(target.constData(), F_OK) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(QFile::encodeName(from).constData(), target.constData()) == 0;
}

QStringList entriesOf(const QString& folder)
{
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        throw RunError(QStringLiteral("No se puede leer la carpeta %1 (%2)").arg(QDir::toNativeSeparators(folder), failureKind(errno)));
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        const QString name = QFile::decodeName(entry->d_name);
        if (name != u"." && name != u"..")
            names << name;
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        throw RunError(QStringLiteral("No se puede leer la carpeta %1 (%2)").arg(QDir::toNativeSeparators(folder), failureKind(error)));
    return names;
}

#endif

} // namespace quintaro::durable
