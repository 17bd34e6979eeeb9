#include "app/gradient_panel.h"

#include <QLinearGradient>
#include <QPainter>

namespace quintaro {

GradientPanel::GradientPanel(QColor start, QColor middle, QColor end, QWidget* parent)
    : QWidget(parent), m_start(start), m_middle(middle), m_end(end)
{
}

void GradientPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, m_start);
    gradient.setColorAt(0.5, m_middle);
    gradient.setColorAt(1.0, m_end);
    painter.fillRect(rect(), gradient);
}

QFont fontOf(const QString& family, int pointSize, bool bold, bool italic, bool underline)
{
    QFont font;
    const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
    if (family == u"MS Sans Serif")
        font.setFamilies(QStringList{family, QStringLiteral("Microsoft Sans Serif")} + sans);
    else
        font.setFamilies(QStringList{family} + sans);
    font.setPointSize(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

} // namespace quintaro
