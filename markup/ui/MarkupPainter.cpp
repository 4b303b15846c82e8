// Markup drawn with Qt: fonts made from markup styles, their metrics, and the painter.
#include "markup/ui/MarkupPainter.h"

#include "markup/MarkupParser.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cstring>

namespace kelvo {

namespace {

const std::array<QChar, 256>& AnsiTable() {
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> chars{};
        for (int byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            const std::u16string unit = AnsiToUtf16(AnsiView(&c, 1));
            chars[static_cast<std::size_t>(byte)] = unit.empty() ? QChar(0xFFFD) : QChar(unit[0]);
        }
        return chars;
    }();
    return table;
}

QFont::StyleHint HintOf(const QString& face) {
    const QString lower = face.toLower();
    if (lower.contains(QLatin1String("courier")) || lower.contains(QLatin1String("mono")) ||
        lower.contains(QLatin1String("consol")))
        return QFont::TypeWriter;
    if (lower.contains(QLatin1String("times")) || lower.contains(QLatin1String("serif")) ||
        lower.contains(QLatin1String("georgia")))
        return QFont::Serif;
    return QFont::SansSerif;
}

std::string StyleKey(const MarkupStyle& style) {
    std::string key = style.face;
    key += '\0';
    char bits[sizeof(double)];
    std::memcpy(bits, &style.points, sizeof bits);
    key.append(bits, sizeof bits);
    key += static_cast<char>((style.bold ? 1 : 0) | (style.italic ? 2 : 0) |
                             (style.underline ? 4 : 0));
    return key;
}

// Only what the font depends on: colour and relative size do not change it.
bool SameFont(const MarkupStyle& a, const MarkupStyle& b) {
    return a.points == b.points && a.bold == b.bold && a.italic == b.italic &&
           a.underline == b.underline && a.face == b.face;
}

QFont MakeFont(const MarkupStyle& style, int dpiY) {
    const QString face = MarkupQString(style.face);
    QFont font(face);
    font.setStyleHint(HintOf(face));
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setKerning(false);
    const int height = MarkupFontHeight(style, dpiY);
    const int limit = QtTextMeasurer::kMaxPixelSize;
    if (height < 0) {
        font.setPixelSize(std::clamp(-height, 1, limit));
    } else if (height > 0) {
        // A cell height: the largest font whose ascent plus descent fits in it.
        const int cell = std::min(height, limit);
        font.setPixelSize(cell);
        const int full = QFontMetrics(font).height();
        if (full > cell) {
            int size = std::max(1, cell * cell / full);
            font.setPixelSize(size);
            while (size > 1 && QFontMetrics(font).height() > cell)
                font.setPixelSize(--size);
        }
    } else {
        font.setPixelSize(12); // no height: the device's usual text size
    }
    return font;
}

} // namespace

QString MarkupQString(AnsiView text) {
    const std::array<QChar, 256>& table = AnsiTable();
    QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    QChar* data = out.data();
    for (std::size_t i = 0; i < text.size(); ++i)
        data[i] = table[static_cast<unsigned char>(text[i])];
    return out;
}

QColor MarkupQColor(MarkupColour colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

MarkupColour MarkupColourOf(const QColor& colour) {
    return MakeColour(colour.red(), colour.green(), colour.blue());
}

MarkupRect ToMarkupRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect ToQRect(const MarkupRect& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

struct QtTextMeasurer::Face {
    explicit Face(const QFont& f) : font(f), metrics(font), exact(font) { advances.fill(-1); }
    // The advance of one Windows-1251 character, measured once.
    qreal Advance(unsigned char byte) {
        qreal& advance = advances[byte];
        if (advance < 0)
            advance = exact.horizontalAdvance(AnsiTable()[byte]);
        return advance;
    }

    QFont font;
    QFontMetrics metrics;
    QFontMetricsF exact;
    std::array<qreal, 256> advances;
};

QtTextMeasurer::QtTextMeasurer(int dpiY) : m_dpiY(dpiY) {}

QtTextMeasurer::~QtTextMeasurer() = default;

QtTextMeasurer::Face& QtTextMeasurer::FaceOf(const MarkupStyle& style) {
    if (m_last && SameFont(style, m_lastStyle))
        return *m_last;
    std::unique_ptr<Face>& face = m_faces[StyleKey(style)];
    if (!face)
        face = std::make_unique<Face>(MakeFont(style, m_dpiY));
    m_lastStyle = style;
    m_last = face.get();
    return *face;
}

TextMeasurer::Extent QtTextMeasurer::Measure(AnsiView text, const MarkupStyle& style) {
    // Fonts are made without kerning, so a line's width is the sum of its characters'
    // advances, rounded as Qt rounds a string's width: the layout's many measurements of
    // prefixes cost no text shaping, and the painter draws that wide to the pixel (a
    // ligature such as "fi", where the face has one, or the rounding may move it by one).
    Face& face = FaceOf(style);
    qreal width = 0;
    for (char c : text)
        width += face.Advance(static_cast<unsigned char>(c));
    return {qRound(width), face.metrics.height()};
}

int QtTextMeasurer::Ascent(const MarkupStyle& style) {
    return FaceOf(style).metrics.ascent();
}

const QFont& QtTextMeasurer::Font(const MarkupStyle& style) {
    return FaceOf(style).font;
}

const QFontMetrics& QtTextMeasurer::Metrics(const MarkupStyle& style) {
    return FaceOf(style).metrics;
}

void DrawMarkupPieces(QPainter& painter, const std::vector<MarkupPiece>& pieces,
                      QtTextMeasurer& measurer) {
    if (pieces.empty())
        return;
    const QFont oldFont = painter.font();
    const QPen oldPen = painter.pen();
    const Qt::BGMode oldMode = painter.backgroundMode();
    painter.setBackgroundMode(Qt::TransparentMode);
    for (const MarkupPiece& piece : pieces) {
        painter.setFont(measurer.Font(piece.style));
        painter.setPen(MarkupQColor(piece.style.colour));
        // One line from the rectangle's top: the baseline lies one ascent below it.
        painter.drawText(QPoint(piece.rect.left, piece.rect.top + measurer.Ascent(piece.style)),
                         MarkupQString(piece.text));
    }
    painter.setFont(oldFont);
    painter.setPen(oldPen);
    painter.setBackgroundMode(oldMode);
}

std::vector<MarkupPiece> RenderMarkup(QPainter& painter, AnsiView text, const MarkupStyle& style,
                                      const QRect& rect, MarkupAlign align,
                                      QtTextMeasurer& measurer) {
    std::vector<MarkupPiece> pieces =
        RenderMarkup(text, style, ToMarkupRect(rect), align, measurer);
    DrawMarkupPieces(painter, pieces, measurer);
    return pieces;
}

int MarkupTextHeight(AnsiView text, const MarkupStyle& style, int width, QtTextMeasurer& measurer) {
    const std::vector<MarkupPiece> pieces =
        LayoutMarkup(ParseMarkup(text, style), {0, 0, width, 0}, measurer);
    if (pieces.empty())
        return 0;
    int top = pieces.front().rect.top;
    int bottom = pieces.front().rect.bottom;
    for (const MarkupPiece& piece : pieces) {
        top = std::min(top, piece.rect.top);
        bottom = std::max(bottom, piece.rect.bottom);
    }
    return bottom - top;
}

} // namespace kelvo
