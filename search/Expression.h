// The search expression language: words and quoted phrases combined with AND, OR and
// parentheses, matched against a text into a list of found positions, and the marking of
// those positions in the markup the result grid draws.
#pragma once

#include "platform/text/Ansi.h"

#include <vector>

namespace kelvo {

/// The markup that wraps a found range.
inline constexpr char kMarkBegin[] = "<font color=#0000FF><b>";
inline constexpr char kMarkEnd[] = "</b></font>";
/// Excerpt length used when HighlightMatches is given -1.
inline constexpr int kDefaultExcerptLength = 350;

enum class TokenType { Open, Close, And, Or, Operand };

struct ExpressionToken {
    TokenType type = TokenType::Operand;
    AnsiString text;
};

/// Cuts an expression into tokens: parentheses are set apart by spaces, the text is cut at
/// spaces, quoted phrases are joined (several spaces inside a phrase shrink to one, a phrase
/// never closed is dropped), then each token is typed: "(" and ")" by their first character,
/// "AND" and "OR" (upper case only, even when quoted) by exact comparison, anything else is
/// an operand.
std::vector<ExpressionToken> TokenizeExpression(AnsiView expression);

/// A tokenised expression, matched against many texts (the bank search matches the same
/// expression against every object).
///
/// Evaluation: groups are evaluated innermost first into position lists; every operand is
/// looked up in the text (its first occurrence, or first whole-word occurrence); then OR
/// binds first and AND after it, so "a AND b OR c" means "a AND (b OR c)"; operands written
/// next to each other without an operator act like OR. Every operand the user typed is
/// searched as text, also one shaped like a position pair (a time "12:30", a ratio "1:2");
/// only the results evaluated inside the expression are position lists.
///
/// Malformed input always ends: a parenthesis without its partner is dropped, an operator
/// without an operand on either side is dropped, and sibling groups ("(a) OR (b)") are
/// paired as written. A lone operator ("AND") is looked up as a word.
class SearchExpression {
public:
    explicit SearchExpression(AnsiView expression);

    /// True when the expression is empty (it then matches nothing).
    bool empty() const { return m_empty; }
    const std::vector<ExpressionToken>& tokens() const { return m_tokens; }

    /// The position list of the expression in `text`: "start:end" pairs (end just after the
    /// match) separated by spaces; empty when the expression is false for the text.
    /// `wholeWords` accepts only occurrences with a space or an end of the text on both sides.
    AnsiString Positions(AnsiView text, bool wholeWords, bool caseInsensitive) const;

    /// HighlightMatches of the position list: the marked text (`wholeText`) or excerpts
    /// around each match; empty when the expression is false for the text.
    AnsiString Match(AnsiView text, bool wholeWords, bool caseInsensitive, bool wholeText) const;

private:
    std::vector<ExpressionToken> m_tokens;
    bool m_empty = true;
};

/// The evaluator in one call: with `leaf` set the position list, otherwise the marked text.
AnsiString MatchExpression(AnsiView text, AnsiView expression, bool wholeWords,
                           bool caseInsensitive, bool wholeText, bool leaf);

/// Marks the ranges of a position list in `text`. With `wholeText` the whole text comes back
/// with every non-empty range wrapped in kMarkBegin/kMarkEnd (overlapping ranges are marked
/// as their union). Otherwise each range gives an excerpt: the range marked, with up to
/// (share - range length) / 2 characters of context on each side, "..." before and after
/// when there is room for context, share being `length` (kDefaultExcerptLength for -1)
/// divided by the number of ranges; excerpts are joined by LF. Ranges are read leniently:
/// pieces that are not "number:number" are skipped, offsets are clamped to the text.
AnsiString HighlightMatches(AnsiView text, AnsiView positions, bool wholeText, int length = -1);

} // namespace kelvo
