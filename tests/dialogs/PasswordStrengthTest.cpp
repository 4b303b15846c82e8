// The strength shown in the protection dialogs: length and variety raise it, repeats and
// runs do not.
#include "dialogs/PasswordStrength.h"

#include <gtest/gtest.h>

using namespace kelvo;

TEST(PasswordStrength, LengthAndVarietyCountRepeatsAndRunsDoNot) {
    EXPECT_EQ(EstimatePasswordStrength("").grade, PasswordGrade::Empty);
    EXPECT_EQ(EstimatePasswordStrength("1234").grade, PasswordGrade::VeryWeak);
    EXPECT_EQ(EstimatePasswordStrength("aaaaaaaaaaaaaaaaaaaa").grade, PasswordGrade::VeryWeak);
    EXPECT_EQ(EstimatePasswordStrength("abcdefghijklmnopqrst").grade, PasswordGrade::VeryWeak);
    EXPECT_EQ(EstimatePasswordStrength("gRkw7q").grade, PasswordGrade::Weak);
    EXPECT_EQ(EstimatePasswordStrength("Вечер9Туман").grade, PasswordGrade::Fair);
    EXPECT_EQ(EstimatePasswordStrength("Тихий-лес_у реки 1987 Kx!").grade, PasswordGrade::Strong);
    // Cyrillic letters are counted as characters, not as bytes.
    EXPECT_LT(EstimatePasswordStrength("жук").bits, EstimatePasswordStrength("жукжук7Q").bits);
    EXPECT_EQ(PasswordGradeText(PasswordGrade::Strong), "надежный");
}
