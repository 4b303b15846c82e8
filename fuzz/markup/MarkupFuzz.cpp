// Fuzzes markup parsing and layout: any text must lay out without crashing or hanging, into
// a number of pieces bounded by its length, every piece on an ordered line.
#include "markup/MarkupLayout.h"
#include "markup/MarkupParser.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

class FixedMeasurer : public kelvo::TextMeasurer {
public:
    Extent Measure(kelvo::AnsiView text, const kelvo::MarkupStyle& style) override {
        ++calls;
        int points = Points(style);
        return {static_cast<int>(text.size()) * std::max(1, points / 2), points + 2};
    }
    int Ascent(const kelvo::MarkupStyle& style) override { return Points(style); }

    long calls = 0;

private:
    static int Points(const kelvo::MarkupStyle& style) {
        return static_cast<int>(std::min(std::abs(style.points), 10000.0));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first byte chooses the rectangle's width, so narrow and wide cells are both tried.
    int width = data[0] * 2;
    kelvo::AnsiView text(reinterpret_cast<const char*>(data + 1), size - 1);
    FixedMeasurer measurer;
    auto pieces = kelvo::RenderMarkup(text, kelvo::DefaultCellStyle(), {3, 5, 3 + width, 60},
                                      static_cast<kelvo::MarkupAlign>(data[0] % 3), measurer);

    // Every piece holds at least one character of the text or is the blank of an empty line,
    // and an empty line needs a tag of at least four characters ("<br>").
    if (pieces.size() > text.size() + 1)
        std::abort();
    int line = 0;
    for (const auto& piece : pieces) {
        if (piece.text.empty() || piece.line < line || piece.rect.right < piece.rect.left)
            std::abort();
        line = piece.line;
    }
    // Bisection keeps measuring to a few calls per piece and character bit.
    if (measurer.calls > 64 * static_cast<long>(text.size() + 1))
        std::abort();
    return 0;
}
