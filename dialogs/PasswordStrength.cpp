// The strength estimate: a pool size from the character classes present, log2 of it per
// character, with repeated characters and steps of one (abc, 321) counted at one bit.
#include "dialogs/PasswordStrength.h"

#include "core/Messages.h"
#include "platform/text/CodePages.h"

#include <cmath>
#include <set>

namespace kelvo {

PasswordStrength EstimatePasswordStrength(std::string_view utf8) {
    const std::u16string text = Utf8ToUtf16(utf8);
    if (text.empty())
        return {};
    bool lower = false, upper = false, digit = false, cyrLower = false, cyrUpper = false,
         other = false;
    for (char16_t c : text) {
        if (c >= u'a' && c <= u'z')
            lower = true;
        else if (c >= u'A' && c <= u'Z')
            upper = true;
        else if (c >= u'0' && c <= u'9')
            digit = true;
        else if ((c >= 0x0430 && c <= 0x044F) || c == 0x0451)
            cyrLower = true;
        else if ((c >= 0x0410 && c <= 0x042F) || c == 0x0401)
            cyrUpper = true;
        else
            other = true;
    }
    const double pool = 26.0 * lower + 26.0 * upper + 10.0 * digit + 33.0 * cyrLower +
                        33.0 * cyrUpper + 33.0 * other;
    const double perChar = std::log2(pool);
    double bits = 0;
    std::set<char16_t> seen;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool repeat = !seen.insert(c).second;
        const bool step = i > 0 && (c == text[i - 1] + 1 || c + 1 == text[i - 1]);
        bits += repeat || step ? 1.0 : perChar;
    }
    PasswordStrength out;
    out.bits = bits;
    out.grade = bits < 28   ? PasswordGrade::VeryWeak
                : bits < 45 ? PasswordGrade::Weak
                : bits < 70 ? PasswordGrade::Fair
                            : PasswordGrade::Strong;
    return out;
}

std::string_view PasswordGradeText(PasswordGrade grade) {
    switch (grade) {
    case PasswordGrade::Empty:
        return StringText(msg::GradeEmpty);
    case PasswordGrade::VeryWeak:
        return StringText(msg::GradeVeryWeak);
    case PasswordGrade::Weak:
        return StringText(msg::GradeWeak);
    case PasswordGrade::Fair:
        return StringText(msg::GradeFair);
    case PasswordGrade::Strong:
        return StringText(msg::GradeStrong);
    }
    return {};
}

} // namespace kelvo
