// Tests of drawing markup with Qt: the marked words' colours and bold reach the pixels, the
// pieces the layout places are where the text is drawn, and fonts have the heights asked for.
#include "markup/ui/MarkupPainter.h"

#include "markup/MarkupParser.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

using namespace kelvo;

namespace {

AnsiString Ansi(std::string_view utf8) {
    AnsiString out;
    EXPECT_TRUE(Utf8ToAnsi(utf8, out));
    return out;
}

struct Drawn {
    QImage image;
    std::vector<MarkupPiece> pieces;
};

Drawn Draw(AnsiView text, QSize size = {300, 60}, const MarkupStyle& style = DefaultCellStyle()) {
    Drawn drawn{QImage(size, QImage::Format_RGB32), {}};
    drawn.image.fill(Qt::white);
    QtTextMeasurer measurer(96);
    QPainter painter(&drawn.image);
    drawn.pieces =
        RenderMarkup(painter, text, style, QRect(QPoint(0, 0), size), MarkupAlign::Left, measurer);
    return drawn;
}

// The bounding box of the pixels for which `match` holds; empty when there are none.
QRect InkBox(const QImage& image, const std::function<bool(QColor)>& match) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

int InkCount(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++count;
    return count;
}

bool Reddish(QColor c) {
    return c.red() > 150 && c.green() < 110 && c.blue() < 110;
}
bool Bluish(QColor c) {
    return c.blue() > 150 && c.red() < 110 && c.green() < 110;
}
bool Dark(QColor c) {
    return c.red() < 100 && c.green() < 100 && c.blue() < 100;
}

} // namespace

TEST(MarkupPainter, MarkedWordsAreDrawnInTheirColourWhereTheLayoutPlacedThem) {
    Drawn drawn = Draw("plain <font color=#0000FF><b>found</b></font> and <font "
                       "color=#FF0000>red</font> end");
    ASSERT_EQ(drawn.pieces.size(), 5u);
    const QRect found = ToQRect(drawn.pieces[1].rect);
    const QRect red = ToQRect(drawn.pieces[3].rect);
    ASSERT_EQ(drawn.pieces[1].text, "found");
    ASSERT_TRUE(drawn.pieces[1].style.bold);

    // Blue ink only inside the marked word's piece, red only inside the red one (a pixel of
    // slack for antialiased edges).
    const QRect blueInk = InkBox(drawn.image, Bluish);
    const QRect redInk = InkBox(drawn.image, Reddish);
    ASSERT_FALSE(blueInk.isEmpty());
    ASSERT_FALSE(redInk.isEmpty());
    EXPECT_TRUE(found.adjusted(-1, -1, 1, 1).contains(blueInk)) << blueInk.x() << " " << found.x();
    EXPECT_TRUE(red.adjusted(-1, -1, 1, 1).contains(redInk));
    // The rest is drawn in the style's colour (black), and only outside the coloured words.
    const QRect plain = ToQRect(drawn.pieces[0].rect);
    EXPECT_GT(InkCount(drawn.image, plain), 20);
    EXPECT_TRUE(InkBox(drawn.image, Dark).intersects(ToQRect(drawn.pieces[4].rect)));
    // The block is centred vertically in the 60-pixel rectangle.
    const int middle = (found.top() + found.bottom()) / 2;
    EXPECT_NEAR(middle, 30, 2);
}

TEST(MarkupPainter, BoldAndUnderlineReachThePixels) {
    const Drawn regular = Draw("HHHHHH");
    const Drawn bold = Draw("<b>HHHHHH</b>");
    const Drawn underlined = Draw("<u>HHHHHH</u>");
    const QRect all(0, 0, 300, 60);
    EXPECT_GT(InkCount(bold.image, all), InkCount(regular.image, all) * 5 / 4);
    EXPECT_GE(bold.pieces[0].rect.right, regular.pieces[0].rect.right);

    // Underline: ink below the baseline, where capitals leave none.
    const MarkupPiece& piece = regular.pieces[0];
    const QRect belowBaseline(piece.rect.left, piece.rect.top + piece.ascent + 1,
                              piece.rect.right - piece.rect.left,
                              piece.rect.bottom - piece.rect.top - piece.ascent - 1);
    EXPECT_EQ(InkCount(regular.image, belowBaseline), 0);
    EXPECT_GT(InkCount(underlined.image, belowBaseline), 10);
}

TEST(MarkupPainter, FontsHaveTheHeightsTheirStylesAskFor) {
    QtTextMeasurer measurer(96);
    // The cell style's -10 points ask for a cell height of 13 pixels at 96 dpi.
    const MarkupStyle cell = DefaultCellStyle();
    EXPECT_LE(measurer.Metrics(cell).height(), 13);
    EXPECT_GE(measurer.Metrics(cell).height(), 11);
    // 10 points ask for a character height of 13 pixels.
    MarkupStyle points = cell;
    points.points = 10;
    EXPECT_EQ(measurer.Font(points).pixelSize(), 13);
    EXPECT_GT(measurer.Metrics(points).height(), measurer.Metrics(cell).height());
    // Twice the resolution, twice the size.
    QtTextMeasurer fine(192);
    EXPECT_EQ(fine.Font(points).pixelSize(), 26);

    // A size=+2 font is half as large again; measuring agrees with the painter's metrics.
    auto runs = ParseMarkup("<font size=+2>Wide</font>", cell);
    ASSERT_EQ(runs.size(), 1u);
    const int large = measurer.Measure("Wide", runs[0].style).height;
    EXPECT_NEAR(large, measurer.Metrics(cell).height() * 3 / 2, 2);
    // Measuring agrees with the width Qt gives the drawn string, in every style and for
    // every prefix the layout may ask about, to the pixel: a ligature ("fi" in some faces)
    // or the rounding of the summed advances may move the drawn end by one.
    const AnsiString mixed = Ansi("Договор AVAWAY, «квартира» № 17; fi fl Ёж — WAVE. ‰");
    for (AnsiView markup : {AnsiView(""), AnsiView("<b>"), AnsiView("<i>"),
                            AnsiView("<font size=6 face=\"Courier New\">")}) {
        const MarkupStyle style = ParseMarkup(AnsiString(markup) + "x", cell)[0].style;
        for (std::size_t length = 1; length <= mixed.size(); length += 3) {
            const AnsiView prefix = AnsiView(mixed).substr(0, length);
            const int measured = measurer.Measure(prefix, style).width;
            const int drawn = measurer.Metrics(style).horizontalAdvance(MarkupQString(prefix));
            EXPECT_NEAR(measured, drawn, 1) << markup << " " << length;
        }
    }

    // Absurd sizes are held to a bound instead of making a font thousands of pixels high.
    runs = ParseMarkup("<font size=1000>x</font>", cell);
    EXPECT_LE(measurer.Font(runs[0].style).pixelSize(), QtTextMeasurer::kMaxPixelSize);
    const Drawn huge = Draw("<font size=1000>x</font>y");
    EXPECT_FALSE(huge.pieces.empty());
}

TEST(MarkupPainter, WrappedTextStaysInsideItsRectangleAndHeightsAddUp) {
    QtTextMeasurer measurer(96);
    const MarkupStyle cell = DefaultCellStyle();
    const int line = measurer.Metrics(cell).height();
    EXPECT_EQ(MarkupTextHeight("one<br>two", cell, 200, measurer), 2 * line + 1);
    EXPECT_EQ(MarkupTextHeight("one<br><br>two", cell, 200, measurer), 3 * line + 2);
    EXPECT_EQ(MarkupTextHeight("", cell, 200, measurer), 0);

    const AnsiString phrase = Ansi("Длинная русская фраза переносится между буквами");
    const Drawn drawn = Draw(phrase, {90, 120});
    ASSERT_GT(drawn.pieces.size(), 3u);
    for (const MarkupPiece& piece : drawn.pieces)
        EXPECT_LT(piece.rect.right, 90) << AnsiToUtf8(piece.text);
    EXPECT_EQ(MarkupTextHeight(phrase, cell, 90, measurer),
              drawn.pieces.back().rect.bottom - drawn.pieces.front().rect.top);
    // Every letter of the phrase is drawn once, in order (blanks at a wrap are dropped).
    AnsiString joined, letters;
    for (const MarkupPiece& piece : drawn.pieces)
        joined += piece.text;
    std::erase(joined, ' ');
    std::copy_if(phrase.begin(), phrase.end(), std::back_inserter(letters),
                 [](char c) { return c != ' '; });
    EXPECT_EQ(joined, letters);
    EXPECT_EQ(MarkupQString(Ansi("Ёж")), QStringLiteral("Ёж"));
}
