// The index word query: candidates held by every ticked word, the filter, stale keywords,
// the marking of keywords and the row texts; and the merging of result rows.
#include "search/IndexQuery.h"
#include "SearchTestBank.h"
#include "index/IndexBuild.h"
#include "search/Expression.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace {
AnsiString Mark(const AnsiString& s) {
    return kMarkBegin + s + kMarkEnd;
}

struct QueryBank : TestBank {
    KeywordIndex index;
    ResultRows rows;
    void Build() { ASSERT_TRUE(BuildIndex(index, {records, folders})); }
    std::string Query(std::vector<AnsiString> words, KeywordFilter filter = KeywordFilter::All) {
        return QueryIndex(index, words, filter, index.size(), bank(), rows);
    }
};
} // namespace

TEST(QueryIndex, ObjectsHoldingEveryTickedWord) {
    QueryBank q;
    q.Record("one", "a");
    q.Record("two", "b, a, tail", "line 1\r\nline 2", "text of two");
    q.Record("three", "b");
    q.Build();
    EXPECT_EQ(q.Query({"a", "b"}), "Результаты для слов (всего 1): a, b");
    ASSERT_EQ(q.rows.size(), 1u);
    const ResultRow& row = q.rows[0];
    EXPECT_EQ(row.key, "rec:00000003");
    EXPECT_EQ(row.place, A("Запись: <b>two</b>"));
    EXPECT_EQ(row.keywords, Mark("b") + ", " + Mark("a") + ", t" + "ail");
    EXPECT_EQ(row.notes, "line 1<p>line 2");
    EXPECT_EQ(row.detail, A("<b>Текст записи:</b> text of two... (отрезано)"));
    // Words not in the index are left out of the query.
    EXPECT_EQ(q.Query({"zzz", "a"}), "Результаты для слов (всего 2): a");
    EXPECT_EQ(q.Query({}), "Всего слов 3. Отметьте слова для поиска.");
    EXPECT_TRUE(q.rows.empty());
    EXPECT_EQ(q.Query({"zzz"}), "Всего слов 3. Отметьте слова для поиска.");
}

TEST(QueryIndex, NoCandidatesAndTheFilter) {
    QueryBank q;
    q.Record("r", "a");
    TreeNode* f = q.Folder("Почта", "b, a");
    q.Entry(f, "e", "login");
    q.Build();
    EXPECT_EQ(q.Query({"a", "b"}, KeywordFilter::Records),
              "Совпадений для слов 'a, b' не надйено.");
    EXPECT_EQ(q.Query({"a"}, KeywordFilter::Records), "Результаты для слов (всего 1): a");
    EXPECT_EQ(q.rows[0].key, "rec:00000002");
    q.Query({"a"}, KeywordFilter::Folders);
    ASSERT_EQ(q.rows.size(), 1u);
    EXPECT_EQ(q.rows[0].place, A("Папка паролей: <b>Почта<b>"));
    EXPECT_EQ(q.rows[0].detail.rfind(A("<b>Содержимое папки:</b> [Пароль]<p>Название: e"), 0), 0u);
}

TEST(QueryIndex, StaleIndexEntriesGiveNoRow) {
    QueryBank q;
    TreeNode* r = q.Record("r", "a");
    TreeNode* gone = q.Record("gone", "a");
    q.Build();
    r->item.keywords = "b";
    q.records.Remove(gone);
    EXPECT_EQ(q.Query({"a"}), "Результаты для слов (всего 2): a");
    EXPECT_TRUE(q.rows.empty());
}

TEST(QueryIndex, MarkingAndAwkwardWords) {
    QueryBank q;
    q.Record("r", "apple, app, a (b) c, (x), AND");
    q.Build();
    q.Query({"app"});
    // The first occurrence is marked, even inside a longer keyword.
    EXPECT_EQ(q.rows[0].keywords, Mark("app") + "le, app, a (b) c, (x), AND");
    // A phrase holding a parenthesis yields no row: the evaluator spaces parentheses, so
    // "a ( b ) c" is looked for.
    EXPECT_EQ(q.Query({"a (b) c"}), "Результаты для слов (всего 1): a (b) c");
    EXPECT_TRUE(q.rows.empty());
    // A word that starts with one splits into a lone quote, a group and a lone quote: the
    // group alone decides, so "(x)" is found wherever x is.
    q.Query({"(x)"});
    ASSERT_EQ(q.rows.size(), 1u);
    EXPECT_EQ(q.rows[0].keywords, "apple, app, a (b) c, (" + Mark("x") + "), AND");
    // A word that is an operator ends and matches literally.
    q.Query({"AND"});
    ASSERT_EQ(q.rows.size(), 1u);
    EXPECT_EQ(QueryExpression({"w1", "w2"}), "\"w1\" AND \"w2\" ");
}

TEST(QueryIndex, RecordSizesRoundDown) {
    QueryBank q;
    TreeNode* small = q.Record("small", "k");
    TreeNode* two = q.Record("two", "k");
    q.SetBody(small, "x", 1023);
    q.SetBody(two, "x", 2048);
    q.Build();
    q.Query({"k"});
    ASSERT_EQ(q.rows.size(), 2u);
    EXPECT_EQ(q.rows[0].sizeKb, 0u);
    EXPECT_EQ(q.rows[1].sizeKb, 2u);
}

TEST(ResultRows, LaterHitsReplaceTheirColumn) {
    ResultRows rows;
    EXPECT_EQ(rows.AddResultRow("p\r\n1", "d\t1", "k", "n", 5, HitColumn::Detail, "rec:1"), 0u);
    EXPECT_EQ(rows.AddResultRow("p2", "d2", "k2", "n2", 9, HitColumn::Notes, "rec:1"), 0u);
    EXPECT_EQ(rows.AddResultRow("x", "d\n3", "y", "z", 1, HitColumn::Detail, "rec:1"), 0u);
    EXPECT_EQ(rows.AddResultRow("P", "D", "K", "N", 1, HitColumn::Place, "rec:1"), 0u);
    EXPECT_EQ(rows.AddResultRow("q", "e", "l", "m", 7, HitColumn::Keywords, "rec:2"), 1u);
    const ResultRow& r = rows[0];
    EXPECT_EQ(r.place, "P");
    EXPECT_EQ(r.keywords, "k");
    EXPECT_EQ(r.notes, "n2");
    EXPECT_EQ(r.detail, "d<p>3");
    EXPECT_EQ(r.sizeKb, 5u);
    EXPECT_EQ(rows[1].number, 2u);
    EXPECT_EQ(rows.Find("rec:2"), &rows[1]);
    rows.Clear();
    EXPECT_EQ(rows.Find("rec:1"), nullptr);
    EXPECT_EQ(GridText("a\r\nb\tc\rd"), "a<p>b cd");
}
