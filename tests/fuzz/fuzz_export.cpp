// libFuzzer target: loads any bytes as the interchange document and runs the whole export into a
// temporary working directory, always choosing the first listed frame.
#include "fixed_ui.h"
#include "platform/error.h"
#include "run/session.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    FixedUi ui;
    ui.frames = [](const quintaro::ExportDocument& doc) {
        return quintaro::closeSelection(quintaro::frameIdentifiers(doc), {0}).selection;
    };
    ui.document = dir.filePath(QStringLiteral("doc.xml"));
    {
        QFile file(ui.document);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    quintaro::Session session;
    session.setWorkDirectory(dir.filePath(QStringLiteral("VTEMP")));
    session.runExport(ui);
    return 0;
}
