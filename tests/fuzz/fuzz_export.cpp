// libFuzzer target: loads any bytes as the interchange document and runs the whole export into a
// temporary working directory, always choosing the first listed frame.
#include "app/run_ui.h"
#include "app/session.h"
#include "platform/error.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {
class FirstFrameUi : public quintaro::RunUi {
public:
    QString document;
    std::optional<QString> chooseDocument() override { return document; }
    void inform(const QString&) override {}
    void showError(const QString&) override {}
    void setBusy(bool) override {}
    quintaro::FrameSelection chooseFrames(const QString&, const quintaro::XmlDocument& doc) override
    {
        return quintaro::closeSelection(quintaro::frameIdentifiers(doc), {0}).selection;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    FirstFrameUi ui;
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
