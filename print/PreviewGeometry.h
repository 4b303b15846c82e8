// The multi-page preview without its window: the page layouts of the pages box, the cells the
// pages are drawn in, the six click-zoom states and their ratios, the page a zoom shows and
// where it scrolls to, and the page scrolling. Pages are numbered from 1.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

/// One entry of the pages box.
struct PreviewLayout {
    int pages = 1;
    int columns = 1;
    int rows = 1;
    bool operator==(const PreviewLayout&) const = default;
};

/// The entries of a box list such as the pages box's: each is the text before a "~", in
/// order; text after the last "~" is no entry.
std::vector<std::string> BoxEntries(std::string_view list);

/// The six entries: 1, 2, 3 pages in a row, 4 as 2 x 2, 6 as 3 x 2, 9 as 3 x 3.
std::span<const PreviewLayout> PreviewLayouts();
/// The entry whose page count is `count`, or -1 when no entry has it.
int PreviewLayoutEntry(int count);
/// The layout of a remembered page count; a count that no entry has (nothing remembered yet)
/// gives two pages.
PreviewLayout PreviewLayoutFor(int count);

struct PreviewSize {
    int width = 0, height = 0;
    bool operator==(const PreviewSize&) const = default;
};
struct PreviewRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Contains(int px, int py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
    bool operator==(const PreviewRect&) const = default;
};

/// The cells of whole-page mode in a client area (less the page scroll bar when one is shown).
struct PreviewCells {
    int cellHeight = 0;
    int rowStep = 0; ///< 0 with one row
    int columnStep = 0;
    PreviewSize space; ///< the room one page may take
};
PreviewCells ComputeCells(int clientWidth, int clientHeight, const PreviewLayout& layout);

/// The scale at which a page (its paper at screen resolution) fits `space`; 0 when either is
/// empty.
double FitRatio(PreviewSize space, PreviewSize page);

/// The page scaled by `ratio`, as drawn: 3 pixels of shadow on the right and at the bottom are
/// part of the rectangle.
PreviewSize ScaledPage(PreviewSize page, double ratio);

/// The rectangle (shadow included) of the `screenIndex`-th page shown in whole-page mode:
/// scaled to fit its cell, centred in the first cell, then moved by whole column and row steps.
PreviewRect WholePageRect(const PreviewCells& cells, const PreviewLayout& layout, PreviewSize page,
                          int screenIndex);

/// Zoom states: 0 shows whole pages, 1 to 5 one page ever larger; a click advances 5 to 0.
inline constexpr int kZoomStates = 6;
inline constexpr int NextZoomState(int state) {
    return (state + 1) % kZoomStates;
}
/// The scale of a zoom state, given the fit ratio `fit` of state 0: state 1 halfway between
/// fitting and the paper's own size when the paper is larger than its cell (else half again as
/// far beyond the fit), state 2 the paper's size (else twice the enlargement), then 1.5, 2.5, 4.
double ZoomRatio(int state, double fit);

/// One page shown alone at a scale.
struct ZoomedPage {
    PreviewRect page;    ///< in content coordinates, shadow included
    PreviewSize content; ///< the page's rectangle plus 16 pixels each way
    int scrollX = 0, scrollY = 0;
};
/// Shows `page` at `ratio` in a viewport, scrolled so that the point at (`fx`, `fy`) — fractions
/// of the page's width and height, the point clicked — lies in the middle where the content
/// allows. A page smaller than the viewport is centred in it.
ZoomedPage ZoomInto(PreviewSize page, double ratio, double fx, double fy, PreviewSize viewport);

/// The first page shown when whole pages are shown `count` at a time (after a change of the
/// count or a return from zoom): a current page at or after (last - count) moves back to
/// (last - count + 1); the result stays between first and last.
int FirstShownPage(int current, int first, int last, int count);

/// Requests of the page scroll bar in whole-page mode.
enum class PageScroll { LineUp, LineDown, PageUp, PageDown, Thumb, Top, Bottom };
/// The new current page: one up or down (down only while current is not beyond last - count),
/// a tenth of the pages (rounded up) for page up and down, the thumb's position, the first or
/// the last page; always between first and last.
int ScrollPages(PageScroll request, int current, int first, int last, int count, int thumb = 0);
/// The largest value of the page scroll bar: the page that shows the last `count` pages.
int PageScrollMaximum(int first, int last, int count);

} // namespace kelvo
