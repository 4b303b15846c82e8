// The paragraph ruler: scale, markers, dragging.
#include "widgets/ParagraphRuler.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace kelvo {
namespace {

constexpr int kTwipsPerCm = 568; // the centimetre of the program's unit table
constexpr int kSnap = kTwipsPerCm / 4;
constexpr int kHitDistance = 5;
constexpr int kMarker = 5; // half the width of a triangle marker

} // namespace

ParagraphRuler::ParagraphRuler(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMouseTracking(true);
    setToolTip(tr("Отступы и позиции табуляции абзаца"));
}

QSize ParagraphRuler::sizeHint() const {
    return {600, fontMetrics().height() + 16};
}

QSize ParagraphRuler::minimumSizeHint() const {
    return {100, fontMetrics().height() + 16};
}

void ParagraphRuler::SetFormat(const Format& format) {
    if (m_drag != Marker::None || format == m_format)
        return;
    m_format = format;
    update();
}

void ParagraphRuler::SetGeometry(int origin, int textWidth, double dpi) {
    if (origin == m_origin && textWidth == m_textWidth && dpi == m_dpi)
        return;
    m_origin = origin;
    m_textWidth = std::max(1, textWidth);
    m_dpi = dpi > 0 ? dpi : 96;
    update();
}

double ParagraphRuler::XOfTwips(int twips) const {
    return m_origin + twips * m_dpi / 1440.0;
}

int ParagraphRuler::TwipsOfX(double x, bool snap) const {
    const double twips = (x - m_origin) * 1440.0 / m_dpi;
    if (!snap)
        return static_cast<int>(std::lround(twips));
    return static_cast<int>(std::lround(twips / kSnap)) * kSnap;
}

ParagraphRuler::Marker ParagraphRuler::HitTest(const QPoint& pos, int* tabIndex) const {
    const int mid = height() / 2;
    const double x = pos.x();
    auto near = [&](double mx) { return std::abs(x - mx) <= kHitDistance; };
    const double first = XOfTwips(m_format.leftIndent + m_format.firstIndent);
    const double left = XOfTwips(m_format.leftIndent);
    const double right = m_origin + m_textWidth - m_format.rightIndent * m_dpi / 1440.0;
    if (pos.y() < mid && near(first))
        return Marker::First;
    if (pos.y() >= height() - 5 && near(left))
        return Marker::LeftBox;
    if (pos.y() >= mid && near(left))
        return Marker::Left;
    if (pos.y() >= mid && near(right))
        return Marker::Right;
    for (std::size_t i = 0; i < m_format.tabs.size(); ++i)
        if (pos.y() >= mid && near(XOfTwips(m_format.tabs[i]))) {
            if (tabIndex)
                *tabIndex = static_cast<int>(i);
            return Marker::Tab;
        }
    return Marker::None;
}

void ParagraphRuler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const int h = height();
    const QRectF strip(m_origin, 3, m_textWidth, h - 6);
    p.fillRect(rect(), palette().window());
    p.fillRect(strip, palette().base());
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(strip.adjusted(0, 0, -1, -1));

    // The scale: a number every centimetre, ticks every quarter.
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() - 2));
    p.setFont(small);
    p.setPen(palette().color(QPalette::Text));
    const double quarter = kTwipsPerCm / 4.0 * m_dpi / 1440.0;
    for (int i = 1; m_origin + i * quarter < m_origin + m_textWidth; ++i) {
        const double x = m_origin + i * quarter;
        if (i % 4 == 0) {
            const QString label = QString::number(i / 4);
            const QRectF box(x - 12, 3, 24, h - 6);
            p.drawText(box, Qt::AlignCenter, label);
        } else {
            const double tick = i % 2 == 0 ? 4 : 2;
            p.drawLine(QPointF(x, h / 2.0 - tick), QPointF(x, h / 2.0 + tick));
        }
    }

    // Markers: first line above, left indent and its box below, right indent below.
    auto triangle = [&](double x, bool down) {
        QPainterPath path;
        if (down) {
            path.moveTo(x - kMarker, 1);
            path.lineTo(x + kMarker, 1);
            path.lineTo(x, 1 + kMarker + 2);
        } else {
            path.moveTo(x - kMarker, h - 7);
            path.lineTo(x + kMarker, h - 7);
            path.lineTo(x, h - 7 - kMarker - 2);
        }
        path.closeSubpath();
        p.fillPath(path, palette().button());
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawPath(path);
    };
    triangle(XOfTwips(m_format.leftIndent + m_format.firstIndent), true);
    triangle(XOfTwips(m_format.leftIndent), false);
    const double left = XOfTwips(m_format.leftIndent);
    p.fillRect(QRectF(left - kMarker, h - 6, 2 * kMarker, 5), palette().button());
    p.drawRect(QRectF(left - kMarker, h - 6, 2 * kMarker, 5));
    triangle(m_origin + m_textWidth - m_format.rightIndent * m_dpi / 1440.0, false);

    // Tab stops: an "L" at the stop.
    p.setPen(QPen(palette().color(QPalette::Text), 2));
    for (int tab : m_format.tabs) {
        const double x = XOfTwips(tab);
        p.drawLine(QPointF(x, h / 2.0 + 1), QPointF(x, h - 5.0));
        p.drawLine(QPointF(x, h - 5.0), QPointF(x + 5, h - 5.0));
    }
}

void ParagraphRuler::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    int tab = -1;
    m_drag = HitTest(event->position().toPoint(), &tab);
    m_dragTab = tab;
    m_dragOut = false;
    if (m_drag == Marker::None && event->position().y() >= height() / 2 &&
        event->position().x() > m_origin && event->position().x() < m_origin + m_textWidth &&
        static_cast<int>(m_format.tabs.size()) < kMaxTabs) {
        // A click on the free scale adds a tab stop there.
        const int at = TwipsOfX(event->position().x(), true);
        if (at > 0 &&
            std::find(m_format.tabs.begin(), m_format.tabs.end(), at) == m_format.tabs.end()) {
            m_format.tabs.push_back(at);
            std::sort(m_format.tabs.begin(), m_format.tabs.end());
            update();
            emit FormatEdited();
        }
    }
}

void ParagraphRuler::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_drag == Marker::None) {
        setCursor(HitTest(pos, nullptr) == Marker::None ? Qt::ArrowCursor : Qt::SizeHorCursor);
        return;
    }
    const int at = TwipsOfX(pos.x(), !(event->modifiers() & Qt::AltModifier));
    const int widthTwips = static_cast<int>(std::lround(m_textWidth * 1440.0 / m_dpi));
    const int limit = std::max(0, widthTwips - m_format.rightIndent - kSnap);
    switch (m_drag) {
    case Marker::First:
        m_format.firstIndent = std::clamp(at, 0, limit) - m_format.leftIndent;
        break;
    case Marker::Left: {
        // The first line stays where it is.
        const int first = m_format.leftIndent + m_format.firstIndent;
        m_format.leftIndent = std::clamp(at, 0, limit);
        m_format.firstIndent = first - m_format.leftIndent;
        break;
    }
    case Marker::LeftBox: {
        const int shift = std::clamp(at, 0, limit) - m_format.leftIndent;
        const int first = m_format.leftIndent + m_format.firstIndent + shift;
        if (first >= 0)
            m_format.leftIndent += shift;
        break;
    }
    case Marker::Right: {
        // The right indent counts from the right end: snapped there, not from the left.
        const int raw = widthTwips - TwipsOfX(pos.x(), false);
        const int fromRight = event->modifiers() & Qt::AltModifier
                                  ? raw
                                  : static_cast<int>(std::lround(raw / double(kSnap))) * kSnap;
        const int maxRight =
            widthTwips - std::max(m_format.leftIndent, m_format.leftIndent + m_format.firstIndent) -
            kSnap;
        m_format.rightIndent = std::clamp(fromRight, 0, std::max(0, maxRight));
        break;
    }
    case Marker::Tab:
        m_dragOut = pos.y() > height() + 10 || pos.y() < -10;
        if (m_dragTab >= 0 && m_dragTab < static_cast<int>(m_format.tabs.size()))
            m_format.tabs[static_cast<std::size_t>(m_dragTab)] = std::max(1, at);
        break;
    case Marker::None:
        break;
    }
    update();
}

void ParagraphRuler::mouseReleaseEvent(QMouseEvent* event) {
    if (m_drag == Marker::None || event->button() != Qt::LeftButton)
        return;
    if (m_drag == Marker::Tab && m_dragTab >= 0 &&
        m_dragTab < static_cast<int>(m_format.tabs.size())) {
        if (m_dragOut) // dragged off the ruler: the stop goes
            m_format.tabs.erase(m_format.tabs.begin() + m_dragTab);
        std::sort(m_format.tabs.begin(), m_format.tabs.end());
        m_format.tabs.erase(std::unique(m_format.tabs.begin(), m_format.tabs.end()),
                            m_format.tabs.end());
    }
    m_drag = Marker::None;
    m_dragTab = -1;
    update();
    emit FormatEdited();
}

} // namespace kelvo
