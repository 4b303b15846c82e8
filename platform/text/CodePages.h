// Windows single-byte code pages (874, 1250-1257) and Unicode transforms (UTF-8, UTF-16).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

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

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

} // namespace kelvo
