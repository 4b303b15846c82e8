// Bitmaps out of metafiles and DIBs, and the metafile the writer wraps a bitmap in.
#include "RtfTestUtil.h"

#include "platform/rtf/Metafile.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

void Put16(std::string& s, unsigned v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, unsigned v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

std::string Dib(int bitCount, unsigned colorsUsed, unsigned compression, std::size_t extra) {
    std::string d;
    Put32(d, 40);
    Put32(d, 4);
    Put32(d, 2);
    Put16(d, 1);
    Put16(d, static_cast<unsigned>(bitCount));
    Put32(d, compression);
    for (int i = 0; i < 3; ++i)
        Put32(d, 0);
    Put32(d, colorsUsed);
    Put32(d, 0);
    d.append(extra, '\x7f');
    return d;
}

unsigned PixelOffset(const std::string& bmp) {
    return static_cast<unsigned char>(bmp[10]) | static_cast<unsigned char>(bmp[11]) << 8;
}

TEST(Metafile, DibToBmpFindsThePixelsAfterThePalette) {
    const auto eight = DibToBmp(Dib(8, 0, 0, 256 * 4 + 8));
    ASSERT_TRUE(eight);
    EXPECT_EQ(PixelOffset(*eight), 14u + 40 + 1024);
    EXPECT_EQ(eight->substr(0, 2), "BM");
    EXPECT_EQ(PixelOffset(*DibToBmp(Dib(1, 2, 0, 8 + 8))), 14u + 40 + 8);
    EXPECT_EQ(PixelOffset(*DibToBmp(Dib(16, 0, 3, 12 + 16))), 14u + 40 + 12); // bit fields
    EXPECT_EQ(PixelOffset(*DibToBmp(Dib(24, 0, 0, 24))), 14u + 40);
    EXPECT_FALSE(DibToBmp(Dib(8, 0, 0, 100))); // palette cut off
    EXPECT_FALSE(DibToBmp(Dib(7, 0, 0, 100))); // no such depth
    EXPECT_FALSE(DibToBmp("garbage"));
    EXPECT_EQ(BmpToDib(*eight), Dib(8, 0, 0, 256 * 4 + 8));
}

TEST(Metafile, BitmapMetafileRoundTrip) {
    const std::string bmp = rtftest::Corpus("bitmap_2x2.bmp");
    const auto dib = BmpToDib(bmp);
    ASSERT_TRUE(dib);
    const auto wmf = MakeBitmapMetafile(*dib);
    ASSERT_TRUE(wmf);
    EXPECT_EQ(wmf->substr(0, 6), std::string("\x01\x00\x09\x00\x00\x03", 6));
    EXPECT_EQ(MetafileBitmap(*wmf), bmp);
    // With a placeable header in front it is still the same picture.
    std::string placeable;
    Put32(placeable, 0x9AC6CDD7u);
    placeable.append(18, '\0');
    EXPECT_EQ(MetafileBitmap(placeable + *wmf), bmp);
    // An odd-sized DIB is padded to whole words.
    const auto odd = MakeBitmapMetafile(*dib + "x");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->size() % 2, 0u);
    const auto oddBmp = MetafileBitmap(*odd);
    ASSERT_TRUE(oddBmp);
    EXPECT_EQ(oddBmp->substr(14, dib->size() + 1), *dib + "x");
}

TEST(Metafile, OtherMetafilesHaveNoSingleBitmap) {
    const auto dib = BmpToDib(rtftest::Corpus("bitmap_2x2.bmp"));
    const std::string wmf = *MakeBitmapMetafile(*dib);
    const std::size_t eof = wmf.size() - 6;
    // A drawing record (LINETO) besides the bitmap.
    std::string drawing = wmf.substr(0, eof);
    Put32(drawing, 5);
    Put16(drawing, 0x0213);
    Put32(drawing, 0);
    drawing += wmf.substr(eof);
    EXPECT_FALSE(MetafileBitmap(drawing));
    // Two bitmaps.
    const std::size_t stretch = 18 + 10 + 10;
    std::string two = wmf.substr(0, eof) + wmf.substr(stretch, eof - stretch) + wmf.substr(eof);
    EXPECT_FALSE(MetafileBitmap(two));
    // Damaged: a record longer than the file, a cut-off file, no bitmap at all.
    EXPECT_FALSE(MetafileBitmap(wmf.substr(0, wmf.size() - 20)));
    EXPECT_FALSE(MetafileBitmap(wmf.substr(0, 18) + wmf.substr(eof)));
    EXPECT_FALSE(MetafileBitmap(""));
    EXPECT_FALSE(MakeBitmapMetafile("not a dib"));
}

TEST(Metafile, PictureSizeInTwips) {
    RtfPicture wmf;
    wmf.kind = RtfPictureKind::Wmf;
    wmf.width = 2540; // HIMETRIC: one inch
    wmf.height = 1270;
    EXPECT_EQ(PictureSize(wmf).width, 1440);
    EXPECT_EQ(PictureSize(wmf).height, 720);
    wmf.goalWidth = 300;
    wmf.goalHeight = 200;
    wmf.scaleX = 50;
    EXPECT_EQ(PictureSize(wmf).width, 150);
    EXPECT_EQ(PictureSize(wmf).height, 200);
    RtfPicture dib;
    dib.kind = RtfPictureKind::Dib;
    dib.width = 10; // pixels
    dib.height = 4;
    EXPECT_EQ(PictureSize(dib).width, 150);
}

} // namespace
} // namespace kelvo
