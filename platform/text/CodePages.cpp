#include "platform/text/CodePages.h"

#include <array>
#include <mutex>
#include <unordered_map>

namespace kelvo {

bool IsKnownCodePage(int codePage) {
    return CodePageHighTable(codePage) != nullptr;
}

char16_t DecodeByte(int codePage, unsigned char byte) {
    if (byte < 0x80)
        return byte;
    const char16_t* table = CodePageHighTable(codePage);
    return table ? table[byte - 0x80] : char16_t{byte};
}

namespace {

// Reverse tables, built once per code page on first use.
const std::unordered_map<char32_t, unsigned char>& ReverseTable(int codePage) {
    static std::mutex mutex;
    static std::unordered_map<int, std::unordered_map<char32_t, unsigned char>> tables;
    std::lock_guard lock(mutex);
    auto [it, inserted] = tables.try_emplace(codePage);
    if (inserted) {
        const char16_t* table = CodePageHighTable(codePage);
        for (int b = 0; b < 128; ++b)
            it->second.emplace(table ? table[b] : char32_t(0x80 + b),
                               static_cast<unsigned char>(0x80 + b));
    }
    return it->second;
}

} // namespace

std::optional<unsigned char> EncodeChar(int codePage, char32_t ch) {
    if (ch < 0x80)
        return static_cast<unsigned char>(ch);
    const auto& reverse = ReverseTable(codePage);
    auto it = reverse.find(ch);
    if (it == reverse.end())
        return std::nullopt;
    return it->second;
}

void AppendUtf8(std::string& out, char32_t ch) {
    if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        ch = 0xFFFD;
    if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
}

bool NextUtf8(std::string_view text, std::size_t& pos, char32_t& ch) {
    if (pos >= text.size())
        return false;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        ch = b0;
        ++pos;
        return true;
    }
    int extra = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        value = b0 & 0x1F;
        minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        value = b0 & 0x0F;
        minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        value = b0 & 0x07;
        minimum = 0x10000;
    } else {
        ch = 0xFFFD;
        ++pos;
        return true;
    }
    if (pos + extra >= text.size()) {
        ch = 0xFFFD;
        ++pos;
        return true;
    }
    for (int i = 1; i <= extra; ++i) {
        const unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) {
            ch = 0xFFFD;
            ++pos;
            return true;
        }
        value = (value << 6) | (b & 0x3F);
    }
    pos += extra + 1;
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        value = 0xFFFD;
    ch = value;
    return true;
}

void AppendUtf16(std::u16string& out, char32_t ch) {
    if (ch > 0x10FFFF || IsHighSurrogate(ch) || IsLowSurrogate(ch))
        ch = 0xFFFD;
    if (ch >= 0x10000) {
        ch -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (ch >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (ch & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(ch));
    }
}

bool NextUtf16(std::u16string_view text, std::size_t& pos, char32_t& ch) {
    if (pos >= text.size())
        return false;
    ch = text[pos++];
    if (IsHighSurrogate(ch) && pos < text.size() && IsLowSurrogate(text[pos]))
        ch = CombineSurrogates(ch, text[pos++]);
    else if (IsHighSurrogate(ch) || IsLowSurrogate(ch))
        ch = 0xFFFD;
    return true;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    char32_t ch = 0;
    while (NextUtf8(utf8, pos, ch))
        AppendUtf16(out, ch);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 2);
    std::size_t pos = 0;
    char32_t ch = 0;
    while (NextUtf16(utf16, pos, ch))
        AppendUtf8(out, ch);
    return out;
}

std::u16string Utf16FromLittleEndian(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return out;
}

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
    if (codePage == kCodePageUtf16)
        return Utf16ToUtf8(Utf16FromLittleEndian(bytes));
    std::string out;
    out.reserve(bytes.size() * 2);
    if (codePage == kCodePageUtf8) {
        std::size_t pos = 0;
        char32_t ch = 0;
        while (NextUtf8(bytes, pos, ch))
            AppendUtf8(out, ch);
        return out;
    }
    if (codePage == 0)
        codePage = 1251;
    const bool known = IsKnownCodePage(codePage);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        AppendUtf8(out, known ? DecodeByte(codePage, b) : (b < 0x80 ? b : 0xFFFD));
    }
    return out;
}

} // namespace kelvo
