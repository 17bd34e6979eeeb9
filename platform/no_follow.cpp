#include "platform/no_follow.h"

#include "platform/durable.h"
#include "platform/error.h"
#include "platform/file_error.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quintaro {

namespace {
QString native(const QString& path) { return QDir::toNativeSeparators(path); }

[[noreturn]] void refuse(const QString& path, const QString& why)
{
    throw RunError(QStringLiteral("No se puede leer %1: %2").arg(native(path), why));
}

#ifdef _WIN32
std::wstring wide(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }
#endif

// Removes a link itself. A link to a folder is a folder entry on Windows (RemoveDirectory removes
// the junction or the link, never what it points to); on POSIX it is unlinked like a file.
bool removeLink(const QString& path)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return RemoveDirectoryW(wide(path).c_str());
    return DeleteFileW(wide(path).c_str());
#else
    return ::unlink(QFile::encodeName(path).constData()) == 0;
#endif
}
} // namespace

EntryKind entryKind(const QString& path)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return EntryKind::Missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EntryKind::Link;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder : EntryKind::File;
#else
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return EntryKind::Missing;
    if (S_ISLNK(st.st_mode))
        return EntryKind::Link;
    if (S_ISDIR(st.st_mode))
        return EntryKind::Folder;
    return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
#endif
}

QString entryKindName(EntryKind kind)
{
    switch (kind) {
    case EntryKind::Missing:
        return QStringLiteral("no existe");
    case EntryKind::File:
        return QStringLiteral("un archivo");
    case EntryKind::Folder:
        return QStringLiteral("una carpeta");
    case EntryKind::Link:
        return QStringLiteral("un enlace a otro lugar");
    case EntryKind::Other:
        return QStringLiteral("un archivo especial (una FIFO o un dispositivo)");
    }
    return {};
}

bool removeTree(const QString& path)
{
    switch (entryKind(path)) {
    case EntryKind::Missing:
        return true;
    case EntryKind::Link:
        return removeLink(path);
    case EntryKind::File:
    case EntryKind::Other:
        return QFile::remove(path);
    case EntryKind::Folder:
        break;
    }
    try {
        for (const QString& name : durable::entriesOf(path))
            if (!removeTree(QDir(path).filePath(name)))
                return false;
    } catch (const RunError&) {
        return false;
    }
    return QDir().rmdir(path);
}

void freshFolder(const QString& path)
{
    if (!removeTree(path))
        throw RunError(QStringLiteral("No se puede vaciar la carpeta %1 (%2)").arg(native(path), failureKind(lastSystemError())));
    if (!QDir().mkdir(path))
        throw RunError(QStringLiteral("No se puede crear la carpeta %1 (%2)").arg(native(path), failureKind(lastSystemError())));
}

QByteArray readSmallFile(const QString& path, qint64 maxBytes)
{
    const EntryKind kind = entryKind(path);
    if (kind != EntryKind::File)
        refuse(path, kind == EntryKind::Missing ? entryKindName(kind) : QStringLiteral("es ") + entryKindName(kind));
#ifdef _WIN32
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(path, fileFailure(file, lastSystemError()));
    if (file.size() > maxBytes)
        refuse(path, QStringLiteral("tiene %1 bytes, más de los %2 que puede tener").arg(file.size()).arg(maxBytes));
    const QByteArray bytes = file.read(maxBytes + 1);
#else
    // Opened without following a link and without waiting on a FIFO put there between the look
    // above and this open; what was opened is looked at again.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        refuse(path, failureKind(errno));
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        refuse(path, QStringLiteral("no es un archivo normal"));
    }
    QByteArray bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            refuse(path, failureKind(error));
        }
        if (n == 0 || bytes.size() > maxBytes)
            break;
        bytes.append(buffer, n);
    }
    ::close(fd);
#endif
    if (bytes.size() > maxBytes)
        refuse(path, QStringLiteral("tiene más de los %1 bytes que puede tener").arg(maxBytes));
    return bytes;
}

} // namespace quintaro
