#include "platform/text/Ansi.h"
#include "platform/text/CodePages.h"

#include <gtest/gtest.h>

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
