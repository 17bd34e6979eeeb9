#include "timetable/timetable_html.h"

#include <QSet>

namespace quintaro::timetable {

namespace {
QString e(const QString& s) { return s.toHtmlEscaped(); }

QString anchorOf(const Grid& grid, size_t n)
{
    const char* kind = grid.kind == Grid::Kind::Group ? "grupo" : grid.kind == Grid::Kind::Teacher ? "profesor" : "aula";
    return QStringLiteral("%1-%2").arg(QString::fromLatin1(kind)).arg(n + 1);
}

QString entryHtml(const Entry& entry)
{
    QString classes = QStringLiteral("sesion");
    if (entry.clash)
        classes += QStringLiteral(" choque");
    if (entry.wrongHours)
        classes += QStringLiteral(" horas");
    return QStringLiteral("<div class=\"%1\"><b>%2</b><br>%3%4</div>")
        .arg(classes, e(entry.subject), e(entry.other),
             entry.room.isEmpty() ? QString() : QStringLiteral("<br><i>%1</i>").arg(e(entry.room)));
}
} // namespace

QString timetableStyle()
{
    return QStringLiteral(
        "body { font-family: 'Liberation Sans', Arial, sans-serif; font-size: 10pt; margin: 1.5em; }\n"
        "h1 { font-size: 16pt; } h2 { font-size: 13pt; margin-top: 0; }\n"
        "table.horario { border-collapse: collapse; width: 100%; table-layout: fixed; }\n"
        "table.horario th, table.horario td { border: 1px solid #666; padding: 3px; vertical-align: top; }\n"
        "table.horario th { background: #e8e8f0; }\n"
        "td.recreo { background: #f2f2f2; }\n"
        "td.hueco { background: #fff6cc; color: #8a6d00; font-style: italic; }\n"
        "div.sesion { margin-bottom: 2px; }\n"
        "div.choque { background: #f8c8c8; border: 2px solid #b00000; }\n"
        "div.horas { border-left: 4px solid #d08000; padding-left: 2px; }\n"
        "ul.problemas { color: #900000; }\n"
        "div.rejilla { page-break-before: always; break-before: page; }\n"
        "div.indice ul { columns: 3; }\n");
}

QString gridHtml(const Grid& grid, const QStringList& days)
{
    // The table's attributes draw its lines where the style sheet is not understood (Qt's PDF).
    QString html = QStringLiteral("<h2>%1</h2>\n<table class=\"horario\" border=\"1\" cellspacing=\"0\" "
                                  "cellpadding=\"3\" width=\"100%\">\n<tr><th>Hora</th>")
                       .arg(e(grid.title));
    for (const QString& day : days)
        html += QStringLiteral("<th>%1</th>").arg(e(day));
    html += QStringLiteral("</tr>\n");
    for (size_t r = 0; r < grid.rows.size(); ++r) {
        const PeriodRow& row = grid.rows[r];
        // A break's row is named as the school names it ("Recreo"), not by its index.
        const QString label = row.teaching || row.kind.isEmpty() ? QStringLiteral("%1 %2").arg(row.frame).arg(row.index)
                                                                 : row.kind;
        html += QStringLiteral("<tr><th>%1<br>%2–%3</th>").arg(e(label), e(row.from), e(row.to));
        for (size_t d = 0; d < grid.cells[r].size(); ++d) {
            const bool gap = r < grid.gaps.size() && d < grid.gaps[r].size() && grid.gaps[r][d];
            html += !row.teaching ? QStringLiteral("<td class=\"recreo\">")
                  : gap           ? QStringLiteral("<td class=\"hueco\" bgcolor=\"#fff6cc\">hueco")
                                  : QStringLiteral("<td>");
            for (const Entry& entry : grid.cells[r][d])
                html += entryHtml(entry);
            html += QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n");
    if (!grid.problems.isEmpty()) {
        html += QStringLiteral("<ul class=\"problemas\">");
        for (const QString& p : grid.problems)
            html += QStringLiteral("<li>%1</li>").arg(e(p));
        html += QStringLiteral("</ul>\n");
    }
    return html;
}

QString timetableHtml(const Timetable& timetable)
{
    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n"
                                  "<title>Horario de %1</title>\n<style>\n%2</style>\n</head>\n<body>\n"
                                  "<h1>Horario de %1</h1>\n")
                       .arg(e(timetable.document), timetableStyle());
    // What the grids shown mark, counted from them (a filtered view counts only its own).
    QSet<QString> wrongHours, clashCells, inBreaks;
    for (const Grid& grid : timetable.grids)
        for (size_t r = 0; r < grid.rows.size(); ++r)
            for (size_t d = 0; d < grid.cells[r].size(); ++d)
                for (const Entry& entry : grid.cells[r][d]) {
                    if (entry.wrongHours)
                        wrongHours.insert(entry.lesson);
                    if (entry.clash)
                        clashCells.insert(QStringLiteral("%1/%2/%3").arg(grid.title).arg(r).arg(d));
                    if (entry.inBreak) // one hour, however many grids show it
                        inBreaks.insert(QStringLiteral("%1/%2/%3/%4").arg(entry.lesson, grid.rows[r].frame).arg(grid.rows[r].index).arg(d));
                }
    if (!wrongHours.isEmpty() || !clashCells.isEmpty() || !inBreaks.isEmpty())
        html += QStringLiteral("<p class=\"aviso\">Sesiones con más o menos horas de las pedidas: %1; horas en que "
                               "alguien está en dos sitios a la vez: %2; clases en recreos: %3. Están marcados en sus "
                               "rejillas.</p>\n")
                    .arg(wrongHours.size())
                    .arg(clashCells.size())
                    .arg(inBreaks.size());
    const struct {
        Grid::Kind kind;
        const char* heading;
    } parts[] = {{Grid::Kind::Group, "Grupos"}, {Grid::Kind::Teacher, "Profesores"}, {Grid::Kind::Room, "Aulas"}};
    html += QStringLiteral("<div class=\"indice\">\n");
    for (const auto& part : parts) {
        html += QStringLiteral("<h3>%1</h3>\n<ul>\n").arg(QString::fromUtf8(part.heading));
        bool any = false;
        for (size_t n = 0; n < timetable.grids.size(); ++n)
            if (timetable.grids[n].kind == part.kind) {
                any = true;
                html += QStringLiteral("<li><a href=\"#%1\">%2</a></li>\n")
                            .arg(anchorOf(timetable.grids[n], n), e(timetable.grids[n].label));
            }
        if (!any)
            html += part.kind == Grid::Kind::Room
                        ? QStringLiteral("<li>Ninguna aula con nombre: cada hora va al aula de su grupo.</li>\n")
                        : QStringLiteral("<li>Ninguno.</li>\n");
        html += QStringLiteral("</ul>\n");
    }
    html += QStringLiteral("</div>\n");
    for (size_t n = 0; n < timetable.grids.size(); ++n)
        html += QStringLiteral("<div class=\"rejilla\" id=\"%1\">\n%2</div>\n")
                    .arg(anchorOf(timetable.grids[n], n), gridHtml(timetable.grids[n], timetable.days));
    html += QStringLiteral("</body>\n</html>\n");
    return html;
}

} // namespace quintaro::timetable
