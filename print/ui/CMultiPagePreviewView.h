// The multi-page preview: 1, 2, 3, 4, 6 or 9 pages of a printed subject at once, a click on a
// page zooming in six steps (the sixth click returns to whole pages), the zoom box's scales, and
// page scrolling in whole-page mode. Pages are painted by the subject's own page painter.
#pragma once

#include "print/PreviewGeometry.h"
#include "print/paint/PageSource.h"

#include <QAbstractScrollArea>

#include <optional>
#include <vector>

namespace kelvo {

class CMultiPagePreviewView : public QAbstractScrollArea {
    Q_OBJECT
public:
    /// `source` is laid out for `geometry` (the printer's) and outlives the view.
    CMultiPagePreviewView(PageSource& source, const PageGeometry& geometry, int pagesShown,
                          QWidget* parent = nullptr);

    /// Shows `count` pages at a time (a count of the pages box).
    void SetPagesShown(int count);
    int PagesShown() const { return m_layout.pages; }
    PreviewLayout Layout() const { return m_layout; }
    int FirstPage() const { return 1; }
    int LastPage() const;
    /// The first page shown (the one shown alone while zoomed).
    int CurrentPage() const { return m_current; }
    void SetCurrentPage(int page);

    /// 0 for whole pages, 1 to 5 for the click-zoom states.
    int ZoomState() const { return m_state; }
    /// A scale of the zoom box, of the paper's own size, while one is chosen.
    std::optional<double> BoxZoom() const { return m_boxRatio; }
    bool IsZoomed() const { return m_state != 0 || m_boxRatio.has_value(); }
    /// Shows the current page alone at `ratio` of its paper's size at screen resolution.
    void ZoomTo(double ratio);
    /// The scale pages are shown at now.
    double CurrentRatio() const;

    /// What a left click at a viewport point does: over a page, the next zoom state.
    void ClickAt(QPoint viewportPos);
    /// Where the shown pages are in the viewport, shadow included, first shown first.
    std::vector<QRect> PageRects() const;
    /// The paper at screen resolution.
    PreviewSize PaperOnScreen() const;
    /// Asks the subject for its layout again (the paper changed).
    void Relayout(const PageGeometry& geometry);

signals:
    /// The zoom state or the box's scale changed.
    void ZoomChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    PreviewSize Viewport() const;
    double Fit() const;
    void ShowWholePages();
    void ZoomInto(int page, double ratio, double fx, double fy);
    void UpdateScrollBars();
    void OnVerticalAction(int action);
    void OnThumbReleased();
    void UpdateCursor(QPoint viewportPos);
    void PaintPage(class QPainter& painter, const QRect& rect, int page);

    PageSource& m_source;
    PageGeometry m_geometry;
    PreviewLayout m_layout;
    int m_current = 1;
    int m_state = 0;
    std::optional<double> m_boxRatio;
    ZoomedPage m_zoomed;
    bool m_settingBars = false;
};

} // namespace kelvo
