// Tests of the random source: rejection sampling at its boundary, uniformity of the draws
// and of the shuffle, and independence of generators made at the same moment.
#include "dialogs/RandomSource.h"
#include "dialogs/PasswordGenerator.h"

#include "ScriptedSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <functional>
#include <vector>

using namespace kelvo;
using kelvo::test::ScriptedSource;

namespace {

// The classic mistake: one random byte taken modulo the alphabet size. Its words are the
// biased indices themselves, so they pass through rejection sampling unchanged.
class ModuloBiasedSource : public RandomSource {
public:
    explicit ModuloBiasedSource(std::uint32_t n) : m_n(n) {}
    bool NextWord(std::uint32_t& out) override {
        std::uint32_t word = 0;
        if (!m_system.NextWord(word))
            return false;
        out = (word & 0xFF) % m_n;
        return true;
    }

private:
    SystemRandomSource m_system;
    std::uint32_t m_n;
};

// Pearson's statistic of observed counts against equal expected counts.
double ChiSquare(const std::vector<long>& counts) {
    long total = 0;
    for (long c : counts)
        total += c;
    const double expected = static_cast<double>(total) / static_cast<double>(counts.size());
    double sum = 0;
    for (long c : counts)
        sum += (static_cast<double>(c) - expected) * (static_cast<double>(c) - expected);
    return sum / expected;
}

// The upper 1e-6 point of chi-square with `df` degrees of freedom (Wilson-Hilferty), so
// that a dozen checks of a fair source fail about once in 100 000 runs.
double CriticalValue(int df) {
    const double z = 4.7534;
    const double a = 2.0 / (9.0 * df);
    return df * std::pow(1 - a + z * std::sqrt(a), 3);
}

constexpr int kAlphabetSize = 62;
constexpr int kPasswordLength = 10;
// 20 000 draws per position: a byte-modulo draw over 62 characters gives a statistic near
// 193 per position (noncentrality 0.0066 a draw) and near 1380 over all positions, against
// a bound of about 129.
constexpr int kPasswords = 20000;

struct DrawStatistics {
    double overall = 0;
    double worstPosition = 0;
};

// Draws passwords from the default alphabet and measures how evenly the alphabet's
// characters come out, overall and at each position.
DrawStatistics MeasureDraws(RandomSource& random) {
    SystemRandomSource system;
    auto alphabet = ShuffleAlphabet(BuildPasswordAlphabet(PasswordGeneratorOptions{}), system);
    EXPECT_TRUE(alphabet);
    EXPECT_EQ(alphabet->size(), static_cast<std::size_t>(kAlphabetSize));
    std::vector<long> overall(kAlphabetSize);
    std::vector<std::vector<long>> byPosition(kPasswordLength, std::vector<long>(kAlphabetSize));
    for (int i = 0; i < kPasswords; ++i) {
        auto password = DrawPassword(*alphabet, kPasswordLength, random);
        EXPECT_TRUE(password);
        for (int pos = 0; pos < kPasswordLength; ++pos) {
            auto index = alphabet->find((*password)[pos]);
            if (index >= alphabet->size()) {
                ADD_FAILURE() << "a character outside the alphabet";
                return {};
            }
            ++overall[index];
            ++byPosition[pos][index];
        }
    }
    DrawStatistics stats;
    stats.overall = ChiSquare(overall);
    for (const auto& counts : byPosition)
        stats.worstPosition = std::max(stats.worstPosition, ChiSquare(counts));
    return stats;
}

} // namespace

TEST(RandomIndex, RejectsWordsAboveTheLastWholeMultiple) {
    // 2^32 = 62 * 69273666 + 4: the four highest words would favour indices 0 to 3.
    ScriptedSource source({0xFFFFFFFFu, 0xFFFFFFFCu, 0xFFFFFFFBu, 61u, 62u});
    EXPECT_EQ(RandomIndex(source, 62).value(), 4294967291u % 62);
    EXPECT_EQ(RandomIndex(source, 62).value(), 61u);
    EXPECT_EQ(RandomIndex(source, 62).value(), 0u);
    EXPECT_FALSE(RandomIndex(source, 62)); // source exhausted: an error, not a value

    ScriptedSource any({0xFFFFFFFFu});
    EXPECT_EQ(RandomIndex(any, 1).value(), 0u); // one index: nothing is rejected
    ScriptedSource unused({});
    EXPECT_FALSE(RandomIndex(unused, 0));
}

TEST(RandomIndex, BrokenSourceIsReportedNotLoopedOn) {
    std::deque<std::uint32_t> stuck(1000, 0xFFFFFFFFu);
    ScriptedSource source(stuck);
    auto index = RandomIndex(source, 62);
    ASSERT_FALSE(index);
    EXPECT_FALSE(index.error().message.empty());
}

TEST(RandomIndex, DrawsShowNoCharacterOrPositionBias) {
    SystemRandomSource system;
    DrawStatistics fair = MeasureDraws(system);
    const double bound = CriticalValue(kAlphabetSize - 1);
    EXPECT_LT(fair.overall, bound);
    EXPECT_LT(fair.worstPosition, bound);

    // The same statistic catches a modulo-biased draw at this sample size.
    ModuloBiasedSource biased(kAlphabetSize);
    DrawStatistics unfair = MeasureDraws(biased);
    EXPECT_GT(unfair.overall, bound);
    EXPECT_GT(unfair.worstPosition, bound);
}

TEST(RandomIndex, ShuffleMovesEachCharacterToEveryPlaceEvenly) {
    SystemRandomSource system;
    const AnsiString alphabet = BuildPasswordAlphabet(PasswordGeneratorOptions{});
    std::vector<long> placeOfFirst(kAlphabetSize), firstPlace(kAlphabetSize);
    for (int i = 0; i < 20000; ++i) {
        auto shuffled = ShuffleAlphabet(alphabet, system);
        ASSERT_TRUE(shuffled);
        auto place = shuffled->find(alphabet[0]);
        auto first = alphabet.find((*shuffled)[0]);
        ASSERT_TRUE(place < alphabet.size() && first < alphabet.size());
        ++placeOfFirst[place];
        ++firstPlace[first];
    }
    const double bound = CriticalValue(kAlphabetSize - 1);
    EXPECT_LT(ChiSquare(placeOfFirst), bound);
    EXPECT_LT(ChiSquare(firstPlace), bound);
}

TEST(RandomIndex, GeneratorsMadeAtTheSameMomentDiffer) {
    PasswordGenerator first, second;
    PasswordGeneratorOptions options;
    options.length = 30;
    ASSERT_TRUE(first.Shuffle(options));
    ASSERT_TRUE(second.Shuffle(options));
    ASSERT_TRUE(first.Generate(options));
    ASSERT_TRUE(second.Generate(options));
    EXPECT_NE(first.Alphabet(), second.Alphabet());
    EXPECT_NE(first.Password(), second.Password());
}
