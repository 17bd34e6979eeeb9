#pragma once

#include <QString>

namespace quintaro {

// Shared or exclusive use of a file against other holders, never waiting. On Windows the share
// mode of the open (exclusive use shares nothing, as Velmora's database engine does) and a
// LockFileEx over the whole file. On POSIX both an advisory flock(), which other xBase tools on
// Linux honour, and a record lock over the whole file, which is what a Windows program under Wine
// (Velmora) takes and checks. Released when the file is closed.
// ExclusiveMovable is exclusive use that still lets this holder rename the file (Windows shares
// only deletion then); it holds a table from the check before a swap through its move.
enum class LockMode { Shared, Exclusive, ExclusiveMovable };

// A C runtime descriptor, closed (with its locks) when its owner goes unless released.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) { }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.release()) { }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    bool valid() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    // Hands the descriptor to a new owner (a QFile opened on it with AutoCloseHandle).
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset();

private:
    int m_fd = -1;
};

struct LockedOpen {
    FileDescriptor fd; // invalid when the file could not be opened
    bool held = false; // another holder keeps the file from this kind of use
    QString reason; // why it could not be opened otherwise, in Spanish ("no existe", "sin permiso")
    int systemError = 0; // the system's error behind `reason`
};

// Whether a system error says that nothing may be written there (a read-only disk or share, or no
// permission to write).
bool isWriteRefused(int systemError);

// Opens `path` for reading, and for writing when asked, for this kind of use.
LockedOpen openLocked(const QString& path, LockMode mode, bool writable);

// "La tabla T está en uso por otro programa", with what to do about it.
QString heldByAnotherMessage(const QString& table);

// Whether another holder has the file in use, so that it could not be opened for exclusive use.
bool isHeldByAnother(const QString& path);

} // namespace quintaro
