#include "run/session.h"

#include "export/export_run.h"
#include "tables/table_schemas.h"
#include "import/import_run.h"
#include "platform/error.h"
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

#include <future>

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

Session::Outcome Session::failed(RunUi& ui, const QString& message)
{
    // What the run did before it failed (an interrupted swap it finished) is said as well.
    QStringList said = m_report.workDirNotes;
    said << text::withFullStop(message);
    ui.showError(said.join(u'\n'));
    return Outcome::Failed;
}

const WorkDir& Session::holdWorkDirectory()
{
    m_heldDir.reset();
    m_heldDir.emplace(holdWorkDir(m_workDirectory, true, exportFileSet()));
    m_report.workDirectory = m_heldDir->dir.path();
    if (!m_heldDir->recovered.isEmpty())
        m_report.workDirNotes << m_heldDir->recovered;
    return m_heldDir->dir;
}

void Session::releaseWorkDirectory(bool failed)
{
    if (!m_heldDir)
        return;
    // A working directory that a failed run made, and left empty, does not stay behind.
    if (failed)
        m_heldDir->releaseMadeFolder();
    m_heldDir.reset();
}

void Session::keepDocumentsUntilExit()
{
    if (m_exportDoc)
        m_exportDoc->keepUntilExit();
    if (m_xmlDoc)
        m_xmlDoc->keepUntilExit();
}

void Session::exportTables(RunUi& ui)
{
    // The export record hashes the document on the other core while the steps run. A run that
    // stops early stops the hashing too (the guard acts before the future waits for it).
    auto stopHashing = std::make_shared<std::atomic_bool>(false);
    std::future<ExportRecord> recordOfDocument = std::async(
        std::launch::async, [path = m_filenameXML, stopHashing] { return ExportRecord::of(path, stopHashing.get()); });
    const auto stopWhenLeaving = qScopeGuard([&stopHashing] { *stopHashing = true; });
    m_exportDoc.reset();
    m_exportDoc.emplace(ExportDocument::load(m_filenameXML));
    const ExportDocument& doc = *m_exportDoc;
    // Refused before any work: the steps would otherwise write empty tables and then find no
    // time frame.
    requireInterchangeRoot(doc.rootName(), m_filenameXML);
    const WorkDir& dir = holdWorkDirectory();
    BusyCursor busy(ui);
    TableStaging staging(dir);
    TableOutput out(staging.dir(), dir, m_report);
    const ChosenFrames frames = runExportSteps(doc, out, [&] { return ui.chooseFrames(m_filenameXML, doc); });
    m_report.chosenFrames = QStringList{frames.marcoXML1, frames.marcoXML2};
    m_report.chosenFrames.removeAll(QString());

    ExportRecord record = recordOfDocument.get();
    record.time = QDateTime::currentDateTimeUtc();
    record.frames = m_report.chosenFrames;
    writeExportRecord(QDir(staging.dir().path()).filePath(kExportRecordFile), record);
    staging.commit(exportFileSet());
}

Session::Outcome Session::runExport(RunUi& ui)
{
    if (!chooseDocument(ui, kNoExisteArchivo))
        return Outcome::NoDocument;
    m_report = {};
    m_report.forFet = m_forFet;
    try {
        exportTables(ui);
    } catch (const UsageError&) {
        releaseWorkDirectory(true);
        throw;
    } catch (const SwapError& e) {
        // The swap's own words say which tables are in place.
        releaseWorkDirectory(true);
        return failed(ui, e.message());
    } catch (const RunCancelled& e) {
        releaseWorkDirectory(true);
        ui.inform(e.message());
        return Outcome::Failed;
    } catch (const RunError& e) {
        releaseWorkDirectory(true);
        // Nothing reached the working directory: the staged tables went with the staging folder.
        return failed(ui, text::withFullStop(e.message()) + u' ' + kTablesUnchanged);
    }
    releaseWorkDirectory(false);
    m_estadoTransformado = 1;
    ui.finished(kProcesoFinalizado, m_report);
    return Outcome::Finished;
}

Session::Outcome Session::checkDocument(RunUi& ui, const std::function<void(const WorkDir&)>& inspect)
{
    if (!chooseDocument(ui, kNoExisteArchivo))
        return Outcome::NoDocument;
    m_report = {};
    m_report.checkOnly = true;
    try {
        m_exportDoc.reset();
        m_exportDoc.emplace(ExportDocument::load(m_filenameXML));
        const ExportDocument& doc = *m_exportDoc;
        requireInterchangeRoot(doc.rootName(), m_filenameXML);
        const QTemporaryDir scratch; // nothing of a check is kept
        if (!scratch.isValid())
            throw RunError(QStringLiteral("No se puede crear una carpeta temporal para comprobar el documento (%1)")
                               .arg(scratch.errorString()));
        const WorkDir dir(scratch.path());
        TableOutput out(dir, dir, m_report);
        const ChosenFrames frames = runExportSteps(doc, out, [&] { return ui.chooseFrames(m_filenameXML, doc); });
        m_report.chosenFrames = QStringList{frames.marcoXML1, frames.marcoXML2};
        m_report.chosenFrames.removeAll(QString());
        if (inspect)
            inspect(dir);
    } catch (const RunCancelled&) {
        throw;
    } catch (const RunError& e) {
        // What stopped the steps themselves (a document that does not parse, no frame).
        m_report.note(Finding::WouldStop, {}, {}, e.message());
    }
    return m_report.count(Finding::WouldStop) > 0 ? Outcome::Failed : Outcome::Finished;
}

void Session::importSolution(const WorkDir& dir)
{
    TableComponents& c = m_components;
    const auto closeAll = qScopeGuard([&c] { c.closeAll(); });
    // Names go back as the document wrote them when it is the exported one.
    const std::optional<ExportRecord> record = readExportRecord(dir);
    const OriginalNamesFound original = originalNames(dir, m_filenameXML, record && record->isOf(m_filenameXML));
    c.openForImport(dir);
    ImportedSolution solution
        = ImportarSolucion({*c.wwTableSoluc, *c.wwTableAulas, *c.wwTableTramos, *c.wwTableAsig}, original.names);
    // The tables' rows leave memory before the document's tree comes.
    c.closeAll();
    static_cast<ImportReport&>(m_report) = std::move(solution.report);
    saveResultDocument(solution.section);
    m_report.doubts = doubtsAbout(record, m_filenameXML,
                                  QFileInfo(dir.tablePath(QStringLiteral("SOLUC"))).lastModified().toUTC(), m_report);
    if (!original.unmapped.isEmpty())
        m_report.doubts << QStringLiteral("El documento no es el que se exportó: estos nombres van como los guardó la "
                                          "tabla y Escolaria puede no reconocerlos: %1")
                               .arg(original.unmapped.join(QStringLiteral(", ")));
}

void Session::saveResultDocument(QByteArrayView section)
{
    m_xmlDoc.reset();
    m_xmlDoc.emplace(XmlDocument::load(m_filenameXML));
    XmlDocument& doc = *m_xmlDoc;
    requireInterchangeRoot(doc.root().name(), m_filenameXML);
    // A document that already holds a horario (a result document chosen again) keeps that
    // section as it is; the time slots go into the one appended now.
    m_report.hadSchedule = !doc.root().firstChild("horario").isNull();
    m_report.resultDocument = resultDocumentPath(m_filenameXML);
    saveWithAppendedMarkup(doc, m_report.resultDocument, section);
}

Session::Outcome Session::runImport(RunUi& ui)
{
    ui.instruct(kAbrirFicheroImportacion);
    if (!chooseDocument(ui, kNoExisteArchivoXml))
        return Outcome::NoDocument;
    m_report = {};
    try {
        // One import at a time writes this result document, from before it reads anything.
        const WriterLock resultWriter(resultDocumentPath(m_filenameXML));
        const WorkDir& dir = holdWorkDirectory();
        BusyCursor busy(ui);
        importSolution(dir);
    } catch (const RunError& e) {
        releaseWorkDirectory(true);
        return failed(ui, e.message());
    }
    releaseWorkDirectory(false);
    m_estadoTransformado = 1;
    ui.finished(kProcesoFinalizado, m_report);
    return Outcome::Finished;
}

} // namespace quintaro
