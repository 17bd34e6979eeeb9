// libFuzzer target: loads any bytes as the interchange document and runs the whole export into a
// temporary working directory, always choosing the first listed frame. The streaming pass must
// keep exactly what the tree selects, or refuse the document with the tree's own message; the
// import's save that writes while it parses must write what the tree's save writes and keep what
// the tree selects.
#include "fixed_ui.h"
#include "platform/document_bytes.h"
#include "platform/error.h"
#include "platform/xml_capture.h"
#include "platform/xml_section_save.h"
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

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void fail(const char* what, const QString& streamError, const QString& treeError)
{
    std::fprintf(stderr, "%s: '%s' / '%s'\n", what, qPrintable(streamError), qPrintable(treeError));
    std::abort();
}

void requireStreamedSaveAsTree(const QString& document)
{
    static QTemporaryDir dir;
    const QString fromTree = dir.filePath(QStringLiteral("arbol.xml"));
    const QString streamed = dir.filePath(QStringLiteral("flujo.xml"));
    QFile::remove(fromTree);
    QFile::remove(streamed);
    std::optional<quintaro::XmlDocument> tree;
    const QString treeError = messageOf([&] {
        tree.emplace(quintaro::XmlDocument::load(document));
        quintaro::saveWithAppendedMarkup(*tree, fromTree, "<horario/>");
    });
    bool keptAsTree = true;
    const QString streamError = messageOf([&] {
        quintaro::DocumentPieces pieces(document);
        quintaro::saveWithAppendedMarkup(pieces, streamed, ExportDocument::keptPaths(),
                                         [&](const quintaro::XmlCapture& kept) {
            const ExportDocument fromTreeLists = quintaro::test::exportDocumentFromTree(*tree);
            for (const quintaro::CaptureRequest& path : ExportDocument::keptPaths())
                keptAsTree = keptAsTree && kept.select(path.path) == fromTreeLists.select(path.path.constData());
            return QByteArray("<horario/>");
        });
    });
    if (streamError != treeError || !keptAsTree || contentOf(streamed) != contentOf(fromTree))
        fail("the save while parsing and the tree's save differ", streamError, treeError);
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
    if (!same)
        fail("streaming and tree differ", streamError, treeError);
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
    requireStreamedSaveAsTree(ui.document);
    quintaro::Session session;
    session.setWorkDirectory(dir.filePath(QStringLiteral("VTEMP")));
    session.runExport(ui);
    return 0;
}
