// Layout of markup runs into a rectangle: word wrapping, baselines, alignment and vertical
// centring, measured through an abstract text measurer so any painter can draw the result.
#pragma once

#include "markup/MarkupStyle.h"

#include <vector>

namespace kelvo {

/// Measures text in a style: the painter's fonts and metrics (a Qt font in the shell, a
/// fixed-width fake in tests). Implementations may cache fonts per style.
class TextMeasurer {
public:
    struct Extent {
        int width = 0;
        int height = 0;
    };

    virtual ~TextMeasurer() = default;
    /// Width and height of `text` drawn as one line in the style's font.
    virtual Extent Measure(AnsiView text, const MarkupStyle& style) = 0;
    /// Ascent of the style's font: from the top of a line to its baseline.
    virtual int Ascent(const MarkupStyle& style) = 0;
};

/// Places the runs of ParseMarkup line by line from the rectangle's top left. A run wraps
/// where it reaches the right edge: back to the end of a Latin word (a run of A-Z, a-z), or
/// between any other two characters, so Cyrillic text breaks between letters; at least one
/// character goes on every line. Pieces of a line share a baseline; a line break with nothing
/// on its line leaves a blank line.
std::vector<MarkupPiece> LayoutMarkup(std::vector<MarkupPiece> runs, const MarkupRect& rect,
                                      TextMeasurer& measurer);

/// Centres the laid-out block vertically in the rectangle when it is shorter, then moves
/// each centred or right-aligned line (decided by its first piece) horizontally.
void PlaceMarkup(std::vector<MarkupPiece>& pieces, const MarkupRect& rect);

/// Parse, layout and placing in one: the pieces to draw, in order. A painter draws each one
/// with the font of its style (height from MarkupFontHeight), in the style's colour, as a
/// single line without prefix processing into its rectangle, over a transparent background.
std::vector<MarkupPiece> RenderMarkup(AnsiView text, const MarkupStyle& style,
                                      const MarkupRect& rect, MarkupAlign align,
                                      TextMeasurer& measurer);

} // namespace kelvo
