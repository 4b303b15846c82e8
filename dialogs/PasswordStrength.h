// An estimate of how hard a master password is to guess, for the protection dialogs: bits
// from the length and the kinds of characters used, less for repeats and runs, in five grades.
#pragma once

#include <string_view>

namespace kelvo {

enum class PasswordGrade { Empty, VeryWeak, Weak, Fair, Strong };

struct PasswordStrength {
    double bits = 0;
    PasswordGrade grade = PasswordGrade::Empty;
};

/// The estimate for a password given as UTF-8.
PasswordStrength EstimatePasswordStrength(std::string_view utf8);
/// The grade as the dialogs show it ("очень слабый" ... "надежный"), UTF-8.
std::string_view PasswordGradeText(PasswordGrade grade);

} // namespace kelvo
