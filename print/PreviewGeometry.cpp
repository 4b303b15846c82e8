// The multi-page preview's geometry, zoom and page scrolling.
#include "print/PreviewGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kelvo {
namespace {

constexpr int kMargin = 8; // around and between the page cells
constexpr int kShadow = 3;

constexpr std::array<PreviewLayout, 6> kLayouts{{
    {1, 1, 1},
    {2, 2, 1},
    {3, 3, 1},
    {4, 2, 2},
    {6, 3, 2},
    {9, 3, 3},
}};

constexpr int kDefaultPages = 2;

} // namespace

std::vector<std::string> BoxEntries(std::string_view list) {
    std::vector<std::string> entries;
    for (std::size_t end = list.find('~'); end != std::string_view::npos; end = list.find('~')) {
        entries.emplace_back(list.substr(0, end));
        list.remove_prefix(end + 1);
    }
    return entries;
}

std::span<const PreviewLayout> PreviewLayouts() {
    return kLayouts;
}

int PreviewLayoutEntry(int count) {
    for (std::size_t i = 0; i < kLayouts.size(); ++i)
        if (kLayouts[i].pages == count)
            return static_cast<int>(i);
    return -1;
}

PreviewLayout PreviewLayoutFor(int count) {
    const int entry = PreviewLayoutEntry(count);
    return kLayouts[static_cast<std::size_t>(entry >= 0 ? entry
                                                        : PreviewLayoutEntry(kDefaultPages))];
}

PreviewCells ComputeCells(int clientWidth, int clientHeight, const PreviewLayout& layout) {
    PreviewCells cells;
    if (layout.rows <= 1) {
        cells.cellHeight = clientHeight;
        cells.rowStep = 0;
    } else {
        cells.cellHeight = (clientHeight - kMargin * layout.rows + kMargin) / layout.rows;
        cells.rowStep = cells.cellHeight + kMargin;
    }
    cells.columnStep = (clientWidth - kMargin) / std::max(layout.columns, 2);
    cells.space = {(clientWidth - (kMargin * layout.columns + kMargin)) / layout.columns,
                   cells.cellHeight - 2 * kMargin};
    return cells;
}

double FitRatio(PreviewSize space, PreviewSize page) {
    if (space.width <= 0 || space.height <= 0 || page.width <= 0 || page.height <= 0)
        return 0;
    return std::min(static_cast<double>(space.width) / page.width,
                    static_cast<double>(space.height) / page.height);
}

PreviewSize ScaledPage(PreviewSize page, double ratio) {
    return {static_cast<int>(std::lround(page.width * ratio)) + kShadow,
            static_cast<int>(std::lround(page.height * ratio)) + kShadow};
}

PreviewRect WholePageRect(const PreviewCells& cells, const PreviewLayout& layout, PreviewSize page,
                          int screenIndex) {
    const PreviewSize size = ScaledPage(page, FitRatio(cells.space, page));
    PreviewRect rect{kMargin, kMargin, size.width, size.height};
    rect.x += (cells.space.width - size.width) / 2 - 1;
    rect.y += (cells.space.height - size.height) / 2 - 1;
    const int columns = std::max(layout.columns, 1);
    rect.x += (screenIndex % columns) * cells.columnStep;
    rect.y += (screenIndex / columns) * cells.rowStep;
    return rect;
}

double ZoomRatio(int state, double fit) {
    const bool paperLarger = fit < 1.0;
    switch (state) {
    case 1:
        return paperLarger ? (fit + 1.0) / 2.0 : (3.0 * fit - 1.0) / 2.0;
    case 2:
        return paperLarger ? 1.0 : 2.0 * fit - 1.0;
    case 3:
        return 1.5;
    case 4:
        return 2.5;
    case 5:
        return 4.0;
    default:
        return fit;
    }
}

ZoomedPage ZoomInto(PreviewSize page, double ratio, double fx, double fy, PreviewSize viewport) {
    ZoomedPage z;
    const PreviewSize size = ScaledPage(page, ratio);
    z.page = {kMargin, kMargin, size.width, size.height};
    z.content = {size.width + 2 * kMargin, size.height + 2 * kMargin};
    // Centred in a viewport larger than the page.
    if (z.content.width < viewport.width)
        z.page.x += (viewport.width - z.content.width) / 2;
    if (z.content.height < viewport.height)
        z.page.y += (viewport.height - z.content.height) / 2;
    const auto scroll = [](double target, int content, int view) {
        const int most = std::max(content - view, 0);
        return std::clamp(static_cast<int>(std::lround(target - view / 2.0)), 0, most);
    };
    fx = std::clamp(fx, 0.0, 1.0);
    fy = std::clamp(fy, 0.0, 1.0);
    z.scrollX = scroll(z.page.x + fx * (size.width - kShadow), z.content.width, viewport.width);
    z.scrollY = scroll(z.page.y + fy * (size.height - kShadow), z.content.height, viewport.height);
    return z;
}

int FirstShownPage(int current, int first, int last, int count) {
    if (current >= last - count)
        current = last - count + 1;
    return std::clamp(current, first, std::max(first, last));
}

int ScrollPages(PageScroll request, int current, int first, int last, int count, int thumb) {
    const int tenth = std::max((last - first + 9) / 10, 1);
    switch (request) {
    case PageScroll::LineUp:
        --current;
        break;
    case PageScroll::LineDown:
        if (current <= last - count)
            ++current;
        break;
    case PageScroll::PageUp:
        current -= tenth;
        break;
    case PageScroll::PageDown:
        current += tenth;
        break;
    case PageScroll::Thumb:
        current = thumb;
        break;
    case PageScroll::Top:
        current = first;
        break;
    case PageScroll::Bottom:
        current = last;
        break;
    }
    return std::clamp(current, first, std::max(first, last));
}

int PageScrollMaximum(int first, int last, int count) {
    return std::max(first, last - count + 1);
}

} // namespace kelvo
