// Tables written by other programs (tests/data/dbase, made by tools/dbase_fixtures.sh): a dBase
// III from GDAL in Windows-1252 and in code page 850, and from python-dbf a Visual FoxPro table in
// Windows-1252 and a dBase III in code page 437, each with accents, numbers, logicals and one
// deleted row. Read from the file and from memory alike.

#include "platform/dbf_table.h"
#include "test_support.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace quintaro;
using namespace quintaro::test;

namespace {
QString fixture(const char* name) { return QStringLiteral(QUINTARO_SOURCE_DIR "/tests/data/dbase/") + QLatin1StringView(name); }

// Every live row, the fields by name joined with '|'.
QStringList rowsOf(DbfTable& table, const QStringList& fields)
{
    std::vector<int> at;
    for (const QString& f : fields)
        at.push_back(table.fieldIndex(f));
    QStringList rows;
    for (table.first(); !table.eof(); table.next()) {
        QStringList values;
        for (int f : at)
            values << table.text(f);
        rows << values.join(u'|');
    }
    return rows;
}
} // namespace

TEST(DbaseFromOtherPrograms, ReadRightFromFileAndMemory)
{
    const struct {
        const char* file;
        QStringList fields;
        QStringList rows;
    } cases[] = {
        {"gdal_dbase3.dbf",
         {"COD", "NOMBRE", "HORAS", "NOTA", "ACTIVA"},
         {"MAT|Matemáticas|4|7.25|1", "FRA|Français|2|0|1", "ALE|Alemán – opción|1|10.125|0"}},
        {"gdal_dbase3_cp850.dbf",
         {"COD", "NOMBRE", "HORAS", "NOTA", "ACTIVA"},
         {"MAT|Matemáticas|4|7.25|1", "FRA|Français|2|0|1", "ALE|Alemán y opción|1|10.125|0"}},
        // An unknown logical ('?') reads as no value; a date as its stored digits, an empty one empty.
        {"pydbf_foxpro.dbf",
         {"COD", "NOMBRE", "HORAS", "NOTA", "ACTIVA", "ALTA"},
         {"MAT|Matemáticas|4|7.25|T|20260901", "FRA|Français|2|0|T|", "ALE|Alemán opción|1|10.125||20270131"}},
        {"pydbf_dbase3_cp437.dbf",
         {"COD", "NOMBRE", "HORAS", "NOTA", "ACTIVA", "ALTA"},
         {"MAT|Matemáticas|4|7.25|T|20260901", "FRA|Français|2|0|T|", "ALE|Alemán opción|1|10.125||20270131"}},
    };
    for (const auto& c : cases) {
        DbfTable fromFile(fixture(c.file), DbfTable::Access::Shared);
        EXPECT_EQ(fromFile.liveRowCount(), 3) << c.file;
        EXPECT_EQ(rowsOf(fromFile, c.fields), c.rows) << c.file;

        QByteArray bytes = readFile(fixture(c.file));
        QBuffer device(&bytes);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        DbfTable fromMemory(device, QString::fromLatin1(c.file));
        EXPECT_EQ(rowsOf(fromMemory, c.fields), c.rows) << c.file;
        EXPECT_EQ(fromMemory.tableName(), QString::fromLatin1(c.file).section(u'.', 0, 0).toUpper());
    }
}

// A table read from memory is for reading: a change is refused, and the bytes stay as they were.
TEST(DbaseFromOtherPrograms, ATableFromMemoryIsReadOnly)
{
    QByteArray bytes = readFile(fixture("gdal_dbase3.dbf"));
    const QByteArray before = bytes;
    QBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    DbfTable table(device, QStringLiteral("ESCUELA.DBF"));
    EXPECT_TRUE(failsSaying([&] { table.edit(); }, {QStringLiteral("solo lectura"), QStringLiteral("ESCUELA")}));
    EXPECT_TRUE(failsSaying([&] { table.append(); }, {QStringLiteral("solo lectura")}));
    table.close();
    EXPECT_EQ(bytes, before);
}
