#include "gui/gradient_panel.h"

#include <QLabel>
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

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry, const QFont& font,
                  QColor color, bool wordWrap)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    l->setFont(font);
    l->setWordWrap(wordWrap);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color);
    l->setPalette(p);
    return l;
}

QFont fontOf(const QString& family, int pointSize, bool bold, bool italic, bool underline)
{
    QFont font;
    const QStringList sans
        = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
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
