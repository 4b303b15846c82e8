// Tests of the password generator: alphabet, shuffle, draws, validation, histories, entropy.
#include "dialogs/PasswordGenerator.h"
#include "dialogs/InputHistory.h"
#include "platform/text/Ansi.h"

#include "ScriptedSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <string>

using namespace kelvo;
using kelvo::test::ScriptedSource;

namespace {

std::unique_ptr<RandomSource> Scripted(std::deque<std::uint32_t> words) {
    return std::make_unique<ScriptedSource>(std::move(words));
}

AnsiString Sorted(AnsiString text) {
    std::sort(text.begin(), text.end());
    return text;
}

PasswordGeneratorOptions NoSets() {
    PasswordGeneratorOptions options;
    options.useSet.fill(false);
    return options;
}

} // namespace

TEST(PasswordGenerator, SetTextsAndAlphabetKeepDuplicates) {
    EXPECT_EQ(AnsiToUtf8(PasswordSetText(PasswordSet::RuUpper)),
              "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЬЫЭЮЯ");
    EXPECT_EQ(AnsiToUtf8(PasswordSetText(PasswordSet::RuLower)),
              "абвгдежзийклмнопрстуфхцчшщъьыэюя");
    EXPECT_EQ(PasswordSetText(PasswordSet::Special), "~@#$^&()-_+=");

    PasswordGenerator generator;
    ASSERT_TRUE(generator.Shuffle(PasswordGeneratorOptions{}));
    EXPECT_EQ(Sorted(generator.Alphabet()),
              "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

    auto digitsAndOther = NoSets();
    digitsAndOther.Use(PasswordSet::Digits, true);
    digitsAndOther.useOther = true;
    digitsAndOther.other = "0123";
    EXPECT_EQ(BuildPasswordAlphabet(digitsAndOther), "01234567890123");
    ASSERT_TRUE(generator.Shuffle(digitsAndOther));
    EXPECT_EQ(Sorted(generator.Alphabet()), "00112233456789");

    // The other text only counts when its box is on, but enters the history either way.
    digitsAndOther.useOther = false;
    EXPECT_EQ(BuildPasswordAlphabet(digitsAndOther), "0123456789");
    ASSERT_TRUE(generator.Shuffle(digitsAndOther));
    EXPECT_EQ(generator.OtherHistory(), std::vector<AnsiString>{"0123"});
}

TEST(PasswordGenerator, ShuffleTakesEachDrawnCharacterFromWhatIsLeft) {
    auto shuffled = ShuffleAlphabet("abc", *Scripted({2, 0, 0}));
    ASSERT_TRUE(shuffled);
    EXPECT_EQ(*shuffled, "cab");
}

TEST(PasswordGenerator, DrawsByLengthAndByMask) {
    auto draws = DrawPassword("abcd", 5, *Scripted({3, 0, 1, 1, 6}));
    ASSERT_TRUE(draws);
    EXPECT_EQ(*draws, "dabbc");

    PasswordGenerator generator;
    ASSERT_TRUE(generator.Shuffle(PasswordGeneratorOptions{}));
    PasswordGeneratorOptions byMask;
    byMask.mode = PasswordMode::ByMask;
    byMask.mask = "##-##";
    ASSERT_TRUE(generator.Generate(byMask));
    ASSERT_EQ(generator.Password().size(), 5u);
    EXPECT_EQ(generator.Password()[2], '-');
    for (std::size_t i : {0u, 1u, 3u, 4u})
        EXPECT_NE(generator.Alphabet().find(generator.Password()[i]), AnsiString::npos);

    byMask.mask = "abc-\xC6"; // no '#': the mask itself
    ASSERT_TRUE(generator.Generate(byMask));
    EXPECT_EQ(generator.Password(), "abc-\xC6");

    // Changing the sets after the shuffle does not change what is drawn from.
    auto nothing = NoSets();
    nothing.length = 30;
    ASSERT_TRUE(generator.Generate(nothing));
    ASSERT_EQ(generator.Password().size(), 30u);
    EXPECT_EQ(generator.Password().find_first_not_of(generator.Alphabet()), AnsiString::npos);

    byMask.mask.clear(); // an empty mask gives an empty password, which OK refuses
    ASSERT_TRUE(generator.Generate(byMask));
    EXPECT_EQ(generator.Password(), "");
    EXPECT_EQ(generator.CheckAccept(), PasswordAcceptCheck::NoPassword);
}

TEST(PasswordGenerator, EmptyAlphabetGeneratesNothing) {
    PasswordGenerator generator;
    EXPECT_EQ(generator.CheckAccept(), PasswordAcceptCheck::NoAlphabet);
    auto options = NoSets();
    options.useOther = true; // on but empty
    ASSERT_TRUE(generator.Shuffle(options));
    EXPECT_EQ(generator.Alphabet(), "");
    options.mask = "##";
    ASSERT_TRUE(generator.Generate(options));
    EXPECT_EQ(generator.Password(), "");
    EXPECT_TRUE(generator.MaskHistory().empty());
    EXPECT_TRUE(generator.OtherHistory().empty());
    EXPECT_EQ(generator.CheckAccept(), PasswordAcceptCheck::NoAlphabet);
    EXPECT_EQ(PasswordAcceptMessage(PasswordAcceptCheck::NoAlphabet),
              "Не создан алфавит пароля!\nНажмите кнопку Переставить, чтобы создать его.");
}

TEST(PasswordGenerator, ValidationRefusesAndChangesNothing) {
    PasswordGenerator generator(Scripted({1, 0}));
    ASSERT_TRUE(generator.Shuffle(NoSets()));
    for (PasswordMode mode : {PasswordMode::ByLength, PasswordMode::ByMask}) {
        for (int length : {0, 31, -3}) {
            PasswordGeneratorOptions options;
            options.mode = mode;
            options.length = length;
            options.mask = "#";
            EXPECT_FALSE(generator.Shuffle(options)) << length;
            EXPECT_FALSE(generator.Generate(options)) << length;
        }
    }
    PasswordGeneratorOptions longMask;
    longMask.mode = PasswordMode::ByMask;
    longMask.mask = AnsiString(31, '#');
    auto refused = generator.Shuffle(longMask);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().message, "Введите не более 30 символов.");
    longMask.mask.pop_back();
    EXPECT_TRUE(ValidatePasswordOptions(longMask));
    EXPECT_TRUE(generator.MaskHistory().empty());
    EXPECT_TRUE(generator.Password().empty());

    EXPECT_EQ(ParsePasswordLength(" 7 ").value(), 7);
    EXPECT_EQ(ParsePasswordLength("30").value(), 30);
    for (const char* bad : {"", "0", "31", "-1", "5x", "x", "99999999999999"})
        EXPECT_FALSE(ParsePasswordLength(bad)) << bad;
    EXPECT_EQ(ParsePasswordLength("abc").error().message, "Введите целое число от 1 до 30.");
}

TEST(PasswordGenerator, RandomFailureLeavesStateUnchanged) {
    PasswordGenerator generator(Scripted({0, 0}));
    ASSERT_TRUE(generator.Shuffle(NoSets())); // nothing drawn
    auto options = NoSets();
    options.Use(PasswordSet::Digits, true);
    EXPECT_FALSE(generator.Shuffle(options)); // source runs dry after two draws
    EXPECT_EQ(generator.Alphabet(), "");
}

TEST(PasswordGenerator, HistoriesAreBoundedNewestFirstWithoutRepeats) {
    PasswordGenerator generator;
    ASSERT_TRUE(generator.Shuffle(PasswordGeneratorOptions{}));
    PasswordGeneratorOptions options; // by length: the mask is still recorded
    for (int i = 0; i < 21; ++i) {
        options.mask = "m" + std::to_string(i);
        ASSERT_TRUE(generator.Generate(options));
    }
    const auto& masks = generator.MaskHistory();
    ASSERT_EQ(masks.size(), 20u);
    EXPECT_EQ(masks.front(), "m20");
    EXPECT_EQ(masks.back(), "m1"); // m0 dropped

    // The list is cut to 19 before the repeat is taken out, so a full list loses its oldest
    // entry even when the new text was already in it.
    options.mask = "m10";
    ASSERT_TRUE(generator.Generate(options));
    EXPECT_EQ(masks.size(), 19u);
    EXPECT_EQ(masks.back(), "m2");
    EXPECT_EQ(masks.front(), "m10");
    EXPECT_EQ(std::count(masks.begin(), masks.end(), "m10"), 1);

    std::vector<AnsiString> history{"a", "B"};
    EXPECT_FALSE(AddToHistory(history, "", 20));
    EXPECT_TRUE(AddToHistory(history, "b", 20)); // case-sensitive: not a repeat
    EXPECT_EQ(history, (std::vector<AnsiString>{"b", "a", "B"}));
}

TEST(PasswordGenerator, EntropyWeighsCharactersByMultiplicity) {
    EXPECT_NEAR(
        PasswordEntropyBits("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 5),
        5 * std::log2(62.0), 1e-9);
    // 0-3 twice, 4-9 once among 14.
    double perDraw = 4 * (2.0 / 14) * std::log2(7.0) + 6 * (1.0 / 14) * std::log2(14.0);
    EXPECT_NEAR(PasswordEntropyBits("01234567890123", 3), 3 * perDraw, 1e-9);
    EXPECT_EQ(PasswordEntropyBits("aaaa", 10), 0.0);
    EXPECT_EQ(PasswordEntropyBits("", 10), 0.0);

    PasswordGenerator generator;
    ASSERT_TRUE(generator.Shuffle(PasswordGeneratorOptions{}));
    PasswordGeneratorOptions byMask;
    byMask.mode = PasswordMode::ByMask;
    byMask.mask = "##-##";
    byMask.length = 12; // ignored by the mask
    ASSERT_TRUE(generator.Generate(byMask));
    EXPECT_NEAR(generator.PasswordEntropy(), 4 * std::log2(62.0), 1e-9);
}
