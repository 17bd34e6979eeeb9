#pragma once

#include "import/import_report.h"
#include "platform/work_dir.h"

#include <QDateTime>
#include <QStringList>

#include <QCryptographicHash>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace quintaro {

// A note the export run leaves beside its tables: which document they came from and when, so
// that the import can tell when a solution does not belong to the document chosen.
// What tells a document's contents apart: its size and a digest of its bytes. The digest is taken
// from the bytes the run read (the document is not read again for it); empty when it was not
// taken.
struct DocumentDigest {
    qint64 size = 0;
    QByteArray hash; // hex
};

// A document's digest taken on another thread from the pieces its parse reads: the run's own path
// does not wait for it until it needs it.
class BackgroundDigest {
public:
    BackgroundDigest();
    ~BackgroundDigest(); // a run that failed does not wait for the rest
    BackgroundDigest(const BackgroundDigest&) = delete;
    BackgroundDigest& operator=(const BackgroundDigest&) = delete;

    void add(const QByteArray& piece);
    // The digest of every piece added (waits for the last ones).
    DocumentDigest result();

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<QByteArray> m_pieces;
    qint64 m_waiting = 0; // bytes in m_pieces
    bool m_last = false; // no more pieces come
    bool m_stop = false;
    QCryptographicHash m_hash{QCryptographicHash::Md5};
    qint64 m_size = 0;
    std::optional<DocumentDigest> m_result;
    std::thread m_worker;
};

struct ExportRecord {
    QString document; // absolute path
    qint64 size = 0;
    QByteArray hash; // hex digest of the document's bytes
    QDateTime time; // when the tables were put in place (UTC)
    QStringList frames;

    // Whether the document at `path`, whose bytes have `digest`, is the exported one, unchanged:
    // same path, size and digest.
    bool isOf(const QString& path, const DocumentDigest& digest) const;

    // The record of the document at `path` with these bytes, chosen frames aside.
    static ExportRecord of(const QString& path, const DocumentDigest& digest);
};

inline const QString kExportRecordFile = QStringLiteral("QUINTARO_EXPORTACION.JSON");

void writeExportRecord(const QString& path, const ExportRecord& record);
// Nothing when the folder holds no record, or one that cannot be read.
std::optional<ExportRecord> readExportRecord(const WorkDir& dir);

// Why the import's solution may not belong to `document`, one sentence each, in Spanish: another
// document was exported, the document changed since, SOLUC is older than the export, or many
// slots found no lesson. `solucTime` is SOLUC's modification time.
QStringList doubtsAbout(const std::optional<ExportRecord>& record, const QString& document,
                        const DocumentDigest& digest, const QDateTime& solucTime, const ImportReport& report);

} // namespace quintaro
