// A ruler with a centimetre scale.
#include "widgets/RulerBar.h"

#include <QPainter>

namespace kelvo {

RulerBar::RulerBar(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void RulerBar::SetIndents(int firstLine, int left, int right) {
    m_firstLine = firstLine;
    m_left = left;
    m_right = right;
    update();
}

QSize RulerBar::sizeHint() const {
    return {400, fontMetrics().height() + 12};
}

void RulerBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect area = rect().adjusted(4, 2, -4, -2);
    p.fillRect(area, palette().base());
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(area.adjusted(0, 0, -1, -1));
    // 568 twips a centimetre, as the unit table holds it; screen pixels from the logical DPI.
    const double pixelsPerCm = logicalDpiX() * 568.0 / 1440.0;
    const double pixelsPerTwip = logicalDpiX() / 1440.0;
    p.setPen(palette().color(QPalette::Text));
    QFont small = font();
    small.setPointSizeF(qMax(6.0, small.pointSizeF() - 2));
    p.setFont(small);
    for (int quarter = 0;; ++quarter) {
        const double x = area.left() + quarter * pixelsPerCm / 4;
        if (x > area.right())
            break;
        const int cm = quarter / 4;
        if (quarter % 4 == 0 && cm > 0)
            p.drawText(QRectF(x - 10, area.top(), 20, area.height()), Qt::AlignCenter,
                       QString::number(cm));
        else if (quarter % 2 == 0)
            p.drawLine(QPointF(x, area.center().y() - 3), QPointF(x, area.center().y() + 3));
        else
            p.drawLine(QPointF(x, area.center().y() - 1), QPointF(x, area.center().y() + 1));
    }
    p.setBrush(palette().color(QPalette::Highlight));
    p.setPen(Qt::NoPen);
    auto marker = [&](int twips, bool top) {
        const double x = area.left() + twips * pixelsPerTwip;
        const double y = top ? area.top() : area.bottom();
        const double dy = top ? 5 : -5;
        const QPointF pts[3] = {{x - 4, y}, {x + 4, y}, {x, y + dy}};
        p.drawPolygon(pts, 3);
    };
    marker(m_firstLine, true);
    marker(m_left, false);
    if (m_right > 0)
        marker(area.width() / pixelsPerTwip - m_right, false);
}

} // namespace kelvo
