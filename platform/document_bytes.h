#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <vector>

// A run reads the school's document from disk once. Every read of a document goes through here
// and is counted, so that the tests and the benchmark see a run that reads it twice.
namespace quintaro {

// A document's bytes read from disk once and held in pieces, for runs that parse them more than
// once (a FET run's exports and import).
class DocumentCopy {
public:
    // Reads the whole file: a Spanish RunError naming it when it cannot.
    explicit DocumentCopy(const QString& path);
    const QString& path() const { return m_path; }
    std::vector<QByteArray>& pieces() { return m_pieces; }

private:
    QString m_path;
    std::vector<QByteArray> m_pieces;
};

// A document handed to a parser in order, piece by piece: read from its file as the parser goes
// (nothing holds the whole file; each piece is also handed to `onPiece`, the document's digest), or
// from a copy already read.
class DocumentPieces {
public:
    // Opens the file: a Spanish RunError naming it when it cannot.
    explicit DocumentPieces(const QString& path, std::function<void(const QByteArray&)> onPiece = {});
    explicit DocumentPieces(DocumentCopy& copy);
    DocumentPieces(const DocumentPieces&) = delete;
    DocumentPieces& operator=(const DocumentPieces&) = delete;

    // Up to `max` bytes into `into`: 0 at the end, -1 when the disk failed.
    int read(char* into, int max);
    // Raises the Spanish RunError of a failed read, if one failed.
    void throwIfFailed() const;
    const QString& path() const { return m_path; }

private:
    // The next piece into m_piece; false at the end or when the disk failed.
    bool nextPiece();

    QString m_path;
    QFile m_file;
    std::function<void(const QByteArray&)> m_onPiece;
    DocumentCopy* m_copy = nullptr;
    size_t m_nextOfCopy = 0;
    QByteArray m_piece; // the piece being handed out
    qsizetype m_at = 0;
    QString m_failure;
};

// The bytes this program has read so far of the document at `path` (of every document, when
// empty).
qint64 documentBytesRead(const QString& path = {});

} // namespace quintaro
