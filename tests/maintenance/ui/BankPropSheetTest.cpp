// The bank properties sheet over a real bank: file facts, the save counter, OK and Cancel on
// "Банк", the composition, and the user-defined properties with their checks, their order
// and their way through the bank file (read back by olefile).
#include "core/UserPropertyInput.h"
#include "maintenance/ui/CBankPropPage5.h"
#include "maintenance/ui/CBankPropSheet.h"

#include "UiTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace kelvo {
namespace {

using test::A;
using test::U;

class PropSheet : public test::WindowFixture {
protected:
    void SetUp() override { ASSERT_TRUE(doc.OnNewDocument()); }

    template <class W> static W* Find(QWidget* in, const char* name) {
        W* w = in->findChild<W*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    static QString Value(QWidget* page, const char* name) {
        QLineEdit* label = Find<QLineEdit>(page, name);
        return label ? label->text() : QString();
    }
    static QStringList Rows(QTreeWidget* list, int column) {
        QStringList out;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(column);
        return out;
    }
    // Adds a property through the page's fields and button.
    static void Add(CBankPropPage5* page, const QString& name, int type, const QString& value) {
        Find<QLineEdit>(page, "PropertyName")->setText(name);
        Find<QComboBox>(page, "PropertyType")->setCurrentIndex(type);
        Find<QComboBox>(page, "PropertyValue")->setEditText(value);
        Find<QPushButton>(page, "AddButton")->click();
    }
    CBankPropPage5* OpenPage5(CBankPropSheet& sheet) {
        sheet.Tabs()->setCurrentIndex(4);
        return sheet.findChild<CBankPropPage5*>();
    }
};

TEST_F(PropSheet, PagesShowTheFileTheDatesAndTheSaveCounter) {
    const auto bank = folder / "банк.Kvb";
    ASSERT_TRUE(doc.SaveAs(bank));
    {
        CBankPropSheet sheet(Context());
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Свойства банка данных"));
        QStringList tabs;
        for (int i = 0; i < sheet.Tabs()->count(); ++i)
            tabs << sheet.Tabs()->tabText(i);
        EXPECT_EQ(tabs,
                  (QStringList{"Общие", "Банк", "Статистика", "Состав", "Свойства пользователя"}));
        sheet.Tabs()->setCurrentIndex(2);
        auto* stats = sheet.findChild<CBankPropPage3*>();
        EXPECT_EQ(Value(stats, "SaveCounter"), QStringLiteral("0")); // Save As a new file
        EXPECT_NE(Value(stats, "Modified"), QStringLiteral("(Неизвестно)"));
        EXPECT_EQ(Value(stats, "Printed"), QStringLiteral("(Неизвестно)"));
        EXPECT_EQ(Value(stats, "LastAuthor"), U(doc.currentUser()));
        EXPECT_EQ(Value(stats, "EditTime"), QString());
        auto* list = Find<QTreeWidget>(stats, "StatisticsList");
        EXPECT_EQ(Rows(list, 0).front(), QStringLiteral("Шаблон"));
        EXPECT_EQ(Rows(list, 1).front(), QStringLiteral("(Нет)"));
        EXPECT_EQ(Rows(list, 0).back(), QStringLiteral("Формат презентации"));
        EXPECT_EQ(Rows(list, 1).back(), QStringLiteral("Screen"));
        EXPECT_EQ(list->topLevelItemCount(), 12);
    }
    ASSERT_TRUE(doc.Save());
    ASSERT_TRUE(doc.Save());
    // The file facts are read from the file system, whatever the file holds.
    std::filesystem::resize_file(bank, 2621440);
    std::filesystem::permissions(bank, std::filesystem::perms::owner_read);
    CBankPropSheet sheet(Context());
    auto* general = sheet.findChild<CBankPropPage1*>();
    EXPECT_EQ(Find<QLineEdit>(general, "Name")->text(), QStringLiteral("банк.Kvb"));
    EXPECT_EQ(Value(general, "Path"), QString::fromStdString(folder.string()));
    EXPECT_EQ(Value(general, "Size"), QStringLiteral("2,5 Мб (2621440 байт)"));
    EXPECT_EQ(Value(general, "ShortName"), QStringLiteral("(Неизвестно)"));
    EXPECT_NE(Value(general, "Modified"), QStringLiteral("(Неизвестно)"));
    EXPECT_TRUE(Find<QCheckBox>(general, "ReadOnly")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(general, "ReadOnly")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(general, "Hidden")->isChecked());
    EXPECT_EQ(Find<QCheckBox>(general, "Archive")->accessibleName(), QStringLiteral("Архивный"));
    sheet.Tabs()->setCurrentIndex(2);
    EXPECT_EQ(Value(sheet.findChild<CBankPropPage3*>(), "SaveCounter"), QStringLiteral("2"));
}

TEST_F(PropSheet, ABankNeverSavedShowsItsTitleAndWorkingFile) {
    {
        CBankPropSheet sheet(Context());
        auto* general = sheet.findChild<CBankPropPage1*>();
        EXPECT_EQ(Find<QLineEdit>(general, "Name")->text(), QStringLiteral("Безымянный"));
        EXPECT_EQ(Value(general, "Path"), QStringLiteral("(Неизвестно)"));
        sheet.Tabs()->setCurrentIndex(2);
        EXPECT_EQ(Value(sheet.findChild<CBankPropPage3*>(), "Modified"),
                  QStringLiteral("(Неизвестно)"));
    }
    ASSERT_TRUE(doc.WorkingStorage());
    CBankPropSheet sheet(Context());
    auto* general = sheet.findChild<CBankPropPage1*>();
    EXPECT_EQ(Value(general, "Path"),
              QStringLiteral("Временный файл: ") + QString::fromStdString(doc.tempPath().string()));
    EXPECT_EQ(Value(general, "Size"), QStringLiteral("(Неизвестно)"));
}

TEST_F(PropSheet, OkTakesTheBankFieldsAndMarksModifiedCancelDiscards) {
    doc.summary().comments = A("строка 1\r\nстрока 2");
    const BankSummary before = doc.summary();
    {
        CBankPropSheet sheet(Context());
        sheet.Tabs()->setCurrentIndex(1);
        auto* page = sheet.findChild<CBankPropPage2*>();
        EXPECT_EQ(Find<QPlainTextEdit>(page, "Comments")->toPlainText(),
                  QStringLiteral("строка 1\nстрока 2"));
        Find<QLineEdit>(page, "Title")->setText(QStringLiteral("Другое"));
        sheet.reject();
    }
    EXPECT_EQ(doc.summary(), before);
    EXPECT_FALSE(doc.IsModified());

    {
        // OK without any change still marks the bank modified; a page never shown keeps the
        // summary as it is.
        CBankPropSheet sheet(Context());
        sheet.accept();
        EXPECT_EQ(sheet.result(), QDialog::Accepted);
    }
    EXPECT_EQ(doc.summary(), before);
    EXPECT_TRUE(doc.IsModified());

    CBankPropSheet sheet(Context());
    sheet.Tabs()->setCurrentIndex(1);
    auto* page = sheet.findChild<CBankPropPage2*>();
    Find<QLineEdit>(page, "Subject")->setText(QStringLiteral("Тема"));
    Find<QPlainTextEdit>(page, "Keywords")->setPlainText(QStringLiteral("а\nб"));
    // A character the bank cannot hold: told, and the sheet stays open with nothing taken.
    Find<QLineEdit>(page, "Company")->setText(QStringLiteral("日本"));
    sheet.accept();
    EXPECT_NE(sheet.result(), QDialog::Accepted);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("Учреждение")))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(doc.summary(), before);
    Find<QLineEdit>(page, "Company")->setText(QStringLiteral("ООО"));
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(doc.summary().subject, A("Тема"));
    EXPECT_EQ(doc.summary().keywords, A("а\r\nб"));
    EXPECT_EQ(doc.summary().company, A("ООО"));
    EXPECT_EQ(doc.summary().comments, before.comments);
}

TEST_F(PropSheet, CompositionListsEveryTitleUnderItsHeading) {
    doc.summary().title = A("Мой банк");
    doc.AddNode(TreeKind::Records, doc.records().first(), A("Запись"));
    auto entry = std::make_unique<PwdItem>();
    entry->title = A("Почта");
    doc.AddPassword(std::move(entry), doc.folders().first());
    CBankPropSheet sheet(Context());
    sheet.Tabs()->setCurrentIndex(3);
    auto* list = sheet.findChild<CBankPropPage4*>()->findChild<QListWidget*>();
    ASSERT_TRUE(list);
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    EXPECT_EQ(lines, (QStringList{"Банк данных", "\tМой банк", "Заголовки записей",
                                  "\tКорневая запись", "\tЗапись", "Папки хранения паролей",
                                  "\tХранилище паролей", "Заголовки паролей", "\tПочта"}));
}

TEST_F(PropSheet, UserPropertiesAreCheckedListedNewestFirstAndKeptOnCancel) {
    {
        CBankPropSheet sheet(Context());
        CBankPropPage5* page = OpenPage5(sheet);
        EXPECT_EQ(Find<QLineEdit>(page, "PropertyName")->text(), QStringLiteral("Вопрос"));
        EXPECT_EQ(Find<QListWidget>(page, "SuggestedNames")->count(), 27);
        auto* type = Find<QComboBox>(page, "PropertyType");
        EXPECT_EQ(type->itemText(3), QStringLiteral("Значения \"Да/Нет\""));
        EXPECT_EQ(type->currentIndex(), 0);

        Add(page, QStringLiteral("Телефон"), 0, QStringLiteral("+7 123"));
        Add(page, QStringLiteral("Телефон"), 1, QStringLiteral("5"));
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(
            dialogs.messages[0].startsWith(QStringLiteral("Свойство 'Телефон' уже существует.")));
        Add(page, QStringLiteral("телефон"), 0, QString()); // another name: case counts
        for (const char* bad : {"-5", "1 000", ""})
            Add(page, QStringLiteral("Число"), 1, QString::fromUtf8(bad));
        EXPECT_EQ(dialogs.messages.size(), 4);
        EXPECT_EQ(dialogs.messages.back(), QStringLiteral("Неверный формат числового значения!"));
        Add(page, QStringLiteral("Число"), 1, QStringLiteral("007"));
        Add(page, QStringLiteral("Дата"), 2, QStringLiteral("32.01.2020"));
        EXPECT_EQ(dialogs.messages.back(), QStringLiteral("Неверный формат даты или времени!"));
        Add(page, QStringLiteral("Дата"), 2, QStringLiteral("02.01.2020 03:04:05"));
        Add(page, QStringLiteral("Да/Нет"), 3, QStringLiteral("да"));
        Add(page, QString(), 0, QStringLiteral("x"));
        EXPECT_EQ(dialogs.messages.size(), 6); // the empty name is refused too
        auto* list = Find<QTreeWidget>(page, "PropertyList");
        EXPECT_EQ(Rows(list, 0), (QStringList{"Да/Нет", "Дата", "Число", "телефон", "Телефон"}));
        EXPECT_EQ(Rows(list, 1), (QStringList{"Да/Нет", "Дата/Время", "Число", "Текст", "Текст"}));
        EXPECT_EQ(Rows(list, 2), (QStringList{"Нет", "02.01.2020 3:04:05", "7", "", "+7 123"}));

        // Choosing a row puts the property into the fields.
        list->setCurrentItem(list->topLevelItem(2));
        EXPECT_EQ(Find<QLineEdit>(page, "PropertyName")->text(), QStringLiteral("Число"));
        EXPECT_EQ(type->currentIndex(), 1);
        EXPECT_EQ(Find<QComboBox>(page, "PropertyValue")->currentText(), QStringLiteral("7"));

        // Deleting asks; No keeps it, Yes removes it from the list and the bank.
        list->setCurrentItem(list->topLevelItem(3));
        Find<QPushButton>(page, "DeleteButton")->click();
        ASSERT_EQ(dialogs.questions.size(), 1);
        EXPECT_EQ(dialogs.questions[0],
                  QStringLiteral("Вы хотите удалить свойство 'телефон'?\nОтменить это действие не "
                                 "удастся."));
        EXPECT_EQ(list->topLevelItemCount(), 5);
        dialogs.answers.push_back(QMessageBox::Yes);
        Find<QPushButton>(page, "DeleteButton")->click();
        EXPECT_EQ(list->topLevelItemCount(), 4);
        sheet.reject();
    }
    // Cancel does not undo what was added or deleted, and the bank knows it must be saved.
    const auto& stored = doc.userProperties();
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[0].name, A("Телефон"));
    EXPECT_EQ(stored[1].number, 7);
    EXPECT_EQ(stored[3].type, UserProperty::YesNo);
    EXPECT_EQ(stored[3].number, 0);
    EXPECT_TRUE(doc.IsModified());

    // Reopened, the sheet shows them again, newest first.
    CBankPropSheet sheet(Context());
    auto* list = Find<QTreeWidget>(OpenPage5(sheet), "PropertyList");
    EXPECT_EQ(Rows(list, 0), (QStringList{"Да/Нет", "Дата", "Число", "Телефон"}));
}

TEST_F(PropSheet, EachTypeGoesThroughTheBankFileAndOlefileReadsIt) {
    const auto bank = folder / "свойства.Kvb";
    {
        CBankPropSheet sheet(Context());
        CBankPropPage5* page = OpenPage5(sheet);
        Add(page, QStringLiteral("Текст"), 0, QStringLiteral("Привет"));
        Add(page, QStringLiteral("Число"), 1, QStringLiteral("42"));
        Add(page, QStringLiteral("Дата"), 2, QStringLiteral("02.01.2020"));
        Add(page, QStringLiteral("Флаг"), 3, QStringLiteral("Да"));
        sheet.accept();
    }
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();
    ASSERT_TRUE(doc.SaveAs(bank));
    const std::vector<UserProperty> written = doc.userProperties();
    ASSERT_TRUE(doc.OnOpenDocument(bank));
    const std::vector<UserProperty>& read = doc.userProperties();
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].name, written[i].name);
        EXPECT_EQ(read[i].type, written[i].type);
        EXPECT_EQ(UserPropertyValueText(read[i]), UserPropertyValueText(written[i])) << i;
    }
    {
        CBankPropSheet sheet(Context());
        auto* list = Find<QTreeWidget>(OpenPage5(sheet), "PropertyList");
        EXPECT_EQ(Rows(list, 0), (QStringList{"Флаг", "Дата", "Число", "Текст"}));
        EXPECT_EQ(Rows(list, 2), (QStringList{"Да", "02.01.2020", "42", "Привет"}));
    }

    // olefile reads the stream; the user-defined section (the second) is read here by hand:
    // the dictionary names the identifiers, the values follow by identifier.
    const std::string out = Python(R"(
import olefile, struct, datetime
data = olefile.OleFileIO(')" + bank.string() +
                                   R"(').openstream('\x05DocumentSummaryInformation').read()
count = struct.unpack_from('<I', data, 24)[0]
assert count == 2, count
offset = struct.unpack_from('<I', data, 28 + 20 + 16)[0]
size, n = struct.unpack_from('<II', data, offset)
props = {}
for i in range(n):
    pid, at = struct.unpack_from('<II', data, offset + 8 + 8 * i)
    props[pid] = offset + at
names = {}
at = props[0]
entries = struct.unpack_from('<I', data, at)[0]
at += 4
for i in range(entries):
    pid, length = struct.unpack_from('<II', data, at)
    names[pid] = data[at + 8:at + 8 + length].rstrip(b'\0').decode('cp1251')
    at += 8 + length
for pid in sorted(names):
    at = props[pid]
    vt = struct.unpack_from('<H', data, at)[0]
    if vt == 30:
        length = struct.unpack_from('<I', data, at + 4)[0]
        value = data[at + 8:at + 8 + length].rstrip(b'\0').decode('cp1251')
    elif vt == 3:
        value = struct.unpack_from('<i', data, at + 4)[0]
    elif vt == 11:
        value = struct.unpack_from('<H', data, at + 4)[0]
    elif vt == 64:
        ticks = struct.unpack_from('<Q', data, at + 4)[0]
        value = (datetime.datetime(1601, 1, 1) + datetime.timedelta(microseconds=ticks // 10)).strftime('%Y-%m-%d')
    print('%s %d %s' % (names[pid], vt, value))
)");
    EXPECT_NE(out.find("Текст 30 Привет\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Число 3 42\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Дата 64 20"), std::string::npos) << out;
    EXPECT_NE(out.find("Флаг 11 65535\n"), std::string::npos) << out;
}

} // namespace
} // namespace kelvo
