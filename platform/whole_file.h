#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;

namespace quintaro {

// Why a file could not be written: the system's error and the reason in Spanish (fileFailure).
struct WriteFailure {
    int systemError = 0;
    QString reason;
};

// Writes a file whole or not at all: the content goes to a temporary file beside `path`, which
// replaces `path` only once every byte has reached it. Gives nothing when the file is in place,
// and otherwise why not; the temporary file is gone either way. A link at `path` is refused: what
// it points to is never written.
[[nodiscard]] std::optional<WriteFailure> writeWholeFile(const QString& path, QByteArrayView bytes);
// The same for content written piece by piece: `write` returns false when a write failed.
[[nodiscard]] std::optional<WriteFailure> writeWholeFile(const QString& path,
                                                         const std::function<bool(QIODevice&)>& write);

} // namespace quintaro
