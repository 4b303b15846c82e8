// The reader on damaged and unusual input: it never crashes or hangs and keeps what the
// control would show; the fast plain text always equals the model's text.
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfPlainText.h"
#include "platform/rtf/RtfWriter.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

const std::string kHead = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 "
                          "Arial;}{\\f1\\fnil\\fcharset0 Arial;}}\\pard\\f0\\fs20 ";

// The plain text by both paths, which must agree.
std::string Text(std::string_view rtf) {
    const std::string fast = RtfToPlainText(rtf);
    EXPECT_EQ(PlainText(ReadRtf(rtf)), fast) << rtf;
    return fast;
}

TEST(RtfReader, UnicodeFallbackCountIsScopedToTheGroup) {
    // \uc2 inside the group must not leak out: after it, one fallback byte is skipped again.
    EXPECT_EQ(Text(kHead + "{\\uc2\\u1046\\'c6\\'c6}\\u1046\\'c6x}"), "ЖЖx");
    // A \'hh counts as one fallback character; a group end cancels the rest.
    EXPECT_EQ(Text(kHead + "{\\uc3\\u1046\\'c6}abc}"), "Жabc");
    // No character lost after \'hh or \uN.
    EXPECT_EQ(Text(kHead + "\\'c0b\\u1041?c}"), "АbБc");
}

TEST(RtfReader, LineIsASoftBreakNotAParagraph) {
    const RtfDocument doc = ReadRtf(kHead + "a\\line b\\par c\\par}");
    ASSERT_EQ(doc.paragraphs.size(), 2u);
    EXPECT_EQ(std::get<RtfRun>(doc.paragraphs[0].content[0]).text, "a\u2028b");
    EXPECT_EQ(PlainText(doc), "a\r\nb\r\nc");
}

TEST(RtfReader, LastParagraphMarkMergesWithTheEnd) {
    EXPECT_EQ(ReadRtf(kHead + "a\\par}").paragraphs.size(), 1u);
    EXPECT_EQ(ReadRtf(kHead + "a\\par\\par}").paragraphs.size(), 2u);
    EXPECT_EQ(ReadRtf(kHead + "a}").paragraphs.size(), 1u);
    EXPECT_EQ(ReadRtf(kHead + "}").paragraphs.size(), 1u);
    EXPECT_EQ(Text(kHead + "a\\par\\par}"), "a\r\n");
    // A backslash before a line end is a paragraph mark too.
    EXPECT_EQ(Text(kHead + "a\\\r\nb}"), "a\r\nb");
}

TEST(RtfReader, DamagedInputIsReadAsFarAsItGoes) {
    EXPECT_EQ(Text(kHead + "\\'cf\\'f0\\'e8"), "При"); // no closing brace
    EXPECT_EQ(Text(kHead + "{\\b a{\\i b"), "ab");     // groups left open
    EXPECT_EQ(Text(kHead + "a}}}b}"), "a");            // extra braces end it
    EXPECT_EQ(Text(kHead + "a\\'4"), "a"); // one hex digit: a control character, dropped
    EXPECT_EQ(Text(kHead + "a\\"), "a");
    EXPECT_EQ(Text(kHead + "a\\u"), "a");
    const std::string huge = Text(kHead + "a\\u-99999999999999999999?b}");
    ASSERT_GE(huge.size(), 2u);
    EXPECT_EQ(huge.front(), 'a');
    EXPECT_EQ(huge.back(), 'b');
    EXPECT_EQ(Text(kHead + "x\\bin999999999 abc}"), "x"); // \bin longer than the input
    EXPECT_EQ(Text(kHead + "x\\bin-5 y}"), "xy");
    EXPECT_EQ(Text(std::string("{\\rtf1 a\0b}", 11)), "ab");
}

TEST(RtfReader, DeepNestingIsBounded) {
    std::string deep = kHead;
    for (int i = 0; i < 100000; ++i)
        deep += "{\\b ";
    deep += "deep";
    for (int i = 0; i < 100000; ++i)
        deep += "}";
    deep += "after}";
    EXPECT_EQ(Text(deep), "after");
    std::string open = kHead;
    for (int i = 0; i < 100000; ++i)
        open += "{x";
    EXPECT_FALSE(Text(open).empty());
}

TEST(RtfReader, UnknownDestinationsAreSkippedWithTheirBinaryData) {
    EXPECT_EQ(Text(kHead + "a{\\*\\unknown text {nested} \\bin2 }{ more}b}"), "ab");
    // An unknown control word without \* is ignored but its group's text is shown.
    EXPECT_EQ(Text(kHead + "a{\\kelvounknown b}c}"), "abc");
    EXPECT_EQ(Text(kHead + "{\\info{\\title T}}{\\stylesheet{Normal;}}{\\header H}x}"), "x");
    EXPECT_EQ(Text(kHead + "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}}}"), "shown");
}

TEST(RtfReader, AlternativesTablesAndSpecialCharacters) {
    // \upr: the ANSI form is for old readers; the Unicode form in \*\ud is shown.
    EXPECT_EQ(Text(kHead + "{\\upr{\\'c0}{\\*\\ud{\\u1040?}}}b}"), "Аb");
    // Table cells become tabs and rows paragraphs, as in the control's plain text.
    EXPECT_EQ(Text(kHead + "\\trowd a\\cell b\\cell\\row c}"), "a\tb\t\r\nc");
    EXPECT_EQ(Text(kHead + "\\emdash\\~\\_\\-\\lquote\\rdblquote\\bullet}"), "—\u00A0\u2011‘”•");
    // A font table after the text changes nothing already read; \deff and \ansicpg are used.
    EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1253\\deff1{\\fonttbl{\\f1\\fnil Greek;}}\\'e1}"), "α");
}

TEST(RtfReader, PicturesTolerateOddHexAndLineBreaks) {
    const RtfDocument doc = ReadRtf(kHead + "{\\pict\\dibitmap\\picw1\\pich1 0a0\r\nB 0c\n1}}");
    const auto& picture = std::get<RtfPicture>(doc.paragraphs[0].content.at(0));
    EXPECT_EQ(picture.kind, RtfPictureKind::Dib);
    EXPECT_EQ(picture.kindParameter, 0);
    EXPECT_EQ(picture.data, "\x0a\x0b\x0c"); // the odd last digit is dropped
}

TEST(RtfReader, TextThatIsNotRtfIsReadAsWindows1251Lines) {
    const std::string plain = "\xcf\xf0\xe8\xe2\xe5\xf2\r\nline\rthird\n";
    EXPECT_FALSE(IsRtf(plain));
    const RtfDocument doc = ReadRtf(plain);
    ASSERT_EQ(doc.paragraphs.size(), 4u);
    EXPECT_EQ(std::get<RtfRun>(doc.paragraphs[0].content[0]).text, "Привет");
    EXPECT_EQ(Text(plain), "Привет\r\nline\r\nthird\r\n");
    EXPECT_EQ(RtfToPlainTextAnsi(plain), "\xcf\xf0\xe8\xe2\xe5\xf2\r\nline\r\nthird\r\n");
    EXPECT_EQ(Text(""), "");
    EXPECT_EQ(ReadRtf("").paragraphs.size(), 1u);
}

TEST(RtfReader, AnsiTextUsesQuestionMarksOnlyForMissingCharacters) {
    EXPECT_EQ(RtfToPlainTextAnsi(kHead + "\\'e0\\u8212?\\u937?\\u8470?}"), "\xe0\x97?\xb9");
}

TEST(RtfReader, CutOffObjectIsClosedSoThatItCanBeWrittenBack) {
    const std::string rtf = kHead + "a{\\object\\objemb{\\*\\objclass PBrush}{\\*\\objdata 0105";
    const RtfDocument doc = ReadRtf(rtf);
    const auto& object = std::get<RtfObject>(doc.paragraphs.at(0).content.at(1));
    EXPECT_EQ(object.raw, "{\\object\\objemb{\\*\\objclass PBrush}{\\*\\objdata 0105}}");
    const RtfDocument again = ReadRtf(WriteRtf(doc));
    EXPECT_EQ(again, doc);
}

TEST(RtfReader, GarbageNeverBreaksTheReader) {
    // A cheap deterministic fuzz: mutate a real body and read, write and read again.
    std::string base = kHead +
                       "{\\b \\'cf\\'f0}\\u1046?{\\pict\\wmetafile8 0102}{\\object\\objemb"
                       "{\\result{\\pict\\pngblip 89}}}\\par{\\pntext\\'b7\\tab}x\\bin3 {}}";
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 3000; ++round) {
        std::string s = base;
        const int edits = 1 + static_cast<int>(next() % 6);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = next() % s.size();
            switch (next() % 3) {
            case 0:
                s[at] = static_cast<char>(next() & 0xFF);
                break;
            case 1:
                s.erase(at, 1 + next() % 4);
                break;
            default:
                s.insert(at, 1, "{}\\'0 "[next() % 6]);
                break;
            }
            if (s.empty())
                s = "{";
        }
        const RtfDocument doc = ReadRtf(s);
        EXPECT_EQ(PlainText(doc), RtfToPlainText(s)) << s;
        const RtfDocument again = ReadRtf(WriteRtf(doc));
        EXPECT_EQ(PlainText(again), PlainText(doc)) << s;
    }
}

} // namespace
} // namespace kelvo
