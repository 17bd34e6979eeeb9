#pragma once

#include <QString>

#include <cstdint>

// Layout facts of dBase tables, named once.
namespace quintaro::dbf {

constexpr int kHeaderSize = 32; // main header, levels III to V
constexpr int kLevel7HeaderSize = 68; // main header with the language-driver name
constexpr int kDescriptorSize = 32; // field descriptor, levels III to V
constexpr int kLevel7DescriptorSize = 48; // field descriptor, level 7
constexpr char kHeaderTerminator = 0x0D; // ends the field list
constexpr char kEndOfFile = 0x1A; // after the last record
constexpr char kLiveRecord = ' ';
constexpr char kDeletedRecord = '*';
// Level III/IV keeps a name in 11 bytes: 10 characters and a NUL, or 11 characters filling them,
// which every reader accepts. Longer names need level 7 and its 32-byte name area.
constexpr int kMaxLevel4NameLength = 11;
constexpr int kMaxLevel7NameLength = 31;
constexpr int kMaxFieldWidth = 254;

constexpr std::uint8_t kVersionDbase3 = 0x03; // what we write: no memo file
constexpr std::uint8_t kVersionDbase7 = 0x04; // only for tables whose names need it
constexpr char kLevel7LanguageDriverName[] = "DBWINUS0"; // Windows-1252
constexpr std::uint8_t kLanguageDriverAnsi = 0x57; // Windows-1252

constexpr int kIntegerWidth = 11; // fits -2147483648
constexpr int kFloatWidth = 20;
constexpr int kFloatDecimals = 4;

// The field kinds the export run writes.
enum class FieldKind { String, Boolean, Integer, Float };

struct FieldSpec {
    QString name;
    FieldKind kind = FieldKind::String;
    int width = 0; // strings only; the other kinds have fixed widths
};

} // namespace quintaro::dbf
