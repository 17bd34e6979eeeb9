#include "platform/dbf_table.h"

#include "platform/error.h"
#include "platform/file_error.h"
#include "platform/file_lock.h"
#include "platform/text.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QtEndian>

#include <charconv>
#include <cmath>
#include <cstring>

namespace quintaro {

using namespace dbf;

namespace {

constexpr qint64 kFlushEveryRows = 4096;

// Trailing blanks and NULs of a character field are padding.
QByteArrayView withoutPadding(QByteArrayView raw)
{
    qsizetype end = raw.size();
    while (end > 0 && (raw[end - 1] == ' ' || raw[end - 1] == '\0'))
        --end;
    return raw.first(end);
}

// An index answers with the first row of each key.
void keepFirst(QHash<QByteArray, qint64>& rows, const QByteArray& key, qint64 row)
{
    if (!rows.contains(key))
        rows.insert(key, row);
}

quint16 readU16(const char* p) { return qFromLittleEndian<quint16>(p); }
quint32 readU32(const char* p) { return qFromLittleEndian<quint32>(p); }

void writeDate(char* header)
{
    const QDate today = QDate::currentDate();
    header[kDateOffset] = char(today.year() - 1900);
    header[kDateOffset + 1] = char(today.month());
    header[kDateOffset + 2] = char(today.day());
}

char typeOf(FieldKind kind)
{
    switch (kind) {
    case FieldKind::String:
        return 'C';
    case FieldKind::Boolean:
        return 'L';
    case FieldKind::Integer:
    case FieldKind::Float:
        return 'N';
    }
    return 'C';
}

int widthOf(const FieldSpec& def)
{
    switch (def.kind) {
    case FieldKind::String:
        return def.width;
    case FieldKind::Boolean:
        return 1;
    case FieldKind::Integer:
        return kIntegerWidth;
    case FieldKind::Float:
        return kFloatWidth;
    }
    return 0;
}

// The ASCII text of an N or F field: blanks or all '*' mean empty; ',' counts as decimal point.
std::optional<double> parseNumeric(QByteArrayView raw, bool* malformed)
{
    // The common case, a plain number between blanks, read without copying; anything else (a
    // sign '+', a decimal comma, stars, something that is no number) takes the long way below.
    QByteArrayView plain = raw.trimmed();
    while (!plain.isEmpty() && plain.back() == '\0')
        plain.chop(1);
    plain = plain.trimmed();
    if (!plain.isEmpty() && plain.front() != '+' && !plain.contains(',')) {
        double value = 0;
        const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
        if (error == std::errc() && end == plain.data() + plain.size() && std::isfinite(value))
            return value;
    }
    QByteArray s = raw.toByteArray().trimmed();
    while (s.endsWith('\0'))
        s.chop(1);
    s = s.trimmed();
    if (s.isEmpty() || s.count('*') == s.size())
        return std::nullopt;
    s.replace(',', '.');
    bool ok = false;
    const double value = s.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        *malformed = true;
        return std::nullopt;
    }
    return value;
}

QString shortNumber(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 9.0e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

} // namespace

// ---------------------------------------------------------------- creation

void DbfTable::create(const QString& path, const std::vector<FieldSpec>& fields)
{
    const QString table = QFileInfo(path).fileName();
    bool level7 = false;
    for (const FieldSpec& def : fields)
        level7 = level7 || def.name.size() > kMaxLevel4NameLength;
    const Layout& layout = level7 ? kLevel7Layout : kLevel3Layout;

    int recordLength = 1;
    QByteArray descriptors;
    for (const FieldSpec& def : fields) {
        const QByteArray name = def.name.toUpper().toLatin1();
        const int width = widthOf(def);
        if (name.isEmpty() || name.size() > layout.maxNameLength || width < 1 || width > kMaxFieldWidth)
            throw RunError(QStringLiteral("Campo no válido %1 al crear la tabla %2").arg(def.name, table));
        QByteArray d(layout.descriptorSize, '\0');
        std::memcpy(d.data(), name.constData(), size_t(name.size()));
        d[layout.typeOffset] = typeOf(def.kind);
        d[layout.lengthOffset] = char(width);
        d[layout.decimalsOffset] = char(def.kind == FieldKind::Float ? kFloatDecimals : 0);
        descriptors += d;
        recordLength += width;
    }
    const int headerLength = layout.headerSize + int(descriptors.size()) + 1;

    QByteArray header(layout.headerSize, '\0');
    header[kVersionOffset] = char(level7 ? kVersionDbase7 : kVersionDbase3);
    writeDate(header.data());
    qToLittleEndian<quint16>(quint16(headerLength), header.data() + kHeaderLengthOffset);
    qToLittleEndian<quint16>(quint16(recordLength), header.data() + kRecordLengthOffset);
    header[kLanguageDriverOffset] = char(kLanguageDriverAnsi);
    if (level7)
        std::memcpy(header.data() + kLevel7LanguageDriverNameOffset, kLevel7LanguageDriverName,
                    sizeof kLevel7LanguageDriverName - 1);

    QSaveFile file(path);
    const auto failed = [&] {
        const int error = lastSystemError();
        return RunError(QStringLiteral("No se puede crear la tabla %1 en %2: %3")
                            .arg(QFileInfo(path).completeBaseName().toUpper(), QFileInfo(path).absolutePath(),
                                 fileFailure(file, error)));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw failed();
    const QByteArray content = header + descriptors + kHeaderTerminator + kEndOfFile;
    if (file.write(content) != content.size() || !commitWhole(file))
        throw failed();
}

// ---------------------------------------------------------------- opening

DbfTable::DbfTable(const QString& path, Access access, const QString& missingFieldHint)
    : m_path(path), m_missingFieldHint(missingFieldHint), m_file(path)
{
    if (!QFileInfo(path).isFile())
        fail(QStringLiteral("el archivo no existe"));
    const LockMode mode = access == Access::Exclusive ? LockMode::Exclusive : LockMode::Shared;
    LockedOpen opened = openLocked(path, mode, true);
    m_writable = opened.fd >= 0;
    if (!m_writable && !opened.held)
        opened = openLocked(path, mode, false);
    if (opened.held)
        throw RunError(heldByAnotherMessage(tableName()));
    if (opened.fd < 0)
        fail(opened.reason);
    // Unbuffered: rows are batched here already, and a failed write leaves nothing pending in
    // QFile that a later write could put in the wrong place.
    if (!m_file.open(opened.fd, (m_writable ? QIODevice::ReadWrite : QIODevice::ReadOnly) | QIODevice::Unbuffered,
                     QFileDevice::AutoCloseHandle))
        fail(fileFailure(m_file, lastSystemError()));
    readStructure(m_file.size());
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
    throw RunError(QStringLiteral("La tabla %1 (%2) no se puede leer: %3").arg(tableName(), m_path, reason));
}

void DbfTable::readStructure(qint64 fileSize)
{
    const QByteArray head = m_file.read(kHeaderSize);
    if (head.size() < kHeaderSize)
        fail(QStringLiteral("la cabecera está incompleta"));
    m_version = static_cast<unsigned char>(head[kVersionOffset]);
    // Levels III to V and FoxPro keep the level in the low bits as 3 (or FoxPro's own values);
    // level 7 has 4 there and a longer header with 48-byte descriptors.
    m_level7 = (m_version & 0x07) == 4;
    const quint32 count = readU32(head.constData() + kRowCountOffset);
    m_headerLength = readU16(head.constData() + kHeaderLengthOffset);
    m_recordLength = readU16(head.constData() + kRecordLengthOffset);

    const Layout& layout = m_level7 ? kLevel7Layout : kLevel3Layout;
    const int start = layout.headerSize;
    const int descriptorSize = layout.descriptorSize;
    if (m_headerLength < start + 1 || m_headerLength > fileSize)
        fail(QStringLiteral("la longitud de la cabecera (%1) no cuadra con el archivo").arg(m_headerLength));
    if (m_recordLength < 1)
        fail(QStringLiteral("la longitud de registro es 0"));

    m_file.seek(0);
    const QByteArray header = m_file.read(m_headerLength);
    if (header.size() < m_headerLength)
        fail(QStringLiteral("la cabecera está incompleta"));
    m_codePage = m_level7 ? CodePage::windows1252()
                          : CodePage::forLanguageDriver(static_cast<unsigned char>(head[kLanguageDriverOffset]));

    int offset = 1;
    int pos = start;
    bool terminated = false;
    while (pos < m_headerLength) {
        if (header[pos] == kHeaderTerminator) {
            terminated = true;
            break;
        }
        if (pos + descriptorSize > m_headerLength)
            break;
        const char* d = header.constData() + pos;
        Field field;
        field.name = QString::fromLatin1(d, qstrnlen(d, layout.nameBytes)).trimmed().toUpper();
        field.type = d[layout.typeOffset];
        field.length = static_cast<unsigned char>(d[layout.lengthOffset]);
        field.decimals = static_cast<unsigned char>(d[layout.decimalsOffset]);
        // FoxPro and Clipper keep wide character fields' high length byte in the decimals byte.
        if (field.type == 'C' && !m_level7 && field.decimals > 0
            && (m_version == 0x30 || m_version == 0x31 || m_version == 0xF5))
            field.length += field.decimals * 256, field.decimals = 0;
        if (field.length == 0)
            fail(QStringLiteral("el campo %1 tiene longitud 0").arg(field.name));
        field.offset = offset;
        offset += field.length;
        m_fieldByName.insert(field.name, int(m_fields.size()));
        m_fields.push_back(field);
        pos += descriptorSize;
    }
    if (!terminated)
        fail(QStringLiteral("la lista de campos no termina"));
    if (offset > m_recordLength)
        fail(QStringLiteral("los campos ocupan %1 bytes y el registro solo %2").arg(offset).arg(m_recordLength));

    const qint64 room = (fileSize - m_headerLength) / m_recordLength;
    if (qint64(count) > room)
        fail(QStringLiteral("la cabecera anuncia %1 filas y el archivo solo contiene %2; el archivo está dañado")
                 .arg(count)
                 .arg(room));
    m_count = count;
    m_flushedCount = count;
    m_file.seek(m_headerLength);
    m_records = m_file.read(m_count * m_recordLength);
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
    struct Release {
        QFile& file;
        ~Release() { file.close(); }
    } release{m_file};
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

QString DbfTable::decode(QByteArrayView raw, const Field& f) const
{
    switch (f.type) {
    case 'C':
    case 'D':
    case 'M':
    case 'G':
        return m_codePage.decode(withoutPadding(raw));
    case 'L': {
        const std::optional<double> value = numberOf(raw, f);
        return value ? QString(*value ? u'T' : u'F') : QString();
    }
    default:
        break;
    }
    const std::optional<double> value = numberOf(raw, f);
    return value ? shortNumber(*value) : QString();
}

QString DbfTable::text(int field) const { return decode(rawCurrent(field), m_fields.at(size_t(field))); }

QString DbfTable::textAt(qint64 row, int field) const
{
    return decode(rawField(row, field), m_fields.at(size_t(field)));
}

std::optional<double> DbfTable::number(int field) const
{
    return numberOf(rawCurrent(field), m_fields.at(size_t(field)));
}

std::optional<double> DbfTable::numberOf(QByteArrayView raw, const Field& f) const
{
    const auto allZero = [&] {
        for (char c : raw)
            if (c != '\0')
                return false;
        return true;
    };
    switch (f.type) {
    case 'N':
    case 'F': {
        bool malformed = false;
        const auto value = parseNumeric(raw, &malformed);
        if (malformed)
            throw RunError(QStringLiteral("La tabla %1 tiene en el campo %2 un valor que no es un número: '%3'")
                               .arg(tableName(), f.name, QString::fromLatin1(raw.toByteArray().trimmed())));
        return value;
    }
    case 'I':
    case '+':
        if (f.length != 4 || allZero())
            return std::nullopt;
        if (m_level7) // big-endian with the sign bit flipped
            return double(qint32(qFromBigEndian<quint32>(raw.data()) ^ 0x80000000u));
        return double(qFromLittleEndian<qint32>(raw.data()));
    case 'O':
    case '@': {
        if (f.length != 8 || allZero())
            return std::nullopt;
        quint64 bits = qFromBigEndian<quint64>(raw.data());
        bits = (bits & 0x8000000000000000ull) ? (bits ^ 0x8000000000000000ull) : ~bits;
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
    }
    case 'B': // FoxPro double
        if (m_level7 || f.length != 8)
            return std::nullopt;
        {
            double value;
            std::memcpy(&value, raw.data(), sizeof value);
            return qFromLittleEndian(value);
        }
    case 'L': {
        const char c = raw.isEmpty() ? ' ' : raw[0];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y')
            return 1.0;
        if (c == 'F' || c == 'f' || c == 'N' || c == 'n')
            return 0.0;
        return std::nullopt;
    }
    default:
        break;
    }
    const QString t = text::trimmed(m_codePage.decode(raw));
    if (t.isEmpty())
        return std::nullopt;
    return double(text::toInt(t));
}

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
        fail(QStringLiteral("el archivo es de solo lectura"));
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
        fail(QStringLiteral("el archivo es de solo lectura"));
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
        bool ok = false;
        double number = QLocale().toDouble(value, &ok);
        if (!ok)
            number = QLocale::c().toDouble(value, &ok);
        if (!ok)
            throw RunError(
                QStringLiteral("La tabla %1, campo %2: '%3' no es un número").arg(tableName(), f.name, value));
        setFloat(field, number);
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
        const QByteArray digits = QByteArray::number(value);
        writeRaw(field, digits.size() <= f.length ? digits : QByteArray(f.length, '*'), ' ', true);
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
    // Always the C locale: '.' as decimal point, whatever the user's settings.
    const QByteArray digits = QByteArray::number(value, 'f', f.decimals);
    writeRaw(field, digits.size() <= f.length ? digits : QByteArray(f.length, '*'), ' ', true);
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
        for (Index& index : m_indexes)
            if (index.built)
                keepFirst(index.firstRow, keyOf(row, index.fields), row);
        m_current = row;
        m_headerDirty = true;
    } else if (m_state == State::Edit) {
        char* stored = m_records.data() + m_current * m_recordLength;
        // An edit that changes a key field invalidates that index; it is rebuilt on the next locate.
        for (Index& index : m_indexes) {
            bool changed = false;
            for (int f : index.fields) {
                const Field& field = m_fields.at(size_t(f));
                changed = changed
                    || std::memcmp(stored + field.offset, m_buffer.constData() + field.offset, size_t(field.length))
                        != 0;
            }
            index.built = index.built && !changed;
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
                           .arg(tableName(), m_path, fileFailure(m_file, lastSystemError())));
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
    writeDate(header);
    qToLittleEndian<quint32>(quint32(m_count), header + kRowCountOffset);
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

namespace {
void appendKeyPart(QByteArray& key, QByteArrayView part, bool several)
{
    if (several)
        key += QByteArray::number(part.size()) + ':';
    key += part;
}
} // namespace

QByteArray DbfTable::keyOf(qint64 row, const std::vector<int>& fields) const
{
    QByteArray key;
    for (int f : fields) {
        if (m_fields.at(size_t(f)).type == 'C')
            appendKeyPart(key, withoutPadding(rawField(row, f)), fields.size() > 1);
        else
            appendKeyPart(key, textAt(row, f).toUtf8(), fields.size() > 1);
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
        if (m_indexes[i].name == name)
            return int(i);
    Index index;
    index.name = name;
    for (const QString& field : fieldNames.split(u';'))
        index.fields.push_back(fieldIndex(field.trimmed()));
    m_indexes.push_back(std::move(index));
    return int(m_indexes.size() - 1);
}

DbfTable::Index& DbfTable::builtIndex(int lookup)
{
    if (m_state == State::Edit)
        postPending();
    Index& index = m_indexes.at(size_t(lookup));
    if (!index.built) {
        index.firstRow.clear();
        for (qint64 row = nextLive(0); row < m_count; row = nextLive(row + 1))
            keepFirst(index.firstRow, keyOf(row, index.fields), row);
        index.built = true;
    }
    return index;
}

bool DbfTable::locateKey(Index& index, const QByteArray& key)
{
    const auto row = index.firstRow.constFind(key);
    if (row == index.firstRow.cend())
        return false;
    m_current = *row;
    return true;
}

bool DbfTable::locateStored(int lookup, QByteArrayView stored)
{
    Index& index = builtIndex(lookup);
    if (index.fields.size() != 1)
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
    Index& index = builtIndex(lookup);
    if (index.fields.size() != size_t(values.size()))
        throw RunError(QStringLiteral("Búsqueda mal formada en la tabla %1").arg(tableName()));
    QByteArray key;
    for (qsizetype i = 0; i < values.size(); ++i) {
        QString value = values.at(i);
        // Stored values are blank-padded, so trailing blanks of a searched value cannot tell rows apart.
        while (value.endsWith(u' '))
            value.chop(1);
        const QByteArray part = keyPart(index.fields[size_t(i)], value);
        if (part.isNull())
            return false;
        appendKeyPart(key, part, values.size() > 1);
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
