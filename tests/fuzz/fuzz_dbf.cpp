// libFuzzer target: opens any bytes as a dBase table and reads every field of every row.
#include "platform/dbf_table.h"
#include "platform/error.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SOLUC.DBF"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    try {
        quintaro::DbfTable table(path, quintaro::DbfTable::Access::Exclusive,
                                 QStringLiteral("¿la ha escrito Velmora?"));
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
