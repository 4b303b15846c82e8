// The expression evaluator: operators and their odd precedence, phrases, groups, whole words,
// times and ratios typed as operands, case folding, the marking of matches, and malformed
// expressions.
#include "search/Expression.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {
AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

AnsiString Pos(const AnsiString& text, const AnsiString& expr, bool whole = false,
               bool fold = false) {
    return MatchExpression(text, expr, whole, fold, false, true);
}
bool Hit(const AnsiString& text, const AnsiString& expr, bool whole = false, bool fold = false) {
    return !Pos(text, expr, whole, fold).empty();
}
AnsiString Mark(const AnsiString& s) {
    return kMarkBegin + s + kMarkEnd;
}
} // namespace

TEST(MatchExpression, AdjacentOperandsActLikeOr) {
    const AnsiString red = A("красный"), blue = A("синий");
    EXPECT_TRUE(Hit(A("только красный"), red + " " + blue));
    EXPECT_TRUE(Hit(A("только синий"), red + " " + blue));
    EXPECT_FALSE(Hit(A("зелёный"), red + " " + blue));
    // Every found operand contributes its first occurrence.
    EXPECT_EQ(Pos("a b a", "a b"), "0:1 2:3");
    EXPECT_EQ(Pos("a b", "b a"), "2:3 0:1");
}

TEST(MatchExpression, OperatorsAreUpperCaseOnly) {
    const AnsiString both = A("красный и синий"), one = A("красный");
    EXPECT_TRUE(Hit(both, A("красный AND синий")));
    EXPECT_FALSE(Hit(one, A("красный AND синий")));
    // Lower-case "and" is a third operand: any one of the three is enough.
    EXPECT_TRUE(Hit(one, A("красный and синий")));
    EXPECT_TRUE(Hit("x and y", A("синий and зелёный")));
}

TEST(MatchExpression, OrBindsTighterThanAnd) {
    // a AND b OR c  ==  a AND (b OR c)
    EXPECT_TRUE(Hit("a c", "a AND b OR c"));
    EXPECT_TRUE(Hit("a b", "a AND b OR c"));
    EXPECT_FALSE(Hit("b c", "a AND b OR c"));
    EXPECT_EQ(Pos("a c", "a AND b OR c"), "0:1 2:3");
    EXPECT_TRUE(Hit("b c", "a OR b AND c"));
    EXPECT_FALSE(Hit("c", "a OR b AND c"));
}

TEST(MatchExpression, Groups) {
    EXPECT_TRUE(Hit("b c", "(a OR b) AND c"));
    EXPECT_TRUE(Hit("a c", "(a OR b) AND c"));
    EXPECT_FALSE(Hit("a b", "(a OR b) AND c"));
    EXPECT_FALSE(Hit("c", "(a OR b) AND c"));
    // Groups override the precedence.
    EXPECT_FALSE(Hit("c", "(a AND b) OR c AND d"));
    EXPECT_TRUE(Hit("c d", "(a AND b) OR c AND d"));
    EXPECT_TRUE(Hit("x a", "((a))"));
    EXPECT_TRUE(Hit("b d", "(a OR b) AND (c OR d)"));
    EXPECT_FALSE(Hit("b", "(a OR b) AND (c OR d)"));
    EXPECT_EQ(Pos("xx a", "(a)AND(a)"), "3:4 3:4");
}

TEST(MatchExpression, Phrases) {
    const AnsiString text = A("цвет тёмно-синий и светлый");
    EXPECT_TRUE(Hit(text, A("\"тёмно-синий\"")));
    EXPECT_EQ(Pos("x a b y", "\"a  b\""), "2:5");
    EXPECT_TRUE(Hit("x a b y", "\"x a\" AND \"b y\""));
    EXPECT_FALSE(Hit("x ab y", "\"a b\""));
    // Parentheses inside a phrase get spaces around them, like everywhere else.
    EXPECT_FALSE(Hit("a (b) c", "\"a (b) c\""));
    EXPECT_TRUE(Hit("a ( b ) c", "\"a (b) c\""));
    // A quoted AND is still the operator; alone it is looked up as a word.
    EXPECT_TRUE(Hit("x AND y", "\"AND\""));
    EXPECT_FALSE(Hit("x y", "\"AND\""));
}

TEST(MatchExpression, WholeWords) {
    const AnsiString cat = A("кот");
    EXPECT_TRUE(Hit(A("рыжий кот спит"), cat, true));
    EXPECT_FALSE(Hit(A("котёнок"), cat, true));
    EXPECT_FALSE(Hit(A("кот, рыжий"), cat, true));
    EXPECT_TRUE(Hit(A("котёнок"), cat, false));
    // The ends of the text are word boundaries.
    EXPECT_EQ(Pos(A("кот"), cat, true), "0:3");
    EXPECT_EQ(Pos(A("кот спит"), cat, true), "0:3");
    EXPECT_EQ(Pos(A("рыжий кот"), cat, true), "6:9");
    // The first accepted occurrence, after rejected ones.
    EXPECT_EQ(Pos(A("котик кот"), cat, true), "6:9");
}

TEST(MatchExpression, CaseFoldingCoversCyrillic) {
    EXPECT_TRUE(Hit(A("Привет, МИР"), A("мир"), false, true));
    EXPECT_FALSE(Hit(A("Привет, МИР"), A("мир"), false, false));
    EXPECT_TRUE(Hit(A("ЁЛКА"), A("ёлка"), false, true));
    EXPECT_TRUE(Hit("Hello World", "WORLD", false, true));
    EXPECT_EQ(Pos(A("abc ЯБЛОКО"), A("яблоко"), true, true), "4:10");
}

TEST(MatchExpression, TimesAndRatiosAreSearchedAsText) {
    // A typed operand shaped like a position pair is a word like any other: it matches only
    // where it stands, and never marks characters elsewhere.
    const AnsiString meeting = A("встреча в 12:30, потом обед");
    EXPECT_EQ(Pos(meeting, "12:30"), "10:15");
    EXPECT_EQ(Pos(A("встреча в десять утра, ничего особенного"), "12:30"), "");
    EXPECT_EQ(Pos(A("масштаб 1:2"), "1:2"), "8:11");
    EXPECT_EQ(Pos(A("масштаб 1:3"), "1:2"), "");
    EXPECT_FALSE(Hit("x", "12:30 AND x"));
    EXPECT_TRUE(Hit("x 12:30", "12:30 AND x"));
    EXPECT_FALSE(Hit("x", "(12:30) OR (1:2)"));
    EXPECT_EQ(Pos("1:2 12:30", "(12:30) OR (1:2)"), "4:9 0:3");
    EXPECT_TRUE(Hit("at 1:2:3", "1:2:3"));
    EXPECT_FALSE(Hit("abc", "1:2:3"));
    // The marked text holds the operand itself, in the whole text and in excerpts.
    const AnsiString text = AnsiString(12, 'x') + " 12:30 " + AnsiString(20, 'x');
    EXPECT_EQ(MatchExpression(text, "12:30", false, false, true, false),
              AnsiString(12, 'x') + " " + Mark("12:30") + " " + AnsiString(20, 'x'));
    EXPECT_EQ(MatchExpression(AnsiString(40, 'x'), "12:30", false, false, true, false), "");
    EXPECT_EQ(MatchExpression(AnsiString(40, 'x'), "12:30", false, false, false, false), "");
}

TEST(MatchExpression, MalformedExpressionsEnd) {
    // Operators without an operand on a side are dropped.
    EXPECT_EQ(Pos("a", "OR a"), "0:1");
    EXPECT_EQ(Pos("a", "a AND"), "0:1");
    EXPECT_EQ(Pos("a b", "a AND AND b"), "0:1 2:3");
    EXPECT_EQ(Pos("a b", "a AND OR b"), "0:1 2:3");
    EXPECT_EQ(Pos("a", "AND OR"), "");
    // A lone operator is a word.
    EXPECT_EQ(Pos("x AND", "AND"), "2:5");
    // Sibling groups pair as written; stray parentheses are dropped.
    EXPECT_TRUE(Hit("b", "(a) OR (b)"));
    EXPECT_FALSE(Hit("b", "(a) AND (b)"));
    EXPECT_EQ(Pos("a b", ") a ("), "0:1");
    EXPECT_EQ(Pos("a b", "((a OR b"), "0:1 2:3");
    EXPECT_EQ(Pos("a", "()"), "");
    EXPECT_EQ(Pos("a", "a ()"), "0:1");
    // Unclosed phrases are dropped with what follows their quote.
    EXPECT_EQ(Pos("a b", "\"a b"), "");
    EXPECT_EQ(Pos("x a b", "x \"a b"), "0:1");
    // Empty input.
    EXPECT_EQ(Pos("", "a"), "");
    EXPECT_EQ(Pos("a", ""), "");
    EXPECT_EQ(Pos("a", "   "), "");
}

TEST(HighlightMatches, WholeTextMarksEveryRange) {
    const AnsiString kw = A("отпуск, море");
    EXPECT_EQ(MatchExpression(kw, A("море"), false, false, true, false),
              A("отпуск, ") + Mark(A("море")));
    EXPECT_EQ(HighlightMatches("abcdef", "4:5 0:2", true), Mark("ab") + "cd" + Mark("e") + "f");
    // Empty ranges are not marked; overlapping ones are marked as their union.
    EXPECT_EQ(HighlightMatches("abcdef", "1:1", true), "abcdef");
    EXPECT_EQ(HighlightMatches("abcdef", "1:3 2:5", true), "a" + Mark("bcde") + "f");
    EXPECT_EQ(HighlightMatches("abc", "", true), "");
    EXPECT_EQ(HighlightMatches("", "0:1", true), "");
}

TEST(HighlightMatches, ExcerptsWithTheDefaultLength) {
    // A 4-character match at offset 10: the context of (350 - 4) / 2 = 173 reaches before the
    // start, so all 10 characters before it are shown, then 173 after it.
    AnsiString text(10, 'p');
    text += "WORD";
    text += AnsiString(500, 's');
    AnsiString excerpt = MatchExpression(text, "WORD", false, false, false, false);
    EXPECT_EQ(excerpt, "..." + AnsiString(10, 'p') + Mark("WORD") + AnsiString(173, 's') + "...");
    // Two ranges share the length: (175 - 1) / 2 = 87 characters of context each.
    AnsiString two = AnsiString(200, '-') + "a" + AnsiString(200, '-') + "b" + AnsiString(5, '-');
    EXPECT_EQ(HighlightMatches(two, "401:402 200:201", false),
              "..." + AnsiString(87, '-') + Mark("a") + AnsiString(87, '-') + "...\n" + "..." +
                  AnsiString(87, '-') + Mark("b") + AnsiString(5, '-') + "...");
    // A range longer than the share has no context and no dots.
    EXPECT_EQ(HighlightMatches("abcdef", "1:5", false, 4), Mark("bcde"));
}

TEST(HighlightMatches, ToleratesDamagedPositionLists) {
    EXPECT_EQ(HighlightMatches("abc", "x 5:abc 2:1 1:99999999999999999999999", true),
              "a" + Mark("bc"));
    EXPECT_EQ(HighlightMatches("abc", "  0:1   ", true), Mark("a") + "bc");
    EXPECT_EQ(HighlightMatches("abc", "junk", false), "");
}
