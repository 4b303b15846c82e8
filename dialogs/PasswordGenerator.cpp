// The password generator's logic.
#include "dialogs/PasswordGenerator.h"

#include "core/Messages.h"
#include "dialogs/InputHistory.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace kelvo {

namespace {

// Windows-1251 bytes. The Russian sets leave out Ё and list Ъ, Ь, Ы in that order, which
// is not the code page's order (Ъ DA, Ы DB, Ь DC).
constexpr AnsiView kSetTexts[kPasswordSetCount] = {
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
    "abcdefghijklmnopqrstuvwxyz",
    "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
    "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xDC\xDB\xDD\xDE\xDF",
    "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
    "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFC\xFB\xFD\xFE\xFF",
    "0123456789",
    "~@#$^&()-_+=",
};

Error LengthError() {
    return MessageError(hr::InvalidArg, msg::PasswordLengthRange);
}

Result<std::uint32_t> AlphabetSize(AnsiView alphabet) {
    if (alphabet.size() > std::numeric_limits<std::uint32_t>::max())
        return MessageError(hr::InvalidArg, msg::AlphabetTooLong);
    return static_cast<std::uint32_t>(alphabet.size());
}

Result<char> DrawCharacter(AnsiView alphabet, std::uint32_t n, RandomSource& random) {
    auto index = RandomIndex(random, n);
    if (!index)
        return index.error();
    return alphabet[*index];
}

} // namespace

AnsiView PasswordSetText(PasswordSet set) {
    return kSetTexts[static_cast<std::size_t>(set)];
}

AnsiString BuildPasswordAlphabet(const PasswordGeneratorOptions& options) {
    AnsiString alphabet;
    for (std::size_t i = 0; i < kPasswordSetCount; ++i)
        if (options.useSet[i])
            alphabet += kSetTexts[i];
    if (options.useOther)
        alphabet += options.other;
    return alphabet;
}

Result<int> ParsePasswordLength(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 9)
        return LengthError();
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return LengthError();
        value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    if (value < kMinPasswordLength || value > kMaxPasswordLength)
        return LengthError();
    return value;
}

Result<void> ValidatePasswordOptions(const PasswordGeneratorOptions& options) {
    if (options.length < kMinPasswordLength || options.length > kMaxPasswordLength)
        return LengthError();
    if (options.mask.size() > kMaxPasswordMaskLength)
        return MessageError(hr::InvalidArg, msg::OtherCharsTooLong);
    return {};
}

Result<AnsiString> ShuffleAlphabet(AnsiView alphabet, RandomSource& random) {
    auto size = AlphabetSize(alphabet);
    if (!size)
        return size.error();
    AnsiString left(alphabet);
    AnsiString result;
    result.reserve(left.size());
    while (!left.empty()) {
        auto k = RandomIndex(random, static_cast<std::uint32_t>(left.size()));
        if (!k)
            return k.error();
        result += left[*k];
        left.erase(*k, 1);
    }
    return result;
}

Result<AnsiString> DrawPassword(AnsiView alphabet, int length, RandomSource& random) {
    auto n = AlphabetSize(alphabet);
    if (!n)
        return n.error();
    AnsiString password;
    if (*n == 0)
        return password;
    for (int i = 0; i < length; ++i) {
        auto c = DrawCharacter(alphabet, *n, random);
        if (!c)
            return c.error();
        password += *c;
    }
    return password;
}

Result<AnsiString> DrawPasswordByMask(AnsiView alphabet, AnsiView mask, RandomSource& random) {
    auto n = AlphabetSize(alphabet);
    if (!n)
        return n.error();
    AnsiString password;
    if (*n == 0)
        return password;
    for (char m : mask) {
        if (m != kMaskPlaceholder) {
            password += m;
            continue;
        }
        auto c = DrawCharacter(alphabet, *n, random);
        if (!c)
            return c.error();
        password += *c;
    }
    return password;
}

std::size_t PasswordDrawCount(const PasswordGeneratorOptions& options) {
    if (options.mode == PasswordMode::ByMask) {
        std::size_t count = 0;
        for (char c : options.mask)
            count += c == kMaskPlaceholder;
        return count;
    }
    return options.length > 0 ? static_cast<std::size_t>(options.length) : 0;
}

double PasswordEntropyBits(AnsiView alphabet, std::size_t draws) {
    if (alphabet.empty())
        return 0;
    std::array<std::size_t, 256> counts{};
    for (char c : alphabet)
        ++counts[static_cast<unsigned char>(c)];
    const double total = static_cast<double>(alphabet.size());
    double perDraw = 0;
    for (std::size_t count : counts) {
        if (count == 0)
            continue;
        double p = static_cast<double>(count) / total;
        perDraw -= p * std::log2(p);
    }
    return perDraw * static_cast<double>(draws);
}

std::string PasswordAcceptMessage(PasswordAcceptCheck check) {
    switch (check) {
    case PasswordAcceptCheck::NoAlphabet:
        return std::string(StringText(msg::NoAlphabet));
    case PasswordAcceptCheck::NoPassword:
        return std::string(StringText(msg::NoPassword));
    case PasswordAcceptCheck::Ready:
        break;
    }
    return {};
}

PasswordGenerator::PasswordGenerator(std::unique_ptr<RandomSource> random)
    : m_random(random ? std::move(random) : MakeSystemRandomSource()) {}

Result<void> PasswordGenerator::Shuffle(const PasswordGeneratorOptions& options) {
    if (auto valid = ValidatePasswordOptions(options); !valid)
        return valid;
    auto shuffled = ShuffleAlphabet(BuildPasswordAlphabet(options), *m_random);
    if (!shuffled)
        return shuffled.error();
    m_alphabet = std::move(*shuffled);
    AddToHistory(m_otherHistory, options.other, kPasswordHistoryMaximum);
    return {};
}

Result<void> PasswordGenerator::Generate(const PasswordGeneratorOptions& options) {
    if (auto valid = ValidatePasswordOptions(options); !valid)
        return valid;
    if (m_alphabet.empty())
        return {};
    auto password = options.mode == PasswordMode::ByMask
                        ? DrawPasswordByMask(m_alphabet, options.mask, *m_random)
                        : DrawPassword(m_alphabet, options.length, *m_random);
    if (!password)
        return password.error();
    m_password = std::move(*password);
    m_entropyBits = PasswordEntropyBits(m_alphabet, PasswordDrawCount(options));
    AddToHistory(m_maskHistory, options.mask, kPasswordHistoryMaximum);
    return {};
}

PasswordAcceptCheck PasswordGenerator::CheckAccept() const {
    if (m_alphabet.empty())
        return PasswordAcceptCheck::NoAlphabet;
    if (m_password.empty())
        return PasswordAcceptCheck::NoPassword;
    return PasswordAcceptCheck::Ready;
}

} // namespace kelvo
