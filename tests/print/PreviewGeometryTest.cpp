// The preview's layouts, cells, zoom states and page scrolling without a window; and the order
// of printed pages.
#include "print/PreviewGeometry.h"
#include "print/PageOrder.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

TEST(PreviewLayouts, BoxEntriesEndInTheirTilde) {
    EXPECT_EQ(BoxEntries("50%~75%~"), (std::vector<std::string>{"50%", "75%"}));
    // Text after the last "~" is no entry; an empty entry between two is one.
    EXPECT_EQ(BoxEntries("a~~b~rest"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(BoxEntries("no tilde").empty());
}

TEST(PreviewLayouts, TheSixEntriesAndTheRememberedCount) {
    const auto layouts = PreviewLayouts();
    ASSERT_EQ(layouts.size(), 6u);
    EXPECT_EQ(layouts[3], (PreviewLayout{4, 2, 2}));
    EXPECT_EQ(layouts[4], (PreviewLayout{6, 3, 2}));
    EXPECT_EQ(layouts[5], (PreviewLayout{9, 3, 3}));
    EXPECT_EQ(PreviewLayoutEntry(9), 5);
    EXPECT_EQ(PreviewLayoutEntry(5), -1);
    // Nothing remembered (a first run stores 0) shows two pages side by side.
    EXPECT_EQ(PreviewLayoutFor(0), (PreviewLayout{2, 2, 1}));
    EXPECT_EQ(PreviewLayoutFor(7), (PreviewLayout{2, 2, 1}));
    EXPECT_EQ(PreviewLayoutFor(3), (PreviewLayout{3, 3, 1}));
}

TEST(PreviewCells, CellsStepsAndTheRoomOfAPage) {
    // One row: the cell is the whole height, no row step; two columns step by (W - 8) / 2.
    PreviewCells one = ComputeCells(808, 600, PreviewLayout{2, 2, 1});
    EXPECT_EQ(one.cellHeight, 600);
    EXPECT_EQ(one.rowStep, 0);
    EXPECT_EQ(one.columnStep, 400);
    EXPECT_EQ(one.space, (PreviewSize{(808 - 24) / 2, 600 - 16}));
    // A single column still steps by half the width (nothing uses it).
    EXPECT_EQ(ComputeCells(808, 600, PreviewLayout{1, 1, 1}).columnStep, 400);
    // 3 x 3: (H - 8 rows + 8) / rows high, stepping by the height plus 8.
    PreviewCells nine = ComputeCells(908, 608, PreviewLayout{9, 3, 3});
    EXPECT_EQ(nine.cellHeight, (608 - 24 + 8) / 3);
    EXPECT_EQ(nine.rowStep, nine.cellHeight + 8);
    EXPECT_EQ(nine.columnStep, 300);
}

TEST(PreviewCells, NinePagesOnAFourPageDocumentFillTheFirstFourCells) {
    const PreviewLayout nine = PreviewLayoutFor(9);
    // The first page shown stays the first: pages 1-4 go to screen cells 0-3.
    EXPECT_EQ(FirstShownPage(1, 1, 4, 9), 1);
    EXPECT_EQ(FirstShownPage(3, 1, 4, 9), 1);
    const PreviewCells cells = ComputeCells(908, 608, nine);
    const PreviewSize a4{794, 1123}; // A4 at 96 pixels per inch
    const PreviewRect first = WholePageRect(cells, nine, a4, 0);
    const PreviewRect second = WholePageRect(cells, nine, a4, 1);
    const PreviewRect fourth = WholePageRect(cells, nine, a4, 3);
    EXPECT_EQ(second.x - first.x, cells.columnStep);
    EXPECT_EQ(second.y, first.y);
    EXPECT_EQ(fourth.x, first.x); // the fourth cell opens the second row
    EXPECT_EQ(fourth.y - first.y, cells.rowStep);
    // The page fits its room (the shadow may stand out by its 3 pixels) and is centred in it.
    EXPECT_LE(first.height - 3, cells.space.height);
    EXPECT_LE(first.width - 3, cells.space.width);
    EXPECT_EQ(first.height - 3, cells.space.height); // a tall page: its height decides
    EXPECT_NEAR(first.y - 8 + first.height / 2.0, cells.space.height / 2.0, 2);
}

TEST(PreviewPaging, ChoosingACountNearTheEndMovesTheFirstPageBack) {
    // Six pages while page 10 of 12 is current start at 7, showing 7-12.
    EXPECT_EQ(FirstShownPage(10, 1, 12, 6), 7);
    EXPECT_EQ(FirstShownPage(2, 1, 12, 6), 2);
    EXPECT_EQ(FirstShownPage(6, 1, 12, 6), 7); // at (last - count) already
    EXPECT_EQ(FirstShownPage(5, 1, 12, 6), 5);
    EXPECT_EQ(FirstShownPage(12, 1, 12, 1), 12);
}

TEST(PreviewPaging, TheScrollBarsRequests) {
    // 12 pages, 4 at a time, page 5 current.
    EXPECT_EQ(ScrollPages(PageScroll::LineUp, 5, 1, 12, 4), 4);
    EXPECT_EQ(ScrollPages(PageScroll::LineUp, 1, 1, 12, 4), 1);
    EXPECT_EQ(ScrollPages(PageScroll::LineDown, 5, 1, 12, 4), 6);
    EXPECT_EQ(ScrollPages(PageScroll::LineDown, 8, 1, 12, 4), 9);
    EXPECT_EQ(ScrollPages(PageScroll::LineDown, 9, 1, 12, 4), 9); // 9-12 shown: no further
    // A tenth of (last - first), rounded up: 2 for 12 pages.
    EXPECT_EQ(ScrollPages(PageScroll::PageDown, 5, 1, 12, 4), 7);
    EXPECT_EQ(ScrollPages(PageScroll::PageUp, 2, 1, 12, 4), 1);
    EXPECT_EQ(ScrollPages(PageScroll::PageDown, 12, 1, 12, 4), 12);
    EXPECT_EQ(ScrollPages(PageScroll::Thumb, 5, 1, 12, 4, 8), 8);
    EXPECT_EQ(ScrollPages(PageScroll::Thumb, 5, 1, 12, 4, 40), 12);
    EXPECT_EQ(ScrollPages(PageScroll::Top, 5, 1, 12, 4), 1);
    EXPECT_EQ(ScrollPages(PageScroll::Bottom, 5, 1, 12, 4), 12);
    EXPECT_EQ(PageScrollMaximum(1, 12, 4), 9);
    EXPECT_EQ(PageScrollMaximum(1, 3, 9), 1);
}

TEST(PreviewZoom, SixClicksReturnToWholePages) {
    int state = 0;
    std::vector<int> seen;
    for (int click = 0; click < 6; ++click) {
        state = NextZoomState(state);
        seen.push_back(state);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 0}));
}

TEST(PreviewZoom, RatiosDependOnWhetherThePaperIsLargerThanItsCell) {
    // Paper larger than the cell (fit 0.4): halfway to the paper's size, then its size.
    EXPECT_DOUBLE_EQ(ZoomRatio(0, 0.4), 0.4);
    EXPECT_DOUBLE_EQ(ZoomRatio(1, 0.4), 0.7);
    EXPECT_DOUBLE_EQ(ZoomRatio(2, 0.4), 1.0);
    // Paper smaller than the cell (fit 2): half again, then twice the enlargement.
    EXPECT_DOUBLE_EQ(ZoomRatio(1, 2.0), 2.5);
    EXPECT_DOUBLE_EQ(ZoomRatio(2, 2.0), 3.0);
    EXPECT_DOUBLE_EQ(ZoomRatio(3, 0.4), 1.5);
    EXPECT_DOUBLE_EQ(ZoomRatio(4, 0.4), 2.5);
    EXPECT_DOUBLE_EQ(ZoomRatio(5, 0.4), 4.0);
}

TEST(PreviewZoom, TheClickedPointIsCentredWhereTheContentAllows) {
    const PreviewSize a4{794, 1123};
    const PreviewSize viewport{800, 600};
    // The middle of the page at 1.5: centred exactly.
    ZoomedPage z = ZoomInto(a4, 1.5, 0.5, 0.5, viewport);
    EXPECT_EQ(z.content.width, z.page.width + 16);
    EXPECT_EQ(z.content.height, z.page.height + 16);
    EXPECT_NEAR(z.scrollX + viewport.width / 2.0, z.page.x + 0.5 * (z.page.width - 3), 1);
    EXPECT_NEAR(z.scrollY + viewport.height / 2.0, z.page.y + 0.5 * (z.page.height - 3), 1);
    // The top-left corner cannot be centred: the view stays at its start.
    z = ZoomInto(a4, 1.5, 0, 0, viewport);
    EXPECT_EQ(z.scrollX, 0);
    EXPECT_EQ(z.scrollY, 0);
    // The bottom-right corner: scrolled to the end, never beyond.
    z = ZoomInto(a4, 1.5, 1, 1, viewport);
    EXPECT_EQ(z.scrollX, z.content.width - viewport.width);
    EXPECT_EQ(z.scrollY, z.content.height - viewport.height);
    // A page smaller than the viewport is centred and not scrolled.
    z = ZoomInto({100, 100}, 1, 0.9, 0.9, viewport);
    EXPECT_EQ(z.scrollX, 0);
    EXPECT_EQ(z.page.x, 8 + (800 - 119) / 2);
}

TEST(PrintPageOrder, RangesCopiesAndReverseOrder) {
    EXPECT_EQ(PageOrder({.pageCount = 3}), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(PageOrder({.pageCount = 5, .from = 2, .to = 4}), (std::vector<int>{1, 2, 3}));
    // A range beyond the subject is cut to it, or leaves nothing.
    EXPECT_EQ(PageOrder({.pageCount = 3, .from = 2, .to = 9}), (std::vector<int>{1, 2}));
    EXPECT_TRUE(PageOrder({.pageCount = 3, .from = 5, .to = 9}).empty());
    EXPECT_EQ(PageOrder({.pageCount = 2, .copies = 2, .collate = true}),
              (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(PageOrder({.pageCount = 2, .copies = 2, .collate = false}),
              (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(PageOrder({.pageCount = 3, .lastPageFirst = true}), (std::vector<int>{2, 1, 0}));
    // A printer that makes the copies itself gets the pages once.
    EXPECT_EQ(PageOrder({.pageCount = 2, .copies = 3, .deviceMakesCopies = true}),
              (std::vector<int>{0, 1}));
}

} // namespace
} // namespace kelvo
