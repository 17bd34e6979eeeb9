#include "platform/file_error.h"

#include <QFileDevice>

#include <cerrno>
#ifdef _WIN32
#include <windows.h>
#endif

namespace quintaro {

int lastSystemError()
{
#ifdef _WIN32
    return int(GetLastError());
#else
    return errno;
#endif
}

QString failureKind(int systemError)
{
    switch (systemError) {
#ifdef _WIN32
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return QStringLiteral("no existe");
    case ERROR_ACCESS_DENIED:
        return QStringLiteral("sin permiso");
    case ERROR_WRITE_PROTECT:
        return QStringLiteral("de solo lectura");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return QStringLiteral("disco lleno");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return QStringLiteral("en uso por otro programa");
    case ERROR_NOT_LOCKED:
    case ERROR_NOT_SUPPORTED:
        return QStringLiteral("el disco no admite bloqueos; copie la carpeta a un disco local");
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
        return QStringLiteral("error de lectura o escritura en el disco");
#else
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("no existe");
    case EACCES:
    case EPERM:
        return QStringLiteral("sin permiso");
    case EROFS:
        return QStringLiteral("de solo lectura");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("disco lleno");
    case EISDIR:
        return QStringLiteral("es una carpeta");
    case EIO:
        return QStringLiteral("error de lectura o escritura en el disco");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("en uso por otro programa");
    case ENOLCK:
        return QStringLiteral("el disco no admite bloqueos; copie la carpeta a un disco local");
#endif
    default:
        return QStringLiteral("error del sistema n.º %1").arg(systemError);
    }
}

QString fileFailure(const QFileDevice& file, int systemError)
{
    QString kind = systemError ? failureKind(systemError) : QString();
    if (kind.isEmpty() || kind.startsWith(QStringLiteral("error del sistema"))) {
        switch (file.error()) {
        case QFileDevice::PermissionsError:
            kind = QStringLiteral("sin permiso");
            break;
        case QFileDevice::WriteError:
        case QFileDevice::ResizeError:
            kind = QStringLiteral("no se pudo escribir");
            break;
        case QFileDevice::ReadError:
            kind = QStringLiteral("no se pudo leer");
            break;
        case QFileDevice::OpenError:
            kind = QStringLiteral("no se pudo abrir");
            break;
        default:
            if (kind.isEmpty())
                kind = QStringLiteral("error del sistema");
            break;
        }
    }
    // Qt's own words are English ("Unknown error" after a full disk): the kind says it in Spanish.
    return kind;
}

} // namespace quintaro
