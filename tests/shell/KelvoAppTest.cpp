// Start-up and the bank commands: opening from the command line, a file that is not a bank,
// a bank busy in another copy, the question before a changed bank is left.
#include "core/BankProtection.h"
#include "dialogs/ui/CBankProtectDlg.h"
#include "platform/storage/Storage.h"
#include "shell/CKelvoApp.h"
#include "shell/CMainFrame.h"
#include "shell/CPwdView.h"
#include "shell/CommandIds.h"
#include "shell/SettingsStore.h"

#include "TestSupport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    /// The same, protected by `password` (quick key derivation).
    QString MakeProtectedBank(const QString& name, const char* password) {
        const QString path = MakeBank(name);
        EXPECT_TRUE(ProtectBankFile(Path(path), password, crypto::KdfParams::Minimum()).ok());
        return path;
    }
    static std::filesystem::path Path(const QString& path) {
        return std::filesystem::path(path.toStdU16String());
    }
    static QByteArray Bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

TEST_F(KelvoAppTest, AProtectedBankOpensAfterItsPasswordAndAWrongOneIsAskedAgain) {
    const QString plain = MakeBank(QStringLiteral("открытый.Kvb"));
    const QString locked = MakeProtectedBank(QStringLiteral("закрытый.Kvb"), "верный пароль");
    const QByteArray before = Bytes(locked);
    CKelvoApp app(settings, dialogs, std::make_unique<test::FakeRecordView>());
    ASSERT_TRUE(app.Start({plain}, false));
    CMainFrame& frame = app.Frame();
    frame.UpdateCommandUi();
    EXPECT_TRUE(frame.Action(cmd::SetProtection)->isEnabled());
    EXPECT_FALSE(frame.Action(cmd::RemoveProtection)->isEnabled());

    // Given up at once: no message; after a wrong password: that message. Either way the open
    // bank stays, and the protected file is not touched.
    dialogs.passwords = {std::nullopt};
    EXPECT_FALSE(app.OpenBank(locked, false));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    dialogs.passwords = {QStringLiteral("не тот"), std::nullopt};
    EXPECT_FALSE(app.OpenBank(locked, false));
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Неверный пароль банка данных.")});
    EXPECT_EQ(QString::fromStdU16String(app.Document().path().u16string()),
              QFileInfo(plain).absoluteFilePath());
    EXPECT_EQ(Bytes(locked), before);
    ASSERT_EQ(dialogs.passwordQuestions.size(), 3);
    EXPECT_TRUE(dialogs.passwordQuestions[2].startsWith(QStringLiteral("Неверный пароль")));
    EXPECT_TRUE(dialogs.passwordQuestions[0].contains(QStringLiteral("закрытый.Kvb")));

    dialogs.messages.clear();
    dialogs.passwords = {QStringLiteral("не тот"), QStringLiteral("верный пароль")};
    ASSERT_TRUE(app.OpenBank(locked, false));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(app.Document().isProtected());
    EXPECT_EQ(app.Document().records().size(), 2u);
    frame.SwitchTab(1);
    EXPECT_EQ(frame.PwdView().RowCount(), 1);
    EXPECT_TRUE(frame.Action(cmd::RemoveProtection)->isEnabled());

    // "Снять защиту..." through the frame: the password, then a plain bank and the command
    // disabled again.
    dialogs.passwords = {QStringLiteral("верный пароль")};
    EXPECT_TRUE(frame.ExecuteCommand(cmd::RemoveProtection));
    EXPECT_FALSE(app.Document().isProtected());
    EXPECT_FALSE(IsProtectedBankFile(Path(locked)));
    EXPECT_FALSE(frame.Action(cmd::RemoveProtection)->isEnabled());
}

TEST_F(KelvoAppTest, SetProtectionOnASavedBankOpensTheDialogAndCancelChangesNothing) {
    const QString path = MakeBank(QStringLiteral("банк.Kvb"));
    const QByteArray before = Bytes(path);
    CKelvoApp app(settings, dialogs, std::make_unique<test::FakeRecordView>());
    ASSERT_TRUE(app.Start({path}, false));
    QString caption;
    test::AnswerNextModal([&](QDialog& dialog) {
        caption = dialog.windowTitle();
        EXPECT_TRUE(dynamic_cast<CBankProtectDlg*>(&dialog));
    });
    EXPECT_TRUE(app.Frame().ExecuteCommand(cmd::SetProtection));
    EXPECT_EQ(caption, QStringLiteral("Установка защиты банка данных"));
    EXPECT_TRUE(dialogs.questions.isEmpty()); // nothing to save first
    EXPECT_FALSE(app.Document().isProtected());
    EXPECT_EQ(Bytes(path), before);
}

TEST_F(KelvoAppTest, AProtectedBankWithADamagedStreamOpensAndNamesIt) {
    const QString path = MakeProtectedBank(QStringLiteral("битый.Kvb"), "пароль 77");
    {
        auto root = cfb::Storage::OpenFile(Path(path), cfb::mode::Open);
        ASSERT_TRUE(root);
        auto data = root->OpenStorage(u"PwdData");
        ASSERT_TRUE(data);
        auto stream = data->OpenStream(u"ObPool");
        ASSERT_TRUE(stream);
        auto bytes = stream->ReadAll();
        ASSERT_TRUE(bytes);
        (*bytes)[bytes->size() / 2] ^= 0x20;
        ASSERT_TRUE(stream->WriteAll(*bytes));
        *stream = cfb::Stream();
        *data = cfb::Storage();
        ASSERT_TRUE(root->Commit());
    }
    dialogs.passwords = {QStringLiteral("пароль 77")};
    CKelvoApp app(settings, dialogs, std::make_unique<test::FakeRecordView>());
    ASSERT_TRUE(app.Start({path}, false));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("ObPool")))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(app.Document().records().size(), 2u);
    EXPECT_EQ(app.Document().passwords().size(), 0u);
}

TEST(PasswordDialogTest, AsksWithoutEchoAndGivesTheTypedPasswordOnOk) {
    QtUserDialogs dialogs;
    QString echo;
    test::AnswerNextModal([&](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), QStringLiteral("PasswordDlg"));
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Пароль банка данных"));
        auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("Password"));
        ASSERT_TRUE(field);
        EXPECT_EQ(field->accessibleName(), QStringLiteral("Пароль"));
        EXPECT_EQ(field->echoMode(), QLineEdit::Password);
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Message"))->text(),
                  QStringLiteral("Введите пароль"));
        field->setText(QStringLiteral("тайна"));
        dialog.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    });
    EXPECT_EQ(dialogs.AskPassword(nullptr, QStringLiteral("Введите пароль"),
                                  QStringLiteral("Пароль банка данных")),
              std::optional(QStringLiteral("тайна")));
    test::AnswerNextModal([&](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("Password"))->setText(QStringLiteral("x"));
        dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    });
    EXPECT_FALSE(dialogs.AskPassword(nullptr, QString(), QString()));
}

} // namespace
} // namespace kelvo
