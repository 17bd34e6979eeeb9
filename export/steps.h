#pragma once

#include "export/export_context.h"

// The seven conversion steps of the export run, called in this order.
namespace quintaro {

void ExportarMaterias(ExportContext& ctx); // ASIGNOMT from the subjects
void ExportarTareas(ExportContext& ctx); // the tasks, appended to ASIGNOMT
void ExportarProfesores(ExportContext& ctx); // PROFT
void ExportarAulas(ExportContext& ctx); // AULAT
void ExportarMarcos(ExportContext& ctx); // DIASHORAST, and the chosen frames
void ExportarGrupos(ExportContext& ctx); // GRUPOST
void ExportarSesiones(ExportContext& ctx); // ASIGT

} // namespace quintaro
