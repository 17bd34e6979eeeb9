#pragma once

// Where the interchange document keeps what Quintaro reads: every run, the FET path and the
// timetable take these paths from here, so that a renamed element changes in one line.
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
inline constexpr char kHorario[] = "/datosGHC/horario";
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

// The root element every interchange document has.
inline constexpr char kInterchangeRoot[] = "datosGHC";

} // namespace quintaro
