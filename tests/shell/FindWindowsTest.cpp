// The search window and the index window in the main window: opened by their commands, their
// walks and queries shown in their grids, Stop, go-to back into the main window, the start
// chooser, objects deleted while a window is open, and what they keep under their names.
#include "index/BankIndex.h"
#include "index/ItemKey.h"
#include "index/ui/BankIndexDlg.h"
#include "index/ui/IndexProgressDlg.h"
#include "platform/storage/Storage.h"
#include "search/ui/BankSearchDlg.h"
#include "search/ui/BankSelectDlg.h"
#include "search/ui/ResultGrid.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/SettingsStore.h"
#include "widgets/SortableList.h"

#include "TestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

std::string Rtf(const char* utf8) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 ";
    for (char c : A(utf8)) {
        const auto u = static_cast<unsigned char>(c);
        static const char digits[] = "0123456789abcdef";
        if (u >= 0x80)
            rtf += std::string("\\'") + digits[u >> 4] + digits[u & 15];
        else
            rtf += c;
    }
    return rtf + "\\par}";
}

class FindWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.OnNewDocument().ok());
        auto view = std::make_unique<test::FakeRecordView>();
        record = view.get();
        frame = std::make_unique<CMainFrame>(doc, settings, dialogs, std::move(view));
        bankPath = dir.path().toStdString() + "/банк.Kvb";
        ASSERT_TRUE(doc.SaveAs(bankPath).ok());
    }
    void TearDown() override {
        frame.reset(); // the windows go with the main window, before the document
    }

    TreeNode* AddRecord(const char* title, const char* keywords, const char* body = "",
                        TreeNode* parent = nullptr) {
        TreeNode* node =
            doc.AddNode(TreeKind::Records, parent ? parent : doc.records().first(), A(title));
        node->item.keywords = A(keywords);
        EXPECT_TRUE(doc.SaveBody(node, Rtf(body)).ok());
        frame->RecordTreeCtrl().Refresh();
        return node;
    }
    TreeNode* AddFolder(const char* title, const char* keywords = "") {
        TreeNode* node = doc.AddNode(TreeKind::Folders, doc.folders().first(), A(title));
        node->item.keywords = A(keywords);
        frame->PasswordTreeCtrl().Refresh();
        return node;
    }
    PwdItem& AddPassword(const char* title, TreeNode* folder, const char* login) {
        auto item = std::make_unique<PwdItem>();
        item->title = A(title);
        item->login = A(login);
        return doc.AddPassword(std::move(item), folder);
    }

    BankSearchDlg& OpenSearch() {
        EXPECT_TRUE(frame->ExecuteCommand(cmd::BankSearch));
        BankSearchDlg* window = frame->SearchWindow().Window();
        EXPECT_TRUE(window);
        return *window;
    }
    BankIndexDlg& OpenIndex() {
        EXPECT_TRUE(frame->ExecuteCommand(cmd::IndexInfo));
        BankIndexDlg* window = frame->IndexWindow().Window();
        EXPECT_TRUE(window);
        return *window;
    }
    /// Inside a list, a combo box or a spin box: the control's own parts.
    static bool PartOfAControl(const QWidget* widget) {
        for (const QWidget* up = widget->parentWidget(); up && !up->isWindow();
             up = up->parentWidget())
            if (qobject_cast<const QAbstractItemView*>(up) || qobject_cast<const QComboBox*>(up) ||
                qobject_cast<const QAbstractSpinBox*>(up))
                return true;
        return false;
    }
    template <class T> static T* Child(QWidget& window, const char* name) {
        T* child = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(child) << name;
        return child;
    }
    static void Search(BankSearchDlg& window, const char* text) {
        Child<QComboBox>(window, "SearchText")->setEditText(QString::fromUtf8(text));
        window.StartSearch();
    }
    static std::vector<std::string> Keys(const ReportGrid& grid) {
        std::vector<std::string> keys;
        for (int row = 0; row < grid.RowCount(); ++row)
            keys.push_back(grid.Row(row).key);
        return keys;
    }
    int RowOf(const ReportGrid& grid, const std::string& key) {
        const int row = grid.FindRow(key);
        EXPECT_GE(row, 0) << key;
        return row;
    }

    /// Another bank, one record with `keyword`, its index stored; the bank's path.
    std::string OtherBank(const char* keyword) {
        const std::string path = dir.path().toStdString() + "/другой.Kvb";
        CQuorvellineDoc other;
        EXPECT_TRUE(other.OnNewDocument().ok());
        other.AddNode(TreeKind::Records, other.records().first(), "x")->item.keywords = keyword;
        EXPECT_TRUE(other.SaveAs(path).ok());
        KeywordIndex built;
        EXPECT_TRUE(RebuildBankIndex(built, other, FailedBuild::Clear).ok());
        return path;
    }
    /// The words of the index stored in the bank at `path`.
    static std::vector<std::string> StoredWords(const std::string& path) {
        CQuorvellineDoc bank;
        EXPECT_TRUE(bank.OnOpenDocument(path, BankAccess::Read).ok());
        KeywordIndex index;
        EXPECT_TRUE(LoadBankIndex(index, bank).ok());
        std::vector<std::string> words;
        for (const auto& item : index)
            words.push_back(item->word);
        return words;
    }
    static QStringList Listed(const SortableList& words) {
        QStringList listed;
        for (int i = 0; i < words.RowCount(); ++i)
            listed << words.Text(i, 0);
        return listed;
    }

    QTemporaryDir dir;
    SettingsStore settings{dir.path() + QStringLiteral("/s.ini")};
    test::ScriptedDialogs dialogs;
    CQuorvellineDoc doc;
    test::FakeRecordView* record = nullptr;
    std::unique_ptr<CMainFrame> frame;
    std::string bankPath;
};

TEST_F(FindWindowsTest, TheCommandsOpenOneWindowEachNamedAndReachableByKeyboard) {
    frame->UpdateCommandUi();
    EXPECT_TRUE(frame->Action(cmd::BankSearch)->isEnabled());
    EXPECT_TRUE(frame->Action(cmd::IndexInfo)->isEnabled());
    dialogs.answers = {QMessageBox::No}; // no index built
    BankSearchDlg& search = OpenSearch();
    BankIndexDlg& index = OpenIndex();
    EXPECT_EQ(dialogs.captions.value(0), QStringLiteral("Просмотр индексов"));
    EXPECT_TRUE(index.Index().empty());
    // A second command shows the same window again.
    EXPECT_TRUE(frame->ExecuteCommand(cmd::BankSearch));
    EXPECT_EQ(frame->SearchWindow().Window(), &search);

    for (QWidget* window : {static_cast<QWidget*>(&search), static_cast<QWidget*>(&index)}) {
        EXPECT_TRUE(window->isWindow());
        EXPECT_FALSE(window->parentWidget()); // top-level, with its own taskbar entry
        EXPECT_FALSE(window->windowIcon().isNull());
        EXPECT_EQ(window->minimumSize(), window->size()); // not smaller than at first
        for (QWidget* control : window->findChildren<QWidget*>()) {
            const bool interactive =
                qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
                qobject_cast<QSpinBox*>(control) || qobject_cast<QAbstractItemView*>(control) ||
                qobject_cast<QProgressBar*>(control);
            if (!interactive || control->window() != window || PartOfAControl(control))
                continue;
            EXPECT_FALSE(control->objectName().isEmpty()) << control->metaObject()->className();
            EXPECT_FALSE(control->accessibleName().isEmpty())
                << control->objectName().toStdString();
        }
    }
    EXPECT_EQ(search.windowTitle(), QStringLiteral("Поиск в банке данных"));
    EXPECT_EQ(index.windowTitle(), QStringLiteral("Просмотр индексной информации"));
    EXPECT_EQ(Child<QPushButton>(search, "Stop")->text(), QStringLiteral("О&становить"));
    EXPECT_EQ(search.StatusText(), QStringLiteral("Ожидание..."));

    // The size filter's controls follow its check box.
    auto* sizeFilter = Child<QCheckBox>(search, "SizeFilter");
    EXPECT_FALSE(Child<QSpinBox>(search, "SizeValue")->isEnabled());
    sizeFilter->setChecked(true);
    EXPECT_TRUE(Child<QSpinBox>(search, "SizeValue")->isEnabled());
    EXPECT_TRUE(Child<QComboBox>(search, "SizeCompare")->isEnabled());

    // Closing the main window closes them.
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frame->SearchWindow().Window());
    EXPECT_FALSE(frame->IndexWindow().Window());
}

TEST_F(FindWindowsTest, TickingTwoWordsListsTheCommonRecordAndGoToSelectsIt) {
    TreeNode* r1 = AddRecord("Первая", "a");
    TreeNode* r2 = AddRecord("Вторая", "a, b", "текст второй записи");
    TreeNode* r3 = AddRecord("Третья", "b");
    AddFolder("Почта", "c");
    // No index stored: the window offers to build one.
    dialogs.answers = {QMessageBox::Yes};
    BankIndexDlg& index = OpenIndex();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith(QStringLiteral("Индексы не построены")));
    EXPECT_EQ(index.StatusText(),
              QStringLiteral("Найдено 3 слов. Для просмотра результатов выделите нужные слова."));
    SortableList& words = index.Words();
    ASSERT_EQ(words.RowCount(), 3);
    EXPECT_EQ(words.Text(0, 0), QStringLiteral("a")); // sorted by the word
    EXPECT_EQ(words.Text(0, 1), QStringLiteral("2"));
    EXPECT_EQ(words.Text(0, 2), QStringLiteral("Да"));
    EXPECT_EQ(words.Text(0, 3), QStringLiteral("Нет"));

    // Each tick queries at once.
    words.SetChecked(0, true);
    EXPECT_EQ(index.StatusText(), QStringLiteral("Результаты для слов (всего 2): a"));
    EXPECT_EQ(Keys(index.Grid()), (std::vector<std::string>{MakeItemKey("rec", r1->item.uid),
                                                            MakeItemKey("rec", r2->item.uid)}));
    words.SetChecked(1, true);
    EXPECT_EQ(index.StatusText(), QStringLiteral("Результаты для слов (всего 1): a, b"));
    ASSERT_EQ(Keys(index.Grid()), (std::vector<std::string>{MakeItemKey("rec", r2->item.uid)}));
    const ReportRow& row = index.Grid().Row(0);
    EXPECT_EQ(row.cells[1], A("Запись: <b>Вторая</b>"));
    EXPECT_EQ(row.cells[2], A("<font color=#0000FF><b>a</b></font>, "
                              "<font color=#0000FF><b>b</b></font>"));
    EXPECT_EQ(row.detail, A("<b>Текст записи:</b> текст второй записи... (отрезано)"));

    // Go-to: selecting the row enables the button, which selects the record.
    auto* goTo = Child<QPushButton>(index, "GoTo");
    EXPECT_FALSE(goTo->isEnabled());
    index.Grid().SelectRow(0);
    EXPECT_TRUE(goTo->isEnabled());
    frame->SwitchTab(1);
    goTo->click();
    EXPECT_EQ(frame->CurrentTab(), 0);
    EXPECT_EQ(doc.records().selected(), r2);
    EXPECT_EQ(record->calls.back(), "load " + std::to_string(r2->item.uid));

    // The filter: folders only has no 'a'; the grid keeps its rows until the next query.
    index.SetFilter(KeywordFilter::Folders);
    ASSERT_EQ(words.RowCount(), 1);
    EXPECT_EQ(words.Text(0, 0), QStringLiteral("c"));
    EXPECT_EQ(index.Grid().RowCount(), 1);
    index.SetFilter(KeywordFilter::All);

    // A record that lost its keyword since the build is counted but gets no row; one that
    // was deleted neither.
    r2->item.keywords = A("a");
    words.SetChecked(0, true);
    words.SetChecked(1, true);
    EXPECT_EQ(index.StatusText(), QStringLiteral("Результаты для слов (всего 1): a, b"));
    EXPECT_EQ(index.Grid().RowCount(), 0);
    words.SetChecked(1, false);
    ASSERT_EQ(index.Grid().RowCount(), 2);
    index.Grid().SelectRow(RowOf(index.Grid(), MakeItemKey("rec", r1->item.uid)));
    ASSERT_TRUE(frame->RecordTreeCtrl().DeleteNode(r1));
    EXPECT_FALSE(index.GoToSelected());
    index.QueryIndex();
    EXPECT_EQ(Keys(index.Grid()), (std::vector<std::string>{MakeItemKey("rec", r2->item.uid)}));

    // "Сброс" unticks everything.
    Child<QPushButton>(index, "Reset")->click();
    EXPECT_TRUE(words.CheckedRows().empty());
    EXPECT_EQ(index.StatusText(), QStringLiteral("Всего слов 3. Отметьте слова для поиска."));
    EXPECT_EQ(index.Grid().RowCount(), 0);

    // "Перестроить" asks first; No keeps the index, Yes builds it from the trees now.
    r3->item.keywords = A("d");
    dialogs.answers = {QMessageBox::No};
    Child<QPushButton>(index, "Rebuild")->click();
    EXPECT_TRUE(dialogs.questions.back().startsWith(QStringLiteral("Будет выполнена")));
    EXPECT_EQ(words.RowCount(), 3);
    dialogs.answers = {QMessageBox::Yes};
    Child<QPushButton>(index, "Rebuild")->click();
    QStringList listed;
    for (int i = 0; i < words.RowCount(); ++i)
        listed << words.Text(i, 0);
    EXPECT_EQ(listed, (QStringList{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("d")}));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Closing keeps the layouts under their names; the next opening loads the stored index
    // without asking.
    words.SortByColumn(1, Qt::DescendingOrder);
    index.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frame->IndexWindow().Window());
    const auto layout = settings.LoadListLayout(QStringLiteral("BankIndexDlg.KeyWordsList"));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->sortColumn, 1);
    EXPECT_EQ(layout->sortOrder, 1);
    EXPECT_TRUE(settings.LoadListLayout(QStringLiteral("BankIndexDlg.ResultGrid")));
    const qsizetype asked = dialogs.questions.size();
    BankIndexDlg& again = OpenIndex();
    EXPECT_EQ(dialogs.questions.size(), asked);
    EXPECT_EQ(again.Words().RowCount(), 3);
    EXPECT_EQ(again.Words().SortColumn(), 1);
}

TEST_F(FindWindowsTest, SearchShowsItsRowsAndGoToOnAnEntryRowSelectsItsFolder) {
    TreeNode* note = AddRecord("Заметка", "", "логин от почты: ivanov");
    TreeNode* mail = AddFolder("Почта");
    AddPassword("Ящик", mail, "ivanov");
    AddPassword("Другой", mail, "petrov");
    BankSearchDlg& search = OpenSearch();
    EXPECT_EQ(Child<QLineEdit>(search, "StartNode")->text(),
              QString::fromStdString("Банк данных: " + bankPath));

    // The empty text is refused with the search's own caption.
    Search(search, "");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("Необходимо ввести текст для поиска!"));
    EXPECT_EQ(dialogs.captions.back(), QStringLiteral("Поиск"));
    // So is a character the bank cannot hold.
    Search(search, "ivanov ✓");
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(search.Rows().size(), 0u);

    // Enter in the search text starts the search. Entries one by one: a row per entry.
    Child<QCheckBox>(search, "FolderAsWhole")->setChecked(false);
    auto* text = Child<QComboBox>(search, "SearchText");
    text->setEditText(QStringLiteral("ivanov"));
    QTest::keyClick(text->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(search.StatusText(), QStringLiteral("Поиск завершен. Просмотр результатов."));
    EXPECT_EQ(Child<QProgressBar>(search, "Progress")->value(),
              Child<QProgressBar>(search, "Progress")->maximum());
    const PwdItem* box = doc.passwords().InFolder(mail->item.uid).front();
    const std::string entryKey = MakeItemKey("pit", box->uid);
    EXPECT_EQ(Keys(search.Grid()),
              (std::vector<std::string>{MakeItemKey("rec", note->item.uid), entryKey}));
    EXPECT_EQ(text->itemText(0), QStringLiteral("ivanov")); // the history, most recent first
    EXPECT_EQ(search.Grid().Row(1).cells[1], A("Пароль: <b>Ящик<b>"));

    // Go-to on the entry's row: the password tab with the entry's folder selected.
    EXPECT_FALSE(Child<QPushButton>(search, "GoTo")->isEnabled());
    search.Grid().SelectRow(RowOf(search.Grid(), entryKey));
    EXPECT_TRUE(Child<QPushButton>(search, "GoTo")->isEnabled());
    QTest::keyClick(&search.Grid(), Qt::Key_Return);
    EXPECT_EQ(frame->CurrentTab(), 1);
    EXPECT_EQ(doc.folders().selected(), mail);
    EXPECT_EQ(frame->PasswordTreeCtrl().currentIndex(),
              frame->PasswordTreeCtrl().Model().IndexOf(mail));

    // A record deleted while the window is open: its row leads nowhere.
    frame->SwitchTab(0);
    search.Grid().SelectRow(RowOf(search.Grid(), MakeItemKey("rec", note->item.uid)));
    ASSERT_TRUE(frame->RecordTreeCtrl().DeleteNode(note));
    frame->SwitchTab(1);
    EXPECT_FALSE(search.GoToSelected());
    EXPECT_EQ(frame->CurrentTab(), 1);

    // A row with the keywords marked draws them in the marked colour.
    TreeNode* marked = AddRecord("Отпуск", "море, горы", "");
    Child<QCheckBox>(search, "InData")->setChecked(false);
    Search(search, "море");
    ASSERT_EQ(Keys(search.Grid()),
              (std::vector<std::string>{MakeItemKey("rec", marked->item.uid)}));
    search.Grid().horizontalHeader()->resizeSection(ResultGrid::KeywordsColumn, 200);
    search.resize(900, 600);
    QApplication::processEvents();
    const QRect cell = search.Grid().CellArea(0, ResultGrid::KeywordsColumn);
    ASSERT_FALSE(cell.isEmpty());
    const QImage shot = search.Grid().viewport()->grab().toImage();
    int blue = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            blue += c.blue() > 200 && c.red() < 80 && c.green() < 80;
        }
    EXPECT_GT(blue, 10);
}

TEST_F(FindWindowsTest, StopEndsTheWalkAndKeepsTheRowsFoundSoFar) {
    for (int i = 0; i < 40; ++i)
        AddRecord(("Запись " + std::to_string(i)).c_str(), "", "общее слово");
    BankSearchDlg& search = OpenSearch();
    // Events are handled at every object; the click on Stop waits in the queue until the
    // walk hands the window its events after the first row.
    search.SearchProgress().SetPumpInterval(0);
    auto* stop = Child<QPushButton>(search, "Stop");
    bool stopWasEnabled = false, closeWasDisabled = false, armed = true;
    // What the user does meanwhile may need the bank (a save): the walk has let go of it.
    std::optional<bool> bankFree;
    QObject::connect(stop, &QPushButton::pressed, &search,
                     [&] { bankFree = cfb::Storage::OpenFile(doc.path()).ok(); });
    QObject::connect(&search.Grid().Model(), &QAbstractItemModel::rowsInserted, &search, [&] {
        if (std::exchange(armed, false))
            QTimer::singleShot(0, stop, [&] {
                stopWasEnabled = stop->isEnabled();
                closeWasDisabled = !Child<QPushButton>(search, "Close")->isEnabled();
                search.close(); // refused while the walk runs
                QTest::mouseClick(stop, Qt::LeftButton);
            });
    });
    Search(search, "общее");
    EXPECT_TRUE(stopWasEnabled);
    EXPECT_TRUE(closeWasDisabled);
    EXPECT_EQ(bankFree, std::optional<bool>(true));
    EXPECT_TRUE(search.isVisible());
    const std::size_t found = search.Rows().size();
    EXPECT_GE(found, 1u);
    EXPECT_LT(found, 40u);
    EXPECT_EQ(static_cast<std::size_t>(search.Grid().RowCount()), found);
    EXPECT_EQ(search.StatusText(), QStringLiteral("Поиск завершен. Просмотр результатов."));
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(search, "Search")->isEnabled());
    // The next search runs to the end again.
    Search(search, "общее");
    EXPECT_EQ(search.Rows().size(), 40u);
}

TEST_F(FindWindowsTest, TheChooserShowsTheChosenNodeAndReopensOnIt) {
    TreeNode* work = AddRecord("Работа", "", "план на неделю");
    AddRecord("Дом", "", "план ремонта");
    TreeNode* mail = AddFolder("Почта");
    BankSearchDlg& search = OpenSearch();
    auto* start = Child<QLineEdit>(search, "StartNode");

    std::vector<std::string> offered;
    AnsiString current;
    auto choose = [&](const char* title) {
        search.SetChooserRunner([&, title](BankSelectDlg& chooser) {
            EXPECT_EQ(chooser.windowTitle(), QStringLiteral("Выбор объекта из структуры банка"));
            QTreeWidget* tree = chooser.Tree();
            current = chooser.ChosenKey();
            offered.clear();
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                offered.push_back((*it)->text(0).toStdString());
            const auto found =
                tree->findItems(QString::fromUtf8(title), Qt::MatchExactly | Qt::MatchRecursive);
            EXPECT_EQ(found.size(), 1);
            tree->setCurrentItem(found.value(0));
            return true;
        });
        Child<QPushButton>(search, "Browse")->click();
    };
    choose("Почта");
    EXPECT_EQ(current, "bnk"); // first opening: the whole bank
    EXPECT_EQ(offered, (std::vector<std::string>{"Банк данных: " + bankPath, "Корневая запись",
                                                 "Работа", "Дом", "Хранилище паролей", "Почта"}));
    EXPECT_EQ(start->text(), QStringLiteral("Папки паролей: Почта"));
    choose("Работа");
    EXPECT_EQ(current, MakeItemKey("pwd", mail->item.uid)); // reopened on the last choice
    EXPECT_EQ(start->text(), QStringLiteral("Записи: Работа"));

    // The search starts there.
    Search(search, "план");
    EXPECT_EQ(Keys(search.Grid()), (std::vector<std::string>{MakeItemKey("rec", work->item.uid)}));
    choose(("Банк данных: " + bankPath).c_str());
    EXPECT_EQ(start->text(), QString::fromStdString("Банк данных: " + bankPath));
    // Cancelled: the start stays.
    search.SetChooserRunner([](BankSelectDlg&) { return false; });
    Child<QPushButton>(search, "Browse")->click();
    EXPECT_EQ(search.Criteria().startKey, "bnk");
    EXPECT_TRUE(
        settings.RawValue(QStringLiteral("Window State Data"), QStringLiteral("BankSelectDlg"))
            .size() == 32);

    // Reopened, the window keeps the criteria but starts at the bank, without size filter.
    choose("Работа");
    Child<QCheckBox>(search, "SizeFilter")->setChecked(true);
    Child<QCheckBox>(search, "CaseSensitive")->setChecked(true);
    search.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(
        settings.RawValue(QStringLiteral("Window State Data"), QStringLiteral("BankSearchDlg"))
            .size(),
        32);
    EXPECT_TRUE(settings.LoadListLayout(QStringLiteral("BankSearchDlg.ResultGrid")));
    BankSearchDlg& again = OpenSearch();
    EXPECT_EQ(again.Criteria().startKey, "bnk");
    EXPECT_EQ(Child<QLineEdit>(again, "StartNode")->text(),
              QString::fromStdString("Банк данных: " + bankPath));
    EXPECT_FALSE(Child<QCheckBox>(again, "SizeFilter")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(again, "CaseSensitive")->isChecked());
    EXPECT_EQ(Child<QComboBox>(again, "SearchText")->currentText(), QStringLiteral("план"));
    EXPECT_EQ(Child<QComboBox>(again, "SearchText")->count(), 1); // the history came back
}

TEST_F(FindWindowsTest, AnotherBankOpenedWhileTheWindowsAreOpenReplacesWhatTheyShow) {
    // A second bank with words of its own, and its index stored.
    const std::string otherPath = OtherBank("zeta");
    AddRecord("Первая", "alpha", "alpha body");
    dialogs.answers = {QMessageBox::Yes};
    BankIndexDlg& index = OpenIndex();
    ASSERT_EQ(index.Words().RowCount(), 1);
    index.Words().SetChecked(0, true);
    ASSERT_EQ(index.Grid().RowCount(), 1);
    BankSearchDlg& search = OpenSearch();
    Search(search, "alpha");
    ASSERT_EQ(search.Rows().size(), 1u);

    // A save changes nothing in them.
    ASSERT_TRUE(doc.Save().ok());
    QApplication::processEvents();
    EXPECT_EQ(index.Grid().RowCount(), 1);
    EXPECT_EQ(search.Rows().size(), 1u);

    ASSERT_TRUE(doc.OnOpenDocument(otherPath).ok());
    QApplication::processEvents();
    EXPECT_EQ(search.Rows().size(), 0u);
    EXPECT_EQ(search.Grid().RowCount(), 0);
    EXPECT_EQ(Child<QLineEdit>(search, "StartNode")->text(),
              QString::fromStdString("Банк данных: " + otherPath));
    ASSERT_EQ(index.Words().RowCount(), 1);
    EXPECT_EQ(index.Words().Text(0, 0), QStringLiteral("zeta"));
    EXPECT_EQ(index.Grid().RowCount(), 0);
}

TEST_F(FindWindowsTest, ABankOpenedDuringASearchLeavesNoRowsOfTheOldOne) {
    for (int i = 0; i < 30; ++i)
        AddRecord(("Запись " + std::to_string(i)).c_str(), "", "общее слово");
    ASSERT_TRUE(doc.Save().ok());
    const std::string otherPath = OtherBank("zeta");
    BankSearchDlg& search = OpenSearch();
    search.SearchProgress().SetPumpInterval(0);
    // The user opens another bank from the main window while the walk shows its first rows.
    bool armed = true;
    QObject::connect(&search.Grid().Model(), &QAbstractItemModel::rowsInserted, &search, [&] {
        if (std::exchange(armed, false))
            QTimer::singleShot(0, &search,
                               [&] { EXPECT_TRUE(doc.OnOpenDocument(otherPath).ok()); });
    });
    Search(search, "общее");
    ASSERT_FALSE(armed);
    // The rows of the old bank would lead to whatever has their UIDs in the new one.
    EXPECT_EQ(search.Rows().size(), 0u);
    EXPECT_EQ(search.Grid().RowCount(), 0);
    EXPECT_FALSE(search.GoToSelected());
    EXPECT_EQ(search.Criteria().startKey, "bnk");
    EXPECT_EQ(Child<QLineEdit>(search, "StartNode")->text(),
              QString::fromStdString("Банк данных: " + otherPath));
    EXPECT_FALSE(search.Searching());
    EXPECT_TRUE(Child<QPushButton>(search, "Search")->isEnabled());
    // The next search is of the new bank.
    Search(search, "общее");
    EXPECT_EQ(search.Rows().size(), 0u);
}

TEST_F(FindWindowsTest, AnIndexBuildCancelledOrOverrunByAnotherBankStoresNothing) {
    TreeNode* r = AddRecord("Первая", "alpha");
    ASSERT_TRUE(doc.Save().ok());
    const std::string otherPath = OtherBank("zeta");
    dialogs.answers = {QMessageBox::Yes};
    BankIndexDlg& index = OpenIndex();
    ASSERT_EQ(Listed(index.Words()), QStringList{QStringLiteral("alpha")});
    index.SetPumpInterval(0);
    QWidget* panel = Child<QWidget>(index, "Panel");
    r->item.keywords = A("beta");

    // Cancel in the progress window: the stored index comes back, without a message; while
    // the build ran the window's controls could not be used.
    std::optional<bool> panelEnabled;
    QTimer::singleShot(0, &index, [&] {
        auto* progress = index.findChild<IndexProgressDlg*>(QStringLiteral("IndexProgressDlg"));
        ASSERT_TRUE(progress);
        panelEnabled = panel->isEnabled();
        EXPECT_TRUE(index.Busy());
        progress->CancelButton()->click();
    });
    dialogs.answers = {QMessageBox::Yes};
    Child<QPushButton>(index, "Rebuild")->click();
    EXPECT_EQ(panelEnabled, std::optional<bool>(false));
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_FALSE(index.findChild<IndexProgressDlg*>());
    EXPECT_EQ(Listed(index.Words()), QStringList{QStringLiteral("alpha")});
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(StoredWords(bankPath), std::vector<std::string>{"alpha"});

    // Another bank opened from the main window during the build: the build's words go into
    // neither bank, and the window shows the new bank's index.
    QTimer::singleShot(0, &index, [&] { EXPECT_TRUE(doc.OnOpenDocument(otherPath).ok()); });
    dialogs.answers = {QMessageBox::Yes};
    Child<QPushButton>(index, "Rebuild")->click();
    QApplication::processEvents();
    EXPECT_EQ(doc.path().string(), otherPath);
    EXPECT_EQ(Listed(index.Words()), QStringList{QStringLiteral("zeta")});
    EXPECT_EQ(index.Grid().RowCount(), 0);
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(StoredWords(otherPath), std::vector<std::string>{"zeta"});
    EXPECT_EQ(StoredWords(bankPath), std::vector<std::string>{"alpha"});
    // Ticks query the new bank.
    index.Words().SetChecked(0, true);
    EXPECT_EQ(index.Grid().RowCount(), 1);
}

TEST_F(FindWindowsTest, TabReachesEveryControlOfBothWindows) {
    AddRecord("Первая", "alpha");
    AddRecord("Вторая", "alpha");
    dialogs.answers = {QMessageBox::Yes};
    BankSearchDlg& search = OpenSearch();
    BankIndexDlg& index = OpenIndex();
    // Rows in both grids: Tab must leave a grid at once, not walk its cells.
    Search(search, "alpha");
    index.Words().SetChecked(0, true);
    ASSERT_EQ(search.Grid().RowCount(), 2);
    ASSERT_EQ(index.Grid().RowCount(), 2);
    for (QWidget* window : {static_cast<QWidget*>(&search), static_cast<QWidget*>(&index)}) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        // The controls a user works with that are enabled now; a group of radio buttons is
        // entered at one of them (the arrow keys move within the group).
        QSet<QWidget*> controls;
        QSet<QWidget*> radios;
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const bool interactive = qobject_cast<QAbstractButton*>(w) ||
                                     qobject_cast<QComboBox*>(w) || qobject_cast<QSpinBox*>(w) ||
                                     qobject_cast<QAbstractItemView*>(w);
            if (interactive && w->isEnabled() && w->isVisibleTo(window) && !PartOfAControl(w))
                (qobject_cast<QRadioButton*>(w) ? radios : controls).insert(w);
        }
        ASSERT_GE(controls.size(), 6) << window->objectName().toStdString();
        QSet<QWidget*> reached;
        for (int presses = 0; presses < 40; ++presses) {
            QWidget* focused = QApplication::focusWidget();
            ASSERT_TRUE(focused);
            ASSERT_EQ(focused->window(), window);
            for (QWidget* up = focused; up && up != window; up = up->parentWidget())
                if (controls.contains(up) || radios.contains(up))
                    reached.insert(up);
            QTest::keyClick(focused, Qt::Key_Tab);
            EXPECT_NE(QApplication::focusWidget(), focused) << focused->objectName().toStdString();
        }
        for (QWidget* control : controls)
            EXPECT_TRUE(reached.contains(control))
                << window->objectName().toStdString() << " " << control->objectName().toStdString();
        EXPECT_EQ(radios.isEmpty(), !reached.intersects(radios));
    }
}

} // namespace
} // namespace kelvo
