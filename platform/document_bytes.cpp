#include "platform/document_bytes.h"

#include "platform/error.h"
#include "platform/file_error.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>

namespace quintaro {

namespace {
// Pieces small enough for the allocator to use the same memory again once the digest is done
// with them, large enough to read the disk in few calls.
constexpr qint64 kPiece = 64 * 1024;
constexpr qint64 kCopyPiece = 1024 * 1024;

struct ReadCounter {
    std::mutex mutex;
    QHash<QString, qint64> byPath; // absolute paths
    qint64 total = 0;
};
ReadCounter& counter()
{
    static ReadCounter c;
    return c;
}

void count(const QString& path, qint64 bytes)
{
    ReadCounter& c = counter();
    const std::lock_guard lock(c.mutex);
    c.byPath[QFileInfo(path).absoluteFilePath()] += bytes;
    c.total += bytes;
}

void open(QFile& file, const QString& path)
{
    if (!file.open(QIODevice::ReadOnly))
        throw RunError(QStringLiteral("No se puede abrir el documento XML %1: %2")
                           .arg(QDir::toNativeSeparators(path), fileFailure(file, lastSystemError())));
}

[[noreturn]] void failReading(const QString& path, const QString& why)
{
    throw RunError(QStringLiteral("No se puede leer el documento XML %1: %2").arg(QDir::toNativeSeparators(path), why));
}

// The next piece of the file, empty at its end; nothing when the disk failed (`failure` says why).
std::optional<QByteArray> readPiece(QFile& file, const QString& path, qint64 size, QString& failure)
{
    QByteArray piece(size, Qt::Uninitialized);
    const qint64 got = file.read(piece.data(), size);
    if (got < 0) {
        failure = fileFailure(file, lastSystemError());
        return std::nullopt;
    }
    piece.truncate(got);
    count(path, got);
    return piece;
}
} // namespace

DocumentCopy::DocumentCopy(const QString& path) : m_path(path)
{
    QFile file(path);
    open(file, path);
    for (;;) {
        QString failure;
        std::optional<QByteArray> piece = readPiece(file, path, kCopyPiece, failure);
        if (!piece)
            failReading(path, failure);
        if (piece->isEmpty())
            break;
        m_pieces.push_back(std::move(*piece));
    }
}

DocumentPieces::DocumentPieces(const QString& path, std::function<void(const QByteArray&)> onPiece)
    : m_path(path), m_file(path), m_onPiece(std::move(onPiece))
{
    open(m_file, path);
}

DocumentPieces::DocumentPieces(DocumentCopy& copy) : m_path(copy.path()), m_copy(&copy) { }

bool DocumentPieces::nextPiece()
{
    m_at = 0;
    if (m_copy) {
        m_piece = m_nextOfCopy < m_copy->pieces().size() ? m_copy->pieces()[m_nextOfCopy++] : QByteArray();
        return !m_piece.isEmpty();
    }
    if (!m_failure.isEmpty())
        return false;
    std::optional<QByteArray> piece = readPiece(m_file, m_path, kPiece, m_failure);
    m_piece = piece.value_or(QByteArray());
    if (!m_piece.isEmpty() && m_onPiece)
        m_onPiece(m_piece);
    return !m_piece.isEmpty();
}

int DocumentPieces::read(char* into, int max)
{
    if (m_at == m_piece.size() && !nextPiece())
        return m_failure.isEmpty() ? 0 : -1;
    const int n = int(std::min<qsizetype>(max, m_piece.size() - m_at));
    std::memcpy(into, m_piece.constData() + m_at, size_t(n));
    m_at += n;
    return n;
}

void DocumentPieces::throwIfFailed() const
{
    if (!m_failure.isEmpty())
        failReading(m_path, m_failure);
}

qint64 documentBytesRead(const QString& path)
{
    ReadCounter& c = counter();
    const std::lock_guard lock(c.mutex);
    return path.isEmpty() ? c.total : c.byPath.value(QFileInfo(path).absoluteFilePath());
}

} // namespace quintaro
