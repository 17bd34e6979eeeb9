#pragma once

#include <QString>

namespace quintaro {

// Whether two paths name one file: the same device and inode on POSIX, the same volume and file
// index on Windows, so that a link, a hard link or another spelling of the path is caught. When
// either does not exist yet, whether they are the same path once made absolute and clean
// (without regard to case on Windows).
bool sameFile(const QString& a, const QString& b);

} // namespace quintaro
