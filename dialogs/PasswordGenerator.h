// The password generator's logic: the alphabet from the chosen character sets, its shuffle,
// the draws by length or by mask, the validation of the fields and the input histories.
// The dialog only shows these fields and calls these actions.
#pragma once

#include "dialogs/RandomSource.h"
#include "platform/base/Result.h"
#include "platform/text/Ansi.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace kelvo {

/// The six character sets, in the order the alphabet is built from them.
enum class PasswordSet { Upper, Lower, RuUpper, RuLower, Digits, Special };
inline constexpr std::size_t kPasswordSetCount = 6;

/// The text of one set (Windows-1251): A-Z, a-z, the 32 Russian capitals without Ё (Ъ, Ь, Ы
/// in that order), the same in lower case, 0-9, and "~@#$^&()-_+=".
AnsiView PasswordSetText(PasswordSet set);

enum class PasswordMode { ByLength = 0, ByMask = 1 };

inline constexpr int kMinPasswordLength = 1;
inline constexpr int kMaxPasswordLength = 30;
inline constexpr std::size_t kMaxPasswordMaskLength = 30;
/// The character of a mask that is replaced by a drawn alphabet character.
inline constexpr char kMaskPlaceholder = '#';
/// Entries kept in each of the generator's input histories.
inline constexpr std::size_t kPasswordHistoryMaximum = 20;

/// What the user has chosen in the dialog. The defaults are the dialog's initial values.
struct PasswordGeneratorOptions {
    std::array<bool, kPasswordSetCount> useSet{true, true, false, false, true, false};
    bool useOther = false;
    AnsiString other; ///< the "other" alphabet as typed
    int length = 5;
    PasswordMode mode = PasswordMode::ByLength;
    AnsiString mask;

    bool Uses(PasswordSet set) const { return useSet[static_cast<std::size_t>(set)]; }
    void Use(PasswordSet set, bool on) { useSet[static_cast<std::size_t>(set)] = on; }
};

/// The chosen sets in order, then the other text if it is on. Nothing is removed: a character
/// present twice is drawn twice as often.
AnsiString BuildPasswordAlphabet(const PasswordGeneratorOptions& options);

/// Reads the length box's text: a whole number, blanks around it allowed. Errors carry the
/// message to show (UTF-8).
Result<int> ParsePasswordLength(std::string_view text);
/// The length (1 to 30, checked in both modes) and the mask (at most 30 characters).
Result<void> ValidatePasswordOptions(const PasswordGeneratorOptions& options);

/// A random permutation: each step moves a uniformly drawn character of what is left to the
/// end of the result.
Result<AnsiString> ShuffleAlphabet(AnsiView alphabet, RandomSource& random);
/// `length` characters drawn with replacement. An empty alphabet gives an empty text.
Result<AnsiString> DrawPassword(AnsiView alphabet, int length, RandomSource& random);
/// The mask with every '#' replaced by a drawn character; other characters stay.
Result<AnsiString> DrawPasswordByMask(AnsiView alphabet, AnsiView mask, RandomSource& random);

/// How many characters are drawn for the options: the length, or the '#'s of the mask.
std::size_t PasswordDrawCount(const PasswordGeneratorOptions& options);
/// Entropy in bits of `draws` independent draws from the alphabet: the Shannon entropy of one
/// draw over the distinct characters, each weighted by how often it occurs, times the draws.
/// 0 for an empty alphabet.
double PasswordEntropyBits(AnsiView alphabet, std::size_t draws);

/// Why OK of the embedded dialog cannot close it yet.
enum class PasswordAcceptCheck { Ready, NoAlphabet, NoPassword };
/// The message shown for a check other than Ready (UTF-8).
std::string PasswordAcceptMessage(PasswordAcceptCheck check);

/// The generator dialog's state and actions, free of any window.
class PasswordGenerator {
public:
    /// Without a source the operating system's cryptographic one is used.
    explicit PasswordGenerator(std::unique_ptr<RandomSource> random = nullptr);

    /// "Переставить": validates, builds the alphabet from the options and shuffles it. The
    /// other text goes into its history whether or not it is used. On failure nothing changes.
    Result<void> Shuffle(const PasswordGeneratorOptions& options);
    /// "Генерировать": validates and draws from the current (shuffled) alphabet, not from the
    /// options' sets. With no alphabet nothing happens. The mask goes into its history in
    /// either mode.
    Result<void> Generate(const PasswordGeneratorOptions& options);
    /// OK of the embedded dialog: the alphabet and a password must have been made.
    PasswordAcceptCheck CheckAccept() const;

    const AnsiString& Alphabet() const { return m_alphabet; }
    const AnsiString& Password() const { return m_password; }
    /// Entropy of the current password in bits (0 before the first generation).
    double PasswordEntropy() const { return m_entropyBits; }

    /// Histories of the mask and of the other alphabet, newest first. The dialog loads and
    /// saves them; Shuffle and Generate add to them.
    std::vector<AnsiString>& MaskHistory() { return m_maskHistory; }
    std::vector<AnsiString>& OtherHistory() { return m_otherHistory; }
    const std::vector<AnsiString>& MaskHistory() const { return m_maskHistory; }
    const std::vector<AnsiString>& OtherHistory() const { return m_otherHistory; }

private:
    std::unique_ptr<RandomSource> m_random;
    AnsiString m_alphabet;
    AnsiString m_password;
    double m_entropyBits = 0;
    std::vector<AnsiString> m_maskHistory;
    std::vector<AnsiString> m_otherHistory;
};

} // namespace kelvo
