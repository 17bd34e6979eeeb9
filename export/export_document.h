#pragma once

#include "platform/xml_capture.h"

// The interchange document as the export run reads it. One streaming pass keeps, of the paths
// below and nothing else, what the steps read; no tree is built.
namespace quintaro {

namespace paths {
inline constexpr char kMaterias[] = "/datosGHC/materias/materia";
inline constexpr char kTareas[] = "/datosGHC/tareas/tarea";
inline constexpr char kProfesores[] = "/datosGHC/profesores/profesor";
inline constexpr char kProfesorNombre[] = "/datosGHC/profesores/profesor/nombre";
inline constexpr char kProfesorNombreCompleto[] = "/datosGHC/profesores/profesor/nombreCompleto";
inline constexpr char kAulas[] = "/datosGHC/aulas/aula";
inline constexpr char kAulaNombre[] = "/datosGHC/aulas/aula/nombre";
inline constexpr char kAulasGenericas[] = "/datosGHC/conjuntoDeAulas/general";
inline constexpr char kMarcos[] = "/datosGHC/marcosDeHorario/marcoHorario";
inline constexpr char kTramos[] = "/datosGHC/marcosDeHorario/marcoHorario/tramo";
inline constexpr char kTramoSubmarco[] = "/datosGHC/marcosDeHorario/marcoHorario/tramo/submarco";
inline constexpr char kTramoDia[] = "/datosGHC/marcosDeHorario/marcoHorario/tramo/dia";
inline constexpr char kTramoIndice[] = "/datosGHC/marcosDeHorario/marcoHorario/tramo/indice";
inline constexpr char kTramoEntrada[] = "/datosGHC/marcosDeHorario/marcoHorario/tramo/horaEntrada";
inline constexpr char kTramoSalida[] = "/datosGHC/marcosDeHorario/marcoHorario/tramo/horaSalida";
inline constexpr char kTramoTipo[] = "/datosGHC/marcosDeHorario/marcoHorario/tramo/Tipo";
inline constexpr char kGrupos[] = "/datosGHC/grupos/grupo";
inline constexpr char kGrupoNombre[] = "/datosGHC/grupos/grupo/nombre";
inline constexpr char kGrupoNivel[] = "/datosGHC/grupos/grupo/nivel";
inline constexpr char kGrupoCurso[] = "/datosGHC/grupos/grupo/curso";
inline constexpr char kGrupoUnidad[] = "/datosGHC/grupos/grupo/unidad";
inline constexpr char kSesiones[] = "/datosGHC/sesionesLectivas/sesion";
inline constexpr char kSesionMateria[] = "/datosGHC/sesionesLectivas/sesion/materia";
inline constexpr char kSesionProfesor[] = "/datosGHC/sesionesLectivas/sesion/profesor";
inline constexpr char kSesionGrupo[] = "/datosGHC/sesionesLectivas/sesion/grupo";
inline constexpr char kSesionTarea[] = "/datosGHC/sesionesLectivas/sesion/tarea";
inline constexpr char kSesionDistribucion[] = "/datosGHC/sesionesLectivas/sesion/distribucionSemanal";
inline constexpr char kSesionDistribucionVariable[]
    = "/datosGHC/sesionesLectivas/sesion/distribucionSemanal/distribucionVariable";
inline constexpr char kSesionHoras[]
    = "/datosGHC/sesionesLectivas/sesion/distribucionSemanal/distribucionVariable/numSesiones";
} // namespace paths

class ExportDocument {
public:
    // Raise a RunError as XmlDocument::load and parse do.
    static ExportDocument load(const QString& path);
    static ExportDocument parse(const QByteArray& content, const QString& name = QStringLiteral("memoria"));
    // Only the time frames and their periods: what the frame dialog shows.
    static ExportDocument loadTimeFrames(const QString& path);
    // The lists of a capture made elsewhere (the tests take them from a tree, the reference the
    // streaming pass is checked against).
    explicit ExportDocument(XmlCapture capture) : m_capture(std::move(capture)) { }

    const QString& rootName() const { return m_capture.rootName(); }
    const CapturedList& select(const char* path) const { return m_capture.select(path); }
    // The paths kept, and what is kept of each.
    static const std::vector<CaptureRequest>& keptPaths();

    // For a program about to exit: the kept lists are left for the system to reclaim.
    void keepUntilExit() { m_capture.keepUntilExit(); }

private:
    XmlCapture m_capture;
};

} // namespace quintaro
