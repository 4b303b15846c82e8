// The cleanup dialog and the import dialog over real banks: the refusals that change nothing,
// the question, the pass shown on the bar, the views told; the source chosen with the file
// dialog, a bank written by another program imported under the selected record with its
// bodies, and a file that cannot be read named with its reason.
#include "core/RecordBody.h"
#include "maintenance/ui/CBankClearDlg.h"
#include "maintenance/ui/CImportRecordsDlg.h"
#include "platform/base/MemoryStream.h"

#include "UiTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace kelvo {
namespace {

using test::A;
using test::U;

class Cleanup : public test::WindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.OnNewDocument());
        TreeNode* root = doc.records().first();
        TreeNode* r1 = doc.AddNode(TreeKind::Records, root, "r1");
        TreeNode* f1 = doc.AddNode(TreeKind::Folders, doc.folders().first(), "f1");
        for (TreeNode* n : doc.records().PreOrder())
            n->item.keywords = "k";
        for (const char* title : {"p1", "p2", "p3"}) {
            auto e = std::make_unique<PwdItem>();
            e->title = title;
            doc.AddPassword(std::move(e), f1);
        }
        ASSERT_TRUE(doc.SaveAs(bank));
        ASSERT_TRUE(doc.SaveBody(r1, "body"));
        ASSERT_TRUE(doc.Save());
    }
    void Tick(CBankClearDlg& dialog, const char* name) {
        QCheckBox* box = dialog.findChild<QCheckBox*>(QString::fromLatin1(name));
        ASSERT_TRUE(box) << name;
        box->setChecked(true);
    }
    std::filesystem::path bank = folder / "банк.Kvb";
};

TEST_F(Cleanup, NothingTickedOrNoChangesNothingAndTheDialogStays) {
    CBankClearDlg dialog(Context());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Очистка банка"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Status"))->text(),
              QStringLiteral("Ожидание очистки..."));
    dialog.accept();
    ASSERT_EQ(dialogs.messages, QStringList{"Необходимо выбрать хотя бы один пункт для очистки!"});
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    Tick(dialog, "Passwords");
    dialogs.answers.push_back(QMessageBox::No);
    dialog.accept();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith(
        QStringLiteral("Вы действиельно хотите очистить выбранные данные банка?")));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(doc.passwords().size(), 3u);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(Cleanup, ThePassRunsOnTheBarAndTheViewsAreTold) {
    CBankClearDlg dialog(Context());
    Tick(dialog, "Passwords");
    Tick(dialog, "RecordKeywords");
    dialogs.answers.push_back(QMessageBox::Yes);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(doc.passwords().empty());
    for (TreeNode* n : doc.records().PreOrder())
        EXPECT_TRUE(n->item.keywords.empty());
    EXPECT_TRUE(doc.IsModified());
    // The editor's typing is kept first; then it shows the stored body; then the list.
    EXPECT_EQ(host.calls, (std::vector<std::string>{"save", "reload", "refill"}));
    auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("Progress"));
    EXPECT_EQ(bar->maximum(), 3 + 2 + 2);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Status"))->text(),
              QStringLiteral("Очистка пароля: p3"));
    EXPECT_EQ(dialogs.messages.back(), QStringLiteral("Очистка банка завершена.\nРекомендуется "
                                                      "провести сохранение, а затем ревизию "
                                                      "банка."));
}

TEST_F(Cleanup, TextsGoFromTheFileAtOnceAndTheBarStopsShortWithoutPasswords) {
    CBankClearDlg dialog(Context());
    Tick(dialog, "RecordTexts");
    dialogs.answers.push_back(QMessageBox::Yes);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    auto root = cfb::Storage::OpenFile(bank);
    ASSERT_TRUE(root);
    EXPECT_TRUE(RecordBodySizes(*root).empty());
    auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("Progress"));
    EXPECT_EQ(bar->maximum(), 7);
    EXPECT_EQ(bar->value(), 4);
    EXPECT_EQ(doc.passwords().size(), 3u);
}

// --- Import -------------------------------------------------------------------------------

class ImportDlg : public test::WindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.OnNewDocument());
        target = doc.AddNode(TreeKind::Records, doc.records().first(), A("Сюда"));
        doc.records().Select(target, false);
        ASSERT_TRUE(doc.SaveAs(folder / "банк.Kvb"));
    }

    // A bank made by libgsf's writer from a folder: the record tree's two streams written by
    // this program's tree code, the bodies as files.
    std::filesystem::path GsfBank() {
        RecordTree tree;
        TreeNode* root = tree.Insert(A("Чужой корень"));
        TreeNode* x = tree.Insert(A("Глава"), root);
        tree.Insert(A("Раздел 1"), x);
        tree.Insert(A("Раздел 2"), x);
        tree.Insert(A("Прочее"), root);
        x->item.notes = A("заметка");
        MemoryStream structStream, obPool;
        EXPECT_TRUE(SaveTree(tree, structStream, obPool));
        const auto input = folder / "gsf-input";
        std::filesystem::create_directories(input / "RecTree");
        std::filesystem::create_directories(input / "RecData");
        auto write = [](const std::filesystem::path& path, const std::string& bytes) {
            std::ofstream(path, std::ios::binary) << bytes;
        };
        write(input / "RecTree" / "Struct", structStream.bytes());
        write(input / "RecTree" / "ObPool", obPool.bytes());
        for (TreeNode* n : tree.PreOrder()) {
            std::string body = "{\\rtf1 " + AnsiToUtf8(n->title) + "}";
            body += std::string(n == x ? 70000 : 10, static_cast<char>('a' + n->item.uid));
            bodies.push_back(body);
            char name[16];
            std::snprintf(name, sizeof name, "%08X", n->item.uid);
            write(input / "RecData" / name, body);
        }
        const auto out = folder / "чужой.Kvb";
        const std::string command = "cd '" + input.string() + "' && gsf createole '" +
                                    out.string() + "' RecTree RecData >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return out;
    }

    TreeNode* target = nullptr;
    std::vector<std::string> bodies;
};

TEST_F(ImportDlg, WithoutASourceNothingIsImported) {
    CImportRecordsDlg dialog(Context());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Импорт записей из банка"));
    dialog.accept();
    EXPECT_EQ(dialogs.messages,
              QStringList{"Для импорта необходимо загрузить структуру записей из банка!"});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    // A cancelled file dialog leaves everything as it was.
    dialog.findChild<QPushButton*>(QStringLiteral("ChooseButton"))->click();
    EXPECT_FALSE(dialog.Source().loaded());
    EXPECT_EQ(dialog.Tree()->topLevelItemCount(), 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ImportDlg, ABankOfAnotherWriterLandsUnderTheSelectedRecordWithItsBodies) {
    if (std::system("command -v gsf >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "gsf (libgsf-bin) is not installed";
    const auto source = GsfBank();
    CImportRecordsDlg dialog(Context());
    dialogs.openPath = QString::fromStdString(source.string());
    dialog.findChild<QPushButton*>(QStringLiteral("ChooseButton"))->click();
    ASSERT_TRUE(dialog.Source().loaded()) << dialogs.messages.join('|').toStdString();
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("SourcePath"))->text(),
              dialogs.openPath);
    QTreeWidget* tree = dialog.Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* top = tree->topLevelItem(0);
    EXPECT_TRUE(top->isExpanded());
    EXPECT_EQ(tree->currentItem(), top);
    ASSERT_EQ(top->childCount(), 2);
    QTreeWidgetItem* chapter = top->child(0);
    EXPECT_EQ(chapter->text(0), QStringLiteral("Глава"));
    EXPECT_EQ(chapter->childCount(), 2);
    // A record with children and one without have their own pictures.
    EXPECT_NE(chapter->icon(0).cacheKey(), chapter->child(0)->icon(0).cacheKey());

    tree->setCurrentItem(chapter);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialogs.messages.back(), QStringLiteral("Импорт записей успешно завершен."));
    ASSERT_EQ(target->children.size(), 1u);
    TreeNode* copy = target->children.front();
    EXPECT_EQ(host.added, copy);
    EXPECT_EQ(copy->title, A("Глава"));
    EXPECT_EQ(copy->item.notes, A("заметка"));
    ASSERT_EQ(copy->children.size(), 2u);
    EXPECT_EQ(copy->children[1]->title, A("Раздел 2"));
    // The bodies, byte for byte under the new UIDs, already in the bank file.
    auto body = doc.ReadBody(copy->item.uid);
    ASSERT_TRUE(body);
    EXPECT_EQ(*body, bodies[1]);
    body = doc.ReadBody(copy->children[1]->item.uid);
    ASSERT_TRUE(body);
    EXPECT_EQ(*body, bodies[3]);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(dialog.findChild<QProgressBar*>(QStringLiteral("Progress"))->value(),
              dialog.findChild<QProgressBar*>(QStringLiteral("Progress"))->maximum());
}

TEST_F(ImportDlg, AFileThatCannotBeReadIsNamedWithItsReasonAndTheTreeStays) {
    CQuorvellineDoc other;
    ASSERT_TRUE(other.OnNewDocument());
    const auto good = folder / "другой.Kvb";
    ASSERT_TRUE(other.SaveAs(good));
    CImportRecordsDlg dialog(Context());
    ASSERT_TRUE(dialog.LoadSource(QString::fromStdString(good.string())));
    EXPECT_EQ(dialog.Tree()->topLevelItemCount(), 1);

    const auto text = folder / "текст.Kvb";
    std::ofstream(text) << "not a compound file";
    EXPECT_FALSE(dialog.LoadSource(QString::fromStdString(text.string())));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QString::fromStdString(text.string())));
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("не является составным файлом")))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(dialog.Tree()->topLevelItemCount(), 1);
    EXPECT_FALSE(dialog.Source().loaded());
    dialog.accept();
    EXPECT_EQ(dialogs.messages.back(),
              QStringLiteral("Для импорта необходимо загрузить структуру записей из банка!"));
}

} // namespace
} // namespace kelvo
