// The options sheet and the windows that follow its options: the questions before deleting,
// the length of the recent-bank list, the time a copied password stays on the clipboard, and
// the options kept in the settings file.
#include "shell/CMainFrame.h"
#include "shell/CPwdView.h"
#include "shell/CommandIds.h"
#include "shell/SettingsStore.h"
#include "shell/ui/COptPropSheet.h"

#include "TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using namespace std::chrono_literals;

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.OnNewDocument().ok());
        frame = std::make_unique<CMainFrame>(doc, settings, dialogs,
                                             std::make_unique<test::FakeRecordView>());
    }
    QString Ini() const { return dir.path() + QStringLiteral("/s.ini"); }
    QStringList RecentMenuTexts() {
        QStringList texts;
        for (QMenu* menu : frame->findChildren<QMenu*>())
            for (QAction* action : menu->actions())
                if (action->property("recent").isValid() && action->property("recent").toInt() >= 0)
                    texts << action->text();
        return texts;
    }

    QTemporaryDir dir;
    SettingsStore settings{Ini()};
    test::ScriptedDialogs dialogs;
    CQuorvellineDoc doc;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(OptionsTest, TheSheetShowsTheStoredOptionsAndOkStoresTheChanges) {
    for (int i = 0; i < 5; ++i)
        settings.AddRecentFile(QStringLiteral("/банки/%1.Kvb").arg(i));
    frame->RebuildRecentMenu(settings.RecentFiles());
    frame->UpdateCommandUi();
    ASSERT_TRUE(frame->Action(cmd::ProgramOptions)->isEnabled());

    test::AnswerNextModal([](QDialog& sheet) {
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Параметры программы"));
        auto* pages = sheet.findChild<QTabWidget*>(QStringLiteral("Pages"));
        ASSERT_TRUE(pages);
        ASSERT_EQ(pages->count(), 2);
        EXPECT_EQ(pages->tabText(0), QStringLiteral("Общие"));
        EXPECT_EQ(pages->tabText(1), QStringLiteral("Безопасность"));
        auto* recent = sheet.findChild<QSpinBox*>(QStringLiteral("RecentFiles"));
        auto* item = sheet.findChild<QCheckBox*>(QStringLiteral("ConfirmItemDelete"));
        auto* passwords = sheet.findChild<QCheckBox*>(QStringLiteral("ConfirmPasswordDelete"));
        auto* seconds = sheet.findChild<QSpinBox*>(QStringLiteral("ClipboardSeconds"));
        ASSERT_TRUE(recent && item && passwords && seconds);
        EXPECT_EQ(recent->accessibleName(), QStringLiteral("Число банков в списке последних"));
        EXPECT_EQ(item->accessibleName(),
                  QStringLiteral("Спрашивать перед удалением элемента дерева"));
        EXPECT_EQ(recent->value(), 6);
        EXPECT_EQ(recent->maximum(), 16);
        EXPECT_TRUE(item->isChecked());
        EXPECT_TRUE(passwords->isChecked());
        EXPECT_EQ(seconds->value(), 20);
        recent->setValue(2);
        item->setChecked(false);
        seconds->setValue(7);
        sheet.findChild<QPushButton*>(QStringLiteral("OK"))->click();
    });
    ASSERT_TRUE(frame->ExecuteCommand(cmd::ProgramOptions));

    const UserOptions stored = SettingsStore(Ini()).Options();
    EXPECT_FALSE(stored.confirmItemDelete);
    EXPECT_TRUE(stored.confirmPasswordDelete);
    EXPECT_EQ(stored.recentFiles, 2);
    EXPECT_EQ(stored.clipboardSeconds, 7);
    // The menu lists the two newest banks at once, and the others are gone from the file.
    EXPECT_EQ(RecentMenuTexts(),
              (QStringList{QStringLiteral("&1 /банки/4.Kvb"), QStringLiteral("&2 /банки/3.Kvb")}));
    UserOptions longer = stored;
    longer.recentFiles = 6;
    settings.SetOptions(longer);
    EXPECT_EQ(settings.RecentFiles().size(), 2);

    // Cancel keeps what is stored.
    test::AnswerNextModal([](QDialog& sheet) {
        sheet.findChild<QCheckBox*>(QStringLiteral("ConfirmPasswordDelete"))->setChecked(false);
    });
    frame->ExecuteCommand(cmd::ProgramOptions);
    EXPECT_TRUE(settings.Options().confirmPasswordDelete);
}

TEST_F(OptionsTest, DeletionsAskOnlyWhileTheirQuestionIsOn) {
    TreeNode* record = doc.AddNode(TreeKind::Records, doc.records().first(), "a");
    TreeNode* other = doc.AddNode(TreeKind::Records, doc.records().first(), "b");
    frame->RecordTreeCtrl().Refresh();
    UserOptions options;
    options.confirmItemDelete = false;
    settings.SetOptions(options);
    frame->RecordTreeCtrl().SelectNode(record);
    frame->ExecuteCommand(cmd::DeleteItem);
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(doc.records().size(), 2u);

    options.confirmItemDelete = true;
    settings.SetOptions(options);
    frame->RecordTreeCtrl().SelectNode(other);
    frame->ExecuteCommand(cmd::DeleteItem); // answered No
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(doc.records().size(), 2u);

    frame->SwitchTab(1);
    for (const char* title : {"x", "y"}) {
        auto entry = std::make_unique<PwdItem>();
        entry->title = title;
        doc.AddPassword(std::move(entry), doc.folders().first());
    }
    CPwdView& list = frame->PwdView();
    list.FillFromFolder();
    list.SelectRow(0);
    list.DeletePasswords(); // answered No
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(list.RowCount(), 2);
    options.confirmPasswordDelete = false;
    settings.SetOptions(options);
    list.SelectRow(0);
    list.DeletePasswords();
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(doc.passwords().size(), 1u);
}

TEST_F(OptionsTest, ACopiedPasswordLeavesAfterTheChosenTime) {
    test::FakeClock clock;
    CPwdView& list = frame->PwdView();
    list.Clipboard().SetClock(clock);
    UserOptions options;
    options.clipboardSeconds = 5;
    settings.SetOptions(options);
    frame->SwitchTab(1);
    auto entry = std::make_unique<PwdItem>();
    entry->title = "t";
    entry->password = "p-5";
    doc.AddPassword(std::move(entry), doc.folders().first());
    list.FillFromFolder();
    list.SelectRow(0);
    ASSERT_TRUE(list.CopyPassword());
    clock.now += 4s;
    list.Clipboard().Poll();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("p-5"));
    clock.now += 1s;
    list.Clipboard().Poll();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());
}

TEST(OptionsStore, ValuesOutsideTheirRangeOrUnreadableGiveTheBoundOrTheDefault) {
    QTemporaryDir dir;
    SettingsStore store(dir.path() + QStringLiteral("/s.ini"));
    EXPECT_EQ(store.Options(), UserOptions{});
    store.Settings().setValue(QStringLiteral("Options/RecentFileCount"), 99);
    store.Settings().setValue(QStringLiteral("Options/ClipboardSeconds"), QStringLiteral("abc"));
    store.Settings().setValue(QStringLiteral("Options/ConfirmItemDelete"), 0);
    const UserOptions read = store.Options();
    EXPECT_EQ(read.recentFiles, 16);
    EXPECT_EQ(read.clipboardSeconds, 20);
    EXPECT_FALSE(read.confirmItemDelete);
    for (int i = 0; i < 20; ++i)
        store.AddRecentFile(QStringLiteral("/b/%1.Kvb").arg(i));
    EXPECT_EQ(store.RecentFiles().size(), 16);
    EXPECT_EQ(store.RecentFiles().front(), QStringLiteral("/b/19.Kvb"));
    UserOptions none = read;
    none.recentFiles = 0;
    store.SetOptions(none);
    EXPECT_TRUE(store.RecentFiles().isEmpty());
}

} // namespace
} // namespace kelvo
