// Fuzzes the search expression evaluator: the input is an expression, a NUL byte, the text
// to search, with the flags taken from the first byte. Checks that it ends and that the
// marked output stays bounded by the text and the matches.
#include "search/Expression.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::uint8_t flags = data[0];
    std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t nul = input.find('\0');
    std::string expression = input.substr(0, nul);
    std::string text = nul == std::string::npos ? input : input.substr(nul + 1);

    const bool wholeWords = flags & 1, fold = flags & 2, wholeText = flags & 4;
    kelvo::SearchExpression compiled(expression);
    std::string positions = compiled.Positions(text, wholeWords, fold);
    std::string marked = kelvo::HighlightMatches(text, positions, wholeText, (flags >> 3) * 16 - 1);
    std::string direct =
        kelvo::MatchExpression(text, expression, wholeWords, fold, wholeText, false);
    (void)direct;

    // Each operand gives at most one range, so neither list nor marking can grow beyond what
    // the tokens and the text allow.
    if (positions.size() > (compiled.tokens().size() + 1) * (expression.size() + 48))
        std::abort();
    const std::size_t ranges = positions.size() / 2 + 1; // a range takes at least "0:0 "
    const std::size_t mark = sizeof(kelvo::kMarkBegin) + sizeof(kelvo::kMarkEnd) + 8;
    if (marked.size() > ranges * (text.size() + mark + 4096) + text.size())
        std::abort();
    return 0;
}
