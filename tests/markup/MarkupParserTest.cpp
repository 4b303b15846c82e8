// Tests of markup parsing: tags, entities, font attributes and colours.
#include "markup/MarkupParser.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {

std::vector<AnsiString> Texts(const std::vector<MarkupPiece>& runs) {
    std::vector<AnsiString> texts;
    for (const auto& run : runs)
        texts.push_back(run.text);
    return texts;
}

} // namespace

TEST(MarkupParser, EntitiesAreDecodedInOnePass) {
    EXPECT_EQ(DecodeMarkupEntities("x&amp;lt;y"), "x&lt;y");
    EXPECT_EQ(DecodeMarkupEntities("&QUOT;&Lt;&gT;"), "\"<>");
    EXPECT_EQ(DecodeMarkupEntities("a&nbsp;b"), "ab");
    EXPECT_EQ(DecodeMarkupEntities("5 & 6"), "5 & 6");
    // The unknown "& 6; &lt" is removed; the last "&" has no ";" after it and stays.
    EXPECT_EQ(DecodeMarkupEntities("5 & 6; &lt;&gt &amp"), "5  <&gt &amp");
}

TEST(MarkupParser, TagsSetStylesBreaksAndLinks) {
    MarkupStyle initial = DefaultCellStyle();
    auto runs = ParseMarkup("a<B>b</b>c<i><u>d</U></i>e", initial);
    ASSERT_EQ(Texts(runs), (std::vector<AnsiString>{"a", "b", "c", "d", "e"}));
    EXPECT_FALSE(runs[0].style.bold);
    EXPECT_TRUE(runs[1].style.bold);
    EXPECT_FALSE(runs[2].style.bold);
    EXPECT_TRUE(runs[3].style.italic && runs[3].style.underline);
    EXPECT_EQ(runs[4].style, initial);

    // Line feeds are blanks, carriage returns vanish; unknown tags are dropped; an unclosed
    // "<" is text.
    EXPECT_EQ(Texts(ParseMarkup("a\r\nb<blink> c<d", initial)),
              (std::vector<AnsiString>{"a b", " c<d"}));
    EXPECT_EQ(Texts(ParseMarkup("x < y", initial)), (std::vector<AnsiString>{"x < y"}));

    // "p" breaks only when not at a line start; "br" always does.
    EXPECT_EQ(Texts(ParseMarkup("<p>one</p><p>two</p>", initial)),
              (std::vector<AnsiString>{"one", "\r\n", "two", "\r\n"}));
    EXPECT_EQ(Texts(ParseMarkup("one<br><BR>two", initial)),
              (std::vector<AnsiString>{"one", "\r\n", "\r\n", "two"}));

    auto aligned =
        ParseMarkup("<p align=\"right\">r</p>x<center>c</center>", initial, MarkupAlign::Left);
    ASSERT_EQ(Texts(aligned), (std::vector<AnsiString>{"r", "\r\n", "x", "\r\n", "c", "\r\n"}));
    EXPECT_EQ(aligned[0].align, MarkupAlign::Right);
    EXPECT_EQ(aligned[2].align, MarkupAlign::Left);
    EXPECT_EQ(aligned[4].align, MarkupAlign::Centre);

    auto linked = ParseMarkup("<a href=\"rec:0000002A\">go</a> on", initial);
    ASSERT_EQ(linked.size(), 2u);
    EXPECT_EQ(linked[0].href, "rec:0000002A");
    EXPECT_EQ(linked[1].href, "");
}

TEST(MarkupParser, NestedFontsRescaleAndRestore) {
    MarkupStyle initial = DefaultCellStyle(MakeColour(1, 2, 3));
    auto runs = ParseMarkup("<font size=+2>x<font face=\"Courier New\" color=#F00>y</font>z"
                            "</font>w</font>v<font size=7>s",
                            initial);
    ASSERT_EQ(Texts(runs), (std::vector<AnsiString>{"x", "y", "z", "w", "v", "s"}));
    EXPECT_EQ(runs[0].style.size, 5);
    EXPECT_DOUBLE_EQ(runs[0].style.points, -15.0);
    EXPECT_EQ(runs[1].style.face, "Courier New");
    EXPECT_EQ(runs[1].style.colour, MakeColour(0, 0x0F, 0));
    EXPECT_EQ(runs[1].style.size, 5);
    EXPECT_EQ(runs[2].style, runs[0].style);
    EXPECT_EQ(runs[3].style, initial);
    EXPECT_EQ(runs[4].style, initial); // the extra "/font" does nothing
    EXPECT_DOUBLE_EQ(runs[5].style.points, -30.0);

    // Sizes that are not numbers read as 0 (factor 1); relative steps from there.
    MarkupStyle style = DefaultCellStyle();
    ApplyFontAttributes(" size=big", style);
    EXPECT_EQ(style.size, 0);
    EXPECT_DOUBLE_EQ(style.points, -10.0 / 1.0 * 1.0);
    ApplyFontAttributes(" size=\"+ 1 \" face=", style); // empty face ignored
    EXPECT_EQ(style.size, 1);
    EXPECT_DOUBLE_EQ(style.points, -6.25);
    EXPECT_EQ(style.face, "Tahoma");
    // Absurd sizes are held to a bound rather than overflowing.
    ApplyFontAttributes(" size=99999999999999999999", style);
    EXPECT_EQ(style.size, 1000);
}

TEST(MarkupParser, ColoursArePaddedOnTheLeft) {
    MarkupColour colour = 0;
    ASSERT_TRUE(ParseMarkupColour("#123456", colour));
    EXPECT_EQ(colour, MakeColour(0x12, 0x34, 0x56));
    ASSERT_TRUE(ParseMarkupColour("#ff", colour));
    EXPECT_EQ(colour, MakeColour(0, 0, 0xFF));
    ASSERT_TRUE(ParseMarkupColour("#abcdef99", colour)); // past the sixth: ignored
    EXPECT_EQ(colour, MakeColour(0xAB, 0xCD, 0xEF));
    ASSERT_TRUE(ParseMarkupColour("#G1x200", colour)); // non-digits add nothing
    EXPECT_EQ(colour, MakeColour(1, 2, 0));
    ASSERT_TRUE(ParseMarkupColour("#", colour));
    EXPECT_EQ(colour, 0u);
    colour = 7;
    EXPECT_FALSE(ParseMarkupColour("red", colour));
    EXPECT_EQ(colour, 7u);

    auto attributes = ParseMarkupAttributes(" a = \"x y\" b=1 c=\"open d=2");
    ASSERT_EQ(attributes.size(), 4u);
    EXPECT_EQ(attributes[0], (std::pair<AnsiString, AnsiString>{"a", "x y"}));
    EXPECT_EQ(attributes[1], (std::pair<AnsiString, AnsiString>{"b", "1"}));
    EXPECT_EQ(attributes[2], (std::pair<AnsiString, AnsiString>{"c", ""}));
    EXPECT_EQ(attributes[3], (std::pair<AnsiString, AnsiString>{"open d", "2"}));
}

TEST(MarkupParser, PlainTextDropsTagsAndKeepsLineBreaks) {
    EXPECT_EQ(MarkupPlainText("<b>Place</b>: a&lt;b<br>c<p>d</p>"), "Place: a<b\nc\nd");
    EXPECT_EQ(MarkupPlainText("<font color=#0000FF>5 & 6</font><br>"), "5 & 6");
    EXPECT_EQ(MarkupPlainText("<br>x"), "\nx");
}
