// The main window's wiring: tabs, tree commands, label editing, drag and drop, tips, the
// password list and the status panes.
#include "core/ItemTip.h"
#include "dialogs/ui/CPwdGeneratorDlg.h"
#include "dialogs/ui/CTreeRecPropSheet.h"
#include "index/ui/BankIndexSelDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CPwdView.h"
#include "shell/CommandIds.h"
#include "shell/SettingsStore.h"
#include "shell/TreeModel.h"
#include "widgets/StatusPaneBar.h"

#include "TestSupport.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

QString U(const AnsiString& text) {
    return QString::fromStdString(AnsiToUtf8(text));
}
AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.OnNewDocument().ok());
        auto view = std::make_unique<test::FakeRecordView>();
        record = view.get();
        frame = std::make_unique<CMainFrame>(doc, settings, dialogs, std::move(view));
        record->calls.clear();
    }

    TreeNode* AddRecord(const char* title, TreeNode* parent) {
        TreeNode* node = doc.AddNode(TreeKind::Records, parent, A(title));
        frame->RecordTreeCtrl().Refresh();
        return node;
    }
    TreeNode* AddFolder(const char* title, TreeNode* parent) {
        TreeNode* node = doc.AddNode(TreeKind::Folders, parent, A(title));
        frame->PasswordTreeCtrl().Refresh();
        return node;
    }
    PwdItem& AddPassword(const char* title, TreeNode* folder, const char* notes = "") {
        auto item = std::make_unique<PwdItem>();
        item->title = A(title);
        item->notes = A(notes);
        return doc.AddPassword(std::move(item), folder);
    }

    QTemporaryDir dir;
    SettingsStore settings{dir.path() + QStringLiteral("/s.ini")};
    test::ScriptedDialogs dialogs;
    CQuorvellineDoc doc;
    test::FakeRecordView* record = nullptr;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, PartsCarryTheirNamesAndTitles) {
    auto* left = frame->findChild<QDockWidget*>(QStringLiteral("LeftBar"));
    ASSERT_TRUE(left);
    EXPECT_EQ(left->windowTitle(), QStringLiteral("Структура банка"));
    auto* tabs = frame->findChild<QTabWidget*>(QStringLiteral("MainTabs"));
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Записи"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Пароли"));
    auto* calendarBar = frame->findChild<QDockWidget*>(QStringLiteral("CalendarBar"));
    ASSERT_TRUE(calendarBar);
    EXPECT_TRUE(calendarBar->isHidden());
    EXPECT_TRUE(calendarBar->isFloating());
    EXPECT_EQ(
        frame->findChild<QCalendarWidget*>(QStringLiteral("Calendar"))->verticalHeaderFormat(),
        QCalendarWidget::ISOWeekNumbers);
    // The four toolbars in their order, with their titles.
    QStringList titles;
    for (const char* name : {"StandardBar", "FormatBar", "ViewsBar", "BankBar"})
        titles << frame->findChild<QToolBar*>(QString::fromLatin1(name))->windowTitle();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Стандартная"), QStringLiteral("Форматирование"),
                                   QStringLiteral("Виды"), QStringLiteral("Управление банком")}));
    EXPECT_EQ(frame->Action(cmd::FileSave)->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    EXPECT_EQ(frame->Action(cmd::Redo)->shortcuts().size(), 2);
    // The maintenance commands are wired; the editor's own commands wait for an editor.
    frame->UpdateCommandUi();
    EXPECT_EQ(frame->Action(cmd::BankCleanup)->text(), QStringLiteral("Очистка банка..."));
    for (int id : {cmd::BankProperties, cmd::BankCleanup, cmd::BankRevision, cmd::ProgramOptions})
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
    EXPECT_FALSE(frame->Action(cmd::FontDialog)->isEnabled()); // the fake view takes none
}

TEST_F(MainFrameTest, SwitchingToPasswordsSavesTheBodyFirst) {
    auto* views = frame->findChild<QStackedWidget*>(QStringLiteral("MainViews"));
    ASSERT_TRUE(views);
    int visibleAtSave = -1;
    record->onSave = [&] { visibleAtSave = views->currentIndex(); };
    record->modified = true;
    frame->findChild<QTabWidget*>(QStringLiteral("MainTabs"))->setCurrentIndex(1);
    ASSERT_EQ(record->calls.size(), 1u);
    EXPECT_EQ(record->calls[0], "save 1");
    EXPECT_EQ(visibleAtSave, 0); // saved while the record view was still the one shown
    EXPECT_EQ(frame->CurrentTab(), 1);
    EXPECT_EQ(views->currentWidget(), &frame->PwdView());
    // Back and forth without changes writes nothing.
    frame->ExecuteCommand(cmd::ViewRecordsTab);
    frame->ExecuteCommand(cmd::ViewPasswordsTab);
    EXPECT_EQ(record->calls.size(), 1u);
    // The ruler command belongs to the records tab.
    frame->UpdateCommandUi();
    EXPECT_FALSE(frame->Action(cmd::ViewRuler)->isEnabled());
    EXPECT_TRUE(frame->Action(cmd::ViewPasswordsTab)->isChecked());
}

TEST_F(MainFrameTest, SelectingAnotherRecordSavesTheOldBodyThenLoadsTheNew) {
    TreeNode* child = AddRecord("Дочерняя", doc.records().first());
    doc.SetModifiedFlag(false);
    frame->RecordTreeCtrl().SelectNode(child);
    ASSERT_EQ(record->calls.size(), 2u);
    EXPECT_EQ(record->calls[0], "save 1");
    EXPECT_EQ(record->calls[1], "load 2");
    EXPECT_TRUE(child->item.opened.valid);
    EXPECT_FALSE(doc.IsModified()); // stamping the opened time is not a change
}

TEST_F(MainFrameTest, DeleteIsDisabledOnTheRootsAndAsksFirst) {
    frame->UpdateCommandUi();
    EXPECT_FALSE(frame->Action(cmd::DeleteItem)->isEnabled());
    QTest::keyClick(&frame->RecordTreeCtrl(), Qt::Key_Delete);
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(doc.records().size(), 1u);

    TreeNode* child = AddRecord("Удаляемая", doc.records().first());
    AddRecord("Внучка", child);
    frame->RecordTreeCtrl().SelectNode(child);
    frame->UpdateCommandUi();
    EXPECT_TRUE(frame->Action(cmd::DeleteItem)->isEnabled());

    dialogs.answers = {QMessageBox::No};
    QTest::keyClick(&frame->RecordTreeCtrl(), Qt::Key_Delete);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith(
        QStringLiteral("Удалить текущий элемент и все его дочерние элементы?\n")));
    EXPECT_EQ(doc.records().size(), 3u);

    dialogs.answers = {QMessageBox::Yes};
    frame->ExecuteCommand(cmd::DeleteItem);
    EXPECT_EQ(doc.records().size(), 1u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.records().selected(), doc.records().first());
    // The new selection is loaded; nothing is saved for the deleted record.
    EXPECT_EQ(record->calls.back(), "load 1");
}

TEST_F(MainFrameTest, DeletingAFolderMovesItsPasswordsUp) {
    frame->SwitchTab(1);
    TreeNode* root = doc.folders().first();
    TreeNode* folder = AddFolder("Почта", root);
    TreeNode* sub = AddFolder("Работа", folder);
    AddPassword("Один", folder);
    AddPassword("Два", sub);
    frame->PasswordTreeCtrl().SelectNode(folder);
    dialogs.answers = {QMessageBox::Yes};
    frame->ExecuteCommand(cmd::DeleteItem);
    EXPECT_EQ(doc.folders().size(), 1u);
    EXPECT_EQ(doc.passwords().InFolder(root->item.uid).size(), 2u);
    EXPECT_EQ(frame->PwdView().RowCount(), 2); // the root folder is listed again
}

TEST_F(MainFrameTest, DragAndDropWithAndWithoutShift) {
    TreeNode* root = doc.records().first();
    TreeNode* a = AddRecord("A", root);
    TreeNode* b = AddRecord("B", root);
    TreeNode* a1 = AddRecord("A1", a);
    const std::uint32_t uidB = b->item.uid;
    b->item.notes = A("заметка");
    b->expanded = true;
    CKelvoCtrl& tree = frame->RecordTreeCtrl();

    // Without Shift: the last child of the target.
    ASSERT_TRUE(tree.DropNode(b, a, false));
    ASSERT_EQ(a->children.size(), 2u);
    TreeNode* moved = a->children.back();
    EXPECT_EQ(moved->item.uid, uidB);
    EXPECT_EQ(moved->item.notes, A("заметка"));
    EXPECT_TRUE(moved->expanded);
    EXPECT_TRUE(doc.IsModified());

    // With Shift: the sibling right after the target.
    ASSERT_TRUE(tree.DropNode(moved, a, true));
    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(root->children[1]->item.uid, uidB);

    // Into its own subtree, onto itself, Shift onto a top-level node, a top-level node dragged.
    EXPECT_FALSE(tree.DropNode(a, a1, false));
    EXPECT_FALSE(tree.DropNode(a, a, false));
    EXPECT_FALSE(tree.DropNode(a, root, true));
    EXPECT_FALSE(tree.DropNode(root, a, false));
    EXPECT_EQ(a1->parent, a);
}

TEST_F(MainFrameTest, PasswordRowsDroppedOnAFolder) {
    frame->SwitchTab(1);
    TreeNode* root = doc.folders().first();
    TreeNode* other = AddFolder("Другая", root);
    AddPassword("Первый", root);
    AddPassword("Второй", root);
    CPwdView& list = frame->PwdView();
    list.FillFromFolder();
    ASSERT_EQ(list.RowCount(), 2);
    doc.SetModifiedFlag(false);
    list.SelectRow(0);
    ASSERT_EQ(list.SelectedRows().size(), 1u);
    CKelvoCtrl& tree = frame->PasswordTreeCtrl();
    frame->show();
    tree.expandAll();
    QMimeData mime;
    mime.setData(QString::fromLatin1(CKelvoCtrl::kPasswordMime), CKelvoCtrl::PasswordDragData());
    // The application delivers a drop only to the widget that accepted the drag's entry.
    const auto dropAt = [&](TreeNode* node, const QMimeData& data, bool accepted) {
        const QRect target = tree.visualRect(tree.Model().IndexOf(node));
        EXPECT_TRUE(target.isValid());
        EXPECT_EQ(tree.NodeAt(target.center()), node);
        QDragEnterEvent enter(target.center(), Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), accepted);
        QDropEvent drop(QPointF(target.center()), Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &drop);
    };
    // Onto the listed folder itself: nothing, and the bank stays unmodified.
    EXPECT_FALSE(list.DropOnFolder(root));
    dropAt(root, mime, true);
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(doc.passwords().InFolder(root->item.uid).size(), 2u);
    EXPECT_FALSE(doc.IsModified());
    // Rows dragged out of another running program are not this list's selection.
    QMimeData foreign;
    foreign.setData(QString::fromLatin1(CKelvoCtrl::kPasswordMime),
                    CKelvoCtrl::PasswordDragData() + "0");
    dropAt(other, foreign, false);
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_TRUE(doc.passwords().InFolder(other->item.uid).empty());
    EXPECT_FALSE(doc.IsModified());
    // Over the other folder's node the selected row moves there.
    dropAt(other, mime, true);
    EXPECT_EQ(doc.folders().selected(), root);
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(doc.passwords().InFolder(other->item.uid).size(), 1u);
    EXPECT_TRUE(doc.IsModified());
    // Selecting that folder shows the moved entry there.
    tree.SelectNode(other);
    ASSERT_EQ(list.RowCount(), 1);
    EXPECT_EQ(list.Text(0, 0), QStringLiteral("Второй"));
}

TEST_F(MainFrameTest, LabelEditAcceptCancelAndUnchanged) {
    CKelvoCtrl& tree = frame->RecordTreeCtrl();
    tree.resize(300, 300);
    frame->show();
    TreeNode* root = doc.records().first();
    auto editWith = [&](const QString& text, Qt::Key key) {
        frame->ExecuteCommand(cmd::RenameItem);
        auto* editor = tree.findChild<QLineEdit*>();
        ASSERT_TRUE(editor);
        editor->setText(text);
        QTest::keyClick(editor, key);
        QApplication::processEvents(); // the delegate commits through a queued call
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    editWith(QStringLiteral("Корневая запись"), Qt::Key_Return);
    EXPECT_FALSE(doc.IsModified()); // the same bytes: no change

    editWith(QStringLiteral("Черновик"), Qt::Key_Escape);
    EXPECT_EQ(U(root->title), QStringLiteral("Корневая запись"));
    EXPECT_FALSE(doc.IsModified());

    editWith(QStringLiteral("Дневник"), Qt::Key_Return);
    EXPECT_EQ(U(root->title), QStringLiteral("Дневник"));
    EXPECT_TRUE(doc.IsModified());

    // A character Windows-1251 cannot hold is refused with a message; the title stays.
    editWith(QStringLiteral("Дневник ✓"), Qt::Key_Return);
    EXPECT_EQ(U(root->title), QStringLiteral("Дневник"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("✓")));

    // Focus moving elsewhere keeps the edit.
    frame->ExecuteCommand(cmd::RenameItem);
    auto* editor = tree.findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    editor->setText(QStringLiteral(""));
    QMetaObject::invokeMethod(tree.itemDelegate(), "commitData", Q_ARG(QWidget*, editor));
    EXPECT_EQ(root->title, ""); // an empty text is accepted
}

TEST_F(MainFrameTest, TipsAreSummariesCutWithDots) {
    TreeNode* root = doc.records().first();
    root->item.keywords = A("дом, сад");
    CKelvoCtrl& tree = frame->RecordTreeCtrl();
    const QModelIndex index = tree.Model().IndexOf(root);
    EXPECT_EQ(tree.Model().data(index, Qt::ToolTipRole).toString(),
              QStringLiteral("Название: Корневая запись\nКлючевые слова: дом, сад"));
    root->item.notes = AnsiString(3000, 'x');
    const QString tip = tree.Model().data(index, Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.endsWith(QStringLiteral("...")));
    EXPECT_EQ(tip.size(), static_cast<qsizetype>(CKelvoCtrl::kTipBufferChars) - 6 + 3);
}

TEST_F(MainFrameTest, FolderTipListsSixPasswordsAtMost) {
    TreeNode* folder = doc.folders().first();
    for (const char* title : {"a1", "a2", "a3", "a4", "a5", "a6"})
        AddPassword(title, folder);
    TreeModel& model = frame->PasswordTreeCtrl().Model();
    const QString six = model.data(model.IndexOf(folder), Qt::ToolTipRole).toString();
    EXPECT_TRUE(six.endsWith(QStringLiteral("\nПароли (всего 6): a1, a2, a3, a4, a5, a6, ...")))
        << six.toStdString();
    AddPassword("a7", folder);
    const QString seven = model.data(model.IndexOf(folder), Qt::ToolTipRole).toString();
    EXPECT_TRUE(seven.endsWith(QStringLiteral("\nПароли (всего 7): a1, a2, a3, a4, a5, a6, ...")))
        << seven.toStdString();
}

TEST_F(MainFrameTest, ModifiedPanesAreRedWhileOn) {
    StatusPaneBar& panes = frame->StatusPanes();
    frame->UpdateCommandUi();
    EXPECT_EQ(panes.PaneText(cmd::PaneBankModified), QString());
    EXPECT_NE(panes.PaneFill(cmd::PaneBankModified), QColor(255, 0, 0));
    // An edited record lights both panes: the record's and, at once, the bank's.
    record->modified = true;
    frame->UpdateCommandUi();
    EXPECT_EQ(panes.PaneText(cmd::PaneRecordModified), QStringLiteral("ИЗМ: Зап"));
    EXPECT_EQ(panes.PaneFill(cmd::PaneRecordModified), QColor(255, 0, 0));
    EXPECT_EQ(panes.PaneText(cmd::PaneBankModified), QStringLiteral("ИЗМ: Банк"));
    EXPECT_EQ(panes.PaneFill(cmd::PaneBankModified), QColor(255, 0, 0));
    EXPECT_TRUE(doc.IsModified());
    // On the passwords tab the record pane is always off.
    frame->SwitchTab(1);
    frame->UpdateCommandUi();
    EXPECT_EQ(panes.PaneText(cmd::PaneRecordModified), QString());
    EXPECT_NE(panes.PaneFill(cmd::PaneRecordModified), QColor(255, 0, 0));
}

TEST_F(MainFrameTest, TreeModelPassesTheModelTester) {
    TreeNode* a = AddRecord("A", doc.records().first());
    AddRecord("A1", a);
    AddRecord("B", doc.records().first());
    TreeModel& model = frame->RecordTreeCtrl().Model();
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    AddRecord("C", a);
    frame->RecordTreeCtrl().DropNode(a, doc.records().first()->children.back(), false);
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(MainFrameTest, ImagesFollowChildrenAndSelection) {
    TreeModel& model = frame->RecordTreeCtrl().Model();
    TreeNode* root = doc.records().first();
    EXPECT_EQ(model.ImageOf(*root, false), 5);
    TreeNode* child = AddRecord("A", root);
    EXPECT_EQ(model.ImageOf(*root, false), 3);
    EXPECT_EQ(model.ImageOf(*root, true), 4);
    EXPECT_EQ(model.ImageOf(*child, true), 6);
    TreeModel& folders = frame->PasswordTreeCtrl().Model();
    TreeNode* folder = AddFolder("F", doc.folders().first());
    EXPECT_EQ(folders.ImageOf(*doc.folders().first(), true), 0);
    EXPECT_EQ(folders.ImageOf(*folder, false), 2);
    EXPECT_EQ(folders.ImageOf(*folder, true), 3);
}

TEST_F(MainFrameTest, MinimizingWithoutATrayKeepsTheWindowReachable) {
    frame->show();
    frame->showMinimized();
    QApplication::processEvents();
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this display has a tray";
    EXPECT_FALSE(frame->InTray());
    EXPECT_FALSE(frame->isHidden());
}

TEST_F(MainFrameTest, ItemPropertiesChangeTheSelectedItemOnlyOnOk) {
    TreeNode* root = doc.records().first();
    frame->UpdateCommandUi();
    EXPECT_TRUE(frame->Action(cmd::ItemProperties)->isEnabled());
    doc.SetModifiedFlag(false);
    QString size;
    test::AnswerNextModal([&](QDialog& dialog) {
        auto& sheet = dynamic_cast<CTreeRecPropSheet&>(dialog);
        size = sheet.GeneralPage()->size->text();
        sheet.GeneralPage()->title->setText(QStringLiteral("Черновик"));
        sheet.reject();
    });
    ASSERT_TRUE(frame->ExecuteCommand(cmd::ItemProperties));
    EXPECT_EQ(size, QStringLiteral("0 байт (0 байт)"));
    EXPECT_EQ(U(root->title), QStringLiteral("Корневая запись"));
    EXPECT_FALSE(doc.IsModified());

    // The keywords page opens the picker on the page's text; OK of the sheet applies all.
    root->item.keywords = A("сад");
    test::AnswerNextModal([&](QDialog& dialog) {
        auto& sheet = dynamic_cast<CTreeRecPropSheet&>(dialog);
        sheet.GeneralPage()->title->setText(QStringLiteral("Дневник"));
        test::AnswerNextModal([](QDialog& picker) {
            EXPECT_EQ(picker.findChild<QPushButton*>(QStringLiteral("OK"))->text(),
                      QStringLiteral("Выбрать"));
            picker.accept();
        });
        sheet.PickKeywords();
        EXPECT_EQ(sheet.KeywordsPage()->keywords->toPlainText(), QStringLiteral("сад"));
        sheet.accept();
    });
    ASSERT_TRUE(frame->ExecuteCommand(cmd::ItemProperties));
    EXPECT_EQ(U(root->title), QStringLiteral("Дневник"));
    EXPECT_TRUE(doc.IsModified());
    TreeModel& model = frame->RecordTreeCtrl().Model();
    EXPECT_EQ(model.data(model.IndexOf(root), Qt::DisplayRole).toString(),
              QStringLiteral("Дневник"));
    // The picker told once that the bank has no index.
    EXPECT_EQ(dialogs.captions, QStringList{QStringLiteral("Индексы не построены")});

    // On the passwords tab the folder's sheet shows no size.
    frame->SwitchTab(1);
    test::AnswerNextModal([&](QDialog& dialog) {
        size = dynamic_cast<CTreeRecPropSheet&>(dialog).GeneralPage()->size->text();
    });
    ASSERT_TRUE(frame->ExecuteCommand(cmd::ItemProperties));
    EXPECT_EQ(size, QStringLiteral("(Недоступно)"));
}

TEST_F(MainFrameTest, KeywordsCommandAndTheGeneratorTool) {
    frame->SwitchTab(1);
    TreeNode* folder = doc.folders().first();
    folder->item.keywords = A("b, a");
    doc.SetModifiedFlag(false);
    test::AnswerNextModal([](QDialog& dialog) {
        auto& picker = dynamic_cast<BankIndexSelDlg&>(dialog);
        EXPECT_EQ(picker.findChild<QPushButton*>(QStringLiteral("OK"))->text(),
                  QStringLiteral("OK"));
        picker.reject();
    });
    ASSERT_TRUE(frame->ExecuteCommand(cmd::ItemKeywords));
    EXPECT_EQ(folder->item.keywords, A("b, a"));
    EXPECT_FALSE(doc.IsModified());
    test::AnswerNextModal([](QDialog& dialog) { dialog.accept(); });
    ASSERT_TRUE(frame->ExecuteCommand(cmd::ItemKeywords));
    EXPECT_EQ(folder->item.keywords, "a, b"); // the list's order
    EXPECT_TRUE(doc.IsModified());

    bool standalone = false;
    test::AnswerNextModal([&](QDialog& dialog) {
        auto& generator = dynamic_cast<CPwdGeneratorDlg&>(dialog);
        standalone = generator.Standalone();
        EXPECT_EQ(generator.findChild<QPushButton*>(QStringLiteral("Cancel"))->text(),
                  QStringLiteral("Закрыть"));
    });
    ASSERT_TRUE(frame->ExecuteCommand(cmd::PasswordGenerator));
    EXPECT_TRUE(standalone);
}

} // namespace
} // namespace kelvo
