#include "platform/dbf_header.h"

#include <QtEndian>

#include <cstring>

namespace quintaro::dbf {

namespace {
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

int widthOf(const FieldSpec& declared)
{
    switch (declared.kind) {
    case FieldKind::String:
        return declared.width;
    case FieldKind::Boolean:
        return 1;
    case FieldKind::Integer:
        return kIntegerWidth;
    case FieldKind::Float:
        return kFloatWidth;
    }
    return 0;
}

void writeDate(char* header, QDate today)
{
    header[kDateOffset] = char(today.year() - 1900);
    header[kDateOffset + 1] = char(today.month());
    header[kDateOffset + 2] = char(today.day());
}

[[noreturn]] void fail(const QString& reason) { throw HeaderError{reason}; }
} // namespace

Header parseMainHeader(QByteArrayView bytes)
{
    if (bytes.size() < kHeaderSize)
        fail(QStringLiteral("la cabecera está incompleta"));
    Header h;
    h.version = static_cast<std::uint8_t>(bytes[kVersionOffset]);
    // Levels III to V and FoxPro keep the level in the low bits as 3 (or FoxPro's own values);
    // level 7 has 4 there and a longer header with 48-byte descriptors.
    h.level7 = (h.version & 0x07) == 4;
    h.languageDriver = static_cast<std::uint8_t>(bytes[kLanguageDriverOffset]);
    h.rowCount = qFromLittleEndian<quint32>(bytes.data() + kRowCountOffset);
    h.headerLength = qFromLittleEndian<quint16>(bytes.data() + kHeaderLengthOffset);
    h.recordLength = qFromLittleEndian<quint16>(bytes.data() + kRecordLengthOffset);
    return h;
}

Header parseHeader(QByteArrayView bytes, qint64 fileSize)
{
    Header h = parseMainHeader(bytes);
    const Layout& layout = h.level7 ? kLevel7Layout : kLevel3Layout;
    if (h.headerLength < layout.headerSize + 1 || h.headerLength > fileSize)
        fail(QStringLiteral("la longitud de la cabecera (%1) no cuadra con el archivo").arg(h.headerLength));
    if (h.recordLength < 1)
        fail(QStringLiteral("la longitud de registro es 0"));
    if (bytes.size() < h.headerLength)
        fail(QStringLiteral("la cabecera está incompleta"));

    int offset = 1;
    int pos = layout.headerSize;
    bool terminated = false;
    while (pos < h.headerLength) {
        if (bytes[pos] == kHeaderTerminator) {
            terminated = true;
            break;
        }
        if (pos + layout.descriptorSize > h.headerLength)
            break;
        const char* d = bytes.data() + pos;
        Field field;
        field.name = QString::fromLatin1(d, qstrnlen(d, uint(layout.nameBytes))).trimmed().toUpper();
        field.type = d[layout.typeOffset];
        field.length = static_cast<unsigned char>(d[layout.lengthOffset]);
        field.decimals = static_cast<unsigned char>(d[layout.decimalsOffset]);
        // FoxPro and Clipper keep wide character fields' high length byte in the decimals byte.
        if (field.type == 'C' && !h.level7 && field.decimals > 0
            && (h.version == 0x30 || h.version == 0x31 || h.version == 0xF5))
            field.length += field.decimals * 256, field.decimals = 0;
        if (field.length == 0)
            fail(QStringLiteral("el campo %1 tiene longitud 0").arg(field.name));
        field.offset = offset;
        offset += field.length;
        h.fields.push_back(field);
        pos += layout.descriptorSize;
    }
    if (!terminated)
        fail(QStringLiteral("la lista de campos no termina"));
    if (offset > h.recordLength)
        fail(QStringLiteral("los campos ocupan %1 bytes y el registro solo %2").arg(offset).arg(h.recordLength));
    const qint64 room = (fileSize - h.headerLength) / h.recordLength;
    if (qint64(h.rowCount) > room)
        fail(QStringLiteral("la cabecera anuncia %1 filas y el archivo solo contiene %2; el archivo está dañado")
                 .arg(h.rowCount)
                 .arg(room));
    return h;
}

QByteArray encodeHeader(const std::vector<FieldSpec>& fields, QDate today)
{
    bool level7 = false;
    for (const FieldSpec& declared : fields)
        level7 = level7 || declared.name.size() > kMaxLevel4NameLength;
    const Layout& layout = level7 ? kLevel7Layout : kLevel3Layout;

    int recordLength = 1;
    QByteArray descriptors;
    for (const FieldSpec& declared : fields) {
        const QByteArray name = declared.name.toUpper().toLatin1();
        const int width = widthOf(declared);
        if (name.isEmpty() || name.size() > layout.maxNameLength || width < 1 || width > kMaxFieldWidth)
            fail(QStringLiteral("el campo %1 no es válido").arg(declared.name));
        QByteArray d(layout.descriptorSize, '\0');
        std::memcpy(d.data(), name.constData(), size_t(name.size()));
        d[layout.typeOffset] = typeOf(declared.kind);
        d[layout.lengthOffset] = char(width);
        d[layout.decimalsOffset] = char(declared.kind == FieldKind::Float ? kFloatDecimals : 0);
        descriptors += d;
        recordLength += width;
    }
    const int headerLength = layout.headerSize + int(descriptors.size()) + 1;

    QByteArray header(layout.headerSize, '\0');
    header[kVersionOffset] = char(level7 ? kVersionDbase7 : kVersionDbase3);
    writeDate(header.data(), today);
    qToLittleEndian<quint16>(quint16(headerLength), header.data() + kHeaderLengthOffset);
    qToLittleEndian<quint16>(quint16(recordLength), header.data() + kRecordLengthOffset);
    header[kLanguageDriverOffset] = char(kLanguageDriverAnsi);
    if (level7)
        std::memcpy(header.data() + kLevel7LanguageDriverNameOffset, kLevel7LanguageDriverName,
                    sizeof kLevel7LanguageDriverName - 1);
    return header + descriptors + kHeaderTerminator;
}

void stampHeader(char* mainHeader, quint32 rowCount, QDate today)
{
    writeDate(mainHeader, today);
    qToLittleEndian<quint32>(rowCount, mainHeader + kRowCountOffset);
}

} // namespace quintaro::dbf
