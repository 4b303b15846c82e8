// The bank search walk: one row per object, folders as a whole or as entries, the size
// filter's boundaries, nested or not, stop, and objects deleted while events are handled.
#include "search/BankSearch.h"
#include "SearchTestBank.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace {
AnsiString Mark(const AnsiString& s) {
    return kMarkBegin + s + kMarkEnd;
}

std::vector<AnsiString> Keys(const ResultRows& rows) {
    std::vector<AnsiString> keys;
    for (const ResultRow& row : rows.rows())
        keys.push_back(row.key);
    return keys;
}

SearchCriteria Criteria(const char* text) {
    SearchCriteria c;
    c.text = A(text);
    return c;
}

// A progress window that always has an event waiting; the events are counted, may change
// the bank (onDispatch) and press Stop (stopAt).
struct Recorder : Progress {
    std::vector<std::string> statuses;
    int dispatches = 0, stopAt = -1, steps = 0;
    std::size_t range = 0;
    bool finished = false;
    BankSearch* search = nullptr;
    std::function<void(int)> onDispatch;
    bool EventsWaiting() override { return true; }
    bool CancelRequested() override {
        ++dispatches;
        if (onDispatch)
            onDispatch(dispatches);
        if (dispatches == stopAt)
            search->Stop();
        return false;
    }
    void SetStatus(std::string_view text) override { statuses.emplace_back(text); }
    void Start(std::size_t upper) override { range = upper; }
    void Step() override { ++steps; }
    void Finish() override { finished = true; }
};
} // namespace

TEST(BankSearch, OneRowPerObjectWithEveryHitMarked) {
    TestBank b;
    TreeNode* r = b.Record("Кот", "рыжий кот", "кот спит", "ничего");
    ResultRows rows;
    BankSearch search(b.bank(), rows);
    EXPECT_TRUE(search.Run(Criteria("кот")));
    ASSERT_EQ(rows.size(), 1u);
    const ResultRow& row = rows[0];
    EXPECT_EQ(row.number, 1u);
    EXPECT_EQ(row.key, "rec:00000002");
    EXPECT_EQ(row.place, A("Запись: <b>Кот</b>"));
    EXPECT_EQ(row.keywords, A("рыжий ") + Mark(A("кот")));
    EXPECT_EQ(row.notes, Mark(A("кот")) + A(" спит"));
    EXPECT_EQ(row.detail, A("<b>Текст записи:</b> ничего... (отрезано)"));
    // A body hit and a notes hit: the detail holds the found words, the keywords stay plain.
    r->item.keywords = "x";
    b.SetBody(r, A("В тексте кот."));
    EXPECT_TRUE(search.Run(Criteria("кот")));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].detail,
              A("<b>Найденные слова</b>:<p>...В тексте ") + Mark(A("кот")) + "....");
    EXPECT_EQ(rows[0].keywords, "x");
    EXPECT_EQ(rows[0].notes, Mark(A("кот")) + A(" спит"));
}

TEST(BankSearch, TimesAndRatiosFindOnlyTheNotesThatHoldThem) {
    TestBank b;
    b.Record("Встреча", "", "встреча в 12:30", "");
    b.Record("Карта", "", "масштаб 1:2", "");
    b.Record("Утро", "", "встреча в десять утра, ничего особенного", "");
    ResultRows rows;
    BankSearch search(b.bank(), rows);
    EXPECT_TRUE(search.Run(Criteria("12:30")));
    EXPECT_EQ(Keys(rows), std::vector<AnsiString>{"rec:00000002"});
    EXPECT_EQ(rows[0].notes, A("встреча в ") + Mark("12:30"));
    EXPECT_TRUE(search.Run(Criteria("1:2")));
    EXPECT_EQ(Keys(rows), std::vector<AnsiString>{"rec:00000003"});
    EXPECT_EQ(rows[0].notes, A("масштаб ") + Mark("1:2"));
    EXPECT_TRUE(search.Run(Criteria("7:45")));
    EXPECT_TRUE(rows.empty());
}

TEST(BankSearch, FoldersAsAWholeOrAsEntries) {
    TestBank b;
    TreeNode* mail = b.Folder("Почта", "почта");
    b.Entry(mail, "Первый", "ivan");
    b.Entry(mail, "Второй", "ivan");
    b.Entry(b.rootFolder, "Чужой", "petr");
    ResultRows rows;
    BankSearch search(b.bank(), rows);
    EXPECT_TRUE(search.Run(Criteria("ivan")));
    EXPECT_EQ(Keys(rows), std::vector<AnsiString>{"pwd:00000002"});
    EXPECT_EQ(rows[0].place, A("Папка паролей: <b>Почта<b>"));
    EXPECT_EQ(rows[0].detail.rfind(A("<b>Найденные слова</b>:<p>..."), 0), 0u);

    SearchCriteria split = Criteria("ivan");
    split.folderAsWhole = false;
    EXPECT_TRUE(search.Run(split));
    EXPECT_EQ(Keys(rows), (std::vector<AnsiString>{"pit:00000001", "pit:00000002"}));
    EXPECT_EQ(rows[0].place, A("Пароль: <b>Первый<b>"));
    EXPECT_EQ(rows[0].keywords, A("(Не поддерживается для пароля)"));
    // Split folders are not searched themselves: their keywords give nothing.
    split.text = A("почта");
    EXPECT_TRUE(search.Run(split));
    EXPECT_TRUE(rows.empty());
    // Keywords only never lists entries.
    SearchCriteria keywordsOnly = Criteria("почта");
    keywordsOnly.inData = keywordsOnly.inNotes = false;
    EXPECT_TRUE(search.Run(keywordsOnly));
    EXPECT_EQ(Keys(rows), std::vector<AnsiString>{"pwd:00000002"});
    EXPECT_EQ(rows[0].detail.rfind(A("<b>Содержимое папки:</b> [Пароль]<p>"), 0), 0u);
}

TEST(BankSearch, SizeFilterBoundaries) {
    TestBank b;
    const char* names[] = {"1023", "2048", "3071", "3072"};
    for (const char* name : names) {
        TreeNode* r = b.Record(name);
        b.SetBody(r, "word", static_cast<std::uint64_t>(std::stoi(name)));
    }
    auto run = [&](SizeCompare compare, int value) {
        ResultRows rows;
        BankSearch search(b.bank(), rows);
        SearchCriteria c = Criteria("word");
        c.sizeFilter = true;
        c.sizeCompare = compare;
        c.sizeValue = value;
        EXPECT_TRUE(search.Run(c));
        std::vector<std::uint32_t> sizes;
        for (const ResultRow& row : rows.rows())
            sizes.push_back(row.sizeKb);
        return sizes;
    };
    EXPECT_EQ(run(SizeCompare::Less, 1), std::vector<std::uint32_t>{0});
    EXPECT_EQ(run(SizeCompare::Equal, 2), (std::vector<std::uint32_t>{2, 2}));
    EXPECT_EQ(run(SizeCompare::Greater, 2), std::vector<std::uint32_t>{3});
    // A body's size counts its low 32 bits only.
    TestBank big;
    b.SetBody(big.Record("big"), "word", (1ull << 32) + 2048);
    EXPECT_EQ(SizeInKb((1ull << 32) + 2048), 2u);
}

TEST(BankSearch, StartNodeAndNesting) {
    TestBank b;
    b.rootRecord->item.keywords = "w";
    TreeNode* a = b.Record("a", "w");
    b.Record("a1", "w", "", "", a);
    b.Record("b", "w");
    b.rootFolder->item.keywords = "w";
    b.Folder("f", "w");
    ResultRows rows;
    BankSearch search(b.bank(), rows);
    EXPECT_TRUE(search.Run(Criteria("w")));
    EXPECT_EQ(Keys(rows),
              (std::vector<AnsiString>{"rec:00000001", "rec:00000002", "rec:00000003",
                                       "rec:00000004", "pwd:00000001", "pwd:00000002"}));
    SearchCriteria c = Criteria("w");
    c.nested = false;
    EXPECT_TRUE(search.Run(c));
    EXPECT_EQ(Keys(rows), (std::vector<AnsiString>{"rec:00000001", "pwd:00000001"}));
    c.startKey = "rec:00000002";
    EXPECT_TRUE(search.Run(c));
    EXPECT_EQ(Keys(rows), std::vector<AnsiString>{"rec:00000002"});
    c.nested = true;
    EXPECT_TRUE(search.Run(c));
    EXPECT_EQ(Keys(rows), (std::vector<AnsiString>{"rec:00000002", "rec:00000003"}));
    // Start nodes that name nothing find nothing.
    for (const char* key : {"rec:00000063", "", "pit:00000001", "xyz"}) {
        c.startKey = key;
        EXPECT_TRUE(search.Run(c));
        EXPECT_TRUE(rows.empty()) << key;
    }
}

TEST(BankSearch, StatusProgressAndStop) {
    TestBank b;
    for (int i = 0; i < 5; ++i)
        b.Record("Запись", "w");
    ResultRows rows;
    Recorder watch;
    BankSearch search(b.bank(), rows, &watch);
    watch.search = &search;
    EXPECT_TRUE(search.Run(Criteria("w")));
    EXPECT_EQ(watch.range, 7u); // 6 records, 1 folder, no entries
    EXPECT_EQ(watch.steps, 7);
    EXPECT_EQ(watch.dispatches, 14);
    EXPECT_EQ(watch.statuses.front(), "Выполняется поиск...");
    EXPECT_EQ(watch.statuses[1], "Поиск в объекте: Запись: Корневая запись");
    EXPECT_EQ(watch.statuses.back(), "Поиск завершен. Просмотр результатов.");
    EXPECT_TRUE(watch.finished);
    EXPECT_EQ(rows.size(), 5u);

    // Stopped during the fourth object: the rows found so far stay.
    Recorder stopper;
    BankSearch stopped(b.bank(), rows, &stopper);
    stopper.search = &stopped;
    stopper.stopAt = 8;
    EXPECT_FALSE(stopped.Run(Criteria("w")));
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_EQ(stopper.dispatches, 8);
    EXPECT_EQ(stopper.statuses.back(), "Поиск завершен. Просмотр результатов.");

    // A progress window whose Stop button was pressed stops the search the same way.
    struct StopButton : Progress {
        int asked = 0;
        bool CancelRequested() override { return ++asked >= 8; }
    } button;
    BankSearch byButton(b.bank(), rows, &button);
    EXPECT_FALSE(byButton.Run(Criteria("w")));
    EXPECT_EQ(rows.size(), 2u);
}

TEST(BankSearch, ObjectsDeletedDuringTheWalkAreSkipped) {
    TestBank b;
    TreeNode* a = b.Record("a", "w");
    b.Record("a1", "w", "", "", a);
    TreeNode* c = b.Record("c", "w");
    TreeNode* f = b.Folder("f");
    b.Entry(f, "e", "w");
    ResultRows rows;
    Recorder watch;
    BankSearch search(b.bank(), rows, &watch);
    watch.search = &search;
    watch.onDispatch = [&](int n) {
        if (n == 4) { // between composing record a and matching it
            b.records.Remove(a);
            b.records.Remove(c);
            b.folders.Remove(f);
        }
    };
    EXPECT_TRUE(search.Run(Criteria("w")));
    EXPECT_TRUE(rows.empty());
}

TEST(BankSearch, CaseAndWholeWords) {
    TestBank b;
    b.Record("r", "", "", "Рыжий КОТ спит");
    b.Record("s", "", "", "котёнок");
    ResultRows rows;
    BankSearch search(b.bank(), rows);
    EXPECT_TRUE(search.Run(Criteria("кот")));
    EXPECT_EQ(rows.size(), 2u);
    SearchCriteria c = Criteria("кот");
    c.caseSensitive = true;
    EXPECT_TRUE(search.Run(c));
    EXPECT_EQ(Keys(rows), std::vector<AnsiString>{"rec:00000003"});
    c.caseSensitive = false;
    c.wholeWords = true;
    EXPECT_TRUE(search.Run(c));
    EXPECT_EQ(Keys(rows), std::vector<AnsiString>{"rec:00000002"});
}

TEST(BankSearch, BodiesAreReadOnlyWhenNeeded) {
    TestBank b;
    b.Record("a", "w", "", "body w");
    b.Record("b", "", "", "body w");
    ResultRows rows;
    BankSearch search(b.bank(), rows);
    SearchCriteria c = Criteria("w");
    c.inData = false;
    EXPECT_TRUE(search.Run(c));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(b.bodies.reads, 1); // only for the row's detail and size
    EXPECT_EQ(rows[0].detail, A("<b>Текст записи:</b> body w... (отрезано)"));
}

TEST(SearchCriteria, Validation) {
    SearchCriteria c;
    EXPECT_EQ(ValidateCriteria(c).error().message, "Необходимо ввести текст для поиска!");
    c.text = "x";
    EXPECT_TRUE(ValidateCriteria(c).ok());
    for (int bad : {0, 32768, -1}) {
        c.sizeValue = bad;
        EXPECT_EQ(ValidateCriteria(c).error().message, "Введите целое число от 1 до 32767.");
    }
    EXPECT_EQ(*ParseSizeValue(" 32767 "), 32767);
    EXPECT_EQ(*ParseSizeValue("1"), 1);
    for (const char* bad : {"", "0", "32768", "1.5", "abc", "-3", "999999"})
        EXPECT_FALSE(ParseSizeValue(bad).ok()) << bad;

    // A window opened again keeps what the user chose, except the size filter and the start.
    SearchCriteria kept = Criteria("w");
    kept.startKey = "rec:00000002";
    kept.nested = false;
    kept.caseSensitive = true;
    kept.sizeFilter = true;
    kept.sizeCompare = SizeCompare::Greater;
    kept.sizeValue = 7;
    kept.folderAsWhole = false;
    const SearchCriteria fresh = CriteriaForNewWindow(kept);
    EXPECT_EQ(fresh.startKey, "bnk");
    EXPECT_FALSE(fresh.sizeFilter);
    EXPECT_EQ(fresh.text, "w");
    EXPECT_FALSE(fresh.nested);
    EXPECT_TRUE(fresh.caseSensitive);
    EXPECT_EQ(fresh.sizeCompare, SizeCompare::Greater);
    EXPECT_EQ(fresh.sizeValue, 7);
    EXPECT_FALSE(fresh.folderAsWhole);
}
