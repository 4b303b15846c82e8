// The preview window and the print loop offscreen: the bar and its boxes, the page layouts on
// documents of 4 and 12 pages, six clicks back to whole pages, the cursor, page scrolling, the
// zoom box; printing a page range to PDF, Page Setup keeping its margins apart, the preview
// telling the window when it opens and closes.
#include "print/ui/PreviewWindow.h"
#include "print/ui/PrintController.h"
#include "tests/print/paint/PdfReader.h"

#include <QComboBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

/// Pages that say which page they are.
class NumberedPages : public PageSource {
public:
    explicit NumberedPages(int pages) : m_pages(pages) {}
    void Layout(const PageGeometry& geometry) override {
        ++layouts;
        dpi = geometry.dpiY;
    }
    int PageCount() const override { return m_pages; }
    void PaintPage(QPainter& painter, int index) override {
        QFont font;
        font.setPixelSize(static_cast<int>(dpi / 4));
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(dpi, dpi), QStringLiteral("Страница %1").arg(index + 1));
        painted.push_back(index);
    }
    int layouts = 0;
    double dpi = 96;
    std::vector<int> painted;

private:
    int m_pages;
};

PageGeometry A4At(double dpi) {
    PageGeometry g;
    g.dpiX = g.dpiY = dpi;
    g.paper = QSizeF(8.27 * dpi, 11.69 * dpi);
    g.printable = QRectF(QPointF(0, 0), g.paper);
    return g;
}

struct Preview {
    explicit Preview(int pages, int shown = 0)
        : source(std::make_shared<NumberedPages>(pages)), window(source, A4At(600), shown) {
        window.resize(1000, 760);
        window.show();
        QApplication::processEvents();
    }
    CMultiPagePreviewView& View() { return window.View(); }
    void Choose(QComboBox& box, int entry) {
        box.setCurrentIndex(entry);
        emit box.activated(entry);
        QApplication::processEvents();
    }
    std::shared_ptr<NumberedPages> source;
    PreviewWindow window;
};

TEST(PreviewWindow, TheBarItsBoxesAndTheFirstRunsTwoPages) {
    Preview p(5);
    auto* print = p.window.findChild<QPushButton*>(QStringLiteral("PreviewPrint"));
    auto* close = p.window.findChild<QPushButton*>(QStringLiteral("PreviewClose"));
    ASSERT_TRUE(print && close);
    EXPECT_EQ(print->text(), QStringLiteral("&Печать..."));
    EXPECT_EQ(print->accessibleName(), QStringLiteral("Печать..."));
    EXPECT_EQ(close->text(), QStringLiteral("&Закрыть"));
    EXPECT_FALSE(print->toolTip().isEmpty());
    QComboBox& pages = p.window.PagesBox();
    ASSERT_EQ(pages.count(), 6);
    EXPECT_EQ(pages.itemText(0), QStringLiteral("1 страница"));
    EXPECT_EQ(pages.itemText(5), QStringLiteral("9 страниц"));
    EXPECT_EQ(p.window.ZoomBox().count(), 6);
    EXPECT_EQ(p.window.ZoomBox().itemText(5), QStringLiteral("200%"));
    // Nothing remembered: two pages, side by side, and the box says so.
    EXPECT_EQ(p.View().PagesShown(), 2);
    EXPECT_EQ(pages.currentIndex(), 1);
    const auto rects = p.View().PageRects();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].y(), rects[1].y());
    EXPECT_GT(rects[1].x(), rects[0].right());
    // A remembered count that is none of the box's shows two pages as well.
    Preview odd(5, 5);
    EXPECT_EQ(odd.View().PagesShown(), 2);
}

TEST(PreviewWindow, PageCountsOnDocumentsOfFourAndTwelvePages) {
    Preview four(4, 2);
    int chosen = 0;
    QObject::connect(&four.window, &PreviewWindow::PagesShownChosen,
                     [&chosen](int count) { chosen = count; });
    four.Choose(four.window.PagesBox(), 5); // 9 pages
    EXPECT_EQ(chosen, 9);
    EXPECT_EQ(four.View().CurrentPage(), 1);
    const auto rects = four.View().PageRects();
    ASSERT_EQ(rects.size(), 4u); // pages 1-4 in the first four cells of 3 x 3
    EXPECT_EQ(rects[3].x(), rects[0].x());
    EXPECT_GT(rects[3].y(), rects[0].bottom());

    Preview twelve(12, 1);
    twelve.View().SetCurrentPage(10);
    twelve.Choose(twelve.window.PagesBox(), 4); // 6 pages
    EXPECT_EQ(twelve.View().CurrentPage(), 7);
    EXPECT_EQ(twelve.View().PageRects().size(), 6u);
    // The pages painted are those shown, 7 to 12.
    twelve.source->painted.clear();
    twelve.View().viewport()->repaint();
    std::vector<int> painted = twelve.source->painted;
    std::sort(painted.begin(), painted.end());
    EXPECT_EQ(painted, (std::vector<int>{6, 7, 8, 9, 10, 11}));
}

TEST(PreviewWindow, SixClicksOnAPageReturnToWholePages) {
    Preview p(3, 1);
    QWidget* viewport = p.View().viewport();
    std::vector<int> states;
    std::vector<double> ratios;
    for (int click = 0; click < 6; ++click) {
        const QRect page = p.View().PageRects().front();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, page.center());
        states.push_back(p.View().ZoomState());
        ratios.push_back(p.View().CurrentRatio());
    }
    EXPECT_EQ(states, (std::vector<int>{1, 2, 3, 4, 5, 0}));
    // A4 is larger than its cell: halfway to the paper's size, its size, then 1.5, 2.5, 4.
    EXPECT_LT(ratios[0], 1.0);
    EXPECT_DOUBLE_EQ(ratios[1], 1.0);
    EXPECT_DOUBLE_EQ(ratios[2], 1.5);
    EXPECT_DOUBLE_EQ(ratios[4], 4.0);
    // A zoomed page is shown alone and scrolls as a whole; the paper at 1.5 is wider than
    // the window.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, p.View().PageRects().front().center());
    QTest::mouseClick(viewport, Qt::LeftButton, {}, p.View().PageRects().front().center());
    QTest::mouseClick(viewport, Qt::LeftButton, {}, p.View().PageRects().front().center());
    ASSERT_EQ(p.View().ZoomState(), 3);
    EXPECT_EQ(p.View().PageRects().size(), 1u);
    EXPECT_GT(p.View().horizontalScrollBar()->maximum(), 0);
    // A click beside the page does nothing.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(p.View().ZoomState(), 3);
}

TEST(PreviewWindow, TheCursorShowsWhereAClickZooms) {
    Preview p(2, 1);
    QWidget* viewport = p.View().viewport();
    const QRect page = p.View().PageRects().front();
    QTest::mouseMove(viewport, page.center());
    EXPECT_EQ(viewport->cursor().shape(), Qt::BitmapCursor); // the magnifier
    QTest::mouseMove(viewport, QPoint(2, 2));
    EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor);
    for (int click = 0; click < 5; ++click)
        p.View().ClickAt(p.View().PageRects().front().center());
    ASSERT_EQ(p.View().ZoomState(), 5);
    QTest::mouseMove(viewport, p.View().PageRects().front().center() + QPoint(1, 1));
    EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor); // nothing larger to come
}

TEST(PreviewWindow, TheScrollBarTurnsPages) {
    Preview p(12, 4);
    QScrollBar* bar = p.View().verticalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), 9);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(p.View().CurrentPage(), 3); // a tenth of 11 pages, rounded up
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(p.View().CurrentPage(), 4);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(p.View().CurrentPage(), 12);
    EXPECT_EQ(p.View().PageRects().size(), 1u);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(p.View().CurrentPage(), 1);
    // A single page needs no scroll bar.
    Preview one(1, 4);
    EXPECT_FALSE(one.View().verticalScrollBar()->isVisible());
}

TEST(PreviewWindow, TheZoomBoxShowsThePageAtItsScaleUntilAClick) {
    Preview p(3, 2);
    const PreviewSize paper = p.View().PaperOnScreen();
    p.Choose(p.window.ZoomBox(), 5); // 200%
    ASSERT_TRUE(p.View().BoxZoom().has_value());
    EXPECT_DOUBLE_EQ(*p.View().BoxZoom(), 2.0);
    const auto rects = p.View().PageRects();
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_NEAR(rects[0].width(), paper.width * 2 + 3, 1);
    QTest::mouseClick(p.View().viewport(), Qt::LeftButton, {}, QPoint(rects[0].x() + 20, 60));
    EXPECT_FALSE(p.View().IsZoomed());
    EXPECT_EQ(p.window.ZoomBox().currentIndex(), -1);
    EXPECT_EQ(p.View().PageRects().size(), 2u);
}

class PrintLoop : public ::testing::Test {
protected:
    void SetUp() override {
        hooks.showMessage = [this](const QString& text) { messages << text; };
        hooks.previewPages = [this] { return remembered; };
        hooks.setPreviewPages = [this](int count) { remembered = count; };
        hooks.previewMode = [this](bool on) { modes.push_back(on); };
        hooks.printDialog = [this](QPrinter& printer, int pages, QWidget*) {
            dialogPages = pages;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            if (from > 0) {
                printer.setPrintRange(QPrinter::PageRange);
                printer.setFromTo(from, to);
            }
            return accept;
        };
    }
    QTemporaryDir dir;
    QString pdf = dir.path() + QStringLiteral("/печать.pdf");
    PrintHooks hooks;
    QStringList messages;
    int remembered = 0;
    std::vector<bool> modes;
    int dialogPages = 0, from = 0, to = 0;
    bool accept = true;
    QWidget window;
};

TEST_F(PrintLoop, PrintsThePagesChosenInTheDialog) {
    if (!test::HavePoppler())
        GTEST_SKIP() << "poppler-utils are not installed";
    PrintController printing(&window, hooks);
    auto source = std::make_shared<NumberedPages>(5);
    from = 2;
    to = 3;
    ASSERT_TRUE(printing.Print(source));
    EXPECT_EQ(dialogPages, 5);
    const QStringList pages = test::PdfPages(pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0].trimmed(), QStringLiteral("Страница 2"));
    EXPECT_EQ(pages[1].trimmed(), QStringLiteral("Страница 3"));
    EXPECT_TRUE(messages.isEmpty());
    // Cancelled: nothing printed.
    accept = false;
    source->painted.clear();
    EXPECT_FALSE(printing.Print(source));
    EXPECT_TRUE(source->painted.empty());
}

TEST_F(PrintLoop, APrinterThatTakesNoPagesIsReported) {
    hooks.printDialog = [](QPrinter& printer, int, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("/нет/такой/папки/файл.pdf"));
        return true;
    };
    PrintController printing(&window, hooks);
    EXPECT_FALSE(printing.Print(std::make_shared<NumberedPages>(2)));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromStdString(std::string(StringText(msg::PrintFailed))));
}

TEST_F(PrintLoop, PageSetupKeepsItsMarginsForItselfAndThePaperForThePrinter) {
    hooks.pageSetupDialog = [](QPrinter& printer, QWidget*) {
        // The dialog opens in inches on the margins of last time.
        EXPECT_EQ(printer.pageLayout().units(), QPageLayout::Inch);
        EXPECT_NEAR(printer.pageLayout().margins().left(), 0.5, 1e-6);
        printer.setPageSize(QPageSize(QPageSize::A5));
        printer.setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Inch);
        return true;
    };
    PrintController printing(&window, hooks);
    const QMarginsF printerMargins = printing.Printer().pageLayout().margins(QPageLayout::Inch);
    int changes = 0;
    QObject::connect(&printing, &PrintController::PaperChanged, [&changes] { ++changes; });
    printing.PageSetup();
    EXPECT_EQ(changes, 1);
    EXPECT_NEAR(printing.PageSetupMargins().left(), 1440, 1);
    EXPECT_NEAR(printing.PageSetupMargins().bottom(), 1440, 1);
    // The printer keeps the paper, not the margins.
    EXPECT_EQ(printing.Printer().pageLayout().pageSize().id(), QPageSize::A5);
    const QMarginsF after = printing.Printer().pageLayout().margins(QPageLayout::Inch);
    EXPECT_NEAR(after.left(), printerMargins.left(), 1e-3);
    EXPECT_NEAR(after.top(), printerMargins.top(), 1e-3);
    // The editor's printer mode wraps at A5 (148 mm, which Qt rounds to whole points) less two
    // margins of 720 twips.
    EXPECT_NEAR(printing.PrintableWidthTwips(), 148.0 / 25.4 * 1440 - 1440, 20);

    // Cancelled: nothing changes.
    hooks.pageSetupDialog = [](QPrinter& printer, QWidget*) {
        printer.setPageSize(QPageSize(QPageSize::Letter));
        return false;
    };
    PrintController other(&window, hooks);
    const QPageLayout before = other.Printer().pageLayout();
    other.PageSetup();
    EXPECT_TRUE(other.Printer().pageLayout().isEquivalentTo(before));
    EXPECT_NEAR(other.PageSetupMargins().left(), 720, 1e-6);
}

TEST_F(PrintLoop, ThePreviewRemembersItsPageCountAndPrintsFromItsBar) {
    if (!test::HavePoppler())
        GTEST_SKIP() << "poppler-utils are not installed";
    remembered = 4;
    PrintController printing(&window, hooks);
    auto source = std::make_shared<NumberedPages>(6);
    PreviewWindow* preview = printing.Preview(source);
    ASSERT_TRUE(preview);
    EXPECT_EQ(modes, (std::vector<bool>{true}));
    EXPECT_EQ(preview->View().PagesShown(), 4);
    EXPECT_EQ(preview->PagesBox().currentIndex(), 3);
    preview->PagesBox().setCurrentIndex(0);
    emit preview->PagesBox().activated(0);
    EXPECT_EQ(remembered, 1);

    QPointer<PreviewWindow> alive(preview);
    preview->findChild<QPushButton*>(QStringLiteral("PreviewPrint"))->click();
    QTRY_VERIFY(alive.isNull()); // the preview closes, then the dialog and the printing
    QTRY_COMPARE(test::PdfPages(pdf).size(), 6);
    EXPECT_EQ(modes, (std::vector<bool>{true, false}));
    EXPECT_EQ(printing.CurrentPreview(), nullptr);
}

} // namespace
} // namespace kelvo
