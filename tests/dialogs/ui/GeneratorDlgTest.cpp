// The generator dialog: the alphabet and the password from the controls, the checks of its
// fields and of OK, the histories under their names, and the standalone tool.
#include "dialogs/ui/CPwdGeneratorDlg.h"

#include "tests/shell/TestSupport.h"
#include "tests/widgets/WidgetsTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvo {
namespace {

class GeneratorDlgTest : public ::testing::Test {
protected:
    template <class T> T* Child(const char* name) {
        T* child = dlg.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(child) << name;
        return child;
    }
    QString Alphabet() { return Child<QLineEdit>("Alphabet")->text(); }
    QString Password() { return Child<QLineEdit>("Password")->text(); }
    void SetMask(const QString& mask) { Child<QComboBox>("Mask")->setEditText(mask); }
    void UseOnly(std::initializer_list<const char*> sets) {
        for (const char* name :
             {"UpperLatin", "LowerLatin", "UpperCyrillic", "LowerCyrillic", "Digits", "Special"})
            Child<QCheckBox>(name)->setChecked(std::find_if(sets.begin(), sets.end(), [&](auto s) {
                                                   return QLatin1String(s) == QLatin1String(name);
                                               }) != sets.end());
    }
    QStringList Items(const char* combo) {
        QStringList items;
        auto* box = Child<QComboBox>(combo);
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    }

    test::ScriptedDialogs dialogs;
    test::MemoryDialogStateStore store;
    CPwdGeneratorDlg dlg{dialogs, store};
};

TEST_F(GeneratorDlgTest, DefaultsShuffleSixtyTwoCharactersAndDrawFive) {
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Генератор паролей"));
    EXPECT_EQ(Child<QSpinBox>("Length")->value(), 5);
    EXPECT_TRUE(Child<QRadioButton>("ByLength")->isChecked());
    EXPECT_FALSE(Child<QComboBox>("OtherAlphabet")->isEnabled());
    EXPECT_EQ(Child<QCheckBox>("Special")->accessibleName(),
              QStringLiteral("Специальные (~@#$^&()-_+=)"));

    ASSERT_TRUE(dlg.Shuffle());
    QString sorted = Alphabet();
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted,
              QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_NE(Alphabet(), sorted); // shuffled (a sorted outcome has odds of 1 in 62!)
    ASSERT_TRUE(dlg.Generate());
    ASSERT_EQ(Password().size(), 5);
    for (QChar c : Password())
        EXPECT_TRUE(Alphabet().contains(c));
    EXPECT_EQ(dlg.Password(), Password());
    EXPECT_EQ(dlg.EntropyText(), QStringLiteral("Энтропия: 29,8 бит"));
    Child<QSpinBox>("Length")->setValue(12);
    EXPECT_EQ(dlg.EntropyText(), QStringLiteral("Энтропия: 71,5 бит"));

    // Changing the sets after a shuffle changes nothing until the next shuffle.
    UseOnly({"Digits"});
    ASSERT_TRUE(dlg.Shuffle());
    Child<QCheckBox>("UpperLatin")->setChecked(true);
    Child<QSpinBox>("Length")->setValue(30);
    ASSERT_TRUE(dlg.Generate());
    ASSERT_EQ(Password().size(), 30);
    for (QChar c : Password())
        EXPECT_TRUE(c.isDigit()) << Password().toStdString();
}

TEST_F(GeneratorDlgTest, EmbeddedOkWantsAnAlphabetAndAPassword) {
    dlg.show();
    UseOnly({});
    ASSERT_TRUE(dlg.Shuffle());
    EXPECT_EQ(Alphabet(), QString());
    EXPECT_FALSE(dlg.Generate());
    dlg.accept();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0],
              QStringLiteral(
                  "Не создан алфавит пароля!\nНажмите кнопку Переставить, чтобы создать его."));
    EXPECT_TRUE(dlg.isVisible());

    // An empty mask draws an empty password, which OK refuses.
    UseOnly({"Digits"});
    ASSERT_TRUE(dlg.Shuffle());
    Child<QRadioButton>("ByMask")->setChecked(true);
    ASSERT_TRUE(dlg.Generate());
    EXPECT_EQ(Password(), QString());
    dlg.accept();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1], QStringLiteral("Не сгенерирован пароль!\nНажмите кнопку "
                                                  "Генерировать!, чтобы создать пароль."));
    EXPECT_TRUE(dlg.isVisible());

    SetMask(QStringLiteral("##-##"));
    ASSERT_TRUE(dlg.Generate());
    ASSERT_EQ(Password().size(), 5);
    EXPECT_EQ(Password()[2], QLatin1Char('-'));
    EXPECT_TRUE(Password()[0].isDigit() && Password()[4].isDigit());
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_F(GeneratorDlgTest, OtherCharactersMaskAndTheChecksOfTheFields) {
    UseOnly({"Digits"});
    Child<QCheckBox>("UseOther")->setChecked(true);
    EXPECT_TRUE(Child<QComboBox>("OtherAlphabet")->isEnabled());
    Child<QComboBox>("OtherAlphabet")->setEditText(QStringLiteral("0123"));
    ASSERT_TRUE(dlg.Shuffle());
    EXPECT_EQ(Alphabet().size(), 14);
    for (QChar c : QStringLiteral("0123"))
        EXPECT_EQ(Alphabet().count(c), 2);

    // Mode switching enables one way of drawing and disables the other.
    Child<QRadioButton>("ByMask")->setChecked(true);
    EXPECT_FALSE(Child<QSpinBox>("Length")->isEnabled());
    EXPECT_FALSE(Child<QLabel>("LengthUnit")->isEnabled());
    EXPECT_TRUE(Child<QComboBox>("Mask")->isEnabled());
    EXPECT_TRUE(Child<QLabel>("MaskHint")->isEnabled());
    SetMask(QStringLiteral("abc"));
    ASSERT_TRUE(dlg.Generate());
    EXPECT_EQ(Password(), QStringLiteral("abc"));
    EXPECT_EQ(dlg.EntropyText(), QStringLiteral("Энтропия: 0,0 бит"));

    // The mask takes 30 characters at most.
    QLineEdit* maskEdit = Child<QComboBox>("Mask")->lineEdit();
    maskEdit->clear();
    QTest::keyClicks(maskEdit, QString(31, QLatin1Char('#')));
    EXPECT_EQ(maskEdit->text().size(), 30);

    // The length is checked in both modes, also while its box is disabled.
    QLineEdit* lengthEdit = Child<QSpinBox>("Length")->findChild<QLineEdit*>();
    ASSERT_TRUE(lengthEdit);
    const QString password = Password();
    for (const char* bad : {"", "0", "31", "x"}) {
        lengthEdit->setText(QString::fromLatin1(bad));
        dialogs.messages.clear();
        EXPECT_FALSE(dlg.Generate()) << bad;
        ASSERT_EQ(dialogs.messages.size(), 1) << bad;
        EXPECT_EQ(dialogs.messages[0], QStringLiteral("Введите целое число от 1 до 30."));
        EXPECT_EQ(Password(), password);
    }
    lengthEdit->setText(QStringLiteral("7"));
    Child<QRadioButton>("ByLength")->setChecked(true);
    ASSERT_TRUE(dlg.Generate());
    EXPECT_EQ(Password().size(), 7);

    // Characters the bank cannot hold are refused; the alphabet stays as it was.
    const QString alphabet = Alphabet();
    Child<QComboBox>("OtherAlphabet")->setEditText(QStringLiteral("ab✓"));
    dialogs.messages.clear();
    EXPECT_FALSE(dlg.Shuffle());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("Другие")));
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("✓")));
    EXPECT_EQ(Alphabet(), alphabet);
}

TEST_F(GeneratorDlgTest, HistoriesAreKeptUnderTheirNames) {
    store.histories[QStringLiteral("PwdGeneratorMask")] = {
        QStringLiteral("##-##"), QStringLiteral("####"), QStringLiteral("✓#")};
    store.histories[QStringLiteral("PwdGeneratorUserAlpha")] = {QStringLiteral("xyz")};
    CPwdGeneratorDlg loaded(dialogs, store);
    auto* mask = loaded.findChild<QComboBox*>(QStringLiteral("Mask"));
    auto* other = loaded.findChild<QComboBox*>(QStringLiteral("OtherAlphabet"));
    // A stored text the bank cannot hold is left out; the boxes start empty.
    ASSERT_EQ(mask->count(), 2);
    EXPECT_EQ(mask->currentText(), QString());
    EXPECT_EQ(other->count(), 1);

    ASSERT_TRUE(loaded.Shuffle());
    // Generating by length records the mask text too; a known text moves to the top.
    mask->setEditText(QStringLiteral("####"));
    ASSERT_TRUE(loaded.Generate());
    EXPECT_EQ(mask->itemText(0), QStringLiteral("####"));
    EXPECT_EQ(mask->count(), 2);
    EXPECT_EQ(mask->currentText(), QStringLiteral("####"));
    for (int i = 1; i <= 21; ++i) {
        mask->setEditText(QStringLiteral("m%1#").arg(i));
        ASSERT_TRUE(loaded.Generate());
    }
    EXPECT_EQ(mask->count(), 20);
    EXPECT_EQ(mask->itemText(0), QStringLiteral("m21#"));
    EXPECT_EQ(mask->itemText(19), QStringLiteral("m2#"));
    // An empty mask is not added.
    mask->setEditText(QString());
    ASSERT_TRUE(loaded.Generate());
    EXPECT_EQ(mask->count(), 20);

    // The other characters go into their history at a shuffle, also while they are unused.
    other->setEditText(QStringLiteral("абв"));
    ASSERT_TRUE(loaded.Shuffle());
    EXPECT_EQ(other->itemText(0), QStringLiteral("абв"));
    EXPECT_EQ(other->count(), 2);

    loaded.done(QDialog::Rejected);
    const QStringList masks = store.histories[QStringLiteral("PwdGeneratorMask")];
    ASSERT_EQ(masks.size(), 20);
    EXPECT_EQ(masks.front(), QStringLiteral("m21#"));
    EXPECT_EQ(store.histories[QStringLiteral("PwdGeneratorUserAlpha")],
              (QStringList{QStringLiteral("абв"), QStringLiteral("xyz")}));
}

TEST_F(GeneratorDlgTest, StandaloneIsAToolOnly) {
    dlg.SetStandalone(true);
    dlg.show();
    EXPECT_TRUE(Child<QPushButton>("OK")->isHidden());
    EXPECT_EQ(Child<QPushButton>("Cancel")->text(), QStringLiteral("Закрыть"));
    ASSERT_TRUE(dlg.Shuffle());
    ASSERT_TRUE(dlg.Generate());
    dlg.accept(); // Enter: nothing
    EXPECT_TRUE(dlg.isVisible());
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_TRUE(dlg.isVisible());
    Child<QPushButton>("Cancel")->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(store.histories.count(QStringLiteral("PwdGeneratorMask")), 1u);
}

} // namespace
} // namespace kelvo
