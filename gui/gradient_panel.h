#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

namespace quintaro {

// A panel filled with a three-colour gradient (start, middle, end), top to bottom.
class GradientPanel : public QWidget {
public:
    GradientPanel(QColor start, QColor middle, QColor end, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_start, m_middle, m_end;
};

// A label with its object name, place, font and text colour.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry, const QFont& font,
                  QColor color = Qt::black, bool wordWrap = false);

// A font by family with fallbacks for machines without the Windows fonts.
QFont fontOf(const QString& family, int pointSize, bool bold = false, bool italic = false, bool underline = false);

} // namespace quintaro
