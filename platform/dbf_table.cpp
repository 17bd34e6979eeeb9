#include "platform/dbf_table.h"

#include "platform/dbf_values.h"
#include "platform/error.h"
#include "platform/file_error.h"
#include "platform/file_lock.h"
#include "platform/text.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QDate>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quintaro {

using namespace dbf;

namespace {
constexpr qint64 kFlushEveryRows = 4096;
} // namespace

// ---------------------------------------------------------------- creation

void DbfTable::create(const QString& path, const std::vector<FieldSpec>& fields)
{
    const QFileInfo info(path);
    const auto failed = [&](const QString& reason) {
        return RunError(QStringLiteral("No se puede crear la tabla %1 en %2: %3")
                            .arg(info.completeBaseName().toUpper(), QDir::toNativeSeparators(info.absolutePath()), reason));
    };
    QByteArray content;
    try {
        content = encodeHeader(fields, QDate::currentDate()) + kEndOfFile;
    } catch (const HeaderError& e) {
        throw failed(e.reason);
    }
    if (const auto failure = writeWholeFile(path, content))
        throw failed(failure->reason);
}

// ---------------------------------------------------------------- opening

DbfTable::DbfTable(const QString& path, Access access, const QString& missingFieldHint)
    : m_path(path), m_missingFieldHint(missingFieldHint), m_file(path)
{
    if (!QFileInfo(path).isFile())
        fail(QStringLiteral("el archivo no existe"));
    const LockMode mode = access == Access::Exclusive ? LockMode::Exclusive : LockMode::Shared;
    LockedOpen opened = openLocked(path, mode, true);
    m_writable = opened.fd.valid();
    if (!m_writable && !opened.held)
        opened = openLocked(path, mode, false);
    if (opened.held)
        throw RunError(heldByAnotherMessage(tableName()));
    if (!opened.fd.valid())
        fail(opened.reason);
    // Unbuffered: rows are batched here already, and a failed write leaves nothing pending in
    // QFile that a later write could put in the wrong place. The descriptor stays ours (and is
    // closed with its locks) until the QFile has taken it.
    if (!m_file.open(opened.fd.get(),
                     (m_writable ? QIODevice::ReadWrite : QIODevice::ReadOnly) | QIODevice::Unbuffered,
                     QFileDevice::AutoCloseHandle))
        fail(fileFailure(m_file, lastSystemError()));
    opened.fd.release();
    readStructure(m_file, m_file.size());
    first();
}

DbfTable::DbfTable(QIODevice& device, const QString& name, const QString& missingFieldHint)
    : m_path(name), m_missingFieldHint(missingFieldHint)
{
    if (!device.isReadable())
        fail(QStringLiteral("no se puede leer"));
    readStructure(device, device.size());
    first();
}

DbfTable::~DbfTable()
{
    try {
        close();
    } catch (const RunError& e) {
        qWarning("%s", qPrintable(e.message()));
    }
}

QString DbfTable::tableName() const { return QFileInfo(m_path).completeBaseName().toUpper(); }

void DbfTable::fail(const QString& reason) const
{
    throw RunError(QStringLiteral("La tabla %1 (%2) no se puede leer: %3").arg(tableName(), QDir::toNativeSeparators(m_path), reason));
}

void DbfTable::failWriting(const QString& reason) const
{
    throw RunError(QStringLiteral("La tabla %1 (%2) no se puede escribir: %3").arg(tableName(), QDir::toNativeSeparators(m_path), reason));
}

void DbfTable::readStructure(QIODevice& from, qint64 fileSize)
{
    Header header;
    try {
        header = parseMainHeader(from.read(kHeaderSize));
        from.seek(0);
        header = parseHeader(from.read(std::max<qint64>(kHeaderSize, std::min<qint64>(header.headerLength, fileSize))),
                             fileSize);
    } catch (const HeaderError& e) {
        fail(e.reason);
    }
    m_version = header.version;
    m_level7 = header.level7;
    m_headerLength = header.headerLength;
    m_recordLength = header.recordLength;
    m_codePage = m_level7 ? CodePage::windows1252() : CodePage::forLanguageDriver(header.languageDriver);
    m_fields = std::move(header.fields);
    for (size_t i = 0; i < m_fields.size(); ++i)
        m_fieldByName.insert(m_fields[i].name, int(i));
    m_count = header.rowCount;
    m_flushedCount = m_count;
    from.seek(m_headerLength);
    m_records = from.read(m_count * m_recordLength);
    if (m_records.size() != m_count * m_recordLength)
        fail(QStringLiteral("no se pudieron leer las filas"));
}

void DbfTable::close()
{
    if (!m_file.isOpen())
        return;
    const bool unpostedInsert = m_state == State::Insert;
    if (m_state == State::Edit)
        postPending();
    m_state = State::Browse;
    m_buffer.clear();
    // Released whatever happens, so that a failed close never keeps the table from others.
    const auto release = qScopeGuard([this] { m_file.close(); });
    flush();
    if (unpostedInsert)
        throw RunError(QStringLiteral("La tabla %1 se cerró con una fila añadida y sin guardar").arg(tableName()));
}

// ---------------------------------------------------------------- fields

int DbfTable::fieldIndex(const QString& name) const
{
    const auto found = m_fieldByName.constFind(name.toUpper());
    if (found == m_fieldByName.cend())
        throw RunError(QStringLiteral("La tabla %1 no tiene el campo %2%3")
                           .arg(tableName(), name.toUpper(),
                                m_missingFieldHint.isEmpty() ? QString() : QStringLiteral("; ") + m_missingFieldHint));
    return *found;
}

qint64 DbfTable::liveRowCount() const
{
    qint64 live = 0;
    for (qint64 row = 0; row < m_count; ++row)
        if (m_records.at(row * m_recordLength) != kDeletedRecord)
            ++live;
    return live;
}

// ---------------------------------------------------------------- cursor

qint64 DbfTable::nextLive(qint64 from) const
{
    while (from < m_count && m_records.at(from * m_recordLength) == kDeletedRecord)
        ++from;
    return from;
}

void DbfTable::first()
{
    if (m_state == State::Edit)
        postPending();
    m_current = nextLive(0);
}

void DbfTable::next()
{
    if (m_state == State::Edit)
        postPending();
    if (m_current < m_count)
        m_current = nextLive(m_current + 1);
}

void DbfTable::requireRow() const
{
    if (m_state == State::Browse && eof())
        throw RunError(QStringLiteral("La tabla %1 no tiene fila actual").arg(tableName()));
}

QByteArrayView DbfTable::rawField(qint64 row, int field) const
{
    const Field& f = m_fields.at(size_t(field));
    return QByteArrayView(m_records.constData() + row * m_recordLength + f.offset, f.length);
}

QByteArrayView DbfTable::rawCurrent(int field) const
{
    requireRow();
    if (m_state != State::Browse) {
        const Field& f = m_fields.at(size_t(field));
        return QByteArrayView(m_buffer.constData() + f.offset, f.length);
    }
    return rawField(m_current, field);
}

QString DbfTable::textOf(QByteArrayView raw, int field) const
{
    try {
        return dbf::textOf(raw, m_fields.at(size_t(field)), m_level7, m_codePage);
    } catch (const ValueError& e) {
        throw RunError(QStringLiteral("La tabla %1 tiene en el campo %2 %3")
                           .arg(tableName(), m_fields.at(size_t(field)).name, e.reason));
    }
}

std::optional<double> DbfTable::numberOf(QByteArrayView raw, int field) const
{
    try {
        return dbf::numberOf(raw, m_fields.at(size_t(field)), m_level7, m_codePage);
    } catch (const ValueError& e) {
        throw RunError(QStringLiteral("La tabla %1 tiene en el campo %2 %3")
                           .arg(tableName(), m_fields.at(size_t(field)).name, e.reason));
    }
}

QString DbfTable::text(int field) const { return textOf(rawCurrent(field), field); }

std::optional<double> DbfTable::number(int field) const { return numberOf(rawCurrent(field), field); }

qint64 DbfTable::whole(int field) const
{
    const auto value = number(field);
    if (!value)
        return 0;
    if (std::fabs(*value) > 9.0e18)
        throw RunError(QStringLiteral("El valor del campo %1 de la tabla %2 es demasiado grande")
                           .arg(m_fields.at(size_t(field)).name, tableName()));
    return std::llround(*value);
}

// ---------------------------------------------------------------- writing

void DbfTable::append()
{
    if (!m_writable)
        failWriting(QStringLiteral("el archivo es de solo lectura"));
    if (m_state == State::Insert)
        throw RunError(
            QStringLiteral("La tabla %1 recibió una fila nueva antes de guardar la anterior").arg(tableName()));
    if (m_state == State::Edit)
        postPending();
    m_buffer.fill(' ', m_recordLength); // the buffer's memory is used again row after row
    m_state = State::Insert;
}

void DbfTable::edit()
{
    if (!m_writable)
        failWriting(QStringLiteral("el archivo es de solo lectura"));
    if (m_state != State::Browse)
        return;
    requireRow();
    m_buffer = m_records.mid(m_current * m_recordLength, m_recordLength);
    m_state = State::Edit;
}

void DbfTable::requireWriting(int field) const
{
    if (m_state == State::Browse)
        throw RunError(QStringLiteral("La tabla %1 no está en modo de edición").arg(tableName()));
    if (field < 0 || size_t(field) >= m_fields.size())
        throw RunError(QStringLiteral("Campo fuera de rango en la tabla %1").arg(tableName()));
}

void DbfTable::writeRaw(int field, QByteArrayView bytes, char pad, bool rightAlign)
{
    const Field& f = m_fields.at(size_t(field));
    char* dest = m_buffer.data() + f.offset;
    std::memset(dest, pad, size_t(f.length));
    const qsizetype n = std::min<qsizetype>(bytes.size(), f.length);
    if (n > 0)
        std::memcpy(dest + (rightAlign ? f.length - n : 0), bytes.data(), size_t(n));
}

void DbfTable::setText(int field, const QString& value)
{
    requireWriting(field);
    const Field& f = m_fields.at(size_t(field));
    switch (f.type) {
    case 'C': {
        const CodePage::Encoded encoded = m_codePage.encode(value);
        const bool cut = encoded.bytes.size() > f.length && !encoded.bytes.sliced(f.length).trimmed().isEmpty();
        if (!encoded.unmapped.isEmpty() || cut)
            tellTextLoss({tableName(), f.name, value, f.length, encoded.unmapped, cut});
        writeRaw(field, encoded.bytes, ' ', false); // a longer text is cut to the field's width
        return;
    }
    case 'N':
    case 'F': {
        if (value.isEmpty()) {
            writeRaw(field, {}, ' ', true);
            return;
        }
        if (f.decimals == 0 && f.type == 'N' && text::isInt(value)) {
            setInteger(field, text::toInt(value));
            return;
        }
        // The rule the field is read by: '.' or ',' as decimal point, never a thousands separator,
        // whatever the user's settings ("1.500" is one and a half).
        bool malformed = false;
        const std::optional<double> number = parseNumeric(value.toLatin1(), &malformed);
        if (!number || malformed)
            throw RunError(
                QStringLiteral("La tabla %1, campo %2: '%3' no es un número").arg(tableName(), f.name, value));
        setFloat(field, *number);
        return;
    }
    case 'L': {
        const QString t = value.trimmed().toUpper();
        if (t.isEmpty())
            writeRaw(field, {}, ' ', false);
        else if (t == u"T" || t == u"TRUE" || t == u"Y")
            setBoolean(field, true);
        else if (t == u"F" || t == u"FALSE" || t == u"N")
            setBoolean(field, false);
        else
            throw RunError(QStringLiteral("La tabla %1, campo %2: '%3' no es un valor lógico (S/N)")
                               .arg(tableName(), f.name, value));
        return;
    }
    default:
        throw RunError(
            QStringLiteral("El campo %1 de la tabla %2 es de un tipo que no se escribe").arg(f.name, tableName()));
    }
}

void DbfTable::setInteger(int field, qint64 value)
{
    requireWriting(field);
    const Field& f = m_fields.at(size_t(field));
    if (f.type == 'C') {
        writeRaw(field, QByteArray::number(value), ' ', false);
        return;
    }
    if (f.type == 'N' || f.type == 'F') {
        if (f.decimals > 0) {
            setFloat(field, double(value));
            return;
        }
        writeRaw(field, integerDigits(value, f.length), ' ', true);
        return;
    }
    throw RunError(QStringLiteral("El campo %1 de la tabla %2 no admite números").arg(f.name, tableName()));
}

void DbfTable::setFloat(int field, double value)
{
    requireWriting(field);
    const Field& f = m_fields.at(size_t(field));
    if (f.type != 'N' && f.type != 'F')
        throw RunError(QStringLiteral("El campo %1 de la tabla %2 no admite números").arg(f.name, tableName()));
    writeRaw(field, decimalDigits(value, f.decimals, f.length), ' ', true);
}

void DbfTable::setBoolean(int field, bool value)
{
    requireWriting(field);
    const Field& f = m_fields.at(size_t(field));
    if (f.type != 'L')
        throw RunError(QStringLiteral("El campo %1 de la tabla %2 no es lógico").arg(f.name, tableName()));
    writeRaw(field, value ? QByteArray("T") : QByteArray("F"), ' ', false);
}

void DbfTable::post()
{
    if (m_state != State::Browse)
        postPending();
}

void DbfTable::postPending()
{
    if (m_state == State::Insert) {
        m_records.append(m_buffer);
        const qint64 row = m_count++;
        for (DbfIndex& index : m_indexes)
            if (index.built())
                index.add(keyOf(row, index.fields()), row);
        m_current = row;
        m_headerDirty = true;
    } else if (m_state == State::Edit) {
        char* stored = m_records.data() + m_current * m_recordLength;
        // An edit that changes a key field invalidates that index; it is rebuilt on the next locate.
        for (DbfIndex& index : m_indexes) {
            bool changed = false;
            for (int f : index.fields()) {
                const Field& field = m_fields.at(size_t(f));
                changed = changed
                    || std::memcmp(stored + field.offset, m_buffer.constData() + field.offset, size_t(field.length))
                        != 0;
            }
            if (changed)
                index.invalidate();
        }
        std::memcpy(stored, m_buffer.constData(), size_t(m_recordLength));
        if (m_current < m_flushedCount)
            m_editedRows.push_back(m_current);
        m_headerDirty = true;
    }
    m_state = State::Browse;
    if (m_count - m_flushedCount >= kFlushEveryRows)
        flush();
}

void DbfTable::flush()
{
    if (!m_headerDirty || !m_file.isOpen() || m_writeFailed)
        return;
    const auto check = [this](bool ok) {
        if (ok)
            return;
        // The header still counts only rows written whole; nothing more is tried on this file.
        m_writeFailed = true;
        throw RunError(QStringLiteral("No se pudo escribir la tabla %1 (%2): %3")
                           .arg(tableName(), QDir::toNativeSeparators(m_path), fileFailure(m_file, lastSystemError())));
    };
    for (qint64 row : m_editedRows) {
        check(m_file.seek(m_headerLength + row * m_recordLength));
        check(m_file.write(m_records.constData() + row * m_recordLength, m_recordLength) == m_recordLength);
    }
    m_editedRows.clear();
    if (m_count > m_flushedCount) {
        const qint64 bytes = (m_count - m_flushedCount) * m_recordLength;
        check(m_file.seek(m_headerLength + m_flushedCount * m_recordLength));
        check(m_file.write(m_records.constData() + m_flushedCount * m_recordLength, bytes) == bytes);
        check(m_file.write(&kEndOfFile, 1) == 1);
    }
    char header[kHeaderSize];
    check(m_file.seek(0));
    check(m_file.read(header, kHeaderSize) == kHeaderSize);
    stampHeader(header, quint32(m_count), QDate::currentDate());
    check(m_file.seek(0));
    check(m_file.write(header, kHeaderSize) == kHeaderSize);
    check(m_file.flush());
    m_flushedCount = m_count;
    m_headerDirty = false;
}

void DbfTable::tellTextLoss(const TextLoss& loss) const
{
    if (m_textLoss)
        m_textLoss(loss);
    else if (!loss.unmapped.isEmpty())
        qWarning("Tabla %s, campo %s: «%s» se guardó como '?'", qPrintable(loss.table), qPrintable(loss.field),
                 qPrintable(loss.unmapped));
}

// ---------------------------------------------------------------- locate

QByteArray DbfTable::keyOf(qint64 row, const std::vector<int>& fields) const
{
    QByteArray key;
    for (int f : fields) {
        if (m_fields.at(size_t(f)).type == 'C')
            DbfIndex::appendPart(key, withoutPadding(rawField(row, f)), fields.size() > 1);
        else
            DbfIndex::appendPart(key, textOf(rawField(row, f), f).toUtf8(), fields.size() > 1);
    }
    return key;
}

// A searched value as the index keys it; a null array when no stored value can equal it.
QByteArray DbfTable::keyPart(int field, const QString& value) const
{
    if (m_fields.at(size_t(field)).type != 'C')
        return value.isEmpty() ? QByteArray("") : value.toUtf8();
    const CodePage::Encoded encoded = m_codePage.encode(value);
    if (!encoded.unmapped.isEmpty() || encoded.bytes.size() > m_fields.at(size_t(field)).length)
        return QByteArray();
    return encoded.bytes.isEmpty() ? QByteArray("") : encoded.bytes;
}

int DbfTable::lookupOn(const QString& fieldNames)
{
    const QString name = fieldNames.toUpper();
    for (size_t i = 0; i < m_indexes.size(); ++i)
        if (m_indexes[i].name() == name)
            return int(i);
    std::vector<int> fields;
    for (const QString& field : fieldNames.split(u';'))
        fields.push_back(fieldIndex(field.trimmed()));
    m_indexes.emplace_back(name, std::move(fields));
    return int(m_indexes.size() - 1);
}

DbfIndex& DbfTable::builtIndex(int lookup)
{
    if (m_state == State::Edit)
        postPending();
    DbfIndex& index = m_indexes.at(size_t(lookup));
    if (!index.built()) {
        index.invalidate();
        for (qint64 row = nextLive(0); row < m_count; row = nextLive(row + 1))
            index.add(keyOf(row, index.fields()), row);
        index.markBuilt();
    }
    return index;
}

bool DbfTable::locateKey(const DbfIndex& index, const QByteArray& key)
{
    const qint64 row = index.find(key);
    if (row < 0)
        return false;
    m_current = row;
    return true;
}

bool DbfTable::locateStored(int lookup, QByteArrayView stored)
{
    const DbfIndex& index = builtIndex(lookup);
    if (index.fields().size() != 1)
        throw RunError(QStringLiteral("Búsqueda mal formada en la tabla %1").arg(tableName()));
    // Stored values are blank-padded, so trailing blanks cannot tell rows apart.
    while (!stored.isEmpty() && stored.back() == ' ')
        stored.chop(1);
    return locateKey(index, QByteArray::fromRawData(stored.data(), stored.size()));
}

bool DbfTable::locate(const QString& fieldNames, const QStringList& values)
{
    return locate(lookupOn(fieldNames), values);
}

bool DbfTable::locate(int lookup, const QStringList& values)
{
    const DbfIndex& index = builtIndex(lookup);
    if (index.fields().size() != size_t(values.size()))
        throw RunError(QStringLiteral("Búsqueda mal formada en la tabla %1").arg(tableName()));
    QByteArray key;
    for (qsizetype i = 0; i < values.size(); ++i) {
        QString value = values.at(i);
        // Stored values are blank-padded, so trailing blanks of a searched value cannot tell rows apart.
        while (value.endsWith(u' '))
            value.chop(1);
        const QByteArray part = keyPart(index.fields()[size_t(i)], value);
        if (part.isNull())
            return false;
        DbfIndex::appendPart(key, part, values.size() > 1);
    }
    return locateKey(index, key);
}

QByteArrayView DbfTable::stored(int field) const
{
    if (m_fields.at(size_t(field)).type != 'C')
        throw RunError(QStringLiteral("El campo %1 de la tabla %2 no es de caracteres")
                           .arg(m_fields.at(size_t(field)).name, tableName()));
    return withoutPadding(rawCurrent(field));
}

void DbfTable::setStored(int field, QByteArrayView bytes)
{
    requireWriting(field);
    const Field& f = m_fields.at(size_t(field));
    if (f.type != 'C') {
        setText(field, m_codePage.decode(bytes));
        return;
    }
    if (bytes.size() > f.length && !bytes.sliced(f.length).trimmed().isEmpty())
        tellTextLoss({tableName(), f.name, m_codePage.decode(bytes), f.length, {}, true});
    writeRaw(field, bytes, ' ', false); // cut to the field's width
}

} // namespace quintaro
