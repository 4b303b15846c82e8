#include "platform/text/Ansi.h"

#include "platform/text/CodePages.h"

#include <array>

namespace kelvo {

std::string AnsiToUtf8(AnsiView text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out.push_back(c);
        else
            AppendUtf8(out, DecodeByte(kAnsiCodePage, b));
    }
    return out;
}

std::u16string AnsiToUtf16(AnsiView text) {
    std::u16string out;
    out.reserve(text.size());
    for (char c : text)
        out.push_back(DecodeByte(kAnsiCodePage, static_cast<unsigned char>(c)));
    return out;
}

namespace {

template <class Next> bool EncodeAll(Next&& next, AnsiString& out, std::string* unmappable) {
    out.clear();
    bool ok = true;
    char32_t ch = 0;
    while (next(ch)) {
        if (auto b = EncodeChar(kAnsiCodePage, ch)) {
            out.push_back(static_cast<char>(*b));
        } else {
            ok = false;
            if (unmappable)
                AppendUtf8(*unmappable, ch);
        }
    }
    return ok;
}

} // namespace

bool Utf8ToAnsi(std::string_view utf8, AnsiString& out, std::string* unmappable) {
    std::size_t pos = 0;
    return EncodeAll([&](char32_t& ch) { return NextUtf8(utf8, pos, ch); }, out, unmappable);
}

bool Utf16ToAnsi(std::u16string_view utf16, AnsiString& out, std::string* unmappable) {
    std::size_t pos = 0;
    return EncodeAll([&](char32_t& ch) { return NextUtf16(utf16, pos, ch); }, out, unmappable);
}

std::optional<AnsiString> CodePageToAnsi(std::string_view bytes, int codePage) {
    if (codePage == 0 || codePage == kAnsiCodePage)
        return AnsiString(bytes);
    AnsiString out;
    if (!Utf8ToAnsi(CodePageToUtf8(bytes, codePage), out))
        return std::nullopt;
    return out;
}

AnsiString Utf8ToAnsiLossy(std::string_view utf8) {
    AnsiString out;
    std::size_t pos = 0;
    char32_t ch = 0;
    while (NextUtf8(utf8, pos, ch)) {
        auto b = EncodeChar(kAnsiCodePage, ch);
        out.push_back(b ? static_cast<char>(*b) : '?');
    }
    return out;
}

namespace {

struct CaseTables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    CaseTables() {
        for (int i = 0; i < 256; ++i)
            upper[i] = lower[i] = static_cast<unsigned char>(i);
        auto pair = [&](int up, int low) {
            upper[low] = static_cast<unsigned char>(up);
            lower[up] = static_cast<unsigned char>(low);
        };
        for (int c = 'A'; c <= 'Z'; ++c)
            pair(c, c + 32);
        for (int c = 0xC0; c <= 0xDF; ++c) // А..Я / а..я
            pair(c, c + 32);
        pair(0xA8, 0xB8); // Ё ё
        pair(0x80, 0x90); // Ђ ђ
        pair(0x81, 0x83); // Ѓ ѓ
        pair(0x8A, 0x9A); // Љ љ
        pair(0x8C, 0x9C); // Њ њ
        pair(0x8D, 0x9D); // Ќ ќ
        pair(0x8E, 0x9E); // Ћ ћ
        pair(0x8F, 0x9F); // Џ џ
        pair(0xA1, 0xA2); // Ў ў
        pair(0xA3, 0xBC); // Ј ј
        pair(0xA5, 0xB4); // Ґ ґ
        pair(0xAA, 0xBA); // Є є
        pair(0xAF, 0xBF); // Ї ї
        pair(0xB2, 0xB3); // І і
        pair(0xBD, 0xBE); // Ѕ ѕ
    }
};

const CaseTables& Tables() {
    static const CaseTables tables;
    return tables;
}

} // namespace

char AnsiUpper(char c) {
    return static_cast<char>(Tables().upper[static_cast<unsigned char>(c)]);
}
char AnsiLower(char c) {
    return static_cast<char>(Tables().lower[static_cast<unsigned char>(c)]);
}

AnsiString AnsiToUpper(AnsiView text) {
    AnsiString out(text);
    const auto& t = Tables().upper;
    for (char& c : out)
        c = static_cast<char>(t[static_cast<unsigned char>(c)]);
    return out;
}

AnsiString AnsiToLower(AnsiView text) {
    AnsiString out(text);
    const auto& t = Tables().lower;
    for (char& c : out)
        c = static_cast<char>(t[static_cast<unsigned char>(c)]);
    return out;
}

} // namespace kelvo
