#include "timetable/timetable_pdf.h"

#include "timetable/timetable_html.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace quintaro::timetable {

QByteArray timetablePdf(const Timetable& timetable)
{
    // Qt's rich text breaks pages before a heading that asks for it; the browser's style rules it
    // does not know are left out.
    QString html;
    for (size_t n = 0; n < timetable.grids.size(); ++n) {
        QString grid = gridHtml(timetable.grids[n], timetable.days);
        if (n > 0)
            grid.replace(0, 4, QStringLiteral("<h2 style=\"page-break-before: always\">"));
        html += grid;
    }
    QTextDocument document;
    document.setDefaultStyleSheet(timetableStyle());
    document.setHtml(html);
    QByteArray pdf;
    QBuffer out(&pdf);
    out.open(QIODevice::WriteOnly);
    QPdfWriter writer(&out);
    writer.setTitle(QStringLiteral("Horario de %1").arg(timetable.document));
    writer.setCreator(QStringLiteral("Quintaro"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                     QPageLayout::Millimeter));
    document.print(&writer);
    return pdf;
}

} // namespace quintaro::timetable
