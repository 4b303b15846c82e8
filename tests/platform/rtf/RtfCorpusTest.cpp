// The corpus of bodies written the way the Windows control writes them: expected plain
// texts, the model they read into, and write-back round trips.
#include "RtfTestUtil.h"

#include "platform/rtf/Metafile.h"
#include "platform/rtf/RtfPlainText.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/text/Ansi.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using rtftest::Corpus;
using rtftest::CorpusNames;

const RtfRun& RunAt(const RtfParagraph& p, std::size_t i) {
    return std::get<RtfRun>(p.content.at(i));
}

// Finds the run holding `text`.
const RtfRun* FindRun(const RtfDocument& doc, std::string_view text) {
    for (const auto& p : doc.paragraphs)
        for (const auto& item : p.content)
            if (const auto* run = std::get_if<RtfRun>(&item))
                if (run->text == text)
                    return run;
    return nullptr;
}

TEST(RtfCorpus, HasTheExpectedBodies) {
    EXPECT_GE(CorpusNames().size(), 14u);
}

TEST(RtfCorpus, PlainTextMatchesExpectedByBothPaths) {
    for (const std::string& name : CorpusNames()) {
        SCOPED_TRACE(name);
        const std::string rtf = Corpus(name + ".rtf");
        const std::string expected = Corpus(name + ".txt");
        EXPECT_EQ(RtfToPlainText(rtf), expected);
        EXPECT_EQ(PlainText(ReadRtf(rtf)), expected);
        EXPECT_EQ(RtfToPlainTextAnsi(rtf), Utf8ToAnsiLossy(expected));
    }
}

TEST(RtfCorpus, WriteBackReadsIntoTheSameModel) {
    for (const std::string& name : CorpusNames()) {
        SCOPED_TRACE(name);
        const RtfDocument doc = ReadRtf(Corpus(name + ".rtf"));
        const std::string written = WriteRtf(doc);
        const RtfDocument again = ReadRtf(written);
        EXPECT_EQ(again, doc);
        EXPECT_EQ(WriteRtf(again), written); // writing is stable
        EXPECT_EQ(RtfToPlainText(written), Corpus(name + ".txt"));
    }
}

TEST(RtfCorpus, FontsOfDifferentCodePages) {
    const RtfDocument doc = ReadRtf(Corpus("cyrillic_fonts.rtf"));
    ASSERT_EQ(doc.paragraphs.size(), 5u);
    const RtfRun& first = RunAt(doc.paragraphs[0], 0);
    EXPECT_EQ(first.format.font.name, "Arial"); // \*\fname over "Arial CYR"
    EXPECT_EQ(first.format.font.charset, 204);
    EXPECT_EQ(first.format.font.family, "swiss");
    EXPECT_EQ(first.format.fontSize, 20);
    EXPECT_EQ(first.format.language, 1049);
    EXPECT_EQ(RunAt(doc.paragraphs[1], 0).format.font.charset, 238);
    EXPECT_EQ(RunAt(doc.paragraphs[2], 0).format.font.charset, 161);
    // A font without \fcharset takes the character set of \ansicpg.
    EXPECT_EQ(RunAt(doc.paragraphs[3], 0).format.font.charset, 204);
    EXPECT_EQ(RunAt(doc.paragraphs[3], 0).format.font.name, "Courier");
}

TEST(RtfCorpus, BulletsAndNumbering) {
    const RtfDocument doc = ReadRtf(Corpus("bullets_lines.rtf"));
    ASSERT_EQ(doc.paragraphs.size(), 6u);
    EXPECT_FALSE(doc.paragraphs[0].numbering);
    for (int i : {1, 2}) {
        const RtfParagraph& p = doc.paragraphs[static_cast<std::size_t>(i)];
        ASSERT_TRUE(p.numbering);
        EXPECT_EQ(p.numbering->text, "•\t");
        EXPECT_EQ(p.numbering->level, "pnlvlblt");
        EXPECT_EQ(p.numbering->before, "•"); // \'b7 in the \pnf Symbol font
        ASSERT_TRUE(p.numbering->font);
        EXPECT_EQ(p.numbering->font->name, "Symbol");
        EXPECT_EQ(p.numbering->textFont.charset, 2);
        EXPECT_EQ(p.leftIndent, 720);
        EXPECT_EQ(p.firstIndent, -720);
    }
    // The bullet is not part of the paragraph's own text; \line stays inside the paragraph.
    EXPECT_EQ(RunAt(doc.paragraphs[1], 0).text, "первый");
    EXPECT_EQ(RunAt(doc.paragraphs[2], 0).text, "второй\u2028продолжение");
    const RtfParagraph& numbered = doc.paragraphs[3];
    ASSERT_TRUE(numbered.numbering);
    EXPECT_EQ(numbered.numbering->level, "pnlvlbody");
    EXPECT_EQ(numbered.numbering->style, "pndec");
    EXPECT_EQ(numbered.numbering->start, 1);
    EXPECT_EQ(numbered.numbering->after, ".");
    EXPECT_EQ(doc.paragraphs[4].numbering->text, "2.\t");
    EXPECT_FALSE(doc.paragraphs[5].numbering); // \pard ends the list
}

TEST(RtfCorpus, CharacterFormatting) {
    const RtfDocument doc = ReadRtf(Corpus("formatting.rtf"));
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    EXPECT_TRUE(FindRun(doc, "bold")->format.bold);
    EXPECT_TRUE(FindRun(doc, "italic")->format.italic);
    EXPECT_TRUE(FindRun(doc, "gone")->format.strike);
    EXPECT_EQ(FindRun(doc, "single")->format.underline, "ul");
    EXPECT_EQ(FindRun(doc, "dotted")->format.underline, "uld");
    EXPECT_EQ(FindRun(doc, "double")->format.underline, "uldb");
    EXPECT_EQ(FindRun(doc, "words")->format.underline, "ulw");
    EXPECT_EQ(FindRun(doc, "red")->format.foreground, RtfColor::Rgb(255, 0, 0));
    const RtfRun* green = FindRun(doc, "green on yellow");
    ASSERT_NE(green, nullptr);
    EXPECT_EQ(green->format.foreground, RtfColor::Rgb(0, 128, 0));
    EXPECT_EQ(green->format.background, RtfColor::Rgb(255, 255, 0));
    EXPECT_TRUE(FindRun(doc, " H")->format.foreground.automatic); // \cf0 is automatic
    EXPECT_EQ(FindRun(doc, "up")->format.offset, 6);
    EXPECT_EQ(FindRun(doc, "down")->format.offset, -4);
    const auto& line2 = doc.paragraphs[1].content;
    int subs = 0, supers = 0;
    for (const auto& item : line2) {
        const auto& run = std::get<RtfRun>(item);
        if (run.format.vertical == RtfVerticalPosition::Subscript && run.text == "2")
            ++subs;
        if (run.format.vertical == RtfVerticalPosition::Superscript && run.text == "2")
            ++supers;
    }
    EXPECT_EQ(subs, 1);
    EXPECT_EQ(supers, 1);
    const RtfRun* mono = FindRun(doc, "mono");
    EXPECT_EQ(mono->format.font.name, "Courier New");
    EXPECT_EQ(mono->format.font.pitch, 1);
    EXPECT_EQ(mono->format.fontSize, 28);
    EXPECT_TRUE(FindRun(doc, "hidden")->format.hidden);
}

TEST(RtfCorpus, ParagraphFormatting) {
    const RtfDocument doc = ReadRtf(Corpus("paragraphs.rtf"));
    ASSERT_EQ(doc.paragraphs.size(), 6u);
    EXPECT_EQ(doc.paragraphs[0].alignment, RtfAlignment::Center);
    EXPECT_EQ(doc.paragraphs[1].alignment, RtfAlignment::Right);
    const RtfParagraph& j = doc.paragraphs[2];
    EXPECT_EQ(j.alignment, RtfAlignment::Justify);
    EXPECT_EQ(j.leftIndent, 1440);
    EXPECT_EQ(j.rightIndent, 720);
    EXPECT_EQ(j.firstIndent, -360);
    EXPECT_EQ(j.spaceBefore, 120);
    EXPECT_EQ(j.spaceAfter, 240);
    EXPECT_EQ(j.lineSpacing, 360);
    EXPECT_TRUE(j.lineSpacingMultiple);
    const std::vector<RtfTabStop> tabs = {{1440, RtfTabKind::Left, RtfTabLeader::None},
                                          {2880, RtfTabKind::Center, RtfTabLeader::None},
                                          {4320, RtfTabKind::Right, RtfTabLeader::Dot},
                                          {5760, RtfTabKind::Decimal, RtfTabLeader::None}};
    EXPECT_EQ(doc.paragraphs[3].tabs, tabs);
    EXPECT_TRUE(doc.paragraphs[4].tabs.empty());
    EXPECT_TRUE(doc.paragraphs[4].content.empty());
}

TEST(RtfCorpus, MetafileBitmapAndDib) {
    const std::string bmp = Corpus("bitmap_2x2.bmp");
    const RtfDocument wmf = ReadRtf(Corpus("picture_wmf.rtf"));
    ASSERT_EQ(wmf.paragraphs.size(), 1u);
    ASSERT_EQ(wmf.paragraphs[0].content.size(), 3u);
    const auto& picture = std::get<RtfPicture>(wmf.paragraphs[0].content[1]);
    EXPECT_EQ(picture.kind, RtfPictureKind::Wmf);
    EXPECT_EQ(picture.kindParameter, 8);
    EXPECT_EQ(picture.width, 53);
    EXPECT_EQ(picture.goalWidth, 30);
    EXPECT_EQ(picture.data.substr(0, 6), std::string("\x01\x00\x09\x00\x00\x03", 6));
    EXPECT_EQ(MetafileBitmap(picture.data), bmp);
    EXPECT_EQ(PictureImage(picture), bmp);

    const RtfDocument dib = ReadRtf(Corpus("picture_dib.rtf"));
    const auto& bitmap = std::get<RtfPicture>(dib.paragraphs[0].content.at(1));
    EXPECT_EQ(bitmap.kind, RtfPictureKind::Dib);
    EXPECT_EQ(DibToBmp(bitmap.data), bmp);
    EXPECT_EQ(PictureSize(bitmap).width, 30);
}

TEST(RtfCorpus, PngWithMetafileFallback) {
    const RtfDocument doc = ReadRtf(Corpus("picture_png.rtf"));
    ASSERT_EQ(doc.paragraphs[0].content.size(), 2u); // the \nonshppict is not a second picture
    const auto& picture = std::get<RtfPicture>(doc.paragraphs[0].content[1]);
    EXPECT_EQ(picture.kind, RtfPictureKind::Png);
    EXPECT_EQ(picture.data, Corpus("bitmap_2x2.png"));
    EXPECT_EQ(picture.scaleX, 50);
    EXPECT_EQ(PictureSize(picture).width, 15);
    EXPECT_EQ(MetafileBitmap(picture.fallbackMetafile), Corpus("bitmap_2x2.bmp"));
    // Written back as \*\shppict for new readers and the metafile for old ones.
    const std::string written = WriteRtf(doc);
    EXPECT_NE(written.find("{\\*\\shppict{\\pict\\pngblip"), std::string::npos);
    EXPECT_NE(written.find("{\\nonshppict{\\pict\\wmetafile8"), std::string::npos);
}

TEST(RtfCorpus, EmbeddedObjectKeepsItsExactBytes) {
    const std::string rtf = Corpus("object_pbrush.rtf");
    const RtfDocument doc = ReadRtf(rtf);
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    const auto& content = doc.paragraphs[0].content;
    ASSERT_EQ(content.size(), 3u);
    const auto& object = std::get<RtfObject>(content[1]);
    const std::size_t start = rtf.find("{\\object");
    const std::size_t end = rtf.find("}}}", start) + 3;
    EXPECT_EQ(object.raw, rtf.substr(start, end - start));
    EXPECT_EQ(object.className, "PBrush");
    EXPECT_EQ(object.kind, "objemb");
    EXPECT_EQ(object.width, 30);
    ASSERT_TRUE(object.result);
    EXPECT_EQ(PictureImage(*object.result), Corpus("bitmap_2x2.bmp"));
    const std::string written = WriteRtf(doc);
    EXPECT_NE(written.find(object.raw), std::string::npos);
}

TEST(RtfCorpus, BinaryDataIsNeverReadAsText) {
    const RtfDocument doc = ReadRtf(Corpus("bin_data.rtf"));
    const auto& content = doc.paragraphs.at(0).content;
    ASSERT_EQ(content.size(), 3u);
    EXPECT_EQ(std::get<RtfRun>(content[0]).text, "ab");
    EXPECT_EQ(std::get<RtfPicture>(content[1]).data, Corpus("bitmap_2x2.png"));
    EXPECT_EQ(std::get<RtfRun>(content[2]).text, "cd");
}

TEST(RtfCorpus, WordPasteKeepsOnlyShownText) {
    const RtfDocument doc = ReadRtf(Corpus("word_paste.rtf"));
    ASSERT_EQ(doc.paragraphs.size(), 2u);
    const RtfRun* link = FindRun(doc, "example");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->format.underline, "ul");
    EXPECT_EQ(link->format.foreground, RtfColor::Rgb(0, 0, 255));
    EXPECT_EQ(link->format.font.name, "Times New Roman");
    EXPECT_EQ(link->format.fontSize, 24);
}

} // namespace
} // namespace kelvo
