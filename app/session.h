#pragma once

#include "export/export_context.h"
#include "platform/table_components.h"
#include "platform/text.h"
#include "platform/xml_document.h"

#include <QStringList>

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
    bool isAutomatic() const { return modoAutomatico == 2; }

    Outcome runExport(RunUi& ui); // BExportarClick
    Outcome runImport(RunUi& ui); // BImportarClick

    const RunReport& report() const { return m_report; }
    // Where the tables are; empty means the default working directory.
    void setWorkDirectory(const QString& path) { m_workDirectory = path; }

    // Main window state.
    QString filenameXML;
    int modoAutomatico = 0;
    int estadoTransformado = 0;
    std::optional<XmlDocument> xmlDoc;
    UsedCodes codigosUsados;
    text::CaselessList nombresVistos;
    FrameState frames;
    TableComponents components;

private:
    // Shows the file dialog and checks the file; false (after the message) when there is none.
    bool chooseDocument(RunUi& ui, const QString& missingMessage);
    Outcome failed(RunUi& ui, const QString& message);

    QStringList m_parameters;
    QString m_workDirectory;
    RunReport m_report;
};

inline const QString kProcesoFinalizado = QStringLiteral("Proceso finalizado");
inline const QString kNoExisteArchivo = QStringLiteral("No existe archivo");
inline const QString kNoExisteArchivoXml = QStringLiteral("No existe archivo XML.");
inline const QString kAbrirFicheroImportacion
    = QStringLiteral("Deberá Abrir el fichero XML de ESCOLARIA,\r\ndesde el cual realizó la Importación a Velmora");

} // namespace quintaro
