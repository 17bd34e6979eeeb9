#include "run/report_text.h"

#include <QDir>

#include <iterator>
#include <QStringConverter>

namespace quintaro {

namespace {
struct Category {
    Finding::Kind kind;
    const char* title; // followed by ": <count>"
    const char* what; // names the value in each line, for lessons ("materia")
    bool sentence = false; // each finding's detail is its whole line
};

// In the order a person would look at them: lessons that lost data first.
constexpr Category kCategories[] = {
    {Finding::WouldStop, "Errores que detendrían la exportación (corríjalos en Escolaria)", nullptr, true},
    {Finding::SubjectMissing, "Sesiones sin fila en ASIGT (su asignatura no está en ASIGNOMT)", "materia"},
    {Finding::TeacherMissing, "Sesiones cuyo profesor no está en PROFT", "profesor"},
    {Finding::GroupMissing, "Sesiones cuyo grupo no está en GRUPOST", "grupo"},
    {Finding::GroupOfOtherFrame, "Sesiones cuyo grupo es de un marco horario no elegido (quedan sin grupo)", "grupo"},
    {Finding::TaskMissing, "Sesiones cuya tarea no está en ASIGNOMT", "tarea"},
    {Finding::HoursTakenAsOne, "Sesiones sin numSesiones (se toma 1 hora)", "materia"},
    {Finding::Unmappable, "Textos con caracteres que Windows-1252 no tiene (guardados como '?')", nullptr},
    {Finding::TextCut, "Textos cortados a la anchura de su campo", nullptr},
    {Finding::CodeChanged, "Códigos cambiados para que sean únicos o quepan en 10 caracteres", nullptr, true},
    {Finding::FrameIdCut, "Identificadores de marco horario cortados a 10 caracteres", nullptr},
    {Finding::FrameEmpty, "Marcos horarios elegidos que no dejan ningún tramo en DIASHORAST", nullptr},
    {Finding::ChildMissing, "Elementos a los que les falta un dato (se toma vacío)", nullptr, true},
    {Finding::ChildRepeated, "Elementos con un dato repetido (se usa el primero)", nullptr, true},
    {Finding::TeacherNameShared, "Nombres cortos de profesor compartidos (las sesiones van al primero)", nullptr, true},
    {Finding::HoursNotPositive, "Sesiones sin horas (numSesiones 0 o negativo)", "numSesiones"},
};
static_assert(std::size(kCategories) == Finding::KindCount, "every finding kind has its place in the report");

// The import's findings: the subject/group pairs whose slots found no lesson or passed the lessons'
// hours, and the doubts about the solution.
struct ImportSection {
    const char* title;
    const char* csvName;
    std::vector<Finding> entries; // value and detail; no lesson
    bool sentences = false; // each entry is a whole sentence in its detail
    qint64 total = -1; // what the title counts, when not the entries (slots rather than pairs)
};

QString slotCount(qint64 n) { return n == 1 ? QStringLiteral("1 franja") : QStringLiteral("%1 franjas").arg(n); }

std::vector<ImportSection> importSections(const ImportReport& report)
{
    const auto pairs = [](const QMap<QString, qint64>& counts) {
        std::vector<Finding> entries;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            entries.push_back({Finding::Kind{}, {}, it.key(), slotCount(it.value())});
        return entries;
    };
    const auto sentences = [](const QStringList& lines) {
        std::vector<Finding> entries;
        for (const QString& line : lines)
            entries.push_back({Finding::Kind{}, {}, {}, line});
        return entries;
    };
    std::vector<Finding> fewer;
    for (const ImportReport::ShortLesson& s : report.fewerHours)
        fewer.push_back({Finding::Kind{}, s.sesion, {},
                         QStringLiteral("sesión %1: %2 de %3 horas colocadas").arg(s.sesion).arg(s.placed).arg(s.hours)});
    return {
        {"Franjas sin sesión (su asignatura y grupo no están en ASIGT)", "franja_sin_sesion",
         pairs(report.pairsWithoutLesson), false, report.slotsWithoutLesson},
        {"Franjas que pasan de las horas semanales de sus sesiones (se dan a la primera)", "franja_fuera_de_horas",
         pairs(report.pairsPastHours), false, report.slotsPastHours},
        {"Sesiones con menos horas colocadas que las suyas", "sesion_con_horas_sin_colocar", std::move(fewer), true},
        {"Profesores, grupos o aulas en dos sitios a la vez", "coincidencia", sentences(report.clashes), true},
        {"Clases en tramos que no son lectivos (recreos)", "clase_en_recreo", sentences(report.inBreaks), true},
        {"Avisos sobre la solución", "aviso_solucion", sentences(report.doubts), true},
    };
}

// One finding as a line: a lesson's by its id, a value with what became of it, or a sentence of
// its own (a value-less detail of the import).
QString lineOf(const Finding& f, const char* what, bool sentence)
{
    if (sentence)
        return f.detail;
    if (what)
        return QStringLiteral("sesión %1: %2 '%3'").arg(f.sesion, QString::fromUtf8(what), f.value);
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
    static const char* const names[] = {"error_que_detiene",
                                        "asignatura_no_encontrada",
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
                                        "dato_que_falta",
                                        "dato_repetido",
                                        "profesores_con_el_mismo_nombre",
                                        "sesion_sin_horas"};
    static_assert(std::size(names) == Finding::KindCount, "every finding kind has its CSV name");
    return QString::fromLatin1(names[kind]);
}
} // namespace

std::vector<ReportGroup> reportGroups(const RunReport& report)
{
    std::vector<ReportGroup> groups;
    const auto add = [&groups](const char* title, const std::vector<Finding>& found, const char* what, bool sentences,
                               qint64 total = -1) {
        if (found.empty())
            return;
        ReportGroup group{QString::fromUtf8(title), total >= 0 ? total : qint64(found.size()), {}};
        for (const Finding& f : found)
            group.lines << lineOf(f, what, sentences);
        groups.push_back(std::move(group));
    };
    for (const Category& c : kCategories)
        add(c.title, report.exported.of(c.kind), c.what, c.sentence);
    for (const ImportSection& section : importSections(report.imported))
        add(section.title, section.entries, nullptr, section.sentences, section.total);
    return groups;
}

qint64 reviewCount(const RunReport& report)
{
    qint64 count = 0;
    for (const ReportGroup& g : reportGroups(report))
        count += g.count;
    return count;
}

QString reviewLine(const RunReport& report)
{
    const qint64 n = reviewCount(report);
    return n == 0 ? QStringLiteral("Ningún aviso que revisar.")
         : n == 1 ? QStringLiteral("1 aviso para revisar.")
                  : QStringLiteral("%1 avisos para revisar.").arg(n);
}

QString reportText(const RunReport& report)
{
    QStringList lines = report.workDirNotes;
    if (const ImportReport& imported = report.imported; !imported.resultDocument.isEmpty()) {
        lines << QStringLiteral("Documento resultado: %1").arg(QDir::toNativeSeparators(imported.resultDocument));
        lines << QStringLiteral("Franjas (tramo) escritas: %1").arg(imported.timeSlots);
        if (imported.unplacedRows > 0)
            lines << (imported.solver == u"Velmora"
                          ? QStringLiteral("Horas que Velmora dejó sin colocar (DIA 0 en SOLUC): %1").arg(imported.unplacedRows)
                          : QStringLiteral("Horas que %1 dejó sin colocar: %2").arg(imported.solver).arg(imported.unplacedRows));
    }
    // A check writes its tables nowhere that counts: their rows are not told.
    for (const ExportReport::Table& t : report.exported.checkOnly ? std::vector<ExportReport::Table>() : report.exported.tables)
        lines << QStringLiteral("  %1 %2 %3")
                     .arg(t.name.leftJustified(10))
                     .arg(t.rows)
                     .arg(t.rows == 1 ? "fila" : "filas");
    for (const ReportGroup& g : reportGroups(report)) {
        lines << QStringLiteral("%1: %2").arg(g.title).arg(g.count);
        for (qsizetype i = 0; i < g.lines.size() && i < kFindingsShown; ++i)
            lines << QStringLiteral("  ") + g.lines[i];
        if (g.lines.size() > kFindingsShown)
            lines << QStringLiteral("  … y %1 más, que no se muestran aquí: el informe los lista todos (--informe "
                                    "ARCHIVO en la línea de órdenes, «Ver informe…» en la ventana)")
                         .arg(g.lines.size() - kFindingsShown);
    }
    return lines.join(u'\n');
}

QByteArray reportCsv(const RunReport& report)
{
    QString csv = QStringLiteral("categoría;sesión;valor;detalle\r\n");
    const auto addRow = [&csv](const QString& category, const Finding& f) {
        csv += QStringList{category, csvField(f.sesion), csvField(f.value), csvField(f.detail)}.join(u';')
            + QStringLiteral("\r\n");
    };
    for (const Finding& f : report.exported.findings)
        addRow(categoryName(f.kind), f);
    for (const ImportSection& section : importSections(report.imported))
        for (const Finding& f : section.entries)
            addRow(QString::fromLatin1(section.csvName), f);
    // With a byte-order mark, so that a spreadsheet reads the accents right.
    return QByteArray("\xEF\xBB\xBF") + csv.toUtf8();
}

} // namespace quintaro
