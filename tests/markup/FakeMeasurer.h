// A fixed-width text measurer for the markup tests: every character is half the point size
// wide, a line is the point size plus 2 high, the ascent is the point size.
#pragma once

#include "markup/MarkupLayout.h"

#include <cmath>

namespace kelvo::test {

class FakeMeasurer : public TextMeasurer {
public:
    static int Points(const MarkupStyle& style) { return static_cast<int>(std::abs(style.points)); }
    static int CharWidth(const MarkupStyle& style) { return std::max(1, Points(style) / 2); }

    Extent Measure(AnsiView text, const MarkupStyle& style) override {
        ++calls;
        return {static_cast<int>(text.size()) * CharWidth(style), Points(style) + 2};
    }
    int Ascent(const MarkupStyle& style) override { return Points(style); }

    long calls = 0;
};

} // namespace kelvo::test
