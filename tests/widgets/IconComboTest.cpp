// Tests of the password pictures and their combo box: 33 different pictures whose position is
// the icon number, numbers that are no position kept, the list opened by the down-arrow key.
#include "widgets/IconCombo.h"

#include "widgets/PasswordIcons.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QImage>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

QImage Picture(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

int Ink(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    return count;
}

TEST(PasswordIcons, ThirtyThreeDifferentPicturesAtEverySize) {
    QSet<QByteArray> seen16, seen32;
    QSet<QString> names;
    for (int i = 0; i < kPasswordIconCount; ++i) {
        const QImage small = Picture(PasswordIcon(i), 16);
        const QImage large = Picture(PasswordIcon(i), 32);
        ASSERT_EQ(small.size(), QSize(16, 16));
        ASSERT_EQ(large.size(), QSize(32, 32));
        // Drawn for the size: a fair share of the square is covered, nothing is cut off.
        EXPECT_GT(Ink(small), 16 * 16 / 6) << i;
        EXPECT_GT(Ink(large), 32 * 32 / 6) << i;
        seen16.insert(
            QByteArray(reinterpret_cast<const char*>(small.constBits()), small.sizeInBytes()));
        seen32.insert(
            QByteArray(reinterpret_cast<const char*>(large.constBits()), large.sizeInBytes()));
        EXPECT_FALSE(PasswordIconName(i).isEmpty());
        names.insert(PasswordIconName(i));
    }
    EXPECT_EQ(seen16.size(), kPasswordIconCount);
    EXPECT_EQ(seen32.size(), kPasswordIconCount);
    EXPECT_EQ(names.size(), kPasswordIconCount);
    // Numbers outside the set show the first picture and have no name.
    EXPECT_EQ(Picture(PasswordIcon(33), 16), Picture(PasswordIcon(0), 16));
    EXPECT_EQ(Picture(PasswordIcon(-1), 16), Picture(PasswordIcon(0), 16));
    EXPECT_TRUE(PasswordIconName(33).isEmpty());
}

TEST(IconCombo, ThePositionIsTheIconNumber) {
    IconCombo combo;
    ASSERT_EQ(combo.count(), kPasswordIconCount);
    EXPECT_EQ(combo.IconNumber(), 0); // a new entry starts with the first picture
    for (int i = 0; i < kPasswordIconCount; ++i) {
        EXPECT_TRUE(combo.itemText(i).isEmpty());
        EXPECT_EQ(Picture(combo.itemIcon(i), 16), Picture(PasswordIcon(i), 16)) << i;
        EXPECT_EQ(combo.itemData(i, Qt::AccessibleTextRole).toString(), PasswordIconName(i));
        combo.SetIconNumber(i);
        EXPECT_EQ(combo.currentIndex(), i);
        EXPECT_EQ(combo.IconNumber(), i);
    }
    // A number from a damaged bank is kept until the user picks a picture, not turned into -1.
    combo.SetIconNumber(57);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.IconNumber(), 57);
    combo.setCurrentIndex(4);
    EXPECT_EQ(combo.IconNumber(), 4);
    combo.SetIconNumber(-3);
    EXPECT_EQ(combo.IconNumber(), -3);
}

TEST(IconCombo, TheDownArrowOpensTheList) {
    IconCombo combo;
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    combo.SetIconNumber(5);
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_TRUE(combo.view()->isVisible());
    EXPECT_EQ(combo.IconNumber(), 5); // opening does not choose
    combo.hidePopup();
    // Other keys keep their usual meaning.
    QTest::keyClick(&combo, Qt::Key_End);
    EXPECT_EQ(combo.IconNumber(), kPasswordIconCount - 1);
}

} // namespace
} // namespace kelvo
