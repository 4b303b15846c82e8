// Random numbers for the password generator: the operating system's cryptographic source
// behind a small interface, and unbiased indices drawn from it.
#pragma once

#include "platform/base/Result.h"

#include <cstdint>
#include <memory>

namespace kelvo {

/// A source of uniformly distributed 32-bit words. Tests substitute deterministic ones.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    /// Stores the next word in `out`; false when the source cannot deliver one.
    virtual bool NextWord(std::uint32_t& out) = 0;
};

/// The kernel's cryptographic generator through getrandom(2). Nothing is buffered, so no
/// future random material lingers in the process's memory.
class SystemRandomSource final : public RandomSource {
public:
    bool NextWord(std::uint32_t& out) override;
};

std::unique_ptr<RandomSource> MakeSystemRandomSource();

/// A uniformly distributed index in [0, n) for n >= 1. Words at or above the largest multiple
/// of n below 2^32 are rejected and drawn again, so every index is exactly equally likely (a
/// plain modulo would favour the low indices). Fails when n is 0, when the source fails, or
/// when it keeps delivering rejected words (a broken source must not hang the caller).
Result<std::uint32_t> RandomIndex(RandomSource& source, std::uint32_t n);

} // namespace kelvo
