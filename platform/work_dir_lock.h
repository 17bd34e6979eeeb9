#pragma once

#include "platform/file_lock.h"

#include <QString>

namespace quintaro {

// The lock file every Quintaro run holds while it reads or writes the working directory.
inline const QString kWorkDirLockFile = QStringLiteral("QUINTARO.LCK");

// One Quintaro run at a time per working directory: an exclusive lock on QUINTARO.LCK inside it
// (flock and a record lock on POSIX, an unshared handle on Windows), held until the object goes.
// Never waits: a second run fails at once. The file itself stays, since removing a lock file
// lets two runs lock two different files of one name.
class WorkDirLock {
public:
    // Raises a RunError ("Otra ejecución de Quintaro está usando …") when another run holds it, or
    // one naming the file when it cannot be made. In a folder where nothing may be written and no
    // lock file exists, nothing is held: no run can change that folder.
    explicit WorkDirLock(const QString& folder);
    WorkDirLock(WorkDirLock&&) = default;
    WorkDirLock& operator=(WorkDirLock&&) = default;

    const QString& path() const { return m_path; }
    // Lets go of the lock and removes the file: for a working directory the run itself made and is
    // taking away again.
    void releaseAndRemove();

private:
    QString m_path;
    FileDescriptor m_fd;
};

// "Otra ejecución de Quintaro está usando la carpeta …", with what to do about it.
QString workDirInUseMessage(const QString& folder);

} // namespace quintaro
