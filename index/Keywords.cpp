// Cutting a keywords text into keywords.
#include "index/Keywords.h"

#include "platform/text/ItemStream.h"

namespace kelvo {

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
