#include "platform/whole_file.h"

#include "platform/durable.h"
#include "platform/error.h"
#include "platform/file_error.h"
#include "platform/no_follow.h"

#include <QFileInfo>
#include <QSaveFile>

namespace quintaro {

namespace {
WriteFailure failureOf(const QFileDevice& file)
{
    const int error = lastSystemError();
    return {error, fileFailure(file, error)};
}
} // namespace

std::optional<WriteFailure> writeWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    // QSaveFile would write to where a link points, out of the folder the person chose.
    if (entryKind(path) == EntryKind::Link)
        return WriteFailure{0, QStringLiteral("es un enlace a otro lugar, y Quintaro no escribe a través de enlaces; "
                                              "bórrelo o elija otro nombre")};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failureOf(file);
    // QSaveFile::commit() alone replaces the old file even when writing its last buffered bytes
    // fails (a full disk), so the buffer is flushed first. On failure the temporary file goes with
    // the QSaveFile, and the system error is still the failed write's.
    if (!write(file) || !file.flush()) {
        const WriteFailure failure = failureOf(file);
        file.cancelWriting();
        return failure;
    }
    if (!file.commit())
        return failureOf(file);
    // QSaveFile has written the file's data to the disk before renaming it; the rename itself is
    // in the folder, which is synced too, so that the new file is there after a power cut.
    try {
        durable::syncFolder(QFileInfo(path).absolutePath());
    } catch (const RunError& e) {
        return WriteFailure{lastSystemError(), e.message()};
    }
    return std::nullopt;
}

std::optional<WriteFailure> writeWholeFile(const QString& path, QByteArrayView bytes)
{
    return writeWholeFile(path, [bytes](QIODevice& device) {
        return device.write(bytes.data(), bytes.size()) == bytes.size();
    });
}

} // namespace quintaro
