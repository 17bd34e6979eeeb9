#pragma once

#include "import/import_report.h"
#include "platform/work_dir.h"

#include <QDateTime>
#include <QStringList>

#include <atomic>
#include <optional>

namespace quintaro {

// A note the export run leaves beside its tables: which document they came from and when, so
// that the import can tell when a solution does not belong to the document chosen.
struct ExportRecord {
    QString document; // absolute path
    qint64 size = 0;
    QByteArray hash; // hex digest of the document's bytes
    QDateTime time; // when the tables were put in place (UTC)
    QStringList frames;

    // Whether `document` is the exported one, unchanged: same path, size and digest.
    bool isOf(const QString& document) const;

    // The record of `documentPath` as it is now, chosen frames aside. Raises nothing, so it can run
    // on another thread; the digest is left empty when the file cannot be read or `stop` is set
    // (checked between chunks, so a run that has failed need not wait for a large file).
    static ExportRecord of(const QString& documentPath, const std::atomic_bool* stop = nullptr) noexcept;
};

inline const QString kExportRecordFile = QStringLiteral("QUINTARO_EXPORTACION.JSON");

void writeExportRecord(const QString& path, const ExportRecord& record);
// Nothing when the folder holds no record, or one that cannot be read.
std::optional<ExportRecord> readExportRecord(const WorkDir& dir);

// Why the import's solution may not belong to `document`, one sentence each, in Spanish: another
// document was exported, the document changed since, SOLUC is older than the export, or many
// slots found no lesson. `solucTime` is SOLUC's modification time.
QStringList doubtsAbout(const std::optional<ExportRecord>& record, const QString& document, const QDateTime& solucTime,
                        const ImportReport& report);

} // namespace quintaro
