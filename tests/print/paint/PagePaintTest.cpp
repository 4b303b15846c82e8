// The page painters writing PDF files: a record body with Cyrillic text and a picture inside
// its margins, a long body cut between lines, the structure of 200 records cut at row
// boundaries, a failed picture step, and a PDF that cannot be written.
#include "print/paint/RecordPages.h"
#include "print/paint/StructurePages.h"
#include "richtext/RtfTextDocument.h"

#include "PdfReader.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

RtfParagraph TextParagraph(const std::string& text) {
    RtfParagraph p;
    RtfRun run;
    run.format.font.name = "Tahoma";
    run.format.fontSize = 24;
    run.text = text;
    p.content.emplace_back(run);
    return p;
}

RtfPicture SolidPicture(QColor colour, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return *PictureFromImageFile(png);
}

QImage SolidImage(QColor colour) {
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

class PagePaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HavePoppler())
            GTEST_SKIP() << "poppler-utils (pdftotext, pdftoppm) are not installed";
    }
    QString Path(const char* name) const { return dir.path() + QStringLiteral("/") + name; }
    QTemporaryDir dir;
};

TEST_F(PagePaintTest, ARecordBodyKeepsItsCyrillicTextAndItsPictureInsideTheMargins) {
    RtfDocument body;
    body.paragraphs.push_back(TextParagraph("Привет, мир: печать записи"));
    RtfParagraph picture;
    picture.content.emplace_back(SolidPicture(QColor(255, 0, 0), 192, 96)); // 2 x 1 inches
    body.paragraphs.push_back(picture);
    body.paragraphs.push_back(TextParagraph("Конец записи"));

    const QString pdf = Path("record.pdf");
    const Result<int> pages = PrintRecordBodyToPdf(body, pdf);
    ASSERT_TRUE(pages.ok()) << pages.error().message;
    EXPECT_EQ(*pages, 1);
    const QStringList text = test::PdfPages(pdf);
    ASSERT_EQ(text.size(), 1);
    const QStringList lines = test::PdfLines(text[0]);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Привет, мир: печать записи"));
    EXPECT_EQ(lines[1], QStringLiteral("Конец записи"));

    // At 72 pixels per inch the picture is 144 x 72 pixels of red, and nothing is drawn
    // within half an inch (36 pixels) of the sheet's left and top edges.
    const QImage page = test::PdfPageImage(pdf, 1, 72);
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(test::CountPixels(page, QColor(255, 0, 0)), 144 * 72, 144 * 72 / 10);
    int left = page.width(), top = page.height();
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 200) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
    EXPECT_GE(left, 35);
    EXPECT_LE(left, 40); // the text starts at the margin
    EXPECT_GE(top, 35);
}

TEST_F(PagePaintTest, ALongBodyIsCutBetweenLinesAndLosesNone) {
    RtfDocument body;
    for (int i = 1; i <= 150; ++i)
        body.paragraphs.push_back(TextParagraph("Строка номер " + std::to_string(i)));
    RecordPages source(body);
    const Result<int> pages = PrintToPdf(source, Path("long.pdf"));
    ASSERT_TRUE(pages.ok());
    EXPECT_GE(*pages, 3);
    const QStringList text = test::PdfPages(Path("long.pdf"));
    ASSERT_EQ(text.size(), *pages);
    int expected = 1;
    for (const QString& pageText : text)
        for (const QString& line : test::PdfLines(pageText))
            EXPECT_EQ(line, QStringLiteral("Строка номер %1").arg(expected++));
    EXPECT_EQ(expected, 151);
}

struct StructureFixture {
    RecordTree tree;
    StructureFixture(int records) {
        TreeNode* root = tree.Insert(AnsiString("Root"));
        for (int i = 1; i <= records; ++i)
            tree.Insert(Utf8ToAnsiLossy(
                            QStringLiteral("Запись %1").arg(i, 3, 10, QChar(u'0')).toStdString()),
                        root);
        root->expanded = true;
    }
};

TEST_F(PagePaintTest, TheStructureOf200RecordsIsCutAtRowBoundariesInOrder) {
    StructureFixture f(200);
    std::vector<QImage> images(7, SolidImage(QColor(0, 0, 255)));
    StructurePages source(StoredStructure(f.tree, images));
    const QString pdf = Path("structure.pdf");
    const Result<int> pages = PrintToPdf(source, pdf);
    ASSERT_TRUE(pages.ok());
    // 201 rows of 18 pane pixels on A4 less the writer's margins: a few pages, each full
    // but the last.
    ASSERT_GE(*pages, 3);
    EXPECT_TRUE(source.TakeMessages().empty());
    const QStringList text = test::PdfPages(pdf);
    ASSERT_EQ(text.size(), *pages);
    std::size_t row = 0;
    for (int page = 0; page < *pages; ++page) {
        const QStringList lines = test::PdfLines(text[page]);
        const StructurePage& cut = source.Pages()[static_cast<std::size_t>(page)];
        EXPECT_EQ(cut.firstRow, row);
        ASSERT_EQ(static_cast<std::size_t>(lines.size()), cut.rowCount) << "page " << page + 1;
        for (const QString& line : lines) {
            const QString expected = row == 0
                                         ? QStringLiteral("Root")
                                         : QStringLiteral("Запись %1").arg(row, 3, 10, QChar(u'0'));
            EXPECT_EQ(line, expected);
            ++row;
        }
    }
    EXPECT_EQ(row, 201u);
    // Icons are drawn: blue squares of 16 pane pixels (1/6 inch, 12 pixels at 72) on each row.
    const QImage first = test::PdfPageImage(pdf, 1, 72);
    const int blue = test::CountPixels(first, QColor(0, 0, 255));
    EXPECT_GT(blue, 100 * static_cast<int>(source.Pages()[0].rowCount));
    // The first row lies at the top of the printable area, not lower.
    int top = first.height();
    for (int y = 0; y < first.height() && top == first.height(); ++y)
        for (int x = 0; x < first.width(); ++x)
            if (qGray(first.pixel(x, y)) < 200) {
                top = y;
                break;
            }
    EXPECT_LT(top, 20);
}

TEST_F(PagePaintTest, APictureThatCannotBeMadeLeavesTextsAndTellsWhy) {
    StructureFixture f(3);
    std::vector<QImage> images(7, SolidImage(QColor(0, 0, 255)));
    images[5] = QImage(); // a picture of the list cannot be made
    StructurePages source(StoredStructure(f.tree, images));
    EXPECT_FALSE(source.DrawsPictures());
    const auto messages = source.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].messageId, msg::PictureConversionFailed);
    EXPECT_EQ(messages[0].message, "Сбой при преобразовании рисунка в DIB.\nКод ошибки: 1003.");
    const QString pdf = Path("failed.pdf");
    ASSERT_TRUE(PrintToPdf(source, pdf).ok());
    EXPECT_EQ(test::PdfLines(test::PdfPages(pdf).value(0)).size(), 4);
    // No icons, lines or buttons: the texts start 41 pane pixels in (31 at 72 pixels per inch,
    // after the 10 points of the writer's margin), and nothing is drawn left of them.
    const QImage page = test::PdfPageImage(pdf, 1, 72);
    EXPECT_EQ(test::CountPixels(page, QColor(0, 0, 255)), 0);
    int inked = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < 38; ++x)
            inked += qGray(page.pixel(x, y)) < 240;
    EXPECT_EQ(inked, 0);
}

TEST_F(PagePaintTest, AnImageIndexOutsideTheListIsReportedOnce) {
    StructureFixture f(5);
    StructureSource structure = StoredStructure(f.tree, {SolidImage(Qt::blue)});
    StructurePages source(std::move(structure)); // records use images 3 and 5: not in the list
    ASSERT_TRUE(PrintToPdf(source, Path("index.pdf")).ok());
    const auto messages = source.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, "Сбой при печати DIB.");
    EXPECT_EQ(test::PdfLines(test::PdfPages(Path("index.pdf")).value(0)).size(), 6);
}

TEST_F(PagePaintTest, APdfThatCannotBeWrittenLeavesNothingAndSaysWhere) {
    RtfDocument body;
    body.paragraphs.push_back(TextParagraph("Текст"));
    const QString missing = Path("нет/такой/папки.pdf");
    const Result<int> result = PrintRecordBodyToPdf(body, missing);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().message.find("нет/такой/папки.pdf"), std::string::npos);
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(PagePaintTest, TheScaleFollowsTheDevicesResolution) {
    // The same structure at 300 and at 1200 pixels per inch lands on the same pages, the same
    // physical size.
    StructureFixture f(120);
    std::vector<QImage> images(7, SolidImage(Qt::blue));
    StructurePages source(StoredStructure(f.tree, images));
    QPdfWriter low(Path("low.pdf"));
    low.setResolution(300);
    source.Layout(GeometryOf(low));
    const auto lowPages = source.Pages();
    QPdfWriter high(Path("high.pdf"));
    high.setResolution(1200);
    source.Layout(GeometryOf(high));
    EXPECT_EQ(source.Pages(), lowPages);
}

} // namespace
} // namespace kelvo
