// The protection windows over a bank on disk: setting a password twice with its strength
// shown, changing it after the old one, removing it after the password, the saves they ask
// for first, and the password question of Open. Quick key derivation throughout.
#include "core/QuorvellineDoc.h"
#include "dialogs/ui/CBankProtectDlg.h"

#include "tests/shell/TestSupport.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

const QString kStrong = QStringLiteral("Ворона-летит-на-юг-1987!");

QByteArray FileBytes(const std::filesystem::path& path) {
    QFile file(QString::fromStdU16String(path.u16string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The record titles of the bank at `path`, opened for reading with `password`.
std::vector<std::string> TitlesWith(const std::filesystem::path& path, const QString& password) {
    CQuorvellineDoc reader;
    reader.SetPasswordPrompt([&](const std::filesystem::path&, int attempt) {
        return attempt == 0 ? std::optional(crypto::SecretBytes::From(password.toStdString()))
                            : std::nullopt;
    });
    if (!reader.OnOpenDocument(path, BankAccess::Read))
        return {};
    std::vector<std::string> titles;
    for (const TreeNode* node : reader.records().PreOrder())
        titles.push_back(AnsiToUtf8(node->title));
    return titles;
}

class BankProtectDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.OnNewDocument().ok());
        doc.AddNode(TreeKind::Records, doc.records().first(), Utf8ToAnsiLossy("Тайная заметка"));
        ASSERT_TRUE(doc.SaveAs(path).ok());
    }

    ProtectionContext Context() {
        return {doc, dialogs,
                [this] {
                    ++saves;
                    return doc.SaveAs(path).ok();
                },
                [] { return crypto::KdfParams::Minimum(); }};
    }

    void Protect(const QString& password) {
        ASSERT_TRUE(doc.Protect(password.toStdString(), crypto::KdfParams::Minimum()).ok());
    }

    QTemporaryDir dir;
    std::filesystem::path path{(dir.path() + QStringLiteral("/Защита.Kvb")).toStdU16String()};
    test::ScriptedDialogs dialogs;
    CQuorvellineDoc doc;
    int saves = 0;
};

TEST_F(BankProtectDlgTest, SetsThePasswordGivenTwiceAndShowsItsStrength) {
    CBankProtectDlg dialog(Context());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Установка защиты банка данных"));
    EXPECT_FALSE(dialog.ChangesPassword());
    EXPECT_FALSE(dialog.findChild<QLineEdit*>(QStringLiteral("OldPassword")));
    EXPECT_EQ(dialog.Password()->accessibleName(), QStringLiteral("Пароль"));
    EXPECT_EQ(dialog.Confirmation()->accessibleName(), QStringLiteral("Подтверждение"));
    EXPECT_EQ(dialog.Password()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.StrengthText()->text(), QStringLiteral("нет пароля"));
    for (const char* name :
         {"StrengthBar", "StrengthText", "ShowPasswords", "OkButton", "CancelButton"}) {
        auto* control = dialog.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_TRUE(control) << name;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << name;
    }
    dialog.ShowPasswords()->setChecked(true);
    EXPECT_EQ(dialog.Confirmation()->echoMode(), QLineEdit::Normal);

    dialog.Password()->setText(QStringLiteral("aaaa"));
    EXPECT_TRUE(dialog.StrengthText()->text().startsWith(QStringLiteral("очень слабый")));
    const int weak = dialog.StrengthBar()->value();
    dialog.Password()->setText(kStrong);
    EXPECT_TRUE(dialog.StrengthText()->text().startsWith(QStringLiteral("надежный")));
    EXPECT_GT(dialog.StrengthBar()->value(), weak);

    // A confirmation that differs is refused and nothing is written.
    const QByteArray before = FileBytes(path);
    dialog.Confirmation()->setText(kStrong + QLatin1Char('x'));
    dialog.accept();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0],
              QStringLiteral("Пароль и подтверждение не совпадают. Введите пароль еще раз."));
    EXPECT_TRUE(dialog.Confirmation()->text().isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(doc.isProtected());
    EXPECT_EQ(FileBytes(path), before);

    dialog.Confirmation()->setText(kStrong);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(doc.isProtected());
    EXPECT_TRUE(IsProtectedBankFile(path));
    EXPECT_TRUE(dialog.Password()->text().isEmpty()); // the fields are emptied
    const AnsiString title = Utf8ToAnsiLossy("Тайная заметка");
    const QByteArray titleBytes(title.data(), qsizetype(title.size()));
    EXPECT_TRUE(before.contains(titleBytes));
    EXPECT_FALSE(FileBytes(path).contains(titleBytes));
    EXPECT_EQ(TitlesWith(path, kStrong),
              (std::vector<std::string>{"Корневая запись", "Тайная заметка"}));
    EXPECT_TRUE(TitlesWith(path, QStringLiteral("другой")).empty());
}

TEST_F(BankProtectDlgTest, AWeakPasswordIsUsedOnlyWhenTheUserInsists) {
    CBankProtectDlg dialog(Context());
    dialog.Password()->setText(QStringLiteral("12345"));
    dialog.Confirmation()->setText(QStringLiteral("12345"));
    dialogs.answers = {QMessageBox::No};
    dialog.accept();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith(QStringLiteral("Надежность пароля: очень слабый")));
    EXPECT_FALSE(doc.isProtected());
    dialogs.answers = {QMessageBox::Yes};
    dialog.accept();
    EXPECT_TRUE(doc.isProtected());
    EXPECT_EQ(TitlesWith(path, QStringLiteral("12345")).size(), 2u);
}

TEST_F(BankProtectDlgTest, ChangingThePasswordAsksTheOldOneFirst) {
    Protect(QStringLiteral("первый пароль 42"));
    CBankProtectDlg dialog(Context());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Смена пароля банка данных"));
    ASSERT_TRUE(dialog.OldPassword());
    EXPECT_EQ(dialog.OldPassword()->accessibleName(), QStringLiteral("Старый пароль"));
    EXPECT_EQ(dialog.Password()->accessibleName(), QStringLiteral("Новый пароль"));

    // A wrong old password: a clear message, the field emptied, the bank as it was.
    const QByteArray before = FileBytes(path);
    dialog.OldPassword()->setText(QStringLiteral("не тот"));
    dialog.Password()->setText(kStrong);
    dialog.Confirmation()->setText(kStrong);
    dialog.accept();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("Неверный пароль банка данных."));
    EXPECT_TRUE(dialog.OldPassword()->text().isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(FileBytes(path), before);

    dialog.OldPassword()->setText(QStringLiteral("первый пароль 42"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(TitlesWith(path, QStringLiteral("первый пароль 42")).empty());
    EXPECT_EQ(TitlesWith(path, kStrong).size(), 2u);
}

TEST_F(BankProtectDlgTest, AModifiedOrNeverSavedBankIsSavedFirstOnlyWhenTheUserAgrees) {
    doc.AddNode(TreeKind::Records, doc.records().first(), Utf8ToAnsiLossy("Новая"));
    dialogs.answers = {QMessageBox::No};
    EXPECT_FALSE(ShowSetProtection(Context(), nullptr));
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains(QStringLiteral("установить защиту")));
    EXPECT_EQ(saves, 0);
    EXPECT_FALSE(doc.isProtected());

    dialogs.answers = {QMessageBox::Yes};
    test::AnswerNextModal([](QDialog& dialog) {
        auto& protect = dynamic_cast<CBankProtectDlg&>(dialog);
        protect.Password()->setText(kStrong);
        protect.Confirmation()->setText(kStrong);
        protect.accept();
    });
    EXPECT_TRUE(ShowSetProtection(Context(), nullptr));
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(dialogs.messages.value(0), QStringLiteral("Банк данных защищен паролем."));
    EXPECT_EQ(TitlesWith(path, kStrong).size(), 3u); // the saved change is in the new bank

    // A bank never saved: the question names the first save; refusing it changes nothing.
    CQuorvellineDoc fresh;
    ASSERT_TRUE(fresh.OnNewDocument().ok());
    ProtectionContext context{fresh, dialogs, [] { return false; },
                              [] { return crypto::KdfParams::Minimum(); }};
    dialogs.questions.clear();
    dialogs.answers = {QMessageBox::Yes};
    EXPECT_FALSE(ShowSetProtection(context, nullptr)); // the save was cancelled
    EXPECT_TRUE(dialogs.questions.value(0).startsWith(
        QStringLiteral("Банк данных еще не сохранен в файл.")));
    EXPECT_FALSE(fresh.isProtected());
}

TEST_F(BankProtectDlgTest, RemovingProtectionAsksThePasswordAgainAfterAWrongOne) {
    const QString password = QStringLiteral("снять 2024 защиту");
    Protect(password);
    const QByteArray before = FileBytes(path);
    // Given up: the bank stays protected, byte for byte.
    dialogs.passwords = {QStringLiteral("нет"), std::nullopt};
    EXPECT_FALSE(ShowRemoveProtection(Context(), nullptr));
    ASSERT_EQ(dialogs.passwordQuestions.size(), 2);
    EXPECT_EQ(dialogs.passwordCaptions[0], QStringLiteral("Снятие защиты банка данных"));
    EXPECT_FALSE(dialogs.passwordQuestions[0].startsWith(QStringLiteral("Неверный")));
    EXPECT_TRUE(dialogs.passwordQuestions[1].startsWith(
        QStringLiteral("Неверный пароль банка данных.\n\n")));
    EXPECT_TRUE(doc.isProtected());
    EXPECT_EQ(FileBytes(path), before);

    dialogs.passwordQuestions.clear();
    dialogs.passwords = {QStringLiteral("нет"), password};
    EXPECT_TRUE(ShowRemoveProtection(Context(), nullptr));
    EXPECT_EQ(dialogs.passwordQuestions.size(), 2);
    EXPECT_FALSE(doc.isProtected());
    EXPECT_FALSE(IsProtectedBankFile(path));
    EXPECT_EQ(dialogs.messages.value(0), QStringLiteral("Защита банка данных снята."));
    EXPECT_EQ(TitlesWith(path, QString()).size(), 2u);
    EXPECT_EQ(saves, 0);
}

TEST(PasswordPromptTest, SaysWhenThePasswordWasWrongAndGivesWhatWasTyped) {
    test::ScriptedDialogs dialogs;
    dialogs.passwords = {QStringLiteral("пароль"), std::nullopt};
    const PasswordPrompt prompt = WindowPasswordPrompt(dialogs, nullptr);
    const auto first = prompt("/банки/мой.Kvb", 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->view(), "пароль");
    EXPECT_FALSE(prompt("/банки/мой.Kvb", 1));
    ASSERT_EQ(dialogs.passwordQuestions.size(), 2);
    EXPECT_EQ(dialogs.passwordQuestions[0],
              QStringLiteral("Банк данных\n/банки/мой.Kvb\nзащищен паролем. Чтобы открыть его, "
                             "нужно ввести пароль."));
    EXPECT_EQ(dialogs.passwordQuestions[1],
              QStringLiteral("Неверный пароль банка данных.\n\n") + dialogs.passwordQuestions[0]);
    EXPECT_EQ(dialogs.passwordCaptions[0], QStringLiteral("Пароль банка данных"));
}

} // namespace
} // namespace kelvo
