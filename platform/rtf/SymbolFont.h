// The Symbol font's character layout mapped to Unicode: bullets and Greek letters written
// under a font of the symbol character set are shown with any Unicode font.
#pragma once

#include <optional>

namespace kelvo {

/// The Unicode character that a byte shows in the Symbol font (0xB7 → U+2022, 'a' → α).
/// Bytes the font leaves undefined map to the private-use U+F000 + byte, as Windows does.
char32_t SymbolToUnicode(unsigned char byte);

/// The Symbol font byte that shows `ch`, if any (U+F020..U+F0FF give their low byte).
std::optional<unsigned char> UnicodeToSymbol(char32_t ch);

} // namespace kelvo
