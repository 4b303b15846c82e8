// The password entry sheet and the item properties sheet: what they show, the limits of their
// fields, the generator and the keyword picker they open, and the text they refuse.
#include "dialogs/ui/CPwdGeneratorDlg.h"
#include "dialogs/ui/CPwdPropSheet.h"
#include "dialogs/ui/CTreeRecPropSheet.h"
#include "widgets/IconCombo.h"

#include "tests/shell/TestSupport.h"
#include "tests/widgets/WidgetsTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

/// Types `text` into a widget key by key, as a keyboard with any layout would.
void Type(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

class PwdPropSheetTest : public ::testing::Test {
protected:
    test::ScriptedDialogs dialogs;
    test::MemoryDialogStateStore store;
};

TEST_F(PwdPropSheetTest, ANewEntryShowsTheFirstIconEmptyTextsAndTheBankCategories) {
    CPwdPropSheet sheet(dialogs, store, {A("Почта"), A("Банк"), A("банк"), A("Авто")});
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Добавление/Свойства пароля"));
    ASSERT_EQ(sheet.Pages()->count(), 3);
    EXPECT_EQ(sheet.Pages()->tabText(0), QStringLiteral("Учетная запись"));
    EXPECT_EQ(sheet.Pages()->tabText(1), QStringLiteral("Пароль"));
    EXPECT_EQ(sheet.Pages()->tabText(2), QStringLiteral("Заметки"));
    QComboBox* category = sheet.AccountPage()->category;
    // Sorted as read; two texts differing only in case are two categories.
    ASSERT_EQ(category->count(), 4);
    EXPECT_EQ(category->itemText(0), QStringLiteral("Авто"));
    EXPECT_EQ(category->itemText(3), QStringLiteral("Почта"));
    EXPECT_EQ(
        category->findText(QStringLiteral("банк"), Qt::MatchExactly | Qt::MatchCaseSensitive),
        category->findText(QStringLiteral("Банк"), Qt::MatchExactly | Qt::MatchCaseSensitive) ^ 3);
    EXPECT_EQ(category->currentText(), QString());
    EXPECT_EQ(sheet.AccountPage()->icon->currentIndex(), 0);
    EXPECT_EQ(sheet.AccountPage()->icon->count(), 33);
    EXPECT_EQ(sheet.PasswordPage()->generator->text(), QStringLiteral("&Генератор паролей..."));

    PwdItem entry;
    entry.icon = 7;
    ASSERT_TRUE(sheet.TakeEntry(entry));
    EXPECT_EQ(entry.icon, 0);
    EXPECT_EQ(entry.title, "");
    EXPECT_EQ(entry.category, "");
}

TEST_F(PwdPropSheetTest, TheHundredAndFirstCharacterCannotBeTyped) {
    CPwdPropSheet sheet(dialogs, store, {});
    const QString typed(101, QChar(0x44F)); // "я"
    for (QLineEdit* edit : {sheet.AccountPage()->title, sheet.AccountPage()->category->lineEdit(),
                            sheet.PasswordPage()->login, sheet.PasswordPage()->password,
                            sheet.PasswordPage()->link}) {
        Type(edit, typed);
        EXPECT_EQ(edit->text().size(), 100) << edit->objectName().toStdString();
    }
    Type(sheet.NotesPage()->notes, typed);
    EXPECT_EQ(sheet.NotesPage()->notes->toPlainText().size(), 101); // notes have no limit

    // A longer text an entry already has is kept whole: it can be shortened, not lengthened.
    PwdItem entry;
    entry.title = AnsiString(150, 't');
    entry.category = AnsiString(120, 'c');
    sheet.SetEntry(entry);
    EXPECT_EQ(sheet.AccountPage()->title->text().size(), 150);
    QTest::keyClick(sheet.AccountPage()->title, Qt::Key_End);
    QTest::keyClicks(sheet.AccountPage()->title, QStringLiteral("x"));
    EXPECT_EQ(sheet.AccountPage()->title->text().size(), 150);
    PwdItem taken;
    ASSERT_TRUE(sheet.TakeEntry(taken));
    EXPECT_EQ(taken.title, entry.title);
    EXPECT_EQ(taken.category, entry.category);
}

TEST_F(PwdPropSheetTest, TheGeneratorReplacesThePasswordOnlyOnItsOk) {
    CPwdPropSheet sheet(dialogs, store, {});
    PwdItem entry;
    entry.password = "old";
    entry.icon = 40; // from a foreign bank: kept until another picture is chosen
    sheet.SetEntry(entry);
    bool embedded = false;
    sheet.SetGeneratorRun([&](CPwdGeneratorDlg& generator) {
        embedded = !generator.Standalone();
        return generator.Shuffle() && generator.Generate() && false; // cancelled
    });
    sheet.RunGenerator();
    EXPECT_TRUE(embedded);
    EXPECT_EQ(sheet.PasswordPage()->password->text(), QStringLiteral("old"));

    QString generated;
    sheet.SetGeneratorRun([&](CPwdGeneratorDlg& generator) {
        generator.Shuffle();
        generator.Generate();
        generator.accept();
        generated = generator.Password();
        return generator.result() == QDialog::Accepted;
    });
    sheet.RunGenerator();
    ASSERT_EQ(generated.size(), 5);
    EXPECT_EQ(sheet.PasswordPage()->password->text(), generated);
    EXPECT_EQ(entry.password, "old"); // the entry changes only when the opener takes the fields
    // The generator's histories were written when it closed.
    EXPECT_EQ(store.histories.count(QStringLiteral("PwdGeneratorMask")), 1u);

    PwdItem taken;
    ASSERT_TRUE(sheet.TakeEntry(taken));
    EXPECT_EQ(taken.password, generated.toStdString());
    EXPECT_EQ(taken.icon, 40);
    sheet.AccountPage()->icon->setCurrentIndex(5);
    ASSERT_TRUE(sheet.TakeEntry(taken));
    EXPECT_EQ(taken.icon, 5);
}

TEST_F(PwdPropSheetTest, TextWindows1251CannotHoldIsRefusedOnItsPage) {
    CPwdPropSheet sheet(dialogs, store, {});
    sheet.show();
    sheet.AccountPage()->title->setText(QStringLiteral("Почта"));
    sheet.PasswordPage()->password->setText(QStringLiteral("ключ€✓"));
    sheet.NotesPage()->notes->setPlainText(QStringLiteral("строка 1\nстрока 2"));
    PwdItem entry;
    entry.title = A("старое");
    EXPECT_FALSE(sheet.TakeEntry(entry));
    EXPECT_EQ(entry.title, A("старое")); // nothing taken
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("Пароль")));
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("✓")));
    EXPECT_EQ(sheet.Pages()->currentIndex(), 1);
    sheet.accept(); // refused: the sheet stays open
    EXPECT_TRUE(sheet.isVisible());

    sheet.PasswordPage()->password->setText(QStringLiteral("ключ€"));
    ASSERT_TRUE(sheet.TakeEntry(entry));
    EXPECT_EQ(entry.password, A("ключ€"));
    EXPECT_EQ(entry.notes, A("строка 1\r\nстрока 2")); // line breaks as the bank keeps them
    sheet.SetEntry(entry);
    EXPECT_EQ(sheet.NotesPage()->notes->toPlainText(), QStringLiteral("строка 1\nстрока 2"));
}

TEST(TreeRecPropSheetTest, ShowsTheFieldsAndHandsBackTheEditedOnes) {
    test::ScriptedDialogs dialogs;
    RecordProperties fields;
    fields.title = A("Запись");
    fields.uid = "0000000C";
    fields.size = A("0 байт (0 байт)");
    fields.created = "01.02.2024 3:04:05";
    fields.opened = A("(Неизвестно)");
    fields.saved = A("(Неизвестно)");
    fields.notes = A("первая\r\nвторая");
    fields.keywords = A("a, b");
    CTreeRecPropSheet sheet(fields, dialogs);
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Свойства элемента дерева"));
    ASSERT_EQ(sheet.Pages()->count(), 3);
    EXPECT_EQ(sheet.Pages()->tabText(0), QStringLiteral("Общие"));
    EXPECT_EQ(sheet.Pages()->tabText(2), QStringLiteral("Ключевые слова"));
    CTreeRecPropPage1* general = sheet.GeneralPage();
    EXPECT_EQ(general->title->text(), QStringLiteral("Запись"));
    EXPECT_FALSE(general->title->isReadOnly());
    for (QLineEdit* fixed :
         {general->uid, general->size, general->created, general->opened, general->saved})
        EXPECT_TRUE(fixed->isReadOnly()) << fixed->objectName().toStdString();
    EXPECT_EQ(general->uid->text(), QStringLiteral("0000000C"));
    EXPECT_EQ(general->size->text(), QStringLiteral("0 байт (0 байт)"));
    EXPECT_EQ(general->uid->accessibleName(), QStringLiteral("UID элемента"));
    EXPECT_EQ(sheet.NotesPage()->notes->toPlainText(), QStringLiteral("первая\nвторая"));

    // The picker gets the page's text and its text replaces all of it.
    AnsiString given;
    sheet.SetPickerRun([&](AnsiString& keywords) {
        given = keywords;
        keywords = "c";
        return true;
    });
    sheet.KeywordsPage()->pick->click();
    EXPECT_EQ(given, "a, b");
    EXPECT_EQ(sheet.KeywordsPage()->keywords->toPlainText(), QStringLiteral("c"));
    sheet.SetPickerRun([](AnsiString& keywords) {
        keywords = "lost";
        return false; // cancelled
    });
    sheet.PickKeywords();
    EXPECT_EQ(sheet.KeywordsPage()->keywords->toPlainText(), QStringLiteral("c"));
    // Text the bank cannot hold does not reach the picker.
    sheet.KeywordsPage()->keywords->setPlainText(QStringLiteral("c, ✓"));
    bool ran = false;
    sheet.SetPickerRun([&](AnsiString&) { return ran = true; });
    sheet.PickKeywords();
    EXPECT_FALSE(ran);
    ASSERT_EQ(dialogs.messages.size(), 1);

    sheet.KeywordsPage()->keywords->setPlainText(QStringLiteral("c"));
    general->title->setText(QString());
    sheet.NotesPage()->notes->setPlainText(QStringLiteral("одна\nдве"));
    RecordProperties taken = fields;
    ASSERT_TRUE(sheet.TakeFields(taken));
    EXPECT_EQ(taken.title, ""); // an empty title is accepted
    EXPECT_EQ(taken.notes, A("одна\r\nдве"));
    EXPECT_EQ(taken.keywords, "c");
    EXPECT_EQ(taken.uid, "0000000C");
}

} // namespace
} // namespace kelvo
