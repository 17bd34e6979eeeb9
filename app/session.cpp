#include "app/session.h"

#include "app/run_ui.h"
#include "export/steps.h"
#include "import/import_run.h"
#include "platform/error.h"

#include <QFileInfo>

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

struct Step {
    const char* name;
    void (*run)(ExportContext&);
};
constexpr Step kSteps[] = {
    {"ExportarMaterias (asignaturas)", ExportarMaterias},       {"ExportarTareas (tareas)", ExportarTareas},
    {"ExportarProfesores (profesores)", ExportarProfesores},    {"ExportarAulas (aulas)", ExportarAulas},
    {"ExportarMarcos (marcos horarios)", ExportarMarcos},       {"ExportarGrupos (grupos)", ExportarGrupos},
    {"ExportarSesiones (sesiones lectivas)", ExportarSesiones},
};
} // namespace

Session::Session(const QStringList& parameters) : m_parameters(parameters)
{
    if (parameters.size() == 2)
        modoAutomatico = 2;
}

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
        filenameXML = *chosen;
    if (!filenameXML.isEmpty() && QFileInfo(filenameXML).isFile())
        return true;
    ui.inform(missingMessage);
    if (isAutomatic())
        estadoTransformado = -1;
    return false;
}

Session::Outcome Session::failed(RunUi& ui, const QString& message)
{
    components.closeAll();
    ui.showError(text::withFullStop(message));
    return Outcome::Failed;
}

Session::Outcome Session::runExport(RunUi& ui)
{
    if (!chooseDocument(ui, kNoExisteArchivo))
        return Outcome::NoDocument;
    m_report = {};
    try {
        xmlDoc.reset();
        xmlDoc.emplace(XmlDocument::load(filenameXML));
        // Refused before any table changes: the steps would otherwise empty the tables of the
        // last run and then find no time frame.
        requireInterchangeRoot(*xmlDoc, filenameXML);
        ui.documentLoaded(*xmlDoc);
        const WorkDir dir = WorkDir::prepare(m_workDirectory);
        {
            BusyCursor busy(ui);
            // Each run starts with empty lists, even after a run that failed half-way.
            codigosUsados.clear();
            nombresVistos.clear();
            ExportContext ctx{*xmlDoc,       dir,           filenameXML, ui,      components,
                              codigosUsados, nombresVistos, frames,      m_report};
            for (const Step& step : kSteps) {
                m_report.failedStep = QString::fromUtf8(step.name);
                step.run(ctx);
            }
            m_report.failedStep.clear();
        }
        estadoTransformado = 1;
        ui.inform(kProcesoFinalizado);
        return Outcome::Finished;
    } catch (const RunError& e) {
        return failed(ui, e.message());
    }
}

Session::Outcome Session::runImport(RunUi& ui)
{
    ui.instruct(kAbrirFicheroImportacion);
    if (!chooseDocument(ui, kNoExisteArchivoXml))
        return Outcome::NoDocument;
    m_report = {};
    try {
        const WorkDir dir = WorkDir::prepare(m_workDirectory);
        {
            BusyCursor busy(ui);
            ImportarSolucion(filenameXML, dir, components, xmlDoc, m_report);
        }
        estadoTransformado = 1;
        ui.inform(kProcesoFinalizado);
        return Outcome::Finished;
    } catch (const RunError& e) {
        return failed(ui, e.message());
    }
}

} // namespace quintaro
