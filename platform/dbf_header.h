#pragma once

#include "platform/dbf_format.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <vector>

// The header of a dBase table as bytes: parsed into a struct and made from field specifications.
// Pure functions, no files, so they can be tested and fuzzed on bytes alone.
namespace quintaro::dbf {

// One field as the header describes it.
struct Field {
    QString name; // upper case, trailing blanks and NULs removed
    char type = 'C';
    int length = 0;
    int decimals = 0;
    int offset = 0; // within the record, after the deletion flag
};

struct Header {
    std::uint8_t version = kVersionDbase3;
    bool level7 = false;
    std::uint8_t languageDriver = 0; // levels III to V; level 7 names its set instead
    quint32 rowCount = 0;
    int headerLength = 0; // bytes before the first record
    int recordLength = 0; // including the deletion flag
    std::vector<Field> fields;
};

// Why a header cannot be read, in Spanish ("la cabecera está incompleta").
struct HeaderError {
    QString reason;
};

// The main header's fixed part: enough to know how long the whole header is. Raises a HeaderError
// when fewer than kHeaderSize bytes are given.
Header parseMainHeader(QByteArrayView bytes);
// The whole header (`bytes` holds at least Header::headerLength bytes, as parseMainHeader read it),
// checked against the file's size: a header longer than the file, fields that pass the record,
// more rows announced than the file holds. Raises a HeaderError.
Header parseHeader(QByteArrayView bytes, qint64 fileSize);

// The header of an empty table with these fields, up to and including the field list's terminator:
// level 7 when a name needs it, level III otherwise, Windows-1252, dated `today`. Raises a
// HeaderError naming a field that no level can hold.
QByteArray encodeHeader(const std::vector<FieldSpec>& fields, QDate today);

// Sets the date and the row count of a main header in place.
void stampHeader(char* mainHeader, quint32 rowCount, QDate today);

} // namespace quintaro::dbf
