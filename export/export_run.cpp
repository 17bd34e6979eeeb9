#include "export/export_run.h"

namespace quintaro {

ChosenFrames runExportSteps(const ExportDocument& doc, TableOutput& out, const FrameChooser& choose)
{
    QString& step = out.report().failedStep;
    SubjectLists lists; // each run starts with empty lists, even after a run that failed half-way
    LessonSources sources;

    step = QStringLiteral("las asignaturas (tabla ASIGNOMT)");
    ExportarMaterias(doc, out, lists, sources.subjects);
    step = QStringLiteral("las tareas (tabla ASIGNOMT)");
    ExportarTareas(doc, out, lists, sources.subjects);
    step = QStringLiteral("los profesores (tabla PROFT)");
    sources.teachers = ExportarProfesores(doc, out);
    step = QStringLiteral("las aulas (tabla AULAT)");
    ExportarAulas(doc, out);
    step = QStringLiteral("los marcos horarios (tabla DIASHORAST)");
    const ChosenFrames frames = ExportarMarcos(doc, out, choose);
    step = QStringLiteral("los grupos (tabla GRUPOST)");
    ExportedGroups groups = ExportarGrupos(doc, out, frames);
    sources.groups = std::move(groups.rows);
    sources.groupsOfOtherFrames = std::move(groups.ofOtherFrames);
    step = QStringLiteral("las sesiones lectivas (tabla ASIGT)");
    ExportarSesiones(doc, out, sources);
    step.clear();
    return frames;
}

} // namespace quintaro
