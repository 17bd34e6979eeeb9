#pragma once

#include <QString>
#include <QStringList>

// Making what was written survive a power cut, and reading a folder without missing an error.
namespace quintaro::durable {

// Writes a file's data and size to the disk (fsync; FlushFileBuffers on Windows). Raises a RunError
// naming the file when the system cannot.
void syncFile(const QString& path);

// Writes a folder's entries (names made, removed and renamed in it) to the disk: fsync on the folder
// on POSIX. Windows has no such call for folders; there every rename is written through
// (moveFile) and each file's data is flushed before it is renamed.
void syncFolder(const QString& path);

// Renames a file or folder; `to` must not exist. On Windows the rename is written through before
// it returns (MOVEFILE_WRITE_THROUGH). False, with the system's error left for lastSystemError(),
// when it fails.
bool moveFile(const QString& from, const QString& to);

// The names in a folder (not "." or ".."), all of them or raising a RunError: a listing that the
// system broke off (an I/O error) is never taken for a shorter one.
QStringList entriesOf(const QString& folder);

} // namespace quintaro::durable
