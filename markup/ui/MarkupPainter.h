// Drawing markup texts with a QPainter. The layout measures with the same Qt fonts the painter
// draws with, so the pieces it places are exactly where the text appears.
#pragma once

#include "markup/MarkupLayout.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QString>

#include <memory>
#include <unordered_map>
#include <vector>

class QPainter;

namespace kelvo {

/// Windows-1251 bytes as a QString.
QString MarkupQString(AnsiView text);
QColor MarkupQColor(MarkupColour colour);
MarkupColour MarkupColourOf(const QColor& colour);
/// The markup rectangle (right and bottom exclusive) of a Qt rectangle, and back.
MarkupRect ToMarkupRect(const QRect& rect);
QRect ToQRect(const MarkupRect& rect);

/// Measures markup runs with Qt fonts made from their styles. One font (and its metrics) is
/// made per distinct style and kept for the measurer's lifetime, so a measurer that lives as
/// long as a grid measures and draws every cell without creating fonts again.
class QtTextMeasurer : public TextMeasurer {
public:
    /// `dpiY` is the vertical resolution of the device drawn on (the font heights depend on it).
    explicit QtTextMeasurer(int dpiY = 96);
    ~QtTextMeasurer() override;
    QtTextMeasurer(const QtTextMeasurer&) = delete;
    QtTextMeasurer& operator=(const QtTextMeasurer&) = delete;

    int DpiY() const { return m_dpiY; }

    Extent Measure(AnsiView text, const MarkupStyle& style) override;
    int Ascent(const MarkupStyle& style) override;

    /// The font a style is drawn with: its face (with a generic fallback), bold, italic and
    /// underline, without kerning, sized as MarkupFontHeight says. A negative height is the
    /// character (em) height in pixels, a positive one the cell height (ascent plus descent).
    const QFont& Font(const MarkupStyle& style);
    const QFontMetrics& Metrics(const MarkupStyle& style);

    /// Largest pixel size a font is made with; larger sizes would only be cut by their cell.
    static constexpr int kMaxPixelSize = 1000;

private:
    struct Face;
    Face& FaceOf(const MarkupStyle& style);

    int m_dpiY;
    std::unordered_map<std::string, std::unique_ptr<Face>> m_faces;
    // The style asked for last and its face: consecutive calls are nearly always for one run.
    MarkupStyle m_lastStyle;
    Face* m_last = nullptr;
};

/// Draws laid-out pieces: each in its style's font and colour, as one line from its
/// rectangle's top left, over a transparent background. The painter's font, pen and
/// background mode are restored afterwards.
void DrawMarkupPieces(QPainter& painter, const std::vector<MarkupPiece>& pieces,
                      QtTextMeasurer& measurer);

/// Parses, lays out, places and draws a markup text in `rect`, starting from `style` and
/// `align` (the grids pass DefaultCellStyle, the cell's rectangle and Left). Returns the
/// pieces drawn, for hit-testing links.
std::vector<MarkupPiece> RenderMarkup(QPainter& painter, AnsiView text, const MarkupStyle& style,
                                      const QRect& rect, MarkupAlign align,
                                      QtTextMeasurer& measurer);

/// The height a markup text takes when laid out `width` pixels wide: from the top of its
/// first line to the bottom of its last. 0 for a text that shows nothing.
int MarkupTextHeight(AnsiView text, const MarkupStyle& style, int width, QtTextMeasurer& measurer);

} // namespace kelvo
