#include "run/export_record.h"

#include "platform/error.h"
#include "platform/whole_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quintaro {

namespace {
// More slots than this without a lesson suggest a solution of other tables.
constexpr qint64 kFewSlots = 3;
// File times may be kept to the two seconds (FAT).
constexpr qint64 kClockSlackSeconds = 2;

QString localTime(const QDateTime& time) { return time.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")); }
} // namespace

BackgroundDigest::BackgroundDigest() : m_worker([this] { work(); }) { }

BackgroundDigest::~BackgroundDigest()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_ready.notify_one();
    if (m_worker.joinable())
        m_worker.join();
}

namespace {
// The worker is woken once this much waits: waking a thread for every 64 KiB piece costs the
// parse more than the hash does.
constexpr qint64 kBytesPerWake = 1 << 20;
} // namespace

void BackgroundDigest::add(const QByteArray& piece)
{
    bool wake = false;
    {
        const std::lock_guard lock(m_mutex);
        m_pieces.push_back(piece); // shared, not copied
        m_waiting += piece.size();
        wake = m_waiting >= kBytesPerWake;
    }
    if (wake)
        m_ready.notify_one();
}

void BackgroundDigest::work()
{
    for (;;) {
        std::deque<QByteArray> pieces;
        bool last = false;
        {
            std::unique_lock lock(m_mutex);
            m_ready.wait(lock, [this] { return m_stop || m_last || m_waiting >= kBytesPerWake; });
            if (m_stop)
                return;
            pieces.swap(m_pieces);
            m_waiting = 0;
            last = m_last;
        }
        for (const QByteArray& piece : pieces) {
            m_hash.addData(piece);
            m_size += piece.size();
        }
        if (last)
            return; // the last piece is done
    }
}

DocumentDigest BackgroundDigest::result()
{
    if (!m_result) {
        {
            const std::lock_guard lock(m_mutex);
            m_last = true;
        }
        m_ready.notify_one();
        m_worker.join();
        m_result = DocumentDigest{m_size, m_hash.result().toHex()};
    }
    return *m_result;
}

ExportRecord ExportRecord::of(const QString& path, const DocumentDigest& digest)
{
    ExportRecord record;
    record.document = QFileInfo(path).absoluteFilePath();
    record.size = digest.size;
    record.hash = digest.hash;
    record.time = QDateTime::currentDateTimeUtc();
    return record;
}

bool ExportRecord::isOf(const QString& path, const DocumentDigest& digest) const
{
    return QFileInfo(path).absoluteFilePath() == document && digest.size == size && !hash.isEmpty()
        && digest.hash == hash;
}

void writeExportRecord(const QString& path, const ExportRecord& record)
{
    const QJsonObject json{
        {QStringLiteral("documento"), record.document},
        {QStringLiteral("bytes"), double(record.size)},
        {QStringLiteral("md5"), QString::fromLatin1(record.hash)},
        {QStringLiteral("fecha"), record.time.toString(Qt::ISODateWithMs)},
        {QStringLiteral("marcos"), QJsonArray::fromStringList(record.frames)},
    };
    if (const auto failure = writeWholeFile(path, QJsonDocument(json).toJson()))
        throw RunError(QStringLiteral("No se puede escribir %1: %2").arg(QDir::toNativeSeparators(path), failure->reason));
}

std::optional<ExportRecord> readExportRecord(const WorkDir& dir)
{
    const QStringList found = dir.filesNamed(kExportRecordFile);
    if (found.isEmpty())
        return std::nullopt;
    QFile file(found.front());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
    ExportRecord record;
    record.document = json.value(QStringLiteral("documento")).toString();
    record.size = qint64(json.value(QStringLiteral("bytes")).toDouble(-1));
    record.hash = json.value(QStringLiteral("md5")).toString().toLatin1();
    record.time = QDateTime::fromString(json.value(QStringLiteral("fecha")).toString(), Qt::ISODateWithMs);
    for (const QJsonValue& frame : json.value(QStringLiteral("marcos")).toArray())
        record.frames << frame.toString();
    if (record.document.isEmpty() || !record.time.isValid())
        return std::nullopt;
    return record;
}

QStringList doubtsAbout(const std::optional<ExportRecord>& record, const QString& document,
                        const DocumentDigest& digest, const QDateTime& solucTime, const ImportReport& report)
{
    QStringList doubts;
    if (record) {
        const QFileInfo chosen(document);
        const bool samePath = chosen.absoluteFilePath() == record->document;
        const bool sameContent = digest.size == record->size && digest.hash == record->hash;
        if (!samePath && !sameContent)
            doubts << QStringLiteral(
                          "Las tablas de Velmora se exportaron el %1 desde otro documento (%2), no desde %3. "
                          "Si la solución es de aquel documento, impórtela en él; si no, exporte este "
                          "documento y resuelva de nuevo el horario en Velmora.")
                          .arg(localTime(record->time), QDir::toNativeSeparators(record->document),
                               QDir::toNativeSeparators(chosen.absoluteFilePath()));
        else if (!sameContent)
            doubts << QStringLiteral("El documento %1 ha cambiado desde que se exportó el %2. Compruebe que la "
                                     "solución sigue valiendo; si no, exporte de nuevo y resuelva el horario en "
                                     "Velmora.")
                          .arg(QDir::toNativeSeparators(chosen.absoluteFilePath()), localTime(record->time));
        if (solucTime.isValid() && solucTime.secsTo(record->time) > kClockSlackSeconds)
            doubts << QStringLiteral("La solución SOLUC (del %1) es anterior a la última exportación (del %2): "
                                     "Velmora todavía no ha resuelto el horario de estas tablas. Resuélvalo en "
                                     "Velmora antes de importar.")
                          .arg(localTime(solucTime), localTime(record->time));
    }
    if (report.slotsWithoutLesson > kFewSlots)
        doubts << QStringLiteral("%1 franjas de SOLUC no encuentran su sesión en ASIGT (asignatura/grupo: %2): la "
                                 "solución puede ser de otras tablas. Exporte de nuevo y resuelva el horario en "
                                 "Velmora.")
                      .arg(report.slotsWithoutLesson)
                      .arg(report.pairsWithoutLesson.keys().mid(0, 10).join(QStringLiteral(", ")));
    return doubts;
}

} // namespace quintaro
