// The password list: its rows and their order, the status pane, the commands and their keys,
// the context menu, copying login and password (and the password leaving the clipboard),
// masked passwords and the saved layout.
#include "shell/CMainFrame.h"
#include "shell/CPwdView.h"
#include "shell/CommandIds.h"
#include "shell/SettingsStore.h"
#include "widgets/PasswordIcons.h"
#include "widgets/StatusPaneBar.h"

#include "TestSupport.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using namespace std::chrono_literals;

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

class PwdViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.OnNewDocument().ok());
        MakeFrame();
    }
    void MakeFrame() {
        frame = std::make_unique<CMainFrame>(doc, settings, dialogs,
                                             std::make_unique<test::FakeRecordView>());
        frame->SwitchTab(1);
    }
    CPwdView& List() { return frame->PwdView(); }
    PwdItem& Add(const char* title, int icon = 0, const char* login = "", const char* password = "",
                 const char* notes = "") {
        auto item = std::make_unique<PwdItem>();
        item->title = A(title);
        item->icon = icon;
        item->login = A(login);
        item->password = A(password);
        item->notes = A(notes);
        return doc.AddPassword(std::move(item), doc.folders().first());
    }
    QString Pane() {
        frame->UpdateCommandUi();
        return frame->StatusPanes().PaneText(cmd::PanePosition);
    }
    QStringList Titles() {
        QStringList titles;
        for (int row = 0; row < List().RowCount(); ++row)
            titles << List().Text(row, 0);
        return titles;
    }

    QTemporaryDir dir;
    SettingsStore settings{dir.path() + QStringLiteral("/s.ini")};
    test::ScriptedDialogs dialogs;
    CQuorvellineDoc doc;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(PwdViewTest, RowsSortByTitleAndThePaneFollowsTheSelection) {
    EXPECT_EQ(Pane(), QStringLiteral("0 паролей"));
    EXPECT_FALSE(frame->Action(cmd::DeletePassword)->isEnabled());
    QStringList headings;
    for (int column = 0; column < List().ColumnCount(); ++column) {
        headings << List().Model().headerData(column, Qt::Horizontal).toString();
        EXPECT_EQ(List().header()->sectionSize(column), 100);
    }
    EXPECT_EQ(headings, (QStringList{QStringLiteral("Название"), QStringLiteral("Категория"),
                                     QStringLiteral("Логин"), QStringLiteral("Пароль"),
                                     QStringLiteral("Ссылка")}));
    PwdItem& delta = Add("Дельта", 7, "d", "pd");
    for (const char* title : {"альфа", "Бета", "гамма", "Эхо"})
        Add(title);
    List().FillFromFolder();
    EXPECT_EQ(Titles(),
              (QStringList{QStringLiteral("альфа"), QStringLiteral("Бета"), QStringLiteral("гамма"),
                           QStringLiteral("Дельта"), QStringLiteral("Эхо")}));
    EXPECT_EQ(List().RowUid(3), delta.uid);
    EXPECT_EQ(List().Text(3, 2), QStringLiteral("d"));
    EXPECT_EQ(List().Text(3, 3), QStringLiteral("pd")); // in plain text
    EXPECT_EQ(List().Row(3).icon.pixmap(16).toImage(), PasswordIcon(7).pixmap(16).toImage());
    EXPECT_TRUE(List().SelectedRows().empty());
    EXPECT_EQ(Pane(), QStringLiteral("5 паролей"));

    List().SelectRow(0);
    EXPECT_EQ(Pane(), QStringLiteral("Позиция: 1/5"));
    EXPECT_TRUE(frame->Action(cmd::PasswordProperties)->isEnabled());
    List().selectionModel()->select(List().Model().index(2, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(Pane(), QStringLiteral("2 выделен(о)"));
    EXPECT_FALSE(frame->Action(cmd::PasswordProperties)->isEnabled());
    EXPECT_TRUE(frame->Action(cmd::DeletePassword)->isEnabled());
    // A click on a heading does not re-sort.
    QTest::mouseClick(List().header()->viewport(), Qt::LeftButton, {},
                      QPoint(List().header()->sectionPosition(1) + 5, 5));
    EXPECT_EQ(Titles().front(), QStringLiteral("альфа"));
    // The record side's pane text is not this list's.
    frame->SwitchTab(0);
    EXPECT_EQ(Pane(), QStringLiteral("Стр 1, cтб 1"));
}

TEST_F(PwdViewTest, AddEditAndDeleteThroughTheSheet) {
    int opened = 0;
    List().SetEditor([&](PwdItem& entry, bool isNew) {
        ++opened;
        entry.title = isNew ? A("Банк") : A("Аптека");
        entry.notes = AnsiString(2000, 'n');
        return true;
    });
    ASSERT_TRUE(frame->ExecuteCommand(cmd::AddPassword));
    ASSERT_TRUE(frame->ExecuteCommand(cmd::AddPassword));
    EXPECT_EQ(opened, 2);
    ASSERT_EQ(List().RowCount(), 2);
    EXPECT_EQ(doc.passwords()[1].uid, 2u);
    EXPECT_EQ(doc.passwords()[1].folderUid, doc.folders().first()->item.uid);
    EXPECT_TRUE(doc.folders().first()->item.saved.valid);
    EXPECT_TRUE(doc.IsModified());
    const QString tip = List().Row(0).tip;
    EXPECT_TRUE(tip.startsWith(QStringLiteral("Заметки: nnn")));
    EXPECT_TRUE(tip.endsWith(QStringLiteral("...")));
    EXPECT_EQ(tip.size(), static_cast<qsizetype>(CKelvoCtrl::kTipBufferChars) - 6 + 3);

    // Editing a title moves the row to its new place, unselected.
    List().SelectRow(1);
    const std::uint32_t edited = List().RowUid(1);
    ASSERT_TRUE(frame->ExecuteCommand(cmd::PasswordProperties));
    EXPECT_EQ(List().Text(0, 0), QStringLiteral("Аптека"));
    EXPECT_EQ(List().RowUid(0), edited);
    EXPECT_TRUE(List().SelectedRows().empty());
    // A cancelled sheet changes nothing.
    List().SetEditor([](PwdItem& entry, bool) {
        entry.title = "changed";
        return false;
    });
    doc.SetModifiedFlag(false);
    List().SelectRow(0);
    EXPECT_FALSE(List().EditPassword());
    EXPECT_EQ(doc.passwords().Find(edited)->title, A("Аптека"));
    EXPECT_FALSE(doc.IsModified());

    List().selectAll();
    dialogs.answers = {QMessageBox::No};
    frame->ExecuteCommand(cmd::DeletePassword);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith(
        QStringLiteral("Удалить все выделенниые записи паролей?\nЭто действие нельзя")));
    EXPECT_EQ(List().RowCount(), 2);
    dialogs.answers = {QMessageBox::Yes};
    frame->ExecuteCommand(cmd::DeletePassword);
    EXPECT_EQ(List().RowCount(), 0);
    EXPECT_TRUE(doc.passwords().empty());
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(PwdViewTest, ManyRowsDeletedOrMovedAtOnce) {
    for (int i = 0; i < 150; ++i)
        Add(("e" + std::to_string(1000 + i)).c_str());
    TreeNode* other = doc.AddNode(TreeKind::Folders, doc.folders().first(), "other");
    frame->PasswordTreeCtrl().Refresh();
    List().FillFromFolder();
    // Rows 10 to 109 move, the others stay where they are.
    List().selectionModel()->select(
        QItemSelection(List().Model().index(10, 0), List().Model().index(109, 4)),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_TRUE(List().DropOnFolder(other));
    ASSERT_EQ(List().RowCount(), 50);
    EXPECT_EQ(List().Text(9, 0), QStringLiteral("e1009"));
    EXPECT_EQ(List().Text(10, 0), QStringLiteral("e1110"));
    EXPECT_EQ(doc.passwords().InFolder(other->item.uid).size(), 100u);
    List().selectAll();
    dialogs.answers = {QMessageBox::Yes};
    List().DeletePasswords();
    EXPECT_EQ(List().RowCount(), 0);
    EXPECT_EQ(doc.passwords().size(), 100u);
}

TEST_F(PwdViewTest, KeysActWhenAKeyPressedInTheListIsReleased) {
    Add("a");
    Add("b");
    List().FillFromFolder();
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    int edits = 0;
    List().SetEditor([&](PwdItem&, bool) {
        ++edits;
        return false;
    });
    List().SelectRow(0);
    QTest::keyClick(&List(), Qt::Key_Return);
    EXPECT_EQ(edits, 1);
    // The release of an Enter pressed elsewhere (the one that closed the sheet) does nothing.
    QTest::keyRelease(&List(), Qt::Key_Return);
    EXPECT_EQ(edits, 1);
    const QPoint second = List().visualRect(List().Model().index(1, 0)).center();
    ASSERT_TRUE(List().viewport()->rect().contains(second));
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(List().viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(edits, 2);
    List().selectAll();
    QTest::keyClick(&List(), Qt::Key_Return); // two rows: no sheet
    EXPECT_EQ(edits, 2);

    dialogs.answers = {QMessageBox::No};
    QTest::keyClick(&List(), Qt::Key_Delete);
    EXPECT_EQ(dialogs.questions.size(), 1);
    List().SelectRow(-1);
    QTest::keyClick(&List(), Qt::Key_Delete); // nothing selected: nothing asked
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(List().RowCount(), 2);
}

TEST_F(PwdViewTest, ContextMenuWithItsDefaultAndTheCopyItems) {
    Add("a", 0, "login", "");
    List().FillFromFolder();
    QMenu* menu = List().ContextMenu();
    QStringList texts;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            texts << action->text();
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("&Добавить пароль..."), QStringLiteral("&Удалить пароль"),
                           QStringLiteral("&Свойства пароля..."),
                           QStringLiteral("Копировать логин\tCtrl+Shift+C"),
                           QStringLiteral("Копировать пароль\tCtrl+C")}));
    ASSERT_TRUE(menu->defaultAction());
    EXPECT_EQ(menu->defaultAction()->text(), QStringLiteral("&Свойства пароля..."));
    List().SelectRow(0);
    emit menu->aboutToShow();
    EXPECT_TRUE(menu->findChild<QAction*>(QStringLiteral("CopyLogin"))->isEnabled());
    EXPECT_FALSE(menu->findChild<QAction*>(QStringLiteral("CopyPassword"))->isEnabled()); // empty
    List().SelectRow(-1);
    emit menu->aboutToShow();
    EXPECT_FALSE(menu->findChild<QAction*>(QStringLiteral("menu32863"))->isEnabled());
    EXPECT_TRUE(menu->findChild<QAction*>(QStringLiteral("menu32864"))->isEnabled());
}

TEST_F(PwdViewTest, CopiedPasswordIsSecretAndLeavesTheClipboardAfterTwentySeconds) {
    test::FakeClock clock;
    List().Clipboard().SetClock(clock);
    QClipboard* clipboard = QGuiApplication::clipboard();
    Add("Почта", 0, "ivan", "пароль-1");
    List().FillFromFolder();
    List().SelectRow(0);
    List().setFocus();

    QTest::keyClick(&List(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("ivan"));
    EXPECT_FALSE(clipboard->mimeData()->hasFormat(QStringLiteral("x-kde-passwordManagerHint")));
    EXPECT_FALSE(List().Clipboard().Pending());

    QTest::keyClick(&List(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("пароль-1"));
    EXPECT_EQ(clipboard->mimeData()->data(QStringLiteral("x-kde-passwordManagerHint")),
              QByteArray("secret"));
    clock.now += 19s;
    List().Clipboard().Poll();
    EXPECT_EQ(clipboard->text(), QStringLiteral("пароль-1"));
    clock.now += 1s;
    List().Clipboard().Poll();
    EXPECT_EQ(clipboard->text(), QString());
    EXPECT_FALSE(List().Clipboard().Pending());

    // Something the user copied afterwards stays.
    ASSERT_TRUE(List().CopyPassword());
    clipboard->setText(QStringLiteral("чужой текст"));
    clock.now += 30s;
    List().Clipboard().Poll();
    EXPECT_EQ(clipboard->text(), QStringLiteral("чужой текст"));

    // Masked passwords are copied as they are, not as the stars shown.
    frame->ExecuteCommand(cmd::MaskPasswords);
    ASSERT_TRUE(List().CopyPassword());
    EXPECT_EQ(clipboard->text(), QStringLiteral("пароль-1"));
    // At the end of the program a password still on the clipboard goes.
    frame.reset();
    EXPECT_EQ(clipboard->text(), QString());
}

TEST_F(PwdViewTest, MaskedPasswordsAreRememberedAndTheLayoutIsSavedWithoutSort) {
    Add("a", 0, "", "secret");
    Add("b");
    List().FillFromFolder();
    EXPECT_FALSE(frame->QueryCommand(cmd::MaskPasswords).check == CommandState::Checked);
    ASSERT_TRUE(frame->ExecuteCommand(cmd::MaskPasswords));
    EXPECT_EQ(List().Text(0, 3), QStringLiteral("********"));
    EXPECT_EQ(List().Text(1, 3), QString()); // no password, no stars
    EXPECT_EQ(frame->QueryCommand(cmd::MaskPasswords).check, CommandState::Checked);
    List().FillFromFolder();
    EXPECT_EQ(List().Text(0, 3), QStringLiteral("********"));

    List().header()->resizeSection(2, 170);
    List().header()->moveSection(4, 0);
    frame->SavePlacement();
    const std::optional<ListLayout> saved =
        settings.LoadListLayout(QStringLiteral("MainWindow.PwdList"));
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->columns.size(), 5u);
    EXPECT_EQ(saved->columns[2].width, 170);
    EXPECT_EQ(saved->columns[4].order, 0);
    EXPECT_EQ(saved->sortColumn, 0);
    EXPECT_EQ(saved->sortOrder, 0);

    MakeFrame();
    EXPECT_TRUE(List().PasswordsMasked());
    EXPECT_EQ(List().header()->sectionSize(2), 170);
    EXPECT_EQ(List().header()->visualIndex(4), 0);
    ASSERT_TRUE(frame->ExecuteCommand(cmd::MaskPasswords));
    EXPECT_EQ(List().Text(0, 3), QStringLiteral("secret"));
    MakeFrame();
    EXPECT_FALSE(List().PasswordsMasked());
}

} // namespace
} // namespace kelvo
