// Keyword splitting and the phrase joining it shares with the search expression tokeniser.
#include "index/Keywords.h"

#include "platform/text/ItemStream.h"

#include <algorithm>

namespace kelvo {

namespace {
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
} // namespace

AnsiView TrimRight(AnsiView text) {
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

AnsiView TrimText(AnsiView text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    return TrimRight(text);
}

std::vector<AnsiString> JoinQuotedPieces(const std::vector<AnsiString>& pieces,
                                         AnsiView separator) {
    // The closing step drops the opening quote, then the closing quote together with the
    // separator's non-blank part that followed it ("," for keywords, nothing for spaces).
    const std::size_t tailLength = TrimRight(separator).size() + 1;
    std::vector<AnsiString> out;
    bool inPhrase = false;
    AnsiString phrase;
    for (const AnsiString& piece : pieces) {
        if (piece.empty())
            continue;
        if (piece.front() == '"') {
            inPhrase = true;
            phrase.clear();
            phrase.append(piece).append(separator);
        } else if (inPhrase) {
            phrase.append(piece).append(separator);
        } else {
            out.push_back(piece);
        }
        if (inPhrase && piece.back() == '"') {
            inPhrase = false;
            AnsiView body = TrimRight(phrase);
            body.remove_prefix(1); // never empty: the phrase starts with the quote
            body.remove_suffix(std::min(tailLength, body.size()));
            out.emplace_back(body);
        }
    }
    return out;
}

std::vector<AnsiString> SplitKeywords(AnsiView text) {
    AnsiString flat;
    flat.reserve(text.size());
    for (char c : text) {
        if (c == '\r')
            continue;
        flat.push_back(c == '\t' || c == '\n' ? ' ' : c);
    }
    return JoinQuotedPieces(SplitList(flat, ",", true), ", ");
}

} // namespace kelvo
