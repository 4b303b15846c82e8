// The RTF <-> QTextDocument adapter: bodies of the Windows program survive loading, editing and
// saving; pictures, objects, lists, soft breaks and units; RTF on the clipboard.
#include "richtext/RtfTextDocument.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kelvo {
namespace {

std::string ReadSample(const std::string& name) {
    std::ifstream in(std::filesystem::path(KELVO_TEST_DATA_DIR) / "rtf" / name, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::vector<std::string> SampleNames() {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(KELVO_TEST_DATA_DIR) / "rtf"))
        if (entry.path().extension() == ".rtf")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

template <class T> std::vector<T> Items(const RtfDocument& doc) {
    std::vector<T> out;
    for (const RtfParagraph& p : doc.paragraphs)
        for (const RtfInline& item : p.content)
            if (const auto* value = std::get_if<T>(&item))
                out.push_back(*value);
    return out;
}

TEST(RtfTextDocument, EverySampleBodyComesBackAsTheSameModel) {
    const auto names = SampleNames();
    ASSERT_GE(names.size(), 10u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const RtfDocument original = ReadRtf(ReadSample(name));
        QTextDocument doc;
        LoadRtfDocument(doc, original);
        const RtfDocument saved = SaveRtfDocument(doc);
        EXPECT_EQ(saved, original);
        // And the bytes the writer makes of it read back to the same model again.
        EXPECT_EQ(ReadRtf(WriteRtf(saved)), original);
    }
}

TEST(RtfTextDocument, PicturesAndObjectsSurviveEditsAroundThem) {
    for (const char* name : {"object_pbrush.rtf", "picture_wmf.rtf", "picture_png.rtf",
                             "picture_dib.rtf", "word_paste.rtf"}) {
        SCOPED_TRACE(name);
        const RtfDocument original = ReadRtf(ReadSample(name));
        QTextDocument doc;
        LoadRtfDocument(doc, original);
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("Начало "));
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral(" конец ✓"));
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("ещё"));

        const RtfDocument reread = ReadRtf(WriteRtf(SaveRtfDocument(doc)));
        EXPECT_EQ(Items<RtfPicture>(reread), Items<RtfPicture>(original));
        const auto objects = Items<RtfObject>(reread);
        ASSERT_EQ(objects.size(), Items<RtfObject>(original).size());
        for (std::size_t i = 0; i < objects.size(); ++i)
            EXPECT_EQ(objects[i].raw, Items<RtfObject>(original)[i].raw);
        const QString text = doc.toPlainText();
        EXPECT_TRUE(text.startsWith(QStringLiteral("Начало ")));
        EXPECT_TRUE(text.endsWith(QStringLiteral(" конец ✓\nещё")));
    }
}

TEST(RtfTextDocument, ObjectIsShownAsItsResultPictureAndPicturesAsResources) {
    QTextDocument doc;
    LoadRtfDocument(doc, ReadRtf(ReadSample("object_pbrush.rtf")));
    QTextCharFormat objectFormat;
    for (auto it = doc.begin().begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().objectType() == kRtfObjectType)
            objectFormat = it.fragment().charFormat();
    ASSERT_EQ(objectFormat.objectType(), kRtfObjectType);
    EXPECT_FALSE(objectFormat.property(rtfprop::ObjectImage).value<QImage>().isNull());
    EXPECT_EQ(objectFormat.property(rtfprop::ObjectSize).toSize(), QSize(30, 30));

    LoadRtfDocument(doc, ReadRtf(ReadSample("picture_wmf.rtf")));
    bool found = false;
    for (auto it = doc.begin().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (!format.isImageFormat())
            continue;
        found = true;
        const QTextImageFormat image = format.toImageFormat();
        const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(image.name()));
        ASSERT_TRUE(resource.isValid());
        EXPECT_EQ(resource.value<QImage>().size(), QSize(2, 2)); // the bitmap in the metafile
        EXPECT_NEAR(image.width(), 30 * DocumentDpi(doc) / 1440, 1e-9);
    }
    EXPECT_TRUE(found);
}

TEST(RtfTextDocument, DamagedPicturesAndObjectsShowPlaceholdersAndKeepTheirBytes) {
    const std::string rtf = "{\\rtf1\\ansi{\\pict\\pngblip\\picwgoal9999999\\pichgoal9999999 "
                            "0102030405}\\par{\\object\\objemb{\\*\\objclass Strange}"
                            "{\\*\\objdata 0001}}x\\par}";
    const RtfDocument original = ReadRtf(rtf);
    QTextDocument doc;
    LoadRtfDocument(doc, original);
    for (auto it = doc.begin().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        ASSERT_TRUE(format.isImageFormat());
        const QImage shown =
            doc.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()))
                .value<QImage>();
        EXPECT_FALSE(shown.isNull());
        EXPECT_LE(shown.width(), 256);
    }
    (void)doc.documentLayout()->documentSize(); // laid out and drawn without the bytes
    QImage canvas(200, 200, QImage::Format_RGB32);
    QPainter painter(&canvas);
    doc.drawContents(&painter);
    painter.end();
    EXPECT_EQ(SaveRtfDocument(doc), original);
}

TEST(RtfTextDocument, SoftBreaksListsIndentsAndTabsUseQtsOwnMeans) {
    QTextDocument doc;
    LoadRtfDocument(doc, ReadRtf(ReadSample("bullets_lines.rtf")));
    const double dpi = DocumentDpi(doc);
    EXPECT_NEAR(doc.defaultTextOption().tabStopDistance(), 720 * dpi / 1440, 1e-9);
    // "второй\lineпродолжение" is one paragraph with a line separator.
    QTextBlock second = doc.begin().next().next();
    EXPECT_EQ(second.text(),
              QStringLiteral("второй") + QChar(0x2028) + QStringLiteral("продолжение"));
    QTextList* bullets = second.textList();
    ASSERT_NE(bullets, nullptr);
    EXPECT_EQ(bullets->count(), 2);
    EXPECT_EQ(bullets->format().style(), QTextListFormat::ListDisc);
    QTextList* numbers = second.next().textList();
    ASSERT_NE(numbers, nullptr);
    EXPECT_NE(numbers, bullets);
    EXPECT_EQ(numbers->format().style(), QTextListFormat::ListDecimal);
    EXPECT_NEAR(second.blockFormat().leftMargin(), 720 * dpi / 1440, 1e-9);
    EXPECT_EQ(second.blockFormat().textIndent(), 0); // room for Qt's marker

    // A new item typed into the bullet list is written with the bullet and its definition.
    QTextCursor cursor(second);
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("третий"));
    const RtfDocument saved = SaveRtfDocument(doc);
    ASSERT_TRUE(saved.paragraphs[3].numbering);
    EXPECT_EQ(saved.paragraphs[3].numbering->level, "pnlvlblt");
    EXPECT_EQ(saved.paragraphs[3].numbering->text, saved.paragraphs[2].numbering->text);
    EXPECT_EQ(saved.paragraphs[3].firstIndent, -720);
    // The numbered list after it keeps counting from its own start.
    EXPECT_EQ(saved.paragraphs[5].numbering->text, "2.\t");

    LoadRtfDocument(doc, ReadRtf(ReadSample("paragraphs.rtf")));
    const QTextBlockFormat justified = doc.begin().next().next().blockFormat();
    EXPECT_EQ(justified.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    EXPECT_NEAR(justified.leftMargin(), 1440 * dpi / 1440, 1e-9);
    EXPECT_NEAR(justified.textIndent(), -360 * dpi / 1440, 1e-9);
    EXPECT_EQ(justified.lineHeightType(), QTextBlockFormat::ProportionalHeight);
    const auto tabs = doc.begin().next().next().next().blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 4);
    EXPECT_EQ(tabs[1].type, QTextOption::CenterTab);
    EXPECT_NEAR(tabs[3].position, 5760 * dpi / 1440, 1e-9);
}

TEST(RtfTextDocument, FormatsMapToQtAndUnderlineKindsRoundTrip) {
    QTextDocument doc;
    LoadRtfDocument(doc, ReadRtf(ReadSample("formatting.rtf")));
    auto formatAt = [&](const QString& word) {
        const int at = doc.toPlainText().indexOf(word);
        EXPECT_GE(at, 0) << word.toStdString();
        QTextCursor cursor(&doc);
        cursor.setPosition(at + 1);
        return cursor.charFormat();
    };
    EXPECT_EQ(formatAt(QStringLiteral("bold")).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(QStringLiteral("dotted")).underlineStyle(), QTextCharFormat::DotLine);
    EXPECT_EQ(formatAt(QStringLiteral("double")).stringProperty(rtfprop::Underline), "uldb");
    EXPECT_EQ(formatAt(QStringLiteral("red")).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(QStringLiteral("green on")).background().color(), QColor(255, 255, 0));
    EXPECT_EQ(formatAt(QStringLiteral("mono")).fontPointSize(), 14.0);
    EXPECT_FALSE(doc.toPlainText().contains(QStringLiteral("hidden")));

    // Bold put on the double underline keeps "uldb"; a plain underline put by the editor
    // over a dotted one becomes "ul".
    QTextCursor cursor(&doc);
    const int at = doc.toPlainText().indexOf(QStringLiteral("double"));
    cursor.setPosition(at);
    cursor.setPosition(at + 6, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);
    const int dotted = doc.toPlainText().indexOf(QStringLiteral("dotted"));
    cursor.setPosition(dotted);
    cursor.setPosition(dotted + 6, QTextCursor::KeepAnchor);
    QTextCharFormat single;
    single.setFontUnderline(true);
    cursor.mergeCharFormat(single);
    const std::string rtf = WriteRtf(SaveRtfDocument(doc));
    EXPECT_NE(rtf.find("\\b\\uldb double"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\ul dotted"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\v hidden\\v0 visible"), std::string::npos);
}

TEST(RtfTextDocument, TextTypedIntoAnEmptyBodyTakesTheDocumentFont) {
    QTextDocument doc;
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(10);
    doc.setDefaultFont(font);
    LoadRtfDocument(doc, ReadRtf(""));
    QTextCursor(&doc).insertText(QStringLiteral("Привет €"));
    const RtfDocument saved = SaveRtfDocument(doc);
    ASSERT_EQ(saved.paragraphs.size(), 1u);
    const auto& run = std::get<RtfRun>(saved.paragraphs[0].content.at(0));
    EXPECT_EQ(run.format.font.name, "Tahoma");
    EXPECT_EQ(run.format.font.charset, 204);
    EXPECT_EQ(run.format.fontSize, 20);
    EXPECT_EQ(run.text, "Привет €");
    // A character Windows-1251 lacks is carried as Unicode.
    const std::string rtf = WriteRtf(saved);
    EXPECT_EQ(std::get<RtfRun>(ReadRtf(rtf).paragraphs[0].content[0]).text, "Привет €");
}

TEST(RtfTextDocument, ClipboardCarriesRtfWithObjectsAndCleanPlainText) {
    QTextDocument source;
    LoadRtfDocument(source, ReadRtf(ReadSample("object_pbrush.rtf")));
    QTextCursor all(&source);
    all.select(QTextCursor::Document);
    std::unique_ptr<QMimeData> data(CreateRtfMimeData(all.selection(), source));
    ASSERT_TRUE(HasRtfMimeData(*data));
    EXPECT_FALSE(data->text().contains(QChar(0xFFFC)));
    EXPECT_TRUE(data->text().startsWith(QStringLiteral("Объект:")));

    QTextDocument target;
    LoadRtfDocument(target, ReadRtf(""));
    QTextCursor cursor(&target);
    cursor.insertText(QStringLiteral("до|после"));
    cursor.setPosition(3);
    ASSERT_TRUE(InsertRtfMimeData(*data, cursor));
    const RtfDocument pasted = SaveRtfDocument(target);
    ASSERT_EQ(Items<RtfObject>(pasted).size(), 1u);
    EXPECT_EQ(Items<RtfObject>(pasted)[0].raw,
              Items<RtfObject>(ReadRtf(ReadSample("object_pbrush.rtf")))[0].raw);
    EXPECT_TRUE(target.toPlainText().startsWith(QStringLiteral("до|Объект:")));
    EXPECT_TRUE(target.toPlainText().endsWith(QStringLiteral("после")));
    // One undo step takes the whole paste back.
    target.undo();
    EXPECT_EQ(target.toPlainText(), QStringLiteral("до|после"));

    QMimeData plain;
    plain.setText(QStringLiteral("x"));
    EXPECT_FALSE(InsertRtfMimeData(plain, cursor));
}

TEST(RtfTextDocument, FragmentsKeepPicturesWithoutTheirResources) {
    QTextDocument source;
    LoadRtfDocument(source, ReadRtf(ReadSample("picture_png.rtf")));
    QTextCursor all(&source);
    all.select(QTextCursor::Document);
    const RtfDocument copy = FragmentToRtf(all.selection(), source);
    EXPECT_EQ(Items<RtfPicture>(copy), Items<RtfPicture>(ReadRtf(ReadSample("picture_png.rtf"))));

    // A fragment inserted elsewhere brings the format but not the image: restored from the
    // kept bytes.
    QTextDocument other;
    QTextCursor(&other).insertFragment(all.selection());
    RestorePictureResources(other);
    for (auto it = other.begin().begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat()) {
            const QUrl name(it.fragment().charFormat().toImageFormat().name());
            EXPECT_FALSE(
                other.resource(QTextDocument::ImageResource, name).value<QImage>().isNull());
        }
}

TEST(RtfTextDocument, PicturesFromFilesKeepPngAndJpegBytesAndGetAMetafile) {
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30, 128));
    auto encode = [&](const char* format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(image.save(&buffer, format));
        return bytes;
    };
    const QByteArray png = encode("PNG");
    auto picture = PictureFromImageFile(png);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->kind, RtfPictureKind::Png);
    EXPECT_EQ(picture->data, png.toStdString());
    EXPECT_EQ(picture->goalWidth, 600);
    EXPECT_EQ(picture->goalHeight, 300);
    EXPECT_FALSE(picture->fallbackMetafile.empty());
    EXPECT_EQ(PictureQImage(*picture).size(), QSize(40, 20));

    auto bmp = PictureFromImageFile(encode("BMP"));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->kind, RtfPictureKind::Png); // stored compressed
    EXPECT_EQ(PictureQImage(*bmp).size(), QSize(40, 20));

    // Written and read back, the picture and its fallback are what was inserted.
    RtfDocument doc;
    doc.paragraphs.resize(1);
    doc.paragraphs[0].content.emplace_back(*picture);
    EXPECT_EQ(Items<RtfPicture>(ReadRtf(WriteRtf(doc))).at(0), *picture);

    // A wide picture is narrowed to the page.
    QImage wide(2000, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QByteArray wideBytes;
    QBuffer wideBuffer(&wideBytes);
    wideBuffer.open(QIODevice::WriteOnly);
    wide.save(&wideBuffer, "PNG");
    auto narrowed = PictureFromImageFile(wideBytes);
    ASSERT_TRUE(narrowed);
    EXPECT_EQ(narrowed->goalWidth, 9360);
    EXPECT_EQ(narrowed->goalHeight, 468);

    EXPECT_FALSE(PictureFromImageFile(QByteArray("not an image")));
    EXPECT_FALSE(PictureFromImageFile(QByteArray()));
}

} // namespace
} // namespace kelvo
