// The keyword picker's rules: index words and the object's own keywords with their ticks,
// the composed keywords text and the summary.
#include "index/KeywordPicker.h"

#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "index/IndexStorage.h"
#include "index/Keywords.h"
#include "platform/storage/BankStorage.h"
#include "tests/core/BankFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvo {
namespace {

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

void AddWord(KeywordIndex& index, const char* word, std::vector<const char*> keys) {
    IdxItem& item = index.AddWord(A(word));
    for (const char* key : keys)
        item.AddReference(key);
}

std::vector<AnsiView> TickedInOrder(const KeywordPicker& picker, std::vector<std::size_t> order) {
    std::vector<AnsiView> ticked;
    for (std::size_t i : order)
        if (picker.Words()[i].ticked)
            ticked.push_back(picker.Words()[i].word);
    return ticked;
}

TEST(KeywordPickerTest, OwnKeywordsTickIndexWordsOrJoinThem) {
    KeywordIndex index;
    AddWord(index, "a", {"rec:00000001", "pwd:00000002"});
    AddWord(index, "c", {"rec:00000003"});
    KeywordPicker picker;
    picker.AddIndexWords(index);
    picker.AddKeywords("b, a");
    ASSERT_EQ(picker.size(), 3u);
    const auto& w = picker.Words();
    EXPECT_EQ(w[0].word, "a");
    EXPECT_EQ(w[0].count, 2u);
    EXPECT_TRUE(w[0].ticked);
    EXPECT_EQ(w[1].word, "c");
    EXPECT_EQ(w[1].count, 1u);
    EXPECT_FALSE(w[1].ticked);
    EXPECT_EQ(w[2].word, "b");
    EXPECT_EQ(w[2].count, 0u);
    EXPECT_TRUE(w[2].ticked);
    // Sorted by word the list reads a, b, c: OK gives "a, b".
    EXPECT_EQ(BuildKeywordsText(TickedInOrder(picker, {0, 2, 1})), "a, b");
    EXPECT_EQ(picker.ShownWords(true), (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(picker.ShownWords(false).size(), 3u);

    // Exact comparison: another case is another word; blanks around a keyword do not count,
    // empty keywords are skipped, a repeated keyword ticks the same word.
    picker.AddKeywords(A("A, ,  c  , b, \"x, y\""));
    ASSERT_EQ(picker.size(), 5u);
    EXPECT_EQ(picker.Words()[3].word, "A");
    EXPECT_TRUE(picker.Words()[1].ticked);
    EXPECT_EQ(picker.Words()[4].word, "x, y");
    picker.SetTicked(0, false);
    EXPECT_FALSE(picker.Words()[0].ticked);
}

TEST(KeywordPickerTest, ADamagedIndexWithRepeatedWordsTicksTheFirst) {
    KeywordIndex index;
    index.Append(std::make_unique<IdxItem>(1, "w"));
    index.Append(std::make_unique<IdxItem>(2, "w"));
    KeywordPicker picker;
    picker.AddIndexWords(index);
    picker.AddKeywords("w");
    ASSERT_EQ(picker.size(), 2u);
    EXPECT_TRUE(picker.Words()[0].ticked);
    EXPECT_FALSE(picker.Words()[1].ticked);
}

TEST(KeywordPickerTest, ComposedTextQuotesCommaWordsAndSplitsBack) {
    const AnsiString text = BuildKeywordsText({"x, y", "z", "", "w"});
    EXPECT_EQ(text, "\"x, y\", z, w");
    EXPECT_EQ(SplitKeywords(text), (std::vector<AnsiString>{"x, y", "z", "w"}));
    EXPECT_EQ(BuildKeywordsText({}), "");
    EXPECT_EQ(BuildKeywordsText({""}), ""); // a lone empty word gives no ", "

    EXPECT_EQ(PickerSummary(2, 5, "a, b"), A("Выбрано 2 слов из 5:\na, b"));
    EXPECT_EQ(PickerSummary(0, 0, ""), A("Выбрано 0 слов из 0:\n"));
}

TEST(KeywordPickerTest, LoadsTheStoredIndexOfTheBank) {
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument().ok());
    KeywordPicker picker;
    picker.AddKeywords("stale");
    // A bank without an index: none found, nothing kept from before.
    const Result<bool> none = LoadPickerWords(doc, picker);
    ASSERT_TRUE(none);
    EXPECT_FALSE(*none);
    EXPECT_EQ(picker.size(), 0u);

    KeywordIndex index;
    AddWord(index, "дом", {"rec:00000001", "rec:00000002", "pwd:00000001"});
    AddWord(index, "сад", {});
    {
        auto root = doc.WorkingStorage();
        ASSERT_TRUE(root);
        ASSERT_TRUE(SaveIndex(index, *root).ok());
    }
    const Result<bool> found = LoadPickerWords(doc, picker);
    ASSERT_TRUE(found && *found);
    ASSERT_EQ(picker.size(), 2u);
    EXPECT_EQ(picker.Words()[0].word, A("дом"));
    EXPECT_EQ(picker.Words()[0].count, 3u);
    EXPECT_EQ(picker.Words()[1].count, 0u);
    EXPECT_FALSE(picker.Words()[0].ticked);

    // A bank file held by another program cannot be read: an error, not "no index".
    test::TempFolder dir;
    ASSERT_TRUE(doc.SaveAs(dir / "b.Kvb").ok());
    auto held = OpenOrCreateBankFile(dir / "b.Kvb");
    ASSERT_TRUE(held);
    const Result<bool> failed = LoadPickerWords(doc, picker);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().messageId, msg::IndexNotLoaded);
    EXPECT_EQ(picker.size(), 0u);
}

} // namespace
} // namespace kelvo
