#pragma once

#include <QString>

namespace quintaro {

// Shared or exclusive use of a file against other holders, never waiting. On Windows the share
// mode of the open (exclusive use shares nothing, as Velmora's database engine does) and a
// LockFileEx over the whole file. On POSIX both an advisory flock(), which other xBase tools on
// Linux honour, and a record lock over the whole file, which is what a Windows program under Wine
// (Velmora) takes and checks. Released when the file is closed.
enum class LockMode { Shared, Exclusive };

struct LockedOpen {
    int fd = -1; // a C runtime descriptor, or -1
    bool held = false; // another holder keeps the file from this kind of use
    QString reason; // why it could not be opened otherwise, in Spanish ("no existe", "sin permiso")
};

// Opens `path` for reading, and for writing when asked, for this kind of use.
LockedOpen openLocked(const QString& path, LockMode mode, bool writable);

// "La tabla T está en uso por otro programa", with what to do about it.
QString heldByAnotherMessage(const QString& table);

// Whether another holder has the file in use, so that it could not be opened for exclusive use.
bool isHeldByAnother(const QString& path);

} // namespace quintaro
