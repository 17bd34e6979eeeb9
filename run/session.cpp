#include "run/session.h"

#include "export/export_run.h"
#include "tables/table_schemas.h"
#include "import/import_run.h"
#include "platform/error.h"
#include "platform/held_work_dir.h"
#include "platform/document_bytes.h"
#include "platform/table_staging.h"
#include "platform/writer_lock.h"
#include "platform/xml_section_save.h"
#include "run/export_record.h"
#include "run/original_names.h"
#include "run/report_text.h"
#include "run/run_ui.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>


namespace quintaro {

namespace {
// The wait cursor while a run works; restored however the run ends.
class BusyCursor {
public:
    explicit BusyCursor(RunUi& ui) : m_ui(ui) { m_ui.setBusy(true); }
    ~BusyCursor() { m_ui.setBusy(false); }

private:
    RunUi& m_ui;
};

QString lowerAsciiLetters(QString s)
{
    for (QChar& c : s)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return s;
}

const QString kTablesUnchanged = QStringLiteral("Las tablas de Velmora no se han cambiado");
} // namespace

const QStringList& exportFileSet()
{
    static const QStringList files = [] {
        QStringList names;
        for (const QString& table : tables::kExportTables)
            names << table + QStringLiteral(".DBF") << table + QStringLiteral(".MDX");
        return names << kExportRecordFile;
    }();
    return files;
}

void restorePreviousExport(const WorkDir& dir) { restorePreviousSet(dir, exportFileSet()); }

Session::Session(const QStringList& parameters) : m_parameters(parameters), m_modoAutomatico(parameters.size() == 2) { }

QString Session::automaticRun() const
{
    if (m_parameters.size() != 2)
        return {};
    const QString word = lowerAsciiLetters(m_parameters.front());
    return word == u"importar" || word == u"exportar" ? word : QString();
}

bool Session::chooseDocument(RunUi& ui, const QString& missingMessage)
{
    if (const auto chosen = ui.chooseDocument())
        m_filenameXML = *chosen;
    if (!m_filenameXML.isEmpty() && QFileInfo(m_filenameXML).isFile())
        return true;
    if (QFileInfo(m_filenameXML).isDir())
        ui.inform(kFolderNotDocument);
    else if (m_filenameXML.isEmpty())
        ui.inform(missingMessage);
    else // both runs say where they looked and what to do, in the same words
        ui.inform(missingMessage + u'\n' + missingDocumentDetail(m_filenameXML));
    if (isAutomatic())
        m_estadoTransformado = -1;
    return false;
}

namespace {
RunResult noDocument()
{
    RunResult result;
    result.outcome = RunOutcome::NoDocument;
    return result;
}

RunResult failed(RunUi& ui, RunResult&& result, const QString& message)
{
    // What the run did before it failed (an interrupted swap it finished) is said as well.
    QStringList said = result.report.workDirNotes;
    said << text::withFullStop(message);
    ui.showError(said.join(u'\n'));
    result.outcome = RunOutcome::Failed;
    return std::move(result);
}

// The working directory of a run, held (locked, an interrupted swap finished) until the run ends;
// one the run made is taken away again unless the run finished.
class RunWorkDir {
public:
    RunWorkDir(const QString& folder, RunReport& report) : m_held(holdWorkDir(folder, true, exportFileSet()))
    {
        report.workDirectory = m_held.dir.path();
        if (!m_held.recovered.isEmpty())
            report.workDirNotes << m_held.recovered;
    }
    ~RunWorkDir()
    {
        if (!m_finished)
            m_held.releaseMadeFolder();
    }
    RunWorkDir(const RunWorkDir&) = delete;
    RunWorkDir& operator=(const RunWorkDir&) = delete;
    const WorkDir& dir() const { return m_held.dir; }
    void finished() { m_finished = true; }

private:
    HeldWorkDir m_held;
    bool m_finished = false;
};
} // namespace

void Session::keepDocumentsUntilExit()
{
    if (m_exportDoc)
        m_exportDoc->keepUntilExit();
}

DocumentCopy& Session::documentCopy()
{
    if (!m_copy || m_copy->path() != m_filenameXML) {
        m_copy.reset();
        m_copy.emplace(m_filenameXML);
    }
    return *m_copy;
}

namespace {
void addPieces(BackgroundDigest& digest, DocumentCopy& copy)
{
    for (const QByteArray& piece : copy.pieces())
        digest.add(piece);
}
} // namespace

DocumentPieces& Session::documentPieces(std::optional<DocumentPieces>& pieces, BackgroundDigest* digest)
{
    if (m_keepBytes) {
        DocumentCopy& copy = documentCopy();
        if (digest)
            addPieces(*digest, copy);
        return pieces.emplace(copy);
    }
    return pieces.emplace(m_filenameXML, [digest](const QByteArray& piece) {
        if (digest)
            digest->add(piece);
    });
}

const ExportDocument& Session::loadForExport(BackgroundDigest* digest)
{
    m_exportDoc.reset();
    {
        std::optional<DocumentPieces> pieces;
        m_exportDoc.emplace(ExportDocument::read(documentPieces(pieces, digest)));
    }
    // Refused before any work: the steps would otherwise write empty tables and then find no
    // time frame.
    requireInterchangeRoot(m_exportDoc->rootName(), m_filenameXML);
    return *m_exportDoc;
}

void Session::exportInto(RunUi& ui, TableOutput& out, RunReport& report)
{
    const ExportDocument& doc = *m_exportDoc;
    const ChosenFrames frames = runExportSteps(doc, out, [&] { return ui.chooseFrames(m_filenameXML, doc); });
    report.chosenFrames = QStringList{frames.marcoXML1, frames.marcoXML2};
    report.chosenFrames.removeAll(QString());
}

void Session::exportTables(RunUi& ui, const QString& folder, RunReport& report)
{
    // The export record's digest is taken on the other core from the pieces the parse reads; a
    // run that stops early does not wait for it.
    BackgroundDigest digest;
    loadForExport(&digest);
    RunWorkDir held(folder, report);
    BusyCursor busy(ui);
    TableStaging staging(held.dir());
    TableOutput out(staging.dir(), held.dir(), report.exported);
    exportInto(ui, out, report);

    ExportRecord record = ExportRecord::of(m_filenameXML, digest.result());
    record.frames = report.chosenFrames;
    writeExportRecord(QDir(staging.dir().path()).filePath(kExportRecordFile), record);
    staging.commit(exportFileSet());
    held.finished();
}

RunResult Session::runExport(RunUi& ui) { return exportTo(ui, m_workDirectory, false); }

RunResult Session::runExportForFet(RunUi& ui, const QString& folder) { return exportTo(ui, folder, true); }

RunResult Session::exportTo(RunUi& ui, const QString& folder, bool forFet)
{
    if (!chooseDocument(ui, kNoExisteArchivo))
        return noDocument();
    RunResult result;
    result.report.exported.forFet = forFet;
    try {
        exportTables(ui, folder, result.report);
    } catch (const UsageError&) {
        throw;
    } catch (const SwapError& e) {
        // The swap's own words say which tables are in place.
        return failed(ui, std::move(result), e.message());
    } catch (const RunCancelled& e) {
        ui.inform(e.message());
        return result;
    } catch (const RunError& e) {
        // Nothing reached the working directory: the staged tables went with the staging folder.
        return failed(ui, std::move(result), text::withFullStop(e.message()) + u' ' + kTablesUnchanged);
    }
    m_estadoTransformado = 1;
    result.outcome = RunOutcome::Finished;
    ui.finished(kProcesoFinalizado, result.report);
    return result;
}

DocumentCheck Session::checkDocument(RunUi& ui)
{
    DocumentCheck check;
    if (!chooseDocument(ui, kNoExisteArchivo)) {
        check.outcome = RunOutcome::NoDocument;
        return check;
    }
    check.report.exported.checkOnly = true;
    try {
        loadForExport();
        auto folder = std::make_unique<QTemporaryDir>(); // nothing of a check is kept
        if (!folder->isValid())
            throw RunError(QStringLiteral("No se puede crear una carpeta temporal para comprobar el documento (%1)")
                               .arg(folder->errorString()));
        const WorkDir dir(folder->path());
        TableOutput out(dir, dir, check.report.exported);
        exportInto(ui, out, check.report);
        check.folder = std::move(folder);
    } catch (const RunCancelled&) {
        throw;
    } catch (const RunError& e) {
        // What stopped the steps themselves (a document that does not parse, no frame).
        check.report.exported.note(Finding::WouldStop, {}, {}, e.message());
    }
    check.outcome = check.report.exported.count(Finding::WouldStop) > 0 ? RunOutcome::Failed : RunOutcome::Finished;
    return check;
}

void Session::importSolution(const WorkDir& dir, RunReport& report)
{
    // One pass over the document, read from disk as it goes, writes the result document and keeps
    // the teachers' and rooms' names as the document wrote them; once it has passed the whole
    // document, the tables are read and the section they make is appended. The document's digest
    // (is it the exported one?) is taken on the other core meanwhile.
    BackgroundDigest digestOfBytes;
    std::optional<DocumentPieces> pieces;
    documentPieces(pieces, &digestOfBytes);
    TableComponents& c = m_components;
    const auto closeAll = qScopeGuard([&c] { c.closeAll(); });
    ImportReport& imported = report.imported;
    std::optional<ExportRecord> record;
    DocumentDigest digest;
    OriginalNamesFound original;
    const QString resultDocument = resultDocumentPath(m_filenameXML);
    const StreamedSave saved = saveWithAppendedMarkup(*pieces, resultDocument, originalNamePaths(),
                                                      [&](const XmlCapture& names) {
        requireInterchangeRoot(names.rootName(), m_filenameXML);
        digest = digestOfBytes.result();
        // Names go back as the document wrote them when it is the exported one.
        record = readExportRecord(dir);
        original = originalNames(dir, names, record && record->isOf(m_filenameXML, digest));
        c.openForImport(dir);
        ImportedSolution solution
            = ImportarSolucion({*c.wwTableSoluc, *c.wwTableAulas, *c.wwTableTramos, *c.wwTableAsig}, original.names);
        c.closeAll();
        imported = std::move(solution.report);
        return std::move(solution.section);
    });
    imported.resultDocument = resultDocument;
    // A document that already holds a horario (a result document chosen again) keeps that
    // section as it is; the time slots go into the one appended now.
    imported.hadSchedule = saved.rootChildren.contains("horario");
    imported.doubts = doubtsAbout(record, m_filenameXML, digest,
                                  QFileInfo(dir.tablePath(QStringLiteral("SOLUC"))).lastModified().toUTC(), imported);
    if (!original.unmapped.isEmpty())
        imported.doubts << QStringLiteral("El documento no es el que se exportó: estos nombres van como los guardó la "
                                          "tabla y Escolaria puede no reconocerlos: %1")
                               .arg(original.unmapped.join(QStringLiteral(", ")));
}

RunResult Session::runImport(RunUi& ui) { return importFrom(ui, m_workDirectory); }

RunResult Session::runImportFrom(RunUi& ui, const QString& folder) { return importFrom(ui, folder); }

RunResult Session::importFrom(RunUi& ui, const QString& folder)
{
    ui.instruct(kAbrirFicheroImportacion);
    if (!chooseDocument(ui, kNoExisteArchivoXml))
        return noDocument();
    RunResult result;
    try {
        // One import at a time writes this result document, from before it reads anything.
        const WriterLock resultWriter(resultDocumentPath(m_filenameXML));
        RunWorkDir held(folder, result.report);
        BusyCursor busy(ui);
        importSolution(held.dir(), result.report);
        held.finished();
    } catch (const RunError& e) {
        return failed(ui, std::move(result), e.message());
    }
    m_estadoTransformado = 1;
    result.outcome = RunOutcome::Finished;
    ui.finished(kProcesoFinalizado, result.report);
    return result;
}

} // namespace quintaro
