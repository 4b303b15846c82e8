// The settings store: the binary records, their rules, histories and the dock layout check.
#include "shell/SettingsStore.h"

#include "widgets/ReportGrid.h"
#include "widgets/SortableList.h"

#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QMainWindow>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Ini() const { return dir.path() + QStringLiteral("/настройки.ini"); }
};

TEST(SettingsRecords, WindowPlacementIsThirtyTwoLittleEndianBytes) {
    WindowPlacement p{10, 20, 810, 620, true, 1280, 800};
    const QByteArray bytes = EncodeWindowPlacement(p);
    ASSERT_EQ(bytes.size(), 32);
    EXPECT_EQ(bytes.left(4), QByteArray::fromHex("78563412"));
    EXPECT_EQ(bytes.mid(4, 4), QByteArray::fromHex("0a000000"));
    EXPECT_EQ(bytes.mid(12, 4), QByteArray::fromHex("2a030000")); // right 810
    EXPECT_EQ(bytes.mid(20, 4), QByteArray::fromHex("ffffffff"));
    EXPECT_EQ(bytes.mid(24, 4), QByteArray::fromHex("00050000"));
    const auto back = DecodeWindowPlacement(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->right, 810);
    EXPECT_TRUE(back->maximized);
    EXPECT_EQ(back->screenHeight, 800);
}

TEST(SettingsRecords, PlacementOfAnyOtherSizeIsIgnored) {
    const QByteArray good = EncodeWindowPlacement({1, 2, 3, 4, false, 5, 6});
    EXPECT_FALSE(DecodeWindowPlacement(good.left(31)));
    EXPECT_FALSE(DecodeWindowPlacement(good + '\0'));
    EXPECT_FALSE(DecodeWindowPlacement({}));
    // The magic is not examined.
    QByteArray otherMagic = good;
    otherMagic[0] = 0;
    EXPECT_TRUE(DecodeWindowPlacement(otherMagic));
}

TEST(SettingsRecords, ListLayoutRoundTripAndDamagedCount) {
    ListLayout layout;
    layout.sortColumn = 2;
    layout.sortOrder = 1;
    layout.columns = {{1, 120}, {0, 80}, {2, 60}};
    const QByteArray bytes = EncodeListLayout(layout);
    ASSERT_EQ(bytes.size(), 16 + 3 * 8);
    const auto back = DecodeListLayout(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sortColumn, 2);
    ASSERT_EQ(back->columns.size(), 3u);
    EXPECT_EQ(back->columns[0].order, 1);
    EXPECT_EQ(back->columns[0].width, 120);
    // A count larger than the value holds is damage, not a reason to read past the end.
    QByteArray damaged = bytes;
    damaged[4] = 100;
    EXPECT_FALSE(DecodeListLayout(damaged));
    EXPECT_FALSE(DecodeListLayout(bytes.left(12)));
}

TEST(SettingsRecords, SubPathsAreNormalised) {
    EXPECT_EQ(NormaliseSubPath(QStringLiteral("\\Saved Dialog History\\\\X\\")),
              QStringLiteral("Saved Dialog History\\X"));
    EXPECT_EQ(SettingsStore::ProgramKey(QStringLiteral("Window State Data\\")),
              QStringLiteral("1.0.0.1/Window State Data"));
    EXPECT_EQ(SettingsStore::DockSection(), QStringLiteral("1.0.0.1/Bar State Data/MW"));
}

TEST_F(SettingsStoreTest, WindowPlacementComesBackOnlyOnTheSameScreen) {
    SettingsStore store(Ini());
    store.SetScreenSize({1280, 800});
    QWidget window;
    window.setGeometry(100, 120, 500, 300);
    store.SaveWindowState(window, QStringLiteral("MainWindow"));
    EXPECT_EQ(
        store.RawValue(QStringLiteral("Window State Data"), QStringLiteral("MainWindow")).size(),
        32);

    QWidget restored;
    restored.setGeometry(0, 0, 50, 50);
    ASSERT_TRUE(store.LoadWindowState(restored, QStringLiteral("MainWindow")));
    EXPECT_EQ(restored.geometry(), QRect(100, 120, 500, 300));

    store.SetScreenSize({1920, 1080});
    QWidget elsewhere;
    elsewhere.setGeometry(0, 0, 50, 50);
    EXPECT_FALSE(store.LoadWindowState(elsewhere, QStringLiteral("MainWindow")));
    EXPECT_EQ(elsewhere.geometry(), QRect(0, 0, 50, 50));
}

TEST_F(SettingsStoreTest, PlacementValuesOfThirtyOneOrThirtyThreeBytesAreIgnored) {
    SettingsStore store(Ini());
    store.SetScreenSize({1280, 800});
    const QByteArray good = EncodeWindowPlacement({10, 10, 410, 310, false, 1280, 800});
    for (const QByteArray& bad : {good.left(31), good + QByteArray(1, '\0')}) {
        store.SetRawValue(QStringLiteral("Window State Data"), QStringLiteral("AboutDlg"), bad);
        QWidget window;
        window.setGeometry(5, 5, 60, 60);
        EXPECT_FALSE(store.LoadWindowState(window, QStringLiteral("AboutDlg")));
        EXPECT_EQ(window.geometry(), QRect(5, 5, 60, 60));
    }
    store.SetRawValue(QStringLiteral("Window State Data"), QStringLiteral("AboutDlg"), good);
    QWidget window;
    EXPECT_TRUE(store.LoadWindowState(window, QStringLiteral("AboutDlg")));
}

TEST_F(SettingsStoreTest, ValuesLiveUnderTheVersionKeyInTheIniFile) {
    {
        SettingsStore store(Ini());
        store.SetRawValue(QStringLiteral("Window State Data"), QStringLiteral("KeyMapDlg"),
                          QByteArray(32, 'x'));
        store.Sync();
    }
    QSettings ini(Ini(), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("1.0.0.1/Window State Data/KeyMapDlg")).toByteArray().size(),
              32);
}

TEST_F(SettingsStoreTest, ListLayoutRestoresWidthsAndOrder) {
    SettingsStore store(Ini());
    QTableWidget list(0, 3);
    list.horizontalHeader()->setSectionsMovable(true);
    list.horizontalHeader()->resizeSection(0, 150);
    list.horizontalHeader()->resizeSection(2, 70);
    list.horizontalHeader()->moveSection(2, 0);
    store.SaveListState(*list.horizontalHeader(), QStringLiteral("MainWindow.PwdList"));

    QTableWidget other(0, 3);
    other.horizontalHeader()->setSectionsMovable(true);
    ASSERT_TRUE(
        store.LoadListState(*other.horizontalHeader(), QStringLiteral("MainWindow.PwdList")));
    EXPECT_EQ(other.horizontalHeader()->sectionSize(0), 150);
    EXPECT_EQ(other.horizontalHeader()->sectionSize(2), 70);
    EXPECT_EQ(other.horizontalHeader()->visualIndex(2), 0);
    EXPECT_EQ(other.horizontalHeader()->visualIndex(0), 1);
}

TEST_F(SettingsStoreTest, KitGridsAndListsKeepTheirLayoutsInTheListRecord) {
    const std::vector<ReportColumn> columns{{QStringLiteral("№"), 30},
                                            {QStringLiteral("Место"), 50},
                                            {QStringLiteral("Ключевые слова"), 50}};
    ReportGrid grid;
    grid.SetColumns(columns);
    grid.horizontalHeader()->moveSection(2, 0);
    grid.horizontalHeader()->resizeSection(1, 140);
    grid.SortByColumn(1, Qt::DescendingOrder);
    {
        SettingsStore store(Ini());
        grid.SaveLayout(store, QStringLiteral("BankSearchDlg.ResultGrid"), true);
        store.Sync();
    }
    SettingsStore store(Ini());
    const QByteArray bytes = store.RawValue(QStringLiteral("Window State Data"),
                                            QStringLiteral("BankSearchDlg.ResultGrid"));
    ASSERT_EQ(bytes.size(), 16 + 3 * 8);
    EXPECT_EQ(bytes.left(16), QByteArray::fromHex("78563412030000000100000001000000"));
    ReportGrid restored;
    restored.SetColumns(columns);
    ASSERT_TRUE(restored.LoadLayout(store, QStringLiteral("BankSearchDlg.ResultGrid"), true));
    EXPECT_EQ(restored.horizontalHeader()->visualIndex(2), 0);
    EXPECT_EQ(restored.horizontalHeader()->sectionSize(1), 140);
    EXPECT_EQ(restored.SortColumn(), 1);
    EXPECT_EQ(restored.SortOrder(), Qt::DescendingOrder);

    // The password list's record, written by the list, reads back through the header calls.
    SortableList list;
    list.SetColumns({{QStringLiteral("Название")}, {QStringLiteral("Категория")}});
    list.header()->resizeSection(0, 220);
    list.SaveLayout(store, QStringLiteral("MainWindow.PwdList"));
    QTableWidget table(0, 2);
    ASSERT_TRUE(
        store.LoadListState(*table.horizontalHeader(), QStringLiteral("MainWindow.PwdList")));
    EXPECT_EQ(table.horizontalHeader()->sectionSize(0), 220);
}

TEST_F(SettingsStoreTest, ComboHistoryMovesRepeatsUpAndDropsTheOldest) {
    QComboBox combo;
    EXPECT_FALSE(SettingsStore::AddToComboHistory(combo, QString(), 3));
    for (const char* text : {"a", "b", "c"})
        EXPECT_TRUE(SettingsStore::AddToComboHistory(combo, QString::fromLatin1(text), 3));
    EXPECT_TRUE(SettingsStore::AddToComboHistory(combo, QStringLiteral("a"), 3));
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("a"));
    EXPECT_EQ(combo.itemText(1), QStringLiteral("c"));
    EXPECT_TRUE(SettingsStore::AddToComboHistory(combo, QStringLiteral("d"), 3));
    EXPECT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(2), QStringLiteral("c")); // "b", the oldest, went

    SettingsStore store(Ini());
    store.SaveComboHistory(combo, QStringLiteral("SearchBankSearchTexts"));
    EXPECT_EQ(store.Settings()
                  .value(QStringLiteral("1.0.0.1/Saved Dialog History/SearchBankSearchTexts/00001"))
                  .toString(),
              QStringLiteral("a"));
    QComboBox loaded;
    ASSERT_TRUE(store.LoadComboHistory(loaded, QStringLiteral("SearchBankSearchTexts")));
    ASSERT_EQ(loaded.count(), 3);
    EXPECT_EQ(loaded.itemText(0), QStringLiteral("d"));
}

TEST_F(SettingsStoreTest, DockLayoutNamingAMissingBarIsNotUsed) {
    SettingsStore store(Ini());
    QMainWindow frame;
    auto* standard = frame.addToolBar(QStringLiteral("Стандартная"));
    standard->setObjectName(QStringLiteral("StandardBar"));
    auto* views = frame.addToolBar(QStringLiteral("Виды"));
    views->setObjectName(QStringLiteral("ViewsBar"));
    auto* dock = new QDockWidget(QStringLiteral("Структура банка"), &frame);
    dock->setObjectName(QStringLiteral("LeftBar"));
    frame.addDockWidget(Qt::LeftDockWidgetArea, dock);
    store.SaveDockState(frame, {{59392, standard}, {132, views}, {65102, dock}});
    EXPECT_TRUE(store.LoadDockState(frame, {{59392, standard}, {132, views}, {65102, dock}}));
    // The program no longer has the views toolbar: the saved layout fails verification.
    EXPECT_FALSE(store.LoadDockState(frame, {{59392, standard}, {65102, dock}}));
    // Ids above 65535 are reduced to their low 16 bits.
    store.Settings().setValue(SettingsStore::DockSection() + QStringLiteral("/Bars"),
                              QStringList{QString::number(0x10000 + 59392)});
    store.Settings().setValue(SettingsStore::DockSection() + QStringLiteral("/Docked"),
                              QStringList{});
    EXPECT_TRUE(store.LoadDockState(frame, {{59392, standard}}));
}

TEST_F(SettingsStoreTest, RecentBanksKeepSixNewestFirst) {
    SettingsStore store(Ini());
    for (int i = 0; i < 8; ++i)
        store.AddRecentFile(QStringLiteral("/банки/%1.Kvb").arg(i));
    store.AddRecentFile(QStringLiteral("/банки/4.Kvb"));
    const QStringList files = store.RecentFiles();
    ASSERT_EQ(files.size(), 6);
    EXPECT_EQ(files.front(), QStringLiteral("/банки/4.Kvb"));
    EXPECT_EQ(files[1], QStringLiteral("/банки/7.Kvb"));
    EXPECT_EQ(files.count(QStringLiteral("/банки/4.Kvb")), 1);
}

} // namespace
} // namespace kelvo
