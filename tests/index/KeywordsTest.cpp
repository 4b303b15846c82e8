// Keyword splitting (commas, quoted phrases, line breaks) and item keys.
#include "index/Keywords.h"
#include "index/ItemKey.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {
using List = std::vector<AnsiString>;
AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}
} // namespace

TEST(SplitKeywords, CutsAtCommasAndKeepsCase) {
    EXPECT_EQ(SplitKeywords(" Alpha ,alpha, ALPHA"), (List{"Alpha", "alpha", "ALPHA"}));
    EXPECT_EQ(SplitKeywords(A("Работа, работа")), (List{A("Работа"), A("работа")}));
    EXPECT_EQ(SplitKeywords("a,,b"), (List{"a", "b"}));
    EXPECT_EQ(SplitKeywords(""), List{});
    // A leading comma gives no keywords at all.
    EXPECT_EQ(SplitKeywords(", a, b"), List{});
}

TEST(SplitKeywords, QuotedPhrasesHoldCommas) {
    EXPECT_EQ(SplitKeywords("alpha, \"beta, gamma\", delta"),
              (List{"alpha", "beta, gamma", "delta"}));
    EXPECT_EQ(SplitKeywords("\"a, b\", c"), (List{"a, b", "c"}));
    EXPECT_EQ(SplitKeywords("\"single\""), (List{"single"}));
    // Never closed: the phrase and everything after its opening quote are dropped.
    EXPECT_EQ(SplitKeywords("x, \"a, b"), (List{"x"}));
    // A quote that does not open a phrase stays part of the keyword.
    EXPECT_EQ(SplitKeywords("ab\"c, d\""), (List{"ab\"c", "d\""}));
    // A lone quote opens and closes at once: an empty keyword the build skips.
    EXPECT_EQ(SplitKeywords("a, \", b"), (List{"a", "", "b"}));
    // A second opening quote restarts the phrase.
    EXPECT_EQ(SplitKeywords("\"a, \"b, c\""), (List{"b, c"}));
    // Outer white space inside the quotes stays for the caller to trim.
    EXPECT_EQ(SplitKeywords("\" a , b \""), (List{" a, b "}));
}

TEST(SplitKeywords, LineBreaksAndTabsBecomeSpaces) {
    EXPECT_EQ(SplitKeywords("a\r\nb"), (List{"a b"}));
    EXPECT_EQ(SplitKeywords("a\tb, c\rd"), (List{"a b", "cd"}));
    EXPECT_EQ(SplitKeywords("a,\r\nb"), (List{"a", "b"}));
}

TEST(ItemKey, ComposesAndParses) {
    EXPECT_EQ(MakeItemKey("rec", 12), "rec:0000000C");
    EXPECT_EQ(MakeItemKey("pit", 0xFFFFFFFE), "pit:FFFFFFFE");
    auto k = ParseItemKey("PWD:0000000a");
    EXPECT_EQ(k.type, "pwd");
    EXPECT_EQ(k.uid, 10u);
    EXPECT_EQ(ParseItemKey("bnk").type, "bnk");
    EXPECT_EQ(ParseItemKey("bnk").uid, 0u);
    EXPECT_EQ(ParseItemKey("").type, "");
    EXPECT_EQ(ParseItemKey("rec:zz").uid, 0u);
}
