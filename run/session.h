#pragma once

#include "export/export_document.h"
#include "export/table_output.h"
#include "platform/document_bytes.h"
#include "run/run_report.h"
#include "run/table_components.h"

#include <QDir>
#include <QStringList>

#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace quintaro {

class RunUi;
class BackgroundDigest;

// A check of the document: what the export would find, and the tables it would write, in a
// temporary folder that goes with this value.
struct DocumentCheck : RunResult {
    std::unique_ptr<QTemporaryDir> folder; // none when the steps stopped before the end
    WorkDir tables() const { return WorkDir(folder ? folder->path() : QString()); }
};

// The state the main window keeps between runs (the chosen document, the result code), and the
// runs themselves, each returning what it did. The window and the command line both drive a
// Session; it speaks to the user only through a RunUi.
class Session {
public:
    using Outcome = RunOutcome;

    // The window's creation: `parameters` are the command-line parameters after the program's
    // name; exactly two select automatic mode.
    explicit Session(const QStringList& parameters = {});

    // "exportar" or "importar" when automatic mode names a run (the first parameter lowered in
    // A to Z only, nothing trimmed), otherwise empty.
    QString automaticRun() const;
    bool isAutomatic() const { return m_modoAutomatico; }

    // BExportarClick: the six tables are written beside the working directory and replace its
    // tables only when every step has finished; the replaced ones are kept as the previous set.
    // A UsageError from the RunUi (a frame choice the command line refuses) passes through.
    RunResult runExport(RunUi& ui);
    // The same export into `folder` (a FET run's own), its report saying the tables are for FET.
    RunResult runExportForFet(RunUi& ui, const QString& folder);
    // BImportarClick.
    RunResult runImport(RunUi& ui);
    // The same import from the tables in `folder` (a FET run's own, its SOLUC from FET).
    RunResult runImportFrom(RunUi& ui, const QString& folder);
    // Reads the document as the export would and notes every problem at once (what would stop the
    // export included, as WouldStop findings), writing nothing anywhere: the tables are made in a
    // temporary folder that the result holds. Finished when the export would succeed, Failed when
    // it would stop.
    DocumentCheck checkDocument(RunUi& ui);

    // The chosen document, kept between runs.
    const QString& filenameXML() const { return m_filenameXML; }
    // The result code: 0 at start, 1 after a finished run, -1 for a missing document in
    // automatic mode.
    int estadoTransformado() const { return m_estadoTransformado; }
    // Where runExport and runImport find the tables; empty means the default working directory.
    void setWorkDirectory(const QString& path) { m_workDirectory = path; }
    // For a program about to exit: the last run's document is left for the system to reclaim,
    // which for a large document saves a noticeable part of the run.
    void keepDocumentsUntilExit();
    // The runs that follow take the document's bytes from the first one's read, as long as the
    // same document is chosen (a FET run's exports and import), held in memory meanwhile;
    // otherwise each run reads it once, piece by piece, as it parses.
    void keepDocumentBytes() { m_keepBytes = true; }
    // What the last export read of the document (the FET runs' file takes the names from it).
    const ExportDocument* exportedDocument() const { return m_exportDoc ? &*m_exportDoc : nullptr; }

private:
    // Shows the file dialog and checks the file; false (after the message) when there is none.
    bool chooseDocument(RunUi& ui, const QString& missingMessage);
    RunResult exportTo(RunUi& ui, const QString& folder, bool forFet);
    RunResult importFrom(RunUi& ui, const QString& folder);
    // The chosen document's bytes, read once for every run that follows (keepDocumentBytes).
    DocumentCopy& documentCopy();
    // The chosen document in pieces, into `pieces`: from those bytes when the session keeps them,
    // otherwise read from disk as the parse goes; each piece also to `digest`.
    DocumentPieces& documentPieces(std::optional<DocumentPieces>& pieces, BackgroundDigest* digest);
    // The document read for an export (each piece also to `digest`), its root checked; it stays
    // loaded (keepDocumentsUntilExit).
    const ExportDocument& loadForExport(BackgroundDigest* digest = nullptr);
    // The steps of that document into `out`, the chosen frames noted: what an export and a check
    // both run.
    void exportInto(RunUi& ui, TableOutput& out, RunReport& report);
    void exportTables(RunUi& ui, const QString& folder, RunReport& report);
    void importSolution(const WorkDir& dir, RunReport& report);

    QStringList m_parameters;
    QString m_workDirectory;
    QString m_filenameXML;
    bool m_modoAutomatico = false;
    int m_estadoTransformado = 0;
    std::optional<DocumentCopy> m_copy; // kept between runs (keepDocumentBytes)
    bool m_keepBytes = false;
    std::optional<ExportDocument> m_exportDoc;
    TableComponents m_components;
};

// The files an export puts in place together: the six tables, their indexes and its record.
const QStringList& exportFileSet();

// Puts back the tables that the last export replaced, keeping the ones they replace so that this
// can be undone the same way. Raises a RunError when there is nothing to put back.
void restorePreviousExport(const WorkDir& dir);

inline const QString kProcesoFinalizado = QStringLiteral("Proceso finalizado");
inline const QString kNoExisteArchivo = QStringLiteral("No existe archivo");
inline const QString kNoExisteArchivoXml = QStringLiteral("No existe archivo XML.");
// The line under either run's "No existe archivo…" when a path was given.
inline QString missingDocumentDetail(const QString& path)
{
    return QStringLiteral("%1 no existe; elija el documento XML que exportó Escolaria.").arg(QDir::toNativeSeparators(path));
}
inline const QString kFolderNotDocument
    = QStringLiteral("Lo elegido es una carpeta, no un documento XML; elija el archivo que exportó Escolaria");
inline const QString kAbrirFicheroImportacion
    = QStringLiteral("Deberá Abrir el fichero XML de ESCOLARIA,\r\ndesde el cual realizó la Importación a Velmora");

} // namespace quintaro
