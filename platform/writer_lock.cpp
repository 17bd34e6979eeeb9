#include "platform/writer_lock.h"

#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quintaro {

namespace {
[[noreturn]] void held(const QString& file)
{
    throw RunError(QStringLiteral("Otra ejecución de Quintaro está escribiendo %1; espere a que termine y vuelva a "
                                  "intentarlo (no se ha cambiado nada)")
                       .arg(QDir::toNativeSeparators(file)));
}
} // namespace

WriterLock::WriterLock(const QString& file)
{
    const QFileInfo info(file);
    m_path = info.dir().filePath(u'~' + info.fileName() + QStringLiteral(".lck"));
#ifdef _WIN32
    HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(m_path).utf16()),
                           GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_SHARING_VIOLATION)
            held(file);
        return;
    }
    m_handle = h;
#else
    const QByteArray path = QFile::encodeName(m_path);
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0)
            return;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            held(file);
        }
        // Locked, but maybe a file the holder before had already removed: then try again.
        struct stat opened, named;
        if (::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
            && opened.st_ino == named.st_ino) {
            m_fd = fd;
            return;
        }
        ::close(fd);
    }
    held(file);
#endif
}

WriterLock::~WriterLock()
{
#ifdef _WIN32
    if (m_handle)
        CloseHandle(m_handle);
#else
    if (m_fd >= 0) {
        ::unlink(QFile::encodeName(m_path).constData()); // removed while held
        ::close(m_fd);
    }
#endif
}

} // namespace quintaro
