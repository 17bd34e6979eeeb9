#pragma once

#include <QString>

namespace quintaro {

// Locks an open file against other holders: shared or exclusive, never waiting. On POSIX an
// advisory flock(), which other xBase tools on Linux honour; released when the file is closed.
enum class LockMode { Shared, Exclusive };
bool tryLockFile(int fd, LockMode mode);

// Whether another holder has the file locked, so that it could not be opened for exclusive use.
bool isHeldByAnother(const QString& path);

} // namespace quintaro
