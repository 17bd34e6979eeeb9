#include "export/export_run.h"

namespace quintaro {

ChosenFrames runExportSteps(const XmlDocument& doc, TableOutput& out, const FrameChooser& choose)
{
    QString& step = out.report().failedStep;
    SubjectLists lists; // each run starts with empty lists, even after a run that failed half-way
    LessonSources sources;

    step = QStringLiteral("ExportarMaterias (asignaturas)");
    ExportarMaterias(doc, out, lists, sources.subjects);
    step = QStringLiteral("ExportarTareas (tareas)");
    ExportarTareas(doc, out, lists, sources.subjects);
    step = QStringLiteral("ExportarProfesores (profesores)");
    sources.teachers = ExportarProfesores(doc, out);
    step = QStringLiteral("ExportarAulas (aulas)");
    ExportarAulas(doc, out);
    step = QStringLiteral("ExportarMarcos (marcos horarios)");
    const ChosenFrames frames = ExportarMarcos(doc, out, choose);
    step = QStringLiteral("ExportarGrupos (grupos)");
    sources.groups = ExportarGrupos(doc, out, frames);
    step = QStringLiteral("ExportarSesiones (sesiones lectivas)");
    ExportarSesiones(doc, out, sources);
    step.clear();
    return frames;
}

} // namespace quintaro
