#include "timetable/timetable_pdf.h"

#include "timetable/timetable_html.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace quintaro::timetable {

namespace {
// Draws one grid on the page, made smaller (and laid out wider in proportion) when it is taller
// than the page, so that every grid takes exactly one page.
void drawGrid(QPainter& painter, QPdfWriter& writer, const QString& html)
{
    const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDefaultStyleSheet(timetableStyle());
    document.setHtml(html);
    double scale = 1.0;
    document.setTextWidth(page.width());
    // The height changes a little with the width, so the scale is found again once or twice.
    for (int round = 0; round < 4 && document.size().height() * scale > page.height(); ++round) {
        scale = std::min(scale, page.height() / document.size().height()) * 0.99;
        document.setTextWidth(page.width() / scale);
    }
    painter.save();
    painter.scale(scale, scale);
    document.drawContents(&painter);
    painter.restore();
}
} // namespace

QByteArray timetablePdf(const Timetable& timetable)
{
    QByteArray pdf;
    QBuffer out(&pdf);
    out.open(QIODevice::WriteOnly);
    QPdfWriter writer(&out);
    writer.setTitle(QStringLiteral("Horario de %1").arg(timetable.document));
    writer.setCreator(QStringLiteral("Quintaro"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                     QPageLayout::Millimeter));
    // A page per grid, each laid out and drawn on its own and let go: memory does not grow with
    // the number of grids.
    QPainter painter(&writer);
    for (size_t n = 0; n < timetable.grids.size(); ++n) {
        if (n > 0)
            writer.newPage();
        drawGrid(painter, writer, gridHtml(timetable.grids[n], timetable.days));
    }
    painter.end();
    return pdf;
}

} // namespace quintaro::timetable
