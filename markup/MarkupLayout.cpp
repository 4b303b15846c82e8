// Layout of markup runs: wrapping, baselines, vertical centring and alignment.
#include "markup/MarkupLayout.h"

#include "markup/MarkupParser.h"

#include <algorithm>

namespace kelvo {

namespace {

bool IsLatinLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// Lays out one call's runs. Widths of longer prefixes are taken to be no smaller than those
// of shorter ones, so the longest piece that fits is found by bisection instead of cutting
// one character at a time (which is quadratic in the text left on every line).
class Layout {
public:
    Layout(const MarkupRect& rect, TextMeasurer& measurer)
        : m_rect(rect), m_measurer(measurer), m_x(rect.left), m_y(rect.top) {}

    void AddRun(const MarkupPiece& run, AnsiView text, bool endsLine) {
        while (!text.empty()) {
            std::size_t take = text.size();
            bool wrapped = false;
            if (!FitsBefore(text, take, run.style)) {
                wrapped = true;
                take = LongestWrapPoint(text, run.style);
                if (take == 0 && m_pieces.size() == m_lineStart)
                    take = LongestSplit(text, run.style);
            }
            if (take > 0) {
                Place(run, text.substr(0, take));
                text.remove_prefix(take);
            }
            if (wrapped) {
                EndLine(run);
                m_x = m_rect.left;
                while (!text.empty() && IsWhiteSpace(text.front()))
                    text.remove_prefix(1);
                ++m_line;
            }
        }
        if (endsLine) {
            EndLine(run);
            m_referenceAscent = 0;
            m_x = m_rect.left;
            ++m_line;
        }
    }

    std::vector<MarkupPiece> Finish() {
        AlignBaselines();
        return std::move(m_pieces);
    }

private:
    int Width(AnsiView text, const MarkupStyle& style) {
        return text.empty() ? 0 : m_measurer.Measure(text, style).width;
    }

    // Whether the first `length` characters end strictly left of the right edge.
    bool FitsBefore(AnsiView text, std::size_t length, const MarkupStyle& style) {
        return m_x + Width(text.substr(0, length), style) < m_rect.right;
    }

    // The longest piece a wrapping line keeps: cutting back from the end removes a trailing
    // Latin word at once and any other character singly, so a piece may end anywhere except
    // between two Latin letters. 0 when nothing fits.
    std::size_t LongestWrapPoint(AnsiView text, const MarkupStyle& style) {
        std::size_t low = 0, high = text.size() - 1; // the whole text is known not to fit
        if (!FitsBefore(text, 0, style))
            return 0;
        while (low < high) {
            std::size_t mid = low + (high - low + 1) / 2;
            if (FitsBefore(text, mid, style))
                low = mid;
            else
                high = mid - 1;
        }
        while (low > 0 && IsLatinLetter(text[low - 1]) && IsLatinLetter(text[low]))
            --low;
        return low;
    }

    // On an empty line where no wrap point fits: the first character, and as many after it
    // as end at or before the right edge.
    std::size_t LongestSplit(AnsiView text, const MarkupStyle& style) {
        std::size_t low = 1, high = text.size();
        while (low < high) {
            std::size_t mid = low + (high - low + 1) / 2;
            if (m_x + Width(text.substr(0, mid), style) <= m_rect.right)
                low = mid;
            else
                high = mid - 1;
        }
        return low;
    }

    void Place(const MarkupPiece& run, AnsiView text) {
        TextMeasurer::Extent extent = m_measurer.Measure(text, run.style);
        MarkupPiece piece;
        piece.text = AnsiString(text);
        piece.style = run.style;
        piece.rect = {m_x, m_y, m_x + extent.width, m_y + extent.height};
        piece.ascent = m_measurer.Ascent(run.style);
        piece.align = run.align;
        piece.line = m_line;
        piece.href = run.href;
        m_x += extent.width;
        m_referenceAscent = std::max(m_referenceAscent, piece.ascent);
        m_pieces.push_back(std::move(piece));
    }

    // Moves the pieces of the current line down so that their baselines meet the reference.
    void AlignBaselines() {
        for (std::size_t i = m_lineStart; i < m_pieces.size(); ++i) {
            int shift = m_referenceAscent - m_pieces[i].ascent;
            m_pieces[i].rect.top += shift;
            m_pieces[i].rect.bottom += shift;
        }
    }

    void EndLine(const MarkupPiece& run) {
        AlignBaselines();
        if (m_pieces.size() == m_lineStart) {
            // An empty line keeps the height of a blank in the current font. The blank starts
            // at the rectangle's left edge so that, underlined, it stays inside the cell.
            TextMeasurer::Extent blank = m_measurer.Measure(" ", run.style);
            MarkupPiece piece;
            piece.text = " ";
            piece.style = run.style;
            piece.rect = {m_rect.left, m_y, m_rect.left + blank.width, m_y + blank.height};
            piece.ascent = m_measurer.Ascent(run.style);
            piece.align = run.align;
            piece.line = m_line;
            piece.href = run.href;
            m_pieces.push_back(std::move(piece));
            m_y += blank.height + 1;
        } else {
            int bottom = m_y;
            for (std::size_t i = m_lineStart; i < m_pieces.size(); ++i)
                bottom = std::max(bottom, m_pieces[i].rect.bottom);
            m_y = bottom + 1;
        }
        m_lineStart = m_pieces.size();
    }

    MarkupRect m_rect;
    TextMeasurer& m_measurer;
    std::vector<MarkupPiece> m_pieces;
    int m_x;
    int m_y;
    std::size_t m_lineStart = 0;
    int m_line = 0;
    int m_referenceAscent = 0;
};

} // namespace

std::vector<MarkupPiece> LayoutMarkup(std::vector<MarkupPiece> runs, const MarkupRect& rect,
                                      TextMeasurer& measurer) {
    Layout layout(rect, measurer);
    for (const MarkupPiece& run : runs) {
        // A run holding a line break ends its line there; the text after the break, if any,
        // is laid out as a run of its own with the same style.
        AnsiView text(run.text);
        while (true) {
            std::size_t brk = text.find(kMarkupLineBreak);
            if (brk == AnsiView::npos) {
                layout.AddRun(run, text, false);
                break;
            }
            layout.AddRun(run, text.substr(0, brk), true);
            text.remove_prefix(brk + kMarkupLineBreak.size());
            if (text.empty())
                break;
        }
    }
    return layout.Finish();
}

void PlaceMarkup(std::vector<MarkupPiece>& pieces, const MarkupRect& rect) {
    if (pieces.empty())
        return;
    int bottom = pieces.front().rect.bottom;
    for (const MarkupPiece& piece : pieces)
        bottom = std::max(bottom, piece.rect.bottom);
    if (bottom < rect.bottom) {
        int shift = (rect.bottom - bottom) / 2;
        for (MarkupPiece& piece : pieces) {
            piece.rect.top += shift;
            piece.rect.bottom += shift;
        }
    }

    for (std::size_t first = 0; first < pieces.size();) {
        std::size_t end = first + 1;
        while (end < pieces.size() && pieces[end].line == pieces[first].line)
            ++end;
        int right = pieces[end - 1].rect.right;
        int shift = 0;
        if (pieces[first].align == MarkupAlign::Centre)
            shift = (rect.right - right) / 2;
        else if (pieces[first].align == MarkupAlign::Right)
            shift = rect.right - right - 1;
        for (std::size_t i = first; i < end; ++i) {
            pieces[i].rect.left += shift;
            pieces[i].rect.right += shift;
        }
        first = end;
    }
}

std::vector<MarkupPiece> RenderMarkup(AnsiView text, const MarkupStyle& style,
                                      const MarkupRect& rect, MarkupAlign align,
                                      TextMeasurer& measurer) {
    auto pieces = LayoutMarkup(ParseMarkup(text, style, align), rect, measurer);
    PlaceMarkup(pieces, rect);
    return pieces;
}

} // namespace kelvo
