// The editor's ruler: markers dragged with the mouse, tab stops added by a click and removed
// by dragging them off the ruler.
#include "widgets/ParagraphRuler.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

class EditorRulerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ruler.resize(700, ruler.sizeHint().height());
        ruler.SetGeometry(10, 680, 96); // 567 twips are 37.8 pixels
        ruler.show();
    }
    QPoint Lower(int twips) const {
        return QPoint(static_cast<int>(ruler.XOfTwips(twips)), ruler.height() - 8);
    }
    QPoint Upper(int twips) const { return QPoint(static_cast<int>(ruler.XOfTwips(twips)), 3); }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(&ruler, Qt::LeftButton, {}, from);
        QTest::mouseMove(&ruler, (from + to) / 2);
        QTest::mouseMove(&ruler, to);
        QTest::mouseRelease(&ruler, Qt::LeftButton, {}, to);
    }

    ParagraphRuler ruler;
};

TEST_F(EditorRulerTest, ScaleConvertsBetweenPixelsAndTwips) {
    EXPECT_DOUBLE_EQ(ruler.XOfTwips(1440), 10 + 96);
    EXPECT_EQ(ruler.TwipsOfX(10 + 96, false), 1440);
    EXPECT_EQ(ruler.TwipsOfX(10 + 96, true), 1420); // nearest quarter of a centimetre
}

TEST_F(EditorRulerTest, DraggingMarkersChangesTheIndents) {
    QSignalSpy edited(&ruler, &ParagraphRuler::FormatEdited);
    // The left marker: the left indent moves, the first line stays where it was.
    Drag(Lower(0), Lower(1136));
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(ruler.CurrentFormat().leftIndent, 1136);
    EXPECT_EQ(ruler.CurrentFormat().firstIndent, -1136);
    // The first-line marker.
    Drag(Upper(0), Upper(568));
    EXPECT_EQ(ruler.CurrentFormat().leftIndent + ruler.CurrentFormat().firstIndent, 568);
    // The right marker, from the right end of the text.
    const int width = ruler.TwipsOfX(10 + 680, false);
    Drag(Lower(width), Lower(width - 852));
    EXPECT_EQ(ruler.CurrentFormat().rightIndent, 852);
    EXPECT_EQ(edited.count(), 3);
}

TEST_F(EditorRulerTest, TabStopsAddedMovedAndRemoved) {
    QSignalSpy edited(&ruler, &ParagraphRuler::FormatEdited);
    QTest::mouseClick(&ruler, Qt::LeftButton, {}, Lower(2840));
    ASSERT_EQ(ruler.CurrentFormat().tabs, std::vector<int>{2840});
    Drag(Lower(2840), Lower(3408));
    EXPECT_EQ(ruler.CurrentFormat().tabs, std::vector<int>{3408});
    Drag(Lower(3408), Lower(3408) + QPoint(0, 60)); // off the ruler
    EXPECT_TRUE(ruler.CurrentFormat().tabs.empty());
    EXPECT_EQ(edited.count(), 3);
    // The format shown is replaced only while nothing is being dragged.
    ParagraphRuler::Format format;
    format.leftIndent = 720;
    ruler.SetFormat(format);
    EXPECT_EQ(ruler.CurrentFormat().leftIndent, 720);
}

} // namespace
} // namespace kelvo
