// Tests of markup layout: wrapping of Latin and Cyrillic text, baselines, blank lines,
// alignment and vertical centring, measured with a fixed-width fake.
#include "markup/MarkupLayout.h"
#include "FakeMeasurer.h"
#include "markup/MarkupParser.h"
#include "platform/text/Ansi.h"

#include <gtest/gtest.h>

#include <random>

using namespace kelvo;
using kelvo::test::FakeMeasurer;

namespace {

// Default cell style: characters 5 wide, lines 12 high, ascent 10.
std::vector<MarkupPiece> Render(AnsiView text, MarkupRect rect,
                                MarkupAlign align = MarkupAlign::Left) {
    FakeMeasurer measurer;
    return RenderMarkup(text, DefaultCellStyle(), rect, align, measurer);
}

std::vector<MarkupPiece> Layout(AnsiView text, MarkupRect rect) {
    FakeMeasurer measurer;
    return LayoutMarkup(ParseMarkup(text, DefaultCellStyle()), rect, measurer);
}

std::vector<AnsiString> Texts(const std::vector<MarkupPiece>& pieces) {
    std::vector<AnsiString> texts;
    for (const auto& piece : pieces)
        texts.push_back(piece.text);
    return texts;
}

AnsiString Ansi(std::string_view utf8) {
    AnsiString out;
    EXPECT_TRUE(Utf8ToAnsi(utf8, out));
    return out;
}

bool Latin(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The wrap as first described: cut back one Latin word or one other character at a time
// until the piece fits; on an empty line take characters while they fit.
std::vector<AnsiString> ReferenceWrap(AnsiString text, int charWidth, int right) {
    std::vector<AnsiString> pieces;
    while (!text.empty()) {
        AnsiString piece = text;
        bool wrapped = false;
        if (static_cast<int>(piece.size()) * charWidth >= right) {
            wrapped = true;
            while (!piece.empty() && static_cast<int>(piece.size()) * charWidth >= right) {
                if (Latin(piece.back()))
                    while (!piece.empty() && Latin(piece.back()))
                        piece.pop_back();
                else
                    piece.pop_back();
            }
            if (piece.empty()) {
                piece = text.substr(0, 1);
                while (piece.size() < text.size() &&
                       static_cast<int>(piece.size() + 1) * charWidth <= right)
                    piece += text[piece.size()];
            }
        }
        pieces.push_back(piece);
        text.erase(0, piece.size());
        if (wrapped)
            while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
                text.erase(0, 1);
    }
    return pieces;
}

} // namespace

TEST(MarkupLayout, RunsShareALineAndItsBaseline) {
    auto pieces = Layout("a<b>b</b>c", {0, 0, 200, 100});
    ASSERT_EQ(Texts(pieces), (std::vector<AnsiString>{"a", "b", "c"}));
    EXPECT_EQ(pieces[1].rect, (MarkupRect{5, 0, 10, 12}));
    EXPECT_TRUE(pieces[1].style.bold);
    for (const auto& piece : pieces)
        EXPECT_EQ(piece.line, 0);

    // A larger font lowers the smaller pieces to its baseline; the next line starts below
    // the tallest piece.
    pieces = Layout("a<font size=7>B</font>c<br>d", {0, 0, 200, 100});
    ASSERT_EQ(Texts(pieces), (std::vector<AnsiString>{"a", "B", "c", "d"}));
    EXPECT_EQ(pieces[1].rect, (MarkupRect{5, 0, 20, 32}));
    EXPECT_EQ(pieces[0].rect.top, 20); // ascents 30 and 10
    EXPECT_EQ(pieces[2].rect.top, 20);
    EXPECT_EQ(pieces[3].rect.top, 33);
    EXPECT_EQ(pieces[3].line, 1);
}

TEST(MarkupLayout, BreaksAndParagraphsMakeLines) {
    auto pieces = Layout("one<br><br>two", {10, 0, 200, 100});
    ASSERT_EQ(Texts(pieces), (std::vector<AnsiString>{"one", " ", "two"}));
    EXPECT_EQ(pieces[1].rect, (MarkupRect{10, 13, 15, 25})); // a blank's height
    EXPECT_EQ(pieces[2].rect.top, 26);
    EXPECT_EQ(pieces[2].line, 2);

    pieces = Layout("<p>first</p><p>second</p>", {0, 0, 200, 100});
    ASSERT_EQ(Texts(pieces), (std::vector<AnsiString>{"first", "second"}));
    EXPECT_EQ(pieces[1].line, 1);
}

TEST(MarkupLayout, LatinWordsWrapWholeAndLongOnesSplit) {
    auto pieces = Layout("hello world", {0, 0, 40, 100});
    ASSERT_EQ(Texts(pieces), (std::vector<AnsiString>{"hello ", "world"}));
    EXPECT_EQ(pieces[1].rect, (MarkupRect{0, 13, 25, 25}));

    // Wider than the rectangle: split at the character that no longer fits.
    EXPECT_EQ(Texts(Layout("abcdefghij", {0, 0, 20, 100})),
              (std::vector<AnsiString>{"abcd", "efgh", "ij"}));
    // Digits and punctuation end a word.
    EXPECT_EQ(Texts(Layout("ab12cd,ef", {0, 0, 30, 100})),
              (std::vector<AnsiString>{"ab12", "cd,ef"}));
    // A wrapped line that already has pieces moves the whole next word down.
    EXPECT_EQ(Texts(Layout("<b>ab</b> cdefghi", {0, 0, 30, 100})),
              (std::vector<AnsiString>{"ab", " ", "cdefgh", "i"}));
    // Even a rectangle with no width places one character per line.
    EXPECT_EQ(Texts(Layout("xyz", {0, 0, 0, 100})), (std::vector<AnsiString>{"x", "y", "z"}));
}

TEST(MarkupLayout, CyrillicWrapsBetweenLetters) {
    auto pieces = Layout(Ansi("Привет мир"), {0, 0, 22, 100});
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(AnsiToUtf8(pieces[0].text), "Прив");
    EXPECT_EQ(AnsiToUtf8(pieces[1].text), "ет м");
    EXPECT_EQ(AnsiToUtf8(pieces[2].text), "ир");
}

TEST(MarkupLayout, WrapMatchesCuttingBackOneStepAtATime) {
    std::mt19937 rng(12345);
    const AnsiString letters = "abcXYZ  ,1" + Ansi("жЯ");
    for (int round = 0; round < 300; ++round) {
        AnsiString text;
        int length = 1 + static_cast<int>(rng() % 40);
        for (int i = 0; i < length; ++i)
            text += letters[rng() % letters.size()];
        if (text.front() == ' ')
            text.front() = 'q';
        int right = static_cast<int>(rng() % 60);
        EXPECT_EQ(Texts(Layout(text, {0, 0, right, 1000})), ReferenceWrap(text, 5, right))
            << text << " in " << right;
    }
}

TEST(MarkupLayout, LinesAlignAndTheBlockCentresVertically) {
    auto pieces = Render("<p align=right>ab</p>cd<center>ef</center>", {0, 0, 100, 100});
    ASSERT_EQ(Texts(pieces), (std::vector<AnsiString>{"ab", "cd", "ef"}));
    EXPECT_EQ(pieces[0].rect.left, 89); // 100 - 10 - 1
    EXPECT_EQ(pieces[1].rect.left, 0);
    EXPECT_EQ(pieces[2].rect.left, 45); // (100 - 10) / 2
    // Three lines of 12 with a pixel between: bottom 38, moved down by (100 - 38) / 2.
    EXPECT_EQ(pieces[0].rect.top, 31);
    EXPECT_EQ(pieces[2].rect.bottom, 69);

    // The initial alignment applies until a paragraph changes it.
    pieces = Render("xy", {10, 20, 110, 32}, MarkupAlign::Centre);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].rect, (MarkupRect{55, 20, 65, 32})); // exact height: not moved

    // Taller than the rectangle: not moved up.
    pieces = Render("a<br>b<br>c", {0, 0, 100, 20});
    EXPECT_EQ(pieces[0].rect.top, 0);
}

TEST(MarkupLayout, FontHeightsTruncateTowardZero) {
    EXPECT_EQ(MarkupFontHeight(DefaultCellStyle(), 96), 13); // -(96 * -10 / 72) = 13.33
    EXPECT_EQ(MarkupFontHeight(MarkupStyle{}, 0), -12);      // no device: -(10 * 1.25)
}
