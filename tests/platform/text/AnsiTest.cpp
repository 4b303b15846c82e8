#include "platform/text/Ansi.h"
#include "platform/text/CodePages.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kelvo;

TEST(Ansi, RoundTripsCyrillicAndRefusesWhatItCannotHold) {
    AnsiString ansi;
    ASSERT_TRUE(Utf8ToAnsi("Привет, Ёжик № 5 — «да»", ansi));
    EXPECT_EQ(ansi, "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6\xE8\xEA \xB9 5 \x97 \xAB\xE4\xE0\xBB");
    EXPECT_EQ(AnsiToUtf8(ansi), "Привет, Ёжик № 5 — «да»");

    std::string bad;
    EXPECT_FALSE(Utf8ToAnsi("a€b日本😀", ansi, &bad));
    EXPECT_EQ(bad, "日本😀"); // € is 0x88 in Windows-1251
    EXPECT_EQ(Utf8ToAnsiLossy("a日b"), "a?b");

    // Every byte decodes and encodes back to itself, the undefined 0x98 included.
    for (int b = 0; b < 256; ++b) {
        AnsiString one(1, static_cast<char>(b));
        AnsiString back;
        ASSERT_TRUE(Utf8ToAnsi(AnsiToUtf8(one), back)) << b;
        EXPECT_EQ(back, one) << b;
        ASSERT_TRUE(Utf16ToAnsi(AnsiToUtf16(one), back)) << b;
        EXPECT_EQ(back, one) << b;
    }
}

TEST(Ansi, CaseMappingCoversCyrillic) {
    AnsiString lower;
    ASSERT_TRUE(Utf8ToAnsi("абвгдеёжзийклмнопрстуфхцчшщъыьэюя abcz їієґ", lower));
    AnsiString upper;
    ASSERT_TRUE(Utf8ToAnsi("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ABCZ ЇІЄҐ", upper));
    EXPECT_EQ(AnsiToUpper(lower), upper);
    EXPECT_EQ(AnsiToLower(upper), lower);
    EXPECT_EQ(AnsiUpper('1'), '1');
    EXPECT_EQ(AnsiUpper('\xB9'), '\xB9'); // № has no case
}

TEST(CodePages, TablesAndMalformedUtf8) {
    EXPECT_EQ(DecodeByte(1250, 0x8A), u'Š');
    EXPECT_EQ(DecodeByte(1253, 0xC1), u'Α');
    EXPECT_EQ(DecodeByte(874, 0xA1), u'ก');
    EXPECT_FALSE(EncodeChar(1252, U'Ж'));
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("x😀й")), "x😀й");
    // Truncated and invalid sequences become U+FFFD, never read past the end.
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("a\xD0")), "a\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("\xC0\x80")), "\xEF\xBF\xBD");
}

TEST(CodePages, TextInAStatedCodePage) {
    EXPECT_EQ(CodePageToAnsi("\xC0\xE1", 1251), "\xC0\xE1");
    EXPECT_EQ(CodePageToAnsi("\xC0\xE1", 0), "\xC0\xE1");
    EXPECT_EQ(CodePageToAnsi("\xD0\x90", kCodePageUtf8), "\xC0");
    EXPECT_EQ(CodePageToAnsi("\xFF", kCodePageUtf8), std::nullopt); // malformed UTF-8
    EXPECT_EQ(CodePageToAnsi(std::string("\x10\x04", 2), kCodePageUtf16), "\xC0");
    EXPECT_EQ(CodePageToAnsi("\xA9", 1252), "\xA9");       // ©, in both pages
    EXPECT_EQ(CodePageToAnsi("\xC0", 1252), std::nullopt); // À has no place in Windows-1251
    EXPECT_EQ(CodePageToAnsi("abc", 932), "abc");
    EXPECT_EQ(CodePageToAnsi("\x82\xA0", 932), std::nullopt);
    EXPECT_EQ(CodePageToUtf8("\xC0", 1251), "А");
    EXPECT_EQ(CodePageToUtf8("\xC0", 0), "А");
    EXPECT_EQ(CodePageToUtf8("\xC1", 1253), "Α");
    EXPECT_EQ(CodePageToUtf8(std::string("\x00\xD8", 2), kCodePageUtf16), "\xEF\xBF\xBD");
    EXPECT_EQ(CodePageToUtf8(std::string("\x3D\xD8\x00\xDE", 4), kCodePageUtf16), "😀");
    EXPECT_EQ(CodePageToUtf8("a\x82", 932), "a\xEF\xBF\xBD");
}

TEST(CodePages, SurrogatePairsAndLoneHalves) {
    std::u16string pair;
    AppendUtf16(pair, U'😀');
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_TRUE(IsHighSurrogate(pair[0]));
    EXPECT_TRUE(IsLowSurrogate(pair[1]));
    EXPECT_EQ(CombineSurrogates(pair[0], pair[1]), U'😀');
    // A lone half, first or last, is one U+FFFD and the text goes on.
    const std::u16string lone = {u'a', char16_t(0xDC00), u'b', char16_t(0xD800)};
    std::vector<char32_t> decoded;
    std::size_t pos = 0;
    char32_t ch = 0;
    while (NextUtf16(lone, pos, ch))
        decoded.push_back(ch);
    EXPECT_EQ(decoded, (std::vector<char32_t>{U'a', 0xFFFD, U'b', 0xFFFD}));
    std::u16string out;
    AppendUtf16(out, 0xD800); // a surrogate is no character of its own
    AppendUtf16(out, 0x110000);
    EXPECT_EQ(out, std::u16string(2, char16_t(0xFFFD)));
    // Windows-1251 cannot hold what is above U+FFFF: refused, named in UTF-8.
    AnsiString ansi;
    std::string bad;
    EXPECT_FALSE(Utf16ToAnsi(u"x" + pair, ansi, &bad));
    EXPECT_EQ(bad, "😀");
}
