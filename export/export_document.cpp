#include "export/export_document.h"

namespace quintaro {

namespace {
using namespace paths;

// What each kept path gives: text, attributes, or only its count and its children's parent
// positions. The time frames and their periods, which the frame dialog reads too:
const std::vector<CaptureRequest> kTimeFramePaths = {
    {kMarcos, false, true},      {kTramos, false, false},      {kTramoSubmarco, true, false}, {kTramoDia, true, false},
    {kTramoIndice, true, false}, {kTramoEntrada, true, false}, {kTramoSalida, true, false},   {kTramoTipo, true, false},
};
// and the rest of what the steps read.
const std::vector<CaptureRequest> kOtherStepPaths = {
    {kMaterias, true, false},
    {kTareas, true, false},
    {kProfesores, false, false},
    {kProfesorNombre, true, false},
    {kProfesorNombreCompleto, true, false},
    {kAulas, false, false},
    {kAulaNombre, true, false},
    {kAulasGenericas, false, true},
    {kGrupos, false, true},
    {kGrupoNombre, true, false},
    {kGrupoNivel, true, false},
    {kGrupoCurso, true, false},
    {kGrupoUnidad, true, false},
    {kSesiones, false, true},
    {kSesionMateria, true, false},
    {kSesionProfesor, true, false},
    {kSesionGrupo, true, false},
    {kSesionTarea, true, false},
    {kSesionDistribucion, false, false},
    {kSesionDistribucionVariable, false, false},
    {kSesionHoras, true, false},
};
} // namespace

const std::vector<CaptureRequest>& ExportDocument::keptPaths()
{
    static const std::vector<CaptureRequest> all = [] {
        std::vector<CaptureRequest> paths = kTimeFramePaths;
        paths.insert(paths.end(), kOtherStepPaths.begin(), kOtherStepPaths.end());
        return paths;
    }();
    return all;
}

ExportDocument ExportDocument::loadTimeFrames(const QString& path)
{
    return ExportDocument(XmlCapture::load(path, kTimeFramePaths));
}

ExportDocument ExportDocument::parse(const QByteArray& content, const QString& name)
{
    return ExportDocument(XmlCapture::parse(content, keptPaths(), name));
}

} // namespace quintaro
