// The multi-page preview view.
#include "print/ui/CMultiPagePreviewView.h"

#include "print/ui/PrintTexts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace kelvo {
namespace {

// A lens with a handle, its hot spot in the lens' middle.
QCursor MagnifierCursor() {
    static const QCursor cursor = [] {
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 19), QPointF(28, 28));
        p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 19), QPointF(28, 28));
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(QColor(255, 255, 255, 200));
        p.drawEllipse(QPointF(12, 12), 8, 8);
        p.end();
        return QCursor(pixmap, 12, 12);
    }();
    return cursor;
}

QRect ToQRect(const PreviewRect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

constexpr int kShadow = 3;

} // namespace

CMultiPagePreviewView::CMultiPagePreviewView(PageSource& source, const PageGeometry& geometry,
                                             int pagesShown, QWidget* parent)
    : QAbstractScrollArea(parent), m_source(source), m_geometry(geometry),
      m_layout(PreviewLayoutFor(pagesShown)) {
    setObjectName(QStringLiteral("PreviewView"));
    setAccessibleName(QString::fromUtf8(printtext::PreviewViewName));
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setSingleStep(16);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            &CMultiPagePreviewView::OnVerticalAction);
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this,
            &CMultiPagePreviewView::OnThumbReleased);
    m_current = FirstShownPage(1, FirstPage(), LastPage(), m_layout.pages);
    UpdateScrollBars();
}

int CMultiPagePreviewView::LastPage() const {
    return std::max(m_source.PageCount(), 1);
}

void CMultiPagePreviewView::SetPagesShown(int count) {
    m_layout = PreviewLayoutFor(count);
    if (!IsZoomed())
        m_current = FirstShownPage(m_current, FirstPage(), LastPage(), m_layout.pages);
    UpdateScrollBars();
    viewport()->update();
}

void CMultiPagePreviewView::SetCurrentPage(int page) {
    m_current = std::clamp(page, FirstPage(), LastPage());
    if (IsZoomed())
        ZoomInto(m_current, CurrentRatio(), 0.5, 0);
    UpdateScrollBars();
    viewport()->update();
}

void CMultiPagePreviewView::Relayout(const PageGeometry& geometry) {
    m_geometry = geometry;
    m_source.Layout(geometry);
    m_current = std::clamp(m_current, FirstPage(), LastPage());
    if (IsZoomed())
        ZoomInto(m_current, CurrentRatio(), 0.5, 0);
    UpdateScrollBars();
    viewport()->update();
}

PreviewSize CMultiPagePreviewView::PaperOnScreen() const {
    const double sx = logicalDpiX() / std::max(m_geometry.dpiX, 1.0);
    const double sy = logicalDpiY() / std::max(m_geometry.dpiY, 1.0);
    return {static_cast<int>(std::lround(m_geometry.paper.width() * sx)),
            static_cast<int>(std::lround(m_geometry.paper.height() * sy))};
}

PreviewSize CMultiPagePreviewView::Viewport() const {
    return {viewport()->width(), viewport()->height()};
}

double CMultiPagePreviewView::Fit() const {
    const PreviewSize view = Viewport();
    return FitRatio(ComputeCells(view.width, view.height, m_layout).space, PaperOnScreen());
}

double CMultiPagePreviewView::CurrentRatio() const {
    if (m_boxRatio)
        return *m_boxRatio;
    return ZoomRatio(m_state, Fit());
}

std::vector<QRect> CMultiPagePreviewView::PageRects() const {
    std::vector<QRect> rects;
    if (IsZoomed()) {
        rects.push_back(
            ToQRect(m_zoomed.page)
                .translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value()));
        return rects;
    }
    const PreviewSize view = Viewport();
    const PreviewCells cells = ComputeCells(view.width, view.height, m_layout);
    for (int i = 0; i < m_layout.pages && m_current + i <= LastPage(); ++i)
        rects.push_back(ToQRect(WholePageRect(cells, m_layout, PaperOnScreen(), i)));
    return rects;
}

void CMultiPagePreviewView::ShowWholePages() {
    m_state = 0;
    m_boxRatio.reset();
    m_current = FirstShownPage(m_current, FirstPage(), LastPage(), m_layout.pages);
    UpdateScrollBars();
    viewport()->update();
    emit ZoomChanged();
}

void CMultiPagePreviewView::ZoomInto(int page, double ratio, double fx, double fy) {
    m_current = std::clamp(page, FirstPage(), LastPage());
    // The scroll bars first, so that the viewport has its final size.
    m_zoomed = kelvo::ZoomInto(PaperOnScreen(), ratio, fx, fy, Viewport());
    UpdateScrollBars();
    m_zoomed = kelvo::ZoomInto(PaperOnScreen(), ratio, fx, fy, Viewport());
    UpdateScrollBars();
    m_settingBars = true;
    horizontalScrollBar()->setValue(m_zoomed.scrollX);
    verticalScrollBar()->setValue(m_zoomed.scrollY);
    m_settingBars = false;
    viewport()->update();
}

void CMultiPagePreviewView::ZoomTo(double ratio) {
    if (ratio <= 0)
        return;
    m_boxRatio = ratio;
    ZoomInto(m_current, ratio, 0.5, 0);
    emit ZoomChanged();
}

void CMultiPagePreviewView::ClickAt(QPoint pos) {
    const std::vector<QRect> rects = PageRects();
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const QRect& rect = rects[i];
        if (!rect.contains(pos))
            continue;
        const double fx = (pos.x() - rect.x()) / std::max(1.0, rect.width() - double(kShadow));
        const double fy = (pos.y() - rect.y()) / std::max(1.0, rect.height() - double(kShadow));
        const int page = m_current + static_cast<int>(i);
        // A scale of the zoom box ends with a click, like the last zoom state.
        const int next = m_boxRatio ? 0 : NextZoomState(m_state);
        if (next == 0) {
            ShowWholePages();
        } else {
            const double fit = Fit(); // of whole-page mode, before the view becomes scrollable
            m_state = next;
            ZoomInto(page, ZoomRatio(next, fit), fx, fy);
            emit ZoomChanged();
        }
        UpdateCursor(pos);
        return;
    }
}

void CMultiPagePreviewView::UpdateScrollBars() {
    m_settingBars = true;
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    if (IsZoomed()) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        const PreviewSize view = Viewport();
        h->setRange(0, std::max(0, m_zoomed.content.width - view.width));
        h->setPageStep(view.width);
        v->setRange(0, std::max(0, m_zoomed.content.height - view.height));
        v->setPageStep(view.height);
        v->setSingleStep(16);
    } else {
        // The page scroll bar whenever there is more than one page.
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(LastPage() != FirstPage() ? Qt::ScrollBarAlwaysOn
                                                             : Qt::ScrollBarAlwaysOff);
        v->setRange(FirstPage(), PageScrollMaximum(FirstPage(), LastPage(), m_layout.pages));
        v->setPageStep(1);
        v->setSingleStep(1);
        v->setValue(std::min(m_current, v->maximum()));
    }
    m_settingBars = false;
}

void CMultiPagePreviewView::OnVerticalAction(int action) {
    if (IsZoomed() || m_settingBars)
        return;
    QScrollBar* v = verticalScrollBar();
    std::optional<PageScroll> request;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        request = PageScroll::LineUp;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        request = PageScroll::LineDown;
        break;
    case QAbstractSlider::SliderPageStepSub:
        request = PageScroll::PageUp;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        request = PageScroll::PageDown;
        break;
    case QAbstractSlider::SliderToMinimum:
        request = PageScroll::Top;
        break;
    case QAbstractSlider::SliderToMaximum:
        request = PageScroll::Bottom;
        break;
    case QAbstractSlider::SliderMove:
        if (v->isSliderDown())
            return;                  // the page changes when the thumb is released
        request = PageScroll::Thumb; // the wheel moves the thumb
        break;
    default:
        return;
    }
    m_current = ScrollPages(*request, m_current, FirstPage(), LastPage(), m_layout.pages,
                            v->sliderPosition());
    v->setSliderPosition(std::min(m_current, v->maximum()));
    viewport()->update();
}

void CMultiPagePreviewView::OnThumbReleased() {
    if (IsZoomed())
        return;
    m_current = ScrollPages(PageScroll::Thumb, m_current, FirstPage(), LastPage(), m_layout.pages,
                            verticalScrollBar()->sliderPosition());
    viewport()->update();
}

void CMultiPagePreviewView::scrollContentsBy(int, int) {
    if (IsZoomed())
        viewport()->update();
}

void CMultiPagePreviewView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (IsZoomed()) {
        const int x = horizontalScrollBar()->value();
        const int y = verticalScrollBar()->value();
        m_zoomed = kelvo::ZoomInto(PaperOnScreen(), CurrentRatio(), 0, 0, Viewport());
        UpdateScrollBars();
        horizontalScrollBar()->setValue(x);
        verticalScrollBar()->setValue(y);
    } else {
        UpdateScrollBars();
    }
}

void CMultiPagePreviewView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ClickAt(event->position().toPoint());
        event->accept();
        return;
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void CMultiPagePreviewView::mouseMoveEvent(QMouseEvent* event) {
    UpdateCursor(event->position().toPoint());
    QAbstractScrollArea::mouseMoveEvent(event);
}

bool CMultiPagePreviewView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseMove)
        UpdateCursor(static_cast<QMouseEvent*>(event)->position().toPoint());
    return QAbstractScrollArea::viewportEvent(event);
}

void CMultiPagePreviewView::UpdateCursor(QPoint pos) {
    bool overPage = false;
    for (const QRect& rect : PageRects())
        overPage = overPage || rect.contains(pos);
    if (overPage && m_state != 5)
        viewport()->setCursor(MagnifierCursor());
    else
        viewport()->setCursor(Qt::ArrowCursor);
}

void CMultiPagePreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Dark));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const std::vector<QRect> rects = PageRects();
    for (std::size_t i = 0; i < rects.size(); ++i)
        PaintPage(painter, rects[i], m_current + static_cast<int>(i));
}

void CMultiPagePreviewView::PaintPage(QPainter& painter, const QRect& rect, int page) {
    const QRect sheet = rect.adjusted(0, 0, -kShadow, -kShadow);
    painter.fillRect(sheet.translated(kShadow, kShadow), Qt::black);
    painter.fillRect(sheet, Qt::white);
    painter.save();
    painter.translate(sheet.topLeft());
    const double sx = sheet.width() / std::max(m_geometry.paper.width(), 1.0);
    const double sy = sheet.height() / std::max(m_geometry.paper.height(), 1.0);
    painter.scale(sx, sy);
    painter.setClipRect(QRectF(QPointF(0, 0), m_geometry.paper));
    painter.translate(m_geometry.printable.topLeft());
    m_source.PaintPage(painter, page - 1);
    painter.restore();
    painter.setPen(QColor(64, 64, 64));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(sheet.adjusted(0, 0, -1, -1));
}

} // namespace kelvo
