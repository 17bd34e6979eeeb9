#pragma once

#include "export/export_document.h"
#include "platform/held_work_dir.h"
#include "platform/xml_document.h"
#include "run/run_report.h"
#include "run/table_components.h"

#include <QDir>
#include <QStringList>

#include <functional>

#include <optional>

namespace quintaro {

class RunUi;

// The state the main window keeps between runs, and the two runs themselves. The window and the
// command line both drive a Session; it speaks to the user only through a RunUi.
class Session {
public:
    enum class Outcome { Finished, NoDocument, Failed };

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
    Outcome runExport(RunUi& ui);
    // BImportarClick.
    Outcome runImport(RunUi& ui);
    // Reads the document as the export would and notes every problem at once (what would stop the
    // export included, as WouldStop findings), writing nothing anywhere: the tables are made in a
    // temporary folder, which `inspect` may read before it goes. Finished when the export would
    // succeed, Failed when it would stop.
    Outcome checkDocument(RunUi& ui, const std::function<void(const WorkDir& tables)>& inspect = {});

    const RunReport& report() const { return m_report; }
    // The chosen document, kept between runs.
    const QString& filenameXML() const { return m_filenameXML; }
    // The result code: 0 at start, 1 after a finished run, -1 for a missing document in
    // automatic mode.
    int estadoTransformado() const { return m_estadoTransformado; }
    // Where the tables are; empty means the default working directory.
    void setWorkDirectory(const QString& path) { m_workDirectory = path; }
    // The next exports make tables for FET, not for Velmora (what the report says of them).
    void setForFet(bool forFet) { m_forFet = forFet; }
    // For a program about to exit: the last run's document is left for the system to reclaim,
    // which for a large document saves a noticeable part of the run.
    void keepDocumentsUntilExit();

private:
    // Shows the file dialog and checks the file; false (after the message) when there is none.
    bool chooseDocument(RunUi& ui, const QString& missingMessage);
    Outcome failed(RunUi& ui, const QString& message);
    void exportTables(RunUi& ui);
    void importSolution(const WorkDir& dir);
    // The chosen document with the section appended, saved beside it; the document stays loaded
    // (keepDocumentsUntilExit).
    void saveResultDocument(QByteArrayView section);
    // The working directory of a run, held (locked, an interrupted swap finished) until the run
    // ends; one the run made is taken away again when the run fails.
    const WorkDir& holdWorkDirectory();
    void releaseWorkDirectory(bool failed);

    QStringList m_parameters;
    QString m_workDirectory;
    QString m_filenameXML;
    bool m_modoAutomatico = false;
    bool m_forFet = false;
    int m_estadoTransformado = 0;
    std::optional<ExportDocument> m_exportDoc;
    std::optional<XmlDocument> m_xmlDoc;
    std::optional<HeldWorkDir> m_heldDir;
    TableComponents m_components;
    RunReport m_report;
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
