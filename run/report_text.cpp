#include "run/report_text.h"

#include <QStringConverter>

namespace quintaro {

namespace {
struct Category {
    Finding::Kind kind;
    const char* title; // followed by ": <count>"
    const char* what; // names the value in each line, for lessons ("materia")
};

// In the order a person would look at them: lessons that lost data first.
constexpr Category kCategories[] = {
    {Finding::SubjectMissing, "Sesiones sin fila en ASIGT (su asignatura no está en ASIGNOMT)", "materia"},
    {Finding::TeacherMissing, "Sesiones cuyo profesor no está en PROFT", "profesor"},
    {Finding::GroupMissing, "Sesiones cuyo grupo no está en GRUPOST", "grupo"},
    {Finding::GroupOfOtherFrame, "Sesiones cuyo grupo es de un marco horario no elegido (quedan sin grupo)", "grupo"},
    {Finding::TaskMissing, "Sesiones cuya tarea no está en ASIGNOMT", "tarea"},
    {Finding::HoursTakenAsOne, "Sesiones sin numSesiones (se toma 1 hora)", "materia"},
    {Finding::Unmappable, "Textos con caracteres que Windows-1252 no tiene (guardados como '?')", nullptr},
    {Finding::TextCut, "Textos cortados a la anchura de su campo", nullptr},
    {Finding::CodeChanged, "Códigos cambiados para que sean únicos o quepan en 10 caracteres", nullptr},
    {Finding::FrameIdCut, "Identificadores de marco horario cortados a 10 caracteres", nullptr},
    {Finding::FrameEmpty, "Marcos horarios elegidos que no dejan ningún tramo en DIASHORAST", nullptr},
    {Finding::SlotWithoutLesson, "Franjas sin sesión (su asignatura y grupo no están en ASIGT)", nullptr},
    {Finding::SlotPastHours, "Franjas que pasan de las horas semanales de sus sesiones (se dan a la primera)", nullptr},
    {Finding::Doubt, "Avisos sobre la solución", nullptr},
};

QString lineOf(const Finding& f, const Category& c)
{
    if (f.kind == Finding::Doubt)
        return f.detail;
    if (c.what)
        return QStringLiteral("sesión %1: %2 '%3'").arg(f.sesion, QString::fromUtf8(c.what), f.value);
    return f.detail.isEmpty() ? QStringLiteral("'%1'").arg(f.value)
                              : QStringLiteral("'%1' (%2)").arg(f.value, f.detail);
}

QString csvField(QString s)
{
    if (s.contains(u';') || s.contains(u'"') || s.contains(u'\n')) {
        s.replace(u'"', QStringLiteral("\"\""));
        return u'"' + s + u'"';
    }
    return s;
}

QString categoryName(Finding::Kind kind)
{
    static const char* const names[] = {"asignatura_no_encontrada",
                                        "profesor_no_encontrado",
                                        "grupo_no_encontrado",
                                        "grupo_de_otro_marco",
                                        "tarea_no_encontrada",
                                        "horas_tomadas_como_1",
                                        "caracteres_como_interrogacion",
                                        "texto_cortado",
                                        "codigo_cambiado",
                                        "marco_cortado",
                                        "marco_sin_tramos",
                                        "franja_sin_sesion",
                                        "franja_fuera_de_horas",
                                        "aviso_solucion"};
    return QString::fromLatin1(names[kind]);
}
} // namespace

QString reportText(const RunReport& report)
{
    QStringList lines;
    for (const ExportReport::Table& t : report.tables)
        lines << QStringLiteral("  %1 %2 %3")
                     .arg(t.name.leftJustified(10))
                     .arg(t.rows)
                     .arg(t.rows == 1 ? "fila" : "filas");
    for (const Category& c : kCategories) {
        const std::vector<Finding> found = report.of(c.kind);
        if (found.empty())
            continue;
        lines << QStringLiteral("%1: %2").arg(QString::fromUtf8(c.title)).arg(found.size());
        for (size_t i = 0; i < found.size() && i < size_t(kFindingsShown); ++i)
            lines << QStringLiteral("  ") + lineOf(found[i], c);
        if (found.size() > size_t(kFindingsShown))
            lines << QStringLiteral("  … y %1 más").arg(found.size() - kFindingsShown);
    }
    return lines.join(u'\n');
}

QByteArray reportCsv(const RunReport& report)
{
    QString csv = QStringLiteral("categoría;sesión;valor;detalle\r\n");
    for (const Finding& f : report.findings)
        csv += QStringList{categoryName(f.kind), csvField(f.sesion), csvField(f.value), csvField(f.detail)}.join(u';')
            + QStringLiteral("\r\n");
    // With a byte-order mark, so that a spreadsheet reads the accents right.
    return QByteArray("\xEF\xBB\xBF") + csv.toUtf8();
}

} // namespace quintaro
