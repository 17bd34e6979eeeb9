// libFuzzer target: the import run over any bytes as SOLUC, beside the tables of an export of the
// sample school made once.
#include "fixed_ui.h"
#include "run/session.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
struct Prepared {
    QTemporaryDir dir;
    QString vtemp = dir.filePath(QStringLiteral("VTEMP"));
    FixedUi ui;
    Prepared()
    {
        ui.frames = [](const quintaro::ExportDocument&) {
            return quintaro::FrameSelection{true, QStringLiteral("M         T         ")};
        };
        ui.document = dir.filePath(QStringLiteral("escuela.xml"));
        QFile::copy(
            QString::fromLocal8Bit(std::getenv("QUINTARO_SAMPLE") ? std::getenv("QUINTARO_SAMPLE") : QUINTARO_SAMPLE),
            ui.document);
        quintaro::Session session;
        session.setWorkDirectory(vtemp);
        if (session.runExport(ui).outcome != quintaro::Session::Outcome::Finished)
            std::abort();
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Prepared prepared;
    {
        QFile file(prepared.vtemp + QStringLiteral("/SOLUC.DBF"));
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    quintaro::Session session;
    session.setWorkDirectory(prepared.vtemp);
    session.runImport(prepared.ui);
    return 0;
}
