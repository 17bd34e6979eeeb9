#pragma once

#include <QString>

#include <cstdint>

// Layout facts of dBase tables, named once.
namespace quintaro::dbf {

constexpr int kHeaderSize = 32; // main header, levels III to V; level 7 begins the same way
constexpr char kHeaderTerminator = 0x0D; // ends the field list
constexpr char kEndOfFile = 0x1A; // after the last record
constexpr char kLiveRecord = ' ';
constexpr char kDeletedRecord = '*';
// Level III/IV keeps a name in 11 bytes: 10 characters and a NUL, or 11 characters filling them,
// which every reader accepts. Longer names need level 7 and its 32-byte name area.
constexpr int kMaxLevel4NameLength = 11;
constexpr int kMaxFieldWidth = 254;

constexpr std::uint8_t kVersionDbase3 = 0x03; // what we write: no memo file
constexpr std::uint8_t kVersionDbase7 = 0x04; // only for tables whose names need it
constexpr char kLevel7LanguageDriverName[] = "DBWINUS0"; // Windows-1252
constexpr std::uint8_t kLanguageDriverAnsi = 0x57; // Windows-1252

constexpr int kIntegerWidth = 11; // fits -2147483648
constexpr int kFloatWidth = 20;
constexpr int kFloatDecimals = 4;

// Where things stand in the header and in each field descriptor of one level. Levels III to V
// and FoxPro share the first; level 7 adds the language-driver name to the header and gives
// names 32 bytes.
struct Layout {
    int headerSize; // main header, before the first descriptor
    int descriptorSize; // one field descriptor
    int nameBytes; // the name area at the start of a descriptor
    int typeOffset; // within a descriptor
    int lengthOffset; // within a descriptor
    int decimalsOffset; // within a descriptor
    int maxNameLength; // what we write: every byte of the name area, or all but a final NUL
};
constexpr Layout kLevel3Layout{32, 32, 11, 11, 16, 17, kMaxLevel4NameLength};
constexpr Layout kLevel7Layout{68, 48, 32, 32, 33, 34, 31};

// Main header offsets, the same at every level.
constexpr int kVersionOffset = 0;
constexpr int kDateOffset = 1; // year - 1900, month, day
constexpr int kRowCountOffset = 4; // 32 bits, little-endian
constexpr int kHeaderLengthOffset = 8; // 16 bits
constexpr int kRecordLengthOffset = 10; // 16 bits
constexpr int kLanguageDriverOffset = 29;
constexpr int kLevel7LanguageDriverNameOffset = 32;

// The field kinds the export run writes.
enum class FieldKind { String, Boolean, Integer, Float };

struct FieldSpec {
    QString name;
    FieldKind kind = FieldKind::String;
    int width = 0; // strings only; the other kinds have fixed widths
};

} // namespace quintaro::dbf
