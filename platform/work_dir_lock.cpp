#include "platform/work_dir_lock.h"

#include "platform/error.h"
#include "platform/file_error.h"

#include <QDir>
#include <QFile>

namespace quintaro {

QString workDirInUseMessage(const QString& folder)
{
    return QStringLiteral("Otra ejecución de Quintaro está usando la carpeta de trabajo %1; espere a que termine "
                          "y vuelva a intentarlo (no se ha cambiado nada)")
        .arg(QDir::toNativeSeparators(folder));
}

WorkDirLock::WorkDirLock(const QString& folder) : m_path(QDir(folder).filePath(kWorkDirLockFile))
{
    {
        // Made when missing; an existing one is left as it is (another run may hold it).
        QFile file(m_path);
        if (!file.exists() && !file.open(QIODevice::Append)) {
            const int error = lastSystemError();
            // A folder nobody may write to: no run can change it, so there is nothing to hold it
            // against, and what only reads it (an import, a look at a table) goes on.
            if (isWriteRefused(error))
                return;
            throw RunError(
                QStringLiteral("No se puede crear %1 (%2)").arg(QDir::toNativeSeparators(m_path), fileFailure(file, error)));
        }
    }
    LockedOpen opened = openLocked(m_path, LockMode::Exclusive, true);
    // The lock file itself may not be written to; held for reading, it locks all the same.
    if (!opened.fd.valid() && !opened.held && isWriteRefused(opened.systemError))
        opened = openLocked(m_path, LockMode::Exclusive, false);
    if (opened.held)
        throw RunError(workDirInUseMessage(folder));
    if (!opened.fd.valid())
        throw RunError(QStringLiteral("No se puede abrir %1 (%2)").arg(QDir::toNativeSeparators(m_path), opened.reason));
    m_fd = std::move(opened.fd);
}

void WorkDirLock::releaseAndRemove()
{
    if (!m_fd.valid())
        return;
    // Removed while still held (POSIX allows it), so that no other run can lock it in between.
#ifndef _WIN32
    QFile::remove(m_path);
    m_fd.reset();
#else
    m_fd.reset();
    QFile::remove(m_path);
#endif
}

} // namespace quintaro
