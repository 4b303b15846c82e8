// Text of the bank: 8-bit Windows-1251, one byte a character, in memory as in the file.
// Conversion to and from Unicode happens only at the edges (shell, RTF, command line).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

/// Bytes in Windows-1251. An alias, named so that it is never taken for UTF-8.
using AnsiString = std::string;
using AnsiView = std::string_view;

inline constexpr int kAnsiCodePage = 1251;

std::string AnsiToUtf8(AnsiView text);
std::u16string AnsiToUtf16(AnsiView text);

/// Converts Unicode to Windows-1251. Characters it cannot hold are not replaced:
/// the conversion fails and, when asked, lists them (UTF-8) in `unmappable`.
bool Utf8ToAnsi(std::string_view utf8, AnsiString& out, std::string* unmappable = nullptr);
bool Utf16ToAnsi(std::u16string_view utf16, AnsiString& out, std::string* unmappable = nullptr);

/// Text stored as bytes in `codePage` (see CodePageToUtf8; 0 is Windows-1251) as Windows-1251.
/// Empty when a character has no place in Windows-1251, or the page is unknown and the text
/// is not plain ASCII.
std::optional<AnsiString> CodePageToAnsi(std::string_view bytes, int codePage);

/// Lossy form for places where a replacement is acceptable (diagnostics): '?' for the rest.
AnsiString Utf8ToAnsiLossy(std::string_view utf8);

/// Case mapping of Windows-1251 bytes: Latin, Cyrillic and the other letters the page holds.
char AnsiUpper(char c);
char AnsiLower(char c);
AnsiString AnsiToUpper(AnsiView text);
AnsiString AnsiToLower(AnsiView text);

} // namespace kelvo
