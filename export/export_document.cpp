#include "export/export_document.h"

namespace quintaro {

// What each kept path gives the steps: text, attributes, or only its count and its children's
// parent positions.
const std::vector<CaptureRequest>& ExportDocument::keptPaths()
{
    using namespace paths;
    static const std::vector<CaptureRequest> wanted = {
        {kMaterias, true, false},
        {kTareas, true, false},
        {kProfesores, false, false},
        {kProfesorNombre, true, false},
        {kProfesorNombreCompleto, true, false},
        {kAulas, false, false},
        {kAulaNombre, true, false},
        {kAulasGenericas, false, true},
        {kMarcos, false, true},
        {kTramos, false, false},
        {kTramoSubmarco, true, false},
        {kTramoDia, true, false},
        {kTramoIndice, true, false},
        {kTramoEntrada, true, false},
        {kTramoSalida, true, false},
        {kTramoTipo, true, false},
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
        {kSesionHoras, true, false},
    };
    return wanted;
}

ExportDocument ExportDocument::load(const QString& path) { return ExportDocument(XmlCapture::load(path, keptPaths())); }

ExportDocument ExportDocument::parse(const QByteArray& content, const QString& name)
{
    return ExportDocument(XmlCapture::parse(content, keptPaths(), name));
}

ExportDocument::ExportDocument(const XmlDocument& tree) : m_capture(XmlCapture::fromTree(tree, keptPaths())) { }

} // namespace quintaro
