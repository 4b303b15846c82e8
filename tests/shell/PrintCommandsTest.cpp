// The print commands in the main window: enabled per tab, the previews of the structure as the
// pane shows it and of the record in the editor, the ruler gone while a preview is shown, the
// preview page count kept in the settings, the printer mode of the editor following the paper.
#include "print/paint/RecordPages.h"
#include "print/paint/StructurePages.h"
#include "print/ui/PrintController.h"
#include "shell/CMainFrame.h"
#include "shell/CMainView.h"
#include "shell/CommandIds.h"
#include "shell/SettingsStore.h"
#include "shell/ShellPrinting.h"

#include "TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

class PrintCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(doc.OnNewDocument().ok()); }
    void MakeFrame(bool editor) {
        std::unique_ptr<RecordViewPort> view;
        if (!editor)
            view = std::make_unique<test::FakeRecordView>();
        frame = std::make_unique<CMainFrame>(doc, settings, dialogs, std::move(view));
    }
    PreviewWindow* OpenPreview(int command) {
        EXPECT_TRUE(frame->ExecuteCommand(command));
        return frame->Printing().CurrentPreview();
    }
    QToolBar* Ruler() const { return frame->findChild<QToolBar*>(QStringLiteral("Ruler")); }

    QTemporaryDir dir;
    SettingsStore settings{dir.path() + QStringLiteral("/s.ini")};
    test::ScriptedDialogs dialogs;
    CQuorvellineDoc doc;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(PrintCommandsTest, EnabledOnTheRecordsTabPageSetupOnBoth) {
    MakeFrame(false);
    frame->UpdateCommandUi();
    for (int id : {cmd::PrintRecord, cmd::PreviewRecord, cmd::PrintStructure, cmd::PreviewStructure,
                   cmd::PageSetup, cmd::PrintSetup})
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
    EXPECT_EQ(frame->Action(cmd::PrintStructure)->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    frame->ExecuteCommand(cmd::ViewPasswordsTab);
    frame->UpdateCommandUi();
    for (int id :
         {cmd::PrintRecord, cmd::PreviewRecord, cmd::PrintStructure, cmd::PreviewStructure})
        EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
    EXPECT_TRUE(frame->Action(cmd::PageSetup)->isEnabled());
    EXPECT_TRUE(frame->Action(cmd::PrintSetup)->isEnabled());
}

TEST_F(PrintCommandsTest, TheStructurePreviewShowsThePanesRowsWithoutTheRuler) {
    TreeNode* root = doc.records().first();
    TreeNode* open = doc.AddNode(TreeKind::Records, root, A("Открытая"));
    TreeNode* closed = doc.AddNode(TreeKind::Records, root, A("Закрытая"));
    for (int i = 0; i < 5; ++i) {
        doc.AddNode(TreeKind::Records, open, A("видна"));
        doc.AddNode(TreeKind::Records, closed, A("скрыта"));
    }
    MakeFrame(false);
    frame->RecordTreeCtrl().Refresh();
    frame->RecordTreeCtrl().expand(frame->RecordTreeCtrl().Model().IndexOf(root));
    frame->RecordTreeCtrl().expand(frame->RecordTreeCtrl().Model().IndexOf(open));
    ASSERT_FALSE(Ruler()->isHidden());

    PreviewWindow* preview = OpenPreview(cmd::PreviewStructure);
    ASSERT_TRUE(preview);
    EXPECT_TRUE(Ruler()->isHidden());
    auto* pages = dynamic_cast<StructurePages*>(&preview->Source());
    ASSERT_TRUE(pages);
    // Root, the two children, the five rows under the expanded one: 8 rows on one page.
    ASSERT_EQ(pages->Pages().size(), 1u);
    EXPECT_EQ(pages->Pages()[0].rowCount, 8u);
    EXPECT_EQ(preview->View().PagesShown(), 2); // a first run

    // The page count chosen is kept for the next preview, in the settings.
    preview->PagesBox().setCurrentIndex(3);
    emit preview->PagesBox().activated(3);
    EXPECT_EQ(settings.ProfileInt(QString::fromLatin1(kPreviewPagesSection),
                                  QString::fromLatin1(kPreviewPagesValue), 0),
              4);
    QPointer<PreviewWindow> alive(preview);
    preview->close();
    QTRY_VERIFY(alive.isNull());
    EXPECT_FALSE(Ruler()->isHidden());

    // Expanding the closed node in the pane adds its rows to the next preview.
    frame->RecordTreeCtrl().expand(frame->RecordTreeCtrl().Model().IndexOf(closed));
    preview = OpenPreview(cmd::PreviewStructure);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->View().PagesShown(), 4);
    EXPECT_EQ(dynamic_cast<StructurePages&>(preview->Source()).Pages()[0].rowCount, 13u);
    preview->close();
}

TEST_F(PrintCommandsTest, TheRecordPreviewShowsTheEditorsTextAsItStands) {
    MakeFrame(true);
    auto* editor = dynamic_cast<CMainView*>(&frame->RecordView());
    ASSERT_TRUE(editor);
    frame->OnSelectionChanged(TreeKind::Records, doc.records().first());
    editor->insertPlainText(QStringLiteral("Не сохранённый текст"));
    PreviewWindow* preview = OpenPreview(cmd::PreviewRecord);
    ASSERT_TRUE(preview);
    auto* pages = dynamic_cast<RecordPages*>(&preview->Source());
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->PageCount(), 1);
    // The body keeps the print margins of 720 twips inside the printer's sheet.
    const PageGeometry sheet = GeometryOf(frame->Printing().Printer());
    EXPECT_NEAR(pages->BodyRect().left() + sheet.printable.left(), 720 * sheet.dpiX / 1440, 2);
    EXPECT_TRUE(editor->document()->isModified()); // previewing saves nothing
    preview->close();
}

TEST_F(PrintCommandsTest, ThePrinterModeOfTheEditorWrapsAtThePapersWidth) {
    MakeFrame(true);
    auto* editor = dynamic_cast<CMainView*>(&frame->RecordView());
    ASSERT_TRUE(editor);
    frame->ExecuteCommand(cmd::WrapPrinter);
    const int before = editor->lineWrapColumnOrWidth();
    frame->Printing().Printer().setPageSize(QPageSize(QPageSize::A3));
    emit frame->Printing().PaperChanged();
    EXPECT_EQ(editor->PrintableWidth(), frame->Printing().PrintableWidthTwips());
    EXPECT_GT(editor->lineWrapColumnOrWidth(), before * 1.3); // A3 is 1.41 times as wide
}

} // namespace
} // namespace kelvo
