// Parsing of the cell markup into styled runs.
#include "markup/MarkupParser.h"

#include <algorithm>

namespace kelvo {

namespace {

// Relative sizes beyond this only make fonts nobody can read, and could overflow the
// arithmetic of sizes and heights.
constexpr int kSizeLimit = 1000;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(AnsiView a, AnsiView b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool StartsNoCase(AnsiView text, AnsiView prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

AnsiView Trim(AnsiView text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A decimal number with blanks around it; anything else reads as 0. Clamped to the limit.
int ReadNumber(AnsiView text) {
    text = Trim(text);
    if (text.empty())
        return 0;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = std::min<long>(value * 10 + (c - '0'), kSizeLimit);
    }
    return static_cast<int>(value);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

int HexPair(AnsiView pair) {
    return HexDigit(pair[1]) + 16 * HexDigit(pair[0]);
}

AnsiView AttributeText(AnsiView tag, std::size_t from) {
    return tag.size() > from ? tag.substr(from) : AnsiView{};
}

} // namespace

AnsiString DecodeMarkupEntities(AnsiView text) {
    AnsiString out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t amp = text.find('&', pos);
        std::size_t semi = amp == AnsiView::npos ? AnsiView::npos : text.find(';', amp + 1);
        if (semi == AnsiView::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, amp - pos));
        AnsiView name = text.substr(amp + 1, semi - amp - 1);
        if (EqualsNoCase(name, "lt"))
            out += '<';
        else if (EqualsNoCase(name, "gt"))
            out += '>';
        else if (EqualsNoCase(name, "amp"))
            out += '&';
        else if (EqualsNoCase(name, "quot"))
            out += '"';
        pos = semi + 1;
    }
    return out;
}

std::vector<std::pair<AnsiString, AnsiString>> ParseMarkupAttributes(AnsiView text) {
    std::vector<std::pair<AnsiString, AnsiString>> attributes;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eq = text.find('=', pos);
        if (eq == AnsiView::npos)
            break;
        AnsiString name(Trim(text.substr(pos, eq - pos)));
        pos = eq + 1;
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        AnsiString value;
        if (pos < text.size() && text[pos] == '"') {
            std::size_t close = text.find('"', pos + 1);
            if (close == AnsiView::npos) {
                ++pos; // no closing mark: the value is empty and the rest is searched again
            } else {
                value = text.substr(pos + 1, close - pos - 1);
                pos = close + 1;
            }
        } else {
            std::size_t end = pos;
            while (end < text.size() && !IsBlank(text[end]))
                ++end;
            value = text.substr(pos, end - pos);
            pos = end;
        }
        attributes.emplace_back(std::move(name), std::move(value));
    }
    return attributes;
}

bool ParseMarkupColour(AnsiView value, MarkupColour& colour) {
    if (value.empty() || value.front() != '#')
        return false;
    value.remove_prefix(1);
    AnsiString digits(value.size() < 6 ? 6 - value.size() : 0, '0');
    digits += value;
    colour =
        MakeColour(HexPair(AnsiView(digits).substr(0, 2)), HexPair(AnsiView(digits).substr(2, 2)),
                   HexPair(AnsiView(digits).substr(4, 2)));
    return true;
}

void ApplyFontAttributes(AnsiView attributes, MarkupStyle& style) {
    for (const auto& [name, value] : ParseMarkupAttributes(attributes)) {
        if (value.empty())
            continue;
        if (EqualsNoCase(name, "face")) {
            style.face = value;
        } else if (EqualsNoCase(name, "size")) {
            int size = 0;
            if (value.front() == '+')
                size = style.size + ReadNumber(AnsiView(value).substr(1));
            else if (value.front() == '-')
                size = style.size - ReadNumber(AnsiView(value).substr(1));
            else
                size = ReadNumber(value);
            size = std::clamp(size, -kSizeLimit, kSizeLimit);
            style.points = style.points / MarkupSizeFactor(style.size) * MarkupSizeFactor(size);
            style.size = size;
        } else if (EqualsNoCase(name, "color")) {
            ParseMarkupColour(value, style.colour);
        }
    }
}

std::vector<MarkupPiece> ParseMarkup(AnsiView source, const MarkupStyle& initialStyle,
                                     MarkupAlign initialAlign) {
    AnsiString text;
    text.reserve(source.size());
    for (char c : source) {
        if (c == '\n')
            text += ' ';
        else if (c != '\r')
            text += c;
    }

    std::vector<MarkupPiece> runs;
    MarkupStyle style = initialStyle;
    std::vector<MarkupStyle> stack;
    MarkupAlign align = initialAlign;
    AnsiString href;
    bool atLineStart = true;

    auto addRun = [&](AnsiString runText) {
        MarkupPiece run;
        run.text = std::move(runText);
        run.style = style;
        run.align = align;
        run.href = href;
        runs.push_back(std::move(run));
    };
    auto addText = [&](AnsiView raw) {
        addRun(DecodeMarkupEntities(raw));
        atLineStart = false;
    };

    AnsiView rest(text);
    while (!rest.empty()) {
        std::size_t open = rest.find('<');
        std::size_t close = open == AnsiView::npos ? AnsiView::npos : rest.find('>', open + 1);
        if (close == AnsiView::npos) {
            addText(rest);
            break;
        }
        if (open > 0)
            addText(rest.substr(0, open));
        AnsiView tag = Trim(rest.substr(open + 1, close - open - 1));
        rest.remove_prefix(close + 1);

        bool lineBreak = false;
        if (EqualsNoCase(tag, "b") || EqualsNoCase(tag, "strong")) {
            style.bold = true;
        } else if (EqualsNoCase(tag, "/b") || EqualsNoCase(tag, "/strong")) {
            style.bold = false;
        } else if (EqualsNoCase(tag, "i") || EqualsNoCase(tag, "em")) {
            style.italic = true;
        } else if (EqualsNoCase(tag, "/i") || EqualsNoCase(tag, "/em")) {
            style.italic = false;
        } else if (EqualsNoCase(tag, "u")) {
            style.underline = true;
        } else if (EqualsNoCase(tag, "/u")) {
            style.underline = false;
        } else if (EqualsNoCase(tag, "br")) {
            lineBreak = true;
        } else if (StartsNoCase(tag, "p")) {
            lineBreak = !atLineStart;
            for (const auto& [name, value] : ParseMarkupAttributes(AttributeText(tag, 2))) {
                if (!EqualsNoCase(name, "align"))
                    continue;
                if (EqualsNoCase(value, "left"))
                    align = MarkupAlign::Left;
                else if (EqualsNoCase(value, "center"))
                    align = MarkupAlign::Centre;
                else if (EqualsNoCase(value, "right"))
                    align = MarkupAlign::Right;
            }
        } else if (EqualsNoCase(tag, "/p")) {
            lineBreak = !atLineStart;
            align = initialAlign;
        } else if (EqualsNoCase(tag, "center")) {
            lineBreak = !atLineStart;
            align = MarkupAlign::Centre;
        } else if (EqualsNoCase(tag, "/center")) {
            lineBreak = !atLineStart;
            align = initialAlign;
        } else if (StartsNoCase(tag, "a")) {
            for (const auto& [name, value] : ParseMarkupAttributes(AttributeText(tag, 2)))
                if (EqualsNoCase(name, "href"))
                    href = value;
        } else if (StartsNoCase(tag, "/a")) {
            href.clear();
        } else if (StartsNoCase(tag, "font")) {
            stack.push_back(style);
            ApplyFontAttributes(AttributeText(tag, 4), style);
        } else if (StartsNoCase(tag, "/font")) {
            if (!stack.empty()) {
                style = std::move(stack.back());
                stack.pop_back();
            }
        }
        if (lineBreak) {
            addRun(AnsiString(kMarkupLineBreak));
            atLineStart = true;
        }
    }
    return runs;
}

AnsiString MarkupPlainText(AnsiView text) {
    AnsiString plain;
    for (const MarkupPiece& run : ParseMarkup(text, MarkupStyle{}))
        plain += run.text == kMarkupLineBreak ? AnsiView("\n") : AnsiView(run.text);
    while (!plain.empty() && plain.back() == '\n') // a closing paragraph ends no visible line
        plain.pop_back();
    return plain;
}

} // namespace kelvo
