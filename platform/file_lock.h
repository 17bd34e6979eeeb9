#pragma once

#include <QString>

namespace quintaro {

// Locks an open file against other holders: shared or exclusive, never waiting. On Windows a
// LockFileEx over the whole file. On POSIX both an advisory flock(), which other xBase tools on
// Linux honour, and a record lock over the whole file, which is what a Windows program under Wine
// (Velmora) takes and checks. Released when the file is closed.
enum class LockMode { Shared, Exclusive };
bool tryLockFile(int fd, LockMode mode);

// Whether another holder has the file locked, so that it could not be opened for exclusive use.
bool isHeldByAnother(const QString& path);

} // namespace quintaro
