// The getrandom(2)-backed random source and rejection sampling of indices.
#include "dialogs/RandomSource.h"

#include "core/Messages.h"

#include <cerrno>
#include <cstddef>
#include <sys/random.h>

namespace kelvo {

bool SystemRandomSource::NextWord(std::uint32_t& out) {
    auto* bytes = reinterpret_cast<unsigned char*>(&out);
    std::size_t got = 0;
    while (got < sizeof out) {
        // Flags 0: the urandom pool, blocking only until the kernel has been seeded once.
        ssize_t n = getrandom(bytes + got, sizeof out - got, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

std::unique_ptr<RandomSource> MakeSystemRandomSource() {
    return std::make_unique<SystemRandomSource>();
}

Result<std::uint32_t> RandomIndex(RandomSource& source, std::uint32_t n) {
    if (n == 0)
        return MakeError(hr::InvalidArg, "no index can be drawn from an empty range");
    constexpr std::uint64_t kRange = std::uint64_t{1} << 32;
    const std::uint64_t limit = kRange - kRange % n; // a multiple of n
    // A fair source is rejected with probability below 1/2 per word, so 64 rejections in a
    // row mean the source is broken rather than unlucky.
    for (int attempt = 0; attempt < 64; ++attempt) {
        std::uint32_t word = 0;
        if (!source.NextWord(word))
            return MessageError(hr::Fail, msg::RandomFailed);
        if (word < limit)
            return word % n;
    }
    return MessageError(hr::Fail, msg::RandomNotRandom);
}

} // namespace kelvo
