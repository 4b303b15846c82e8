#include "platform/text/Format.h"

#include <gtest/gtest.h>

using namespace kelvo;

TEST(Format, SizesWithUnits) {
    EXPECT_EQ(AnsiToUtf8(FormatSize(500)), "500 байт");
    EXPECT_EQ(AnsiToUtf8(FormatSize(1024)), "1024 байт");
    EXPECT_EQ(AnsiToUtf8(FormatSize(1536)), "1,5 Кб");
    EXPECT_EQ(AnsiToUtf8(FormatSize(1048576)), "1024,0 Кб");
    EXPECT_EQ(AnsiToUtf8(FormatSize(1048577)), "1,0 Мб");
    EXPECT_EQ(AnsiToUtf8(FormatSizeWithBytes(1536)), "1,5 Кб (1536 байт)");
}

TEST(Format, VersionTexts) {
    VersionNumbers v{1, 2, 3, 4};
    EXPECT_EQ(VersionText(v), "1.2.3.4");
    EXPECT_EQ(ShortVersionText(v), "1.3");
}
