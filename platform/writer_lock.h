#pragma once

#include <QString>

namespace quintaro {

// One run at a time writing a file that lies outside the working directory (the result document
// beside the school's): an exclusive lock on "~NAME.lck" beside it, held from before the run reads
// anything until the file is written, and gone with the lock. Never waits: a second run fails at
// once. On POSIX the lock file is removed while still held and a lock on a file already removed is
// tried again, so that two runs never hold two files of one name; on Windows it is opened unshared
// and deleted when closed.
class WriterLock {
public:
    // Raises a RunError when another run holds it. Where no lock file can be made (a folder that
    // cannot be written), nothing is held: writing the file itself will fail and say why.
    explicit WriterLock(const QString& file);
    ~WriterLock();
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

private:
    QString m_path;
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

} // namespace quintaro
