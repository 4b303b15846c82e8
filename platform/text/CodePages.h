// The one place text is converted: Windows single-byte code pages (874, 1250-1257), text in a
// stated code page (as property sets store it), and the Unicode transforms (UTF-8, UTF-16,
// surrogate pairs). Nothing outside this folder decodes bytes or surrogates itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

/// Code-page numbers of the Unicode forms, as Windows and property sets name them.
inline constexpr int kCodePageUtf16 = 1200; ///< UTF-16, little-endian
inline constexpr int kCodePageUtf8 = 65001;

/// The 128 characters of bytes 0x80..0xFF in a code page, or nullptr for an unknown one.
const char16_t* CodePageHighTable(int codePage);

/// True for the code pages this module has tables for.
bool IsKnownCodePage(int codePage);

/// The Unicode character of one byte in a code page (unknown code pages act as Latin-1).
char16_t DecodeByte(int codePage, unsigned char byte);

/// The byte that holds `ch` in a code page, if it has one.
std::optional<unsigned char> EncodeChar(int codePage, char32_t ch);

/// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t ch);

/// Decodes UTF-8 one code point at a time; malformed bytes come out as U+FFFD.
/// Returns false at the end of the text.
bool NextUtf8(std::string_view text, std::size_t& pos, char32_t& ch);

/// Appends the UTF-16 form of one code point (a surrogate pair above U+FFFF).
void AppendUtf16(std::u16string& out, char32_t ch);

/// Decodes UTF-16 one code point at a time: a surrogate pair is one character, a lone
/// surrogate comes out as U+FFFD. Returns false at the end of the text.
bool NextUtf16(std::u16string_view text, std::size_t& pos, char32_t& ch);

/// True for the two halves of a surrogate pair, and the character a pair stands for.
constexpr bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}
constexpr bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}
constexpr char32_t CombineSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

/// UTF-16LE bytes as text (an odd last byte is dropped).
std::u16string Utf16FromLittleEndian(std::string_view bytes);

/// Text stored as bytes in `codePage` (a single-byte page, kCodePageUtf16 or kCodePageUtf8;
/// 0 is taken as Windows-1251) as UTF-8. Bytes of an unknown page above 0x7F, malformed
/// sequences and lone surrogates become U+FFFD.
std::string CodePageToUtf8(std::string_view bytes, int codePage);

} // namespace kelvo
