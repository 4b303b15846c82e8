// The search expression evaluator and the marking of found ranges.
#include "search/Expression.h"

#include "platform/text/ItemStream.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace kelvo {

namespace {

using FoldTable = std::array<unsigned char, 256>;

const FoldTable& IdentityTable() {
    static const FoldTable table = [] {
        FoldTable t{};
        for (int i = 0; i < 256; ++i)
            t[i] = static_cast<unsigned char>(i);
        return t;
    }();
    return table;
}

// Lower-casing of Windows-1251, Cyrillic included.
const FoldTable& LowerTable() {
    static const FoldTable table = [] {
        FoldTable t{};
        for (int i = 0; i < 256; ++i)
            t[i] = static_cast<unsigned char>(AnsiLower(static_cast<char>(i)));
        return t;
    }();
    return table;
}

// Horspool search over folded bytes: the text is never copied to change its case.
class TextFinder {
public:
    TextFinder(AnsiView needle, bool fold) : m_fold(fold ? LowerTable() : IdentityTable()) {
        m_needle.reserve(needle.size());
        for (char c : needle)
            m_needle.push_back(static_cast<char>(m_fold[static_cast<unsigned char>(c)]));
        const std::size_t n = m_needle.size();
        m_shift.fill(n);
        for (std::size_t i = 0; i + 1 < n; ++i)
            m_shift[static_cast<unsigned char>(m_needle[i])] = n - 1 - i;
    }

    std::size_t size() const { return m_needle.size(); }

    std::size_t Find(AnsiView hay, std::size_t from) const {
        const std::size_t n = m_needle.size();
        if (from > hay.size() || hay.size() - from < n)
            return AnsiView::npos;
        if (n == 0)
            return from;
        const auto* h = reinterpret_cast<const unsigned char*>(hay.data());
        const auto* p = reinterpret_cast<const unsigned char*>(m_needle.data());
        const std::size_t last = n - 1;
        const unsigned char lastChar = p[last];
        for (std::size_t i = from; i + n <= hay.size();) {
            const unsigned char c = m_fold[h[i + last]];
            if (c == lastChar) {
                std::size_t j = 0;
                while (j < last && m_fold[h[i + j]] == p[j])
                    ++j;
                if (j == last)
                    return i;
            }
            i += m_shift[c];
        }
        return AnsiView::npos;
    }

private:
    const FoldTable& m_fold;
    std::string m_needle;
    std::array<std::size_t, 256> m_shift{};
};

AnsiString PositionPair(std::size_t start, std::size_t end) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%zu:%zu", start, end);
    return buf;
}

// One operand typed by the user against the text: its first accepted occurrence as
// "start:end". Whatever the operand looks like ("12:30", "1:2"), it is searched as text:
// results evaluated inside the expression never come back here (Item::evaluated).
AnsiString Leaf(AnsiView token, AnsiView text, bool wholeWords, bool caseInsensitive) {
    if (token.empty())
        return {};
    TextFinder finder(token, caseInsensitive);
    const std::size_t n = finder.size();
    for (std::size_t from = 0;;) {
        std::size_t p = finder.Find(text, from);
        if (p == AnsiView::npos)
            return {};
        // The ends of the text count as word boundaries, so a keywords text that is just the
        // word matches it.
        if (!wholeWords ||
            ((p == 0 || text[p - 1] == ' ') && (p + n == text.size() || text[p + n] == ' ')))
            return PositionPair(p, p + n);
        from = p + 1;
    }
}

struct Item {
    TokenType type;
    AnsiString text;
    // A group result or an operand already looked up: its text is a position list and is
    // never searched for. Only this flag tells results from the user's operands.
    bool evaluated = false;
};

bool IsOperator(const Item& item) {
    return item.type == TokenType::And || item.type == TokenType::Or;
}

// Reduces a list free of parentheses to its position list.
AnsiString Combine(std::vector<Item> items, AnsiView text, bool wholeWords, bool caseInsensitive) {
    if (items.empty())
        return {};
    if (items.size() == 1) // a lone token is looked up whatever its type
        return items[0].evaluated ? items[0].text
                                  : Leaf(items[0].text, text, wholeWords, caseInsensitive);
    for (Item& item : items) {
        if (item.type == TokenType::Operand && !item.evaluated) {
            item.text = Leaf(item.text, text, wholeWords, caseInsensitive);
            item.evaluated = true;
        }
    }
    // An operator needs an operand on both sides; one without is dropped.
    std::vector<Item> list;
    list.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (IsOperator(items[i]) && (list.empty() || IsOperator(list.back()) ||
                                     i + 1 == items.size() || IsOperator(items[i + 1])))
            continue;
        list.push_back(std::move(items[i]));
    }
    // OR binds first, then AND; each reduces its two neighbours into one operand.
    for (TokenType op : {TokenType::Or, TokenType::And}) {
        std::vector<Item> reduced;
        reduced.reserve(list.size());
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i].type == op && !reduced.empty() && i + 1 < list.size()) {
                Item& left = reduced.back();
                const AnsiString& right = list[i + 1].text;
                AnsiString result;
                if (op == TokenType::Or) {
                    if (!left.text.empty())
                        result = left.text + ' ';
                    result += right;
                } else if (!left.text.empty() && !right.empty()) {
                    result = left.text + ' ' + right;
                }
                left.text = std::move(result);
                ++i;
                continue;
            }
            reduced.push_back(std::move(list[i]));
        }
        list = std::move(reduced);
    }
    AnsiString positions;
    for (const Item& item : list) {
        if (item.type == TokenType::Operand && !item.text.empty())
            positions.append(item.text).push_back(' ');
    }
    return AnsiString(TrimText(positions));
}

struct Range {
    std::size_t start;
    std::size_t end;
};

// Reads a decimal number the lenient way (leading digits only), saturating.
bool ReadNumber(AnsiView s, std::size_t& value) {
    if (s.empty() || s[0] < '0' || s[0] > '9')
        return false;
    value = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            break;
        value =
            value > (SIZE_MAX - 9) / 10 ? SIZE_MAX : value * 10 + static_cast<std::size_t>(c - '0');
    }
    return true;
}

std::vector<Range> ReadRanges(AnsiView positions, std::size_t textSize) {
    std::vector<Range> ranges;
    for (const AnsiString& piece : SplitList(TrimText(positions), " ", false)) {
        std::size_t colon = piece.find(':');
        std::size_t a = 0, b = 0;
        if (colon == AnsiString::npos || !ReadNumber(AnsiView(piece).substr(0, colon), a) ||
            !ReadNumber(AnsiView(piece).substr(colon + 1), b))
            continue;
        a = std::min(a, textSize);
        b = std::min(std::max(a, b), textSize);
        ranges.push_back({a, b});
    }
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const Range& x, const Range& y) { return x.start < y.start; });
    return ranges;
}

void AppendMarked(AnsiString& out, AnsiView piece) {
    out.append(kMarkBegin).append(piece).append(kMarkEnd);
}

} // namespace

std::vector<ExpressionToken> TokenizeExpression(AnsiView expression) {
    AnsiString spaced;
    spaced.reserve(expression.size() + 16);
    for (char c : expression) {
        if (c == '(')
            spaced.append(" ( ");
        else if (c == ')')
            spaced.append(" ) ");
        else
            spaced.push_back(c);
    }
    // Leading blanks are cut first: a list split at " " that starts with a space is empty,
    // which would make every expression opening with a parenthesis match nothing.
    std::vector<ExpressionToken> tokens;
    for (AnsiString& text : JoinQuotedPieces(SplitList(TrimText(spaced), " ", true), " ")) {
        ExpressionToken token;
        if (!text.empty() && text[0] == '(')
            token.type = TokenType::Open;
        else if (!text.empty() && text[0] == ')')
            token.type = TokenType::Close;
        else if (text == "AND")
            token.type = TokenType::And;
        else if (text == "OR")
            token.type = TokenType::Or;
        token.text = std::move(text);
        tokens.push_back(std::move(token));
    }
    return tokens;
}

SearchExpression::SearchExpression(AnsiView expression)
    : m_tokens(TokenizeExpression(expression)), m_empty(expression.empty()) {}

AnsiString SearchExpression::Positions(AnsiView text, bool wholeWords, bool caseInsensitive) const {
    if (text.empty() || m_empty)
        return {};
    // Groups collapse innermost first: a close group ends the group of the latest open one.
    std::vector<Item> items;
    std::vector<std::size_t> opens;
    for (const ExpressionToken& token : m_tokens) {
        if (token.type == TokenType::Open) {
            opens.push_back(items.size());
            items.push_back({token.type, token.text});
        } else if (token.type == TokenType::Close) {
            if (opens.empty())
                continue; // a close group without an open one
            std::size_t open = opens.back();
            opens.pop_back();
            std::vector<Item> inner(std::make_move_iterator(items.begin() + open + 1),
                                    std::make_move_iterator(items.end()));
            items.resize(open);
            items.push_back({TokenType::Operand,
                             Combine(std::move(inner), text, wholeWords, caseInsensitive), true});
        } else {
            items.push_back({token.type, token.text});
        }
    }
    // Open groups never closed are dropped.
    for (auto it = opens.rbegin(); it != opens.rend(); ++it)
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(*it));
    return Combine(std::move(items), text, wholeWords, caseInsensitive);
}

AnsiString SearchExpression::Match(AnsiView text, bool wholeWords, bool caseInsensitive,
                                   bool wholeText) const {
    return HighlightMatches(text, Positions(text, wholeWords, caseInsensitive), wholeText, -1);
}

AnsiString MatchExpression(AnsiView text, AnsiView expression, bool wholeWords,
                           bool caseInsensitive, bool wholeText, bool leaf) {
    SearchExpression compiled(expression);
    if (leaf)
        return compiled.Positions(text, wholeWords, caseInsensitive);
    return compiled.Match(text, wholeWords, caseInsensitive, wholeText);
}

AnsiString HighlightMatches(AnsiView text, AnsiView positions, bool wholeText, int length) {
    if (text.empty() || positions.empty())
        return {};
    std::vector<Range> ranges = ReadRanges(positions, text.size());
    AnsiString out;
    if (wholeText) {
        std::size_t done = 0;
        for (std::size_t i = 0; i < ranges.size(); ++i) {
            Range r = ranges[i];
            if (r.start == r.end)
                continue;
            // Overlapping ranges (OR of overlapping words) are marked as their union.
            while (i + 1 < ranges.size() && ranges[i + 1].start < r.end) {
                r.end = std::max(r.end, ranges[i + 1].end);
                ++i;
            }
            if (r.end <= done)
                continue;
            r.start = std::max(r.start, done);
            out.append(text.substr(done, r.start - done));
            AppendMarked(out, text.substr(r.start, r.end - r.start));
            done = r.end;
        }
        out.append(text.substr(done));
        return out;
    }
    if (ranges.empty())
        return {};
    const long long total = length == -1 ? kDefaultExcerptLength : length;
    const long long share = total / static_cast<long long>(ranges.size());
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const Range& r = ranges[i];
        if (i)
            out.push_back('\n');
        const long long context = (share - static_cast<long long>(r.end - r.start)) / 2;
        const std::size_t c = context > 0 ? static_cast<std::size_t>(context) : 0;
        if (c > 0) {
            std::size_t from = r.start > c ? r.start - c : 0;
            out.append("...").append(text.substr(from, r.start - from));
        }
        AppendMarked(out, text.substr(r.start, r.end - r.start));
        if (c > 0)
            out.append(text.substr(r.end, c)).append("...");
    }
    return out;
}

} // namespace kelvo
