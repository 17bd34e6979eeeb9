// libFuzzer target: parses any bytes as a dBase header and reads each described field of each row
// from the bytes alone, then opens the same bytes as a table file and reads every field of every
// row through the table.
#include "platform/dbf_header.h"
#include "platform/dbf_table.h"
#include "platform/dbf_values.h"
#include "platform/error.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

namespace {
// The pure byte functions, without a file.
void readBytes(QByteArrayView bytes)
{
    using namespace quintaro::dbf;
    try {
        const Header header = parseHeader(bytes, bytes.size());
        const quintaro::CodePage codePage = quintaro::CodePage::forLanguageDriver(header.languageDriver);
        for (quint32 row = 0; row < header.rowCount; ++row) {
            const QByteArrayView record
                = bytes.sliced(header.headerLength + qsizetype(row) * header.recordLength, header.recordLength);
            for (const Field& field : header.fields) {
                try {
                    (void)textOf(record.sliced(field.offset, field.length), field, header.level7, codePage);
                } catch (const ValueError&) {
                } catch (const quintaro::RunError&) {
                }
            }
        }
    } catch (const HeaderError&) {
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    readBytes(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    try {
        quintaro::DbfTable table(device, QStringLiteral("SOLUC.DBF"), QStringLiteral("¿la ha escrito Velmora?"));
        const int fields = int(table.fields().size());
        for (table.first(); !table.eof(); table.next())
            for (int f = 0; f < fields; ++f) {
                (void)table.text(f);
                try {
                    (void)table.whole(f);
                } catch (const quintaro::RunError&) {
                }
            }
        if (fields > 0)
            table.locate(table.fields().front().name, {QStringLiteral("X")});
    } catch (const quintaro::RunError&) {
    }
    return 0;
}
