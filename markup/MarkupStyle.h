// Styles and pieces of the small HTML-like markup in which result cells are written.
#pragma once

#include "platform/text/Ansi.h"

#include <cstdint>

namespace kelvo {

/// An RGB colour with red in the low byte (0x00BBGGRR).
using MarkupColour = std::uint32_t;

constexpr MarkupColour MakeColour(int red, int green, int blue) {
    return static_cast<MarkupColour>(red & 0xFF) | static_cast<MarkupColour>(green & 0xFF) << 8 |
           static_cast<MarkupColour>(blue & 0xFF) << 16;
}

/// The character style of a run of text.
struct MarkupStyle {
    AnsiString face = "Times New Roman";
    /// Font size in points. A negative value selects the character cell height rather than the
    /// character height (see MarkupFontHeight).
    double points = 10.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::uint8_t charset = 0;
    MarkupColour colour = 0;
    /// Relative size in the 1 to 7 scale of HTML font sizes.
    int size = 3;

    bool operator==(const MarkupStyle&) const = default;
};

/// What the result grids draw their cells with: Tahoma, -10 points, Cyrillic character set,
/// the system's window-text colour.
MarkupStyle DefaultCellStyle(MarkupColour windowText = 0);

/// Scale of a relative size: 1 0.625, 2 0.8, 3 1.0, 4 1.125, 5 1.5, 6 2.0, 7 3.0, above 7
/// size * 3/7, 0 and below 1.0.
double MarkupSizeFactor(int size);

/// The font height to create a style's font with: -(dpi * points / 72) truncated toward zero,
/// or -(points * 1.25) when no device resolution is known (dpiY <= 0). A negative result asks
/// for that character height (the em size), a positive one for that cell height (ascent plus
/// descent).
int MarkupFontHeight(const MarkupStyle& style, int dpiY);

enum class MarkupAlign { Left = 0, Centre = 1, Right = 2 };

struct MarkupRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const MarkupRect&) const = default;
};

/// Before layout a run of text with its style, alignment and link; after layout a fragment
/// placed in pixels on one line.
struct MarkupPiece {
    AnsiString text;
    MarkupStyle style;
    MarkupRect rect;
    int ascent = 0;
    MarkupAlign align = MarkupAlign::Left;
    int line = 0;
    AnsiString href;
};

} // namespace kelvo
