// The writer: what the control expects to read, and documents the editor builds (not only
// ones read from RTF) reading back into the same model.
#include "RtfTestUtil.h"

#include "platform/rtf/Metafile.h"
#include "platform/rtf/RtfPlainText.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

RtfRun TextRun(std::string text, RtfCharFormat format = {}) {
    if (format.font.name.empty())
        format.font = RtfFont{"Arial", 204, "swiss", 0};
    return RtfRun{std::move(format), std::move(text)};
}

RtfParagraph Para(std::vector<RtfInline> content) {
    RtfParagraph p;
    p.content = std::move(content);
    return p;
}

TEST(RtfWriter, WritesTheHeaderAndTextAsTheControlDoes) {
    RtfDocument doc;
    doc.paragraphs.push_back(Para({TextRun("Привет, Ω {x}\\")}));
    const std::string rtf = WriteRtf(doc);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fswiss"
                        "\\fcharset204 Arial;}}",
                        0),
              0u)
        << rtf;
    EXPECT_NE(rtf.find("\\viewkind4\\uc1\\pard"), std::string::npos);
    EXPECT_NE(rtf.find("\\fs24"), std::string::npos); // the size is always written
    EXPECT_NE(rtf.find("\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2, \\u937? \\{x\\}\\\\\\par"),
              std::string::npos)
        << rtf;
    EXPECT_EQ(rtf.find("colortbl"), std::string::npos); // no colours used, no table
    EXPECT_EQ(ReadRtf(rtf), doc);
}

TEST(RtfWriter, TextIsEncodedInItsFontsCodePage) {
    RtfCharFormat greek;
    greek.font = RtfFont{"Arial", 161, "swiss", 0};
    RtfCharFormat symbol;
    symbol.font = RtfFont{"Symbol", 2, "nil", 0};
    RtfDocument doc;
    doc.paragraphs.push_back(Para({TextRun("Ω"), TextRun("Ω", greek), TextRun("•α", symbol)}));
    const std::string rtf = WriteRtf(doc);
    EXPECT_NE(rtf.find("{\\f1\\fswiss\\fcharset161 Arial;}{\\f2\\fnil\\fcharset2 Symbol;}"),
              std::string::npos)
        << rtf;
    // Ω: \uN under the Cyrillic font, a byte under the Greek one; the Symbol font's own bytes.
    EXPECT_NE(rtf.find("\\u937?\\f1\\'d9\\f2\\'b7a"), std::string::npos) << rtf;
    EXPECT_EQ(ReadRtf(rtf), doc);
}

TEST(RtfWriter, EditorDocumentsRoundTrip) {
    RtfCharFormat fancy;
    fancy.font = RtfFont{"Times New Roman", 204, "roman", 2};
    fancy.fontSize = 31;
    fancy.bold = fancy.italic = fancy.strike = true;
    fancy.underline = "ulwave";
    fancy.vertical = RtfVerticalPosition::Superscript;
    fancy.offset = -3;
    fancy.foreground = RtfColor::Rgb(1, 2, 3);
    fancy.background = RtfColor::Rgb(250, 251, 252);
    fancy.language = 1033;
    RtfCharFormat hidden;
    hidden.hidden = true;

    RtfParagraph list = Para({TextRun("пункт")});
    list.numbering =
        RtfNumbering{"•\t", RtfFont{"Symbol", 2, "nil", 0}, "pnlvlblt", "", 0, 360, false, "•",
                     "",    RtfFont{"Symbol", 2, "nil", 0}};
    list.leftIndent = 720;
    list.firstIndent = -360;
    list.tabs = {{1000, RtfTabKind::Right, RtfTabLeader::Hyphen}, {2000, RtfTabKind::Bar}};
    RtfParagraph second = list;
    second.content = {TextRun("ещё\tпункт\u2028строка")};

    RtfPicture png;
    png.kind = RtfPictureKind::Png;
    png.data = rtftest::Corpus("bitmap_2x2.png");
    png.width = png.height = 2;
    png.goalWidth = png.goalHeight = 300;
    const auto dib = BmpToDib(rtftest::Corpus("bitmap_2x2.bmp"));
    ASSERT_TRUE(dib);
    png.fallbackMetafile = *MakeBitmapMetafile(*dib);

    RtfDocument doc;
    doc.defaultTab = 360;
    doc.paragraphs.push_back(
        Para({TextRun("😀 a"), TextRun("b", fancy), TextRun("c", hidden), TextRun("d")}));
    doc.paragraphs.push_back(list);
    doc.paragraphs.push_back(second);
    doc.paragraphs.push_back(Para({}));
    doc.paragraphs.push_back(Para({png, TextRun("after")}));
    const std::string rtf = WriteRtf(doc);
    EXPECT_EQ(ReadRtf(rtf), doc) << rtf;
    EXPECT_EQ(RtfToPlainText(rtf), "😀 abd\r\n•\tпункт\r\n•\tещё\tпункт\r\nстрока\r\n\r\nafter");
}

TEST(RtfWriter, EditedBodyKeepsItsObjectByteForByte) {
    const std::string original = rtftest::Corpus("object_pbrush.rtf");
    RtfDocument doc = ReadRtf(original);
    const std::string raw = std::get<RtfObject>(doc.paragraphs[0].content[1]).raw;
    doc.paragraphs[0].content.push_back(TextRun(" добавлено"));
    doc.paragraphs.push_back(Para({doc.paragraphs[0].content[1]})); // the object copied
    const std::string rtf = WriteRtf(doc);
    const std::size_t first = rtf.find(raw);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(rtf.find(raw, first + raw.size()), std::string::npos);
    EXPECT_EQ(ReadRtf(rtf), doc);
}

TEST(RtfWriter, MetafilesAndDibsAreWrittenBackUnchanged) {
    for (const char* name : {"picture_wmf.rtf", "picture_dib.rtf"}) {
        const RtfDocument doc = ReadRtf(rtftest::Corpus(name));
        const std::string rtf = WriteRtf(doc);
        EXPECT_EQ(rtf.find("shppict"), std::string::npos) << name;
        EXPECT_EQ(ReadRtf(rtf), doc) << name;
    }
}

} // namespace
} // namespace kelvo
