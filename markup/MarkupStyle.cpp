// Styles of the markup: the cell default, relative sizes, font heights.
#include "markup/MarkupStyle.h"

namespace kelvo {

MarkupStyle DefaultCellStyle(MarkupColour windowText) {
    MarkupStyle style;
    style.face = "Tahoma";
    style.points = -10.0;
    style.charset = 204; // Cyrillic
    style.colour = windowText;
    return style;
}

double MarkupSizeFactor(int size) {
    switch (size) {
    case 1:
        return 0.625;
    case 2:
        return 0.8;
    case 3:
        return 1.0;
    case 4:
        return 1.125;
    case 5:
        return 1.5;
    case 6:
        return 2.0;
    case 7:
        return 3.0;
    default:
        break;
    }
    return size > 7 ? size * 3.0 / 7.0 : 1.0;
}

int MarkupFontHeight(const MarkupStyle& style, int dpiY) {
    double height = dpiY > 0 ? dpiY * style.points / 72.0 : style.points * 1.25;
    // Keep absurd sizes from overflowing the conversion; no font is that large anyway.
    constexpr double kLimit = 100000.0;
    if (!(height > -kLimit))
        height = -kLimit;
    else if (height > kLimit)
        height = kLimit;
    return -static_cast<int>(height); // the cast truncates toward zero
}

} // namespace kelvo
