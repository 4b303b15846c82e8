// Fuzzes the reader of the stored keyword index: the first 16 bytes are $IdxInfo's header,
// the rest is $IdxPool. Whatever the count says, the reader must stop at the end of the pool
// and hold no more words than the pool has lines.
#include "index/IndexStorage.h"
#include "platform/base/MemoryStream.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t split = std::min<std::size_t>(16, bytes.size());
    kelvo::MemoryStream info(bytes.substr(0, split)), pool(bytes.substr(split));
    kelvo::KeywordIndex index;
    kelvo::ReadIndexStreams(index, info, pool);
    if (index.size() > pool.bytes().size())
        std::abort();
    for (const auto& item : index)
        (void)index.FindWord(item->word);
    (void)index.NextFreeUid();
    return 0;
}
