// Parsing of the cell markup into styled runs: tags for bold, italic, underline, fonts,
// paragraphs with alignment, line breaks and links, and the four named entities.
#pragma once

#include "markup/MarkupStyle.h"

#include <utility>
#include <vector>

namespace kelvo {

/// The text of a run that ends its line.
inline constexpr AnsiView kMarkupLineBreak = "\r\n";

/// Replaces "&lt;", "&gt;", "&amp;" and "&quot;" (names in any case) in one left-to-right
/// pass; any other "&name;" is removed. Decoding stops at an "&" that no ";" follows.
AnsiString DecodeMarkupEntities(AnsiView text);

/// Reads `name=value` pairs: a value is either quoted with double quotation marks or runs to
/// the next blank. Names are returned as written, trimmed.
std::vector<std::pair<AnsiString, AnsiString>> ParseMarkupAttributes(AnsiView text);

/// Reads a "color" value: only "#RRGGBB" counts, a shorter one padded with zeros on the left,
/// characters that are not hexadecimal digits reading as 0. False for other values.
bool ParseMarkupColour(AnsiView value, MarkupColour& colour);

/// Applies the attributes of a "font" tag to a style: face, size (absolute, or relative with
/// a sign; the points rescaled by the size factors) and color. Empty values are ignored.
void ApplyFontAttributes(AnsiView attributes, MarkupStyle& style);

/// Cuts a markup text into runs. Line feeds count as blanks and carriage returns are dropped;
/// line breaks come from tags only, as runs whose text is kMarkupLineBreak. Markup errors are
/// not reported: an unclosed "<" is text, unknown tags are dropped, an unmatched "/font" does
/// nothing.
std::vector<MarkupPiece> ParseMarkup(AnsiView text, const MarkupStyle& initialStyle,
                                     MarkupAlign initialAlign = MarkupAlign::Left);

/// The text a markup text shows, without its tags and with its entities decoded; each line
/// break inside the text becomes a line feed. What screen readers, tips and sorting use.
AnsiString MarkupPlainText(AnsiView text);

} // namespace kelvo
