// Start-up and the bank commands: opening from the command line, a file that is not a bank,
// a bank busy in another copy, the question before a changed bank is left.
#include "platform/storage/Storage.h"
#include "shell/CKelvoApp.h"
#include "shell/CMainFrame.h"
#include "shell/CPwdView.h"
#include "shell/SettingsStore.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

class KelvoAppTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(Folder())); }
    QString Folder() const { return dir.path() + QStringLiteral("/данные"); }

    /// A bank on disk with one sub-record and one password.
    QString MakeBank(const QString& name) {
        CQuorvellineDoc doc;
        EXPECT_TRUE(doc.OnNewDocument().ok());
        doc.AddNode(TreeKind::Records, doc.records().first(), Utf8ToAnsiLossy("Заметки"));
        auto item = std::make_unique<PwdItem>();
        item->title = Utf8ToAnsiLossy("Почта");
        doc.AddPassword(std::move(item), doc.folders().first());
        const QString path = Folder() + QLatin1Char('/') + name;
        EXPECT_TRUE(doc.SaveAs(std::filesystem::path(path.toStdU16String())).ok());
        return path;
    }

    QTemporaryDir dir;
    SettingsStore settings{dir.path() + QStringLiteral("/s.ini")};
    test::ScriptedDialogs dialogs;
};

TEST_F(KelvoAppTest, StartsOnABankNamedOnTheCommandLine) {
    const QString path = MakeBank(QStringLiteral("Мой банк.Kvb"));
    CKelvoApp app(settings, dialogs, std::make_unique<test::FakeRecordView>());
    ASSERT_TRUE(app.Start({path}, false));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(app.Document().records().size(), 2u);
    EXPECT_EQ(app.Frame().RecordTreeCtrl().Model().rowCount(), 1);
    EXPECT_TRUE(app.Frame().windowTitle().startsWith(QStringLiteral("Мой банк")));
    app.Frame().SwitchTab(1);
    EXPECT_EQ(app.Frame().PwdView().RowCount(), 1);
    EXPECT_EQ(settings.RecentFiles().value(0), path);
}

TEST_F(KelvoAppTest, AFileThatIsNotABankShowsMessage2003AndStartUpFails) {
    // A compound file without the bank header stream: made by saving a bank, then a plain
    // file for the "not a compound file" case.
    const QString text = Folder() + QStringLiteral("/заметки.txt");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a bank at all");
    file.close();
    {
        CKelvoApp app(settings, dialogs, std::make_unique<test::FakeRecordView>());
        EXPECT_FALSE(app.Start({text}, false));
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("При открытии банка данных")));
    }
    dialogs.messages.clear();
    const QString cfb = Folder() + QStringLiteral("/чужой.Kvb");
    {
        auto storage = cfb::Storage::CreateFile(std::filesystem::path(cfb.toStdU16String()));
        ASSERT_TRUE(storage.ok());
        ASSERT_TRUE(storage->CreateStream(u"Other").ok());
    }
    CKelvoApp app(settings, dialogs, std::make_unique<test::FakeRecordView>());
    EXPECT_FALSE(app.Start({cfb}, false));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0],
              QStringLiteral("Открываемый файл\n%1\nне является банком данных Quorvelline 2003 "
                             "Professional!")
                  .arg(cfb));
}

TEST_F(KelvoAppTest, ASecondCopyOnTheSameBankIsToldItIsBusy) {
    const QString path = MakeBank(QStringLiteral("общий.Kvb"));
    CKelvoApp first(settings, dialogs, std::make_unique<test::FakeRecordView>());
    ASSERT_TRUE(first.Start({path}, false));
    const QByteArray before = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    test::ScriptedDialogs secondDialogs;
    CKelvoApp second(settings, secondDialogs, std::make_unique<test::FakeRecordView>());
    EXPECT_FALSE(second.Start({QDir(Folder()).filePath(QStringLiteral("./общий.Kvb"))}, false));
    ASSERT_EQ(secondDialogs.messages.size(), 1);
    EXPECT_TRUE(secondDialogs.messages[0].contains(QStringLiteral("уже открыт")));
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
    // Once the first copy lets the bank go, it opens.
    ASSERT_TRUE(first.NewBank());
    test::ScriptedDialogs thirdDialogs;
    CKelvoApp third(settings, thirdDialogs, std::make_unique<test::FakeRecordView>());
    EXPECT_TRUE(third.Start({path}, false));
}

TEST_F(KelvoAppTest, AChangedBankIsAskedAboutBeforeNewOpenAndExit) {
    const QString path = MakeBank(QStringLiteral("банк.Kvb"));
    CKelvoApp app(settings, dialogs, std::make_unique<test::FakeRecordView>());
    ASSERT_TRUE(app.Start({path}, false));
    app.Document().SetModifiedFlag(true);

    dialogs.answers = {QMessageBox::Cancel};
    EXPECT_TRUE(app.RunCommand(57600)); // New
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions[0],
              QStringLiteral("Банк данных \"банк.Kvb\" был изменен. Сохранить эти изменения?"));
    EXPECT_EQ(app.Document().records().size(), 2u); // cancelled: still the same bank

    dialogs.answers = {QMessageBox::Cancel};
    app.Frame().show();
    EXPECT_FALSE(app.Frame().close()); // exit cancelled
    EXPECT_EQ(dialogs.questions.size(), 2);
    dialogs.answers = {QMessageBox::No};
    EXPECT_TRUE(app.Frame().close());
}

TEST_F(KelvoAppTest, SaveAsWritesANewBankAndNoDiscardsChanges) {
    CKelvoApp app(settings, dialogs, std::make_unique<test::FakeRecordView>());
    ASSERT_TRUE(app.Start({}, false));
    app.Frame().AddNewRecord();
    EXPECT_TRUE(app.Document().IsModified());
    dialogs.savePath = Folder() + QStringLiteral("/новый.Kvb");
    dialogs.answers = {QMessageBox::Yes};
    ASSERT_TRUE(app.SaveModified()); // Yes: Save goes through Save As for a new bank
    EXPECT_TRUE(QFile::exists(dialogs.savePath));
    EXPECT_FALSE(app.Document().IsModified());

    app.Frame().AddNewRecord();
    dialogs.answers = {QMessageBox::No};
    EXPECT_TRUE(app.RunCommand(57600));
    EXPECT_EQ(app.Document().records().size(), 1u); // a new bank; the changes were dropped
    CQuorvellineDoc reread;
    ASSERT_TRUE(
        reread.OnOpenDocument(std::filesystem::path(dialogs.savePath.toStdU16String())).ok());
    EXPECT_EQ(reread.records().size(), 2u);
}

} // namespace
} // namespace kelvo
