#include "platform/file_identity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <utility>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace quintaro {

namespace {
using Identity = std::pair<quint64, quint64>;

std::optional<Identity> identityOf(const QString& path)
{
#ifdef _WIN32
    HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!known)
        return std::nullopt;
    return Identity{info.dwVolumeSerialNumber, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
#else
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return Identity{quint64(st.st_dev), quint64(st.st_ino)};
#endif
}
} // namespace

bool sameFile(const QString& a, const QString& b)
{
    const auto first = identityOf(a), second = identityOf(b);
    if (first && second)
        return *first == *second;
#ifdef _WIN32
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()).compare(QDir::cleanPath(QFileInfo(b).absoluteFilePath()), cs) == 0;
}

} // namespace quintaro
