// libFuzzer target: loads any bytes as the interchange document and runs the whole export into a
// temporary working directory, always choosing the first listed frame. The streaming pass must
// keep exactly what the tree selects, or refuse the document with the tree's own message.
#include "fixed_ui.h"
#include "platform/error.h"
#include "run/session.h"
#include "xml_tree.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
using quintaro::ExportDocument;

template <typename Parse> QString messageOf(Parse parse)
{
    try {
        parse();
    } catch (const quintaro::RunError& e) {
        return e.message();
    }
    return {};
}

void requireStreamingAsTree(const QByteArray& xml)
{
    std::optional<ExportDocument> streamed, tree;
    const QString streamError = messageOf([&] { streamed.emplace(ExportDocument::parse(xml)); });
    const QString treeError = messageOf([&] { tree.emplace(quintaro::test::exportDocumentFromTree(quintaro::XmlDocument::parse(xml))); });
    bool same = streamError == treeError && streamed.has_value() == tree.has_value();
    if (same && streamed) {
        same = streamed->rootName() == tree->rootName();
        for (const quintaro::CaptureRequest& kept : ExportDocument::keptPaths())
            same = same && streamed->select(kept.path.constData()) == tree->select(kept.path.constData());
    }
    if (!same) {
        std::fprintf(stderr, "streaming and tree differ: '%s' / '%s'\n", qPrintable(streamError),
                     qPrintable(treeError));
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    requireStreamingAsTree(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
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
