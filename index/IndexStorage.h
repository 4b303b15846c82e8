// The keyword index in the bank: storage BnkIndx with the binary word table $IdxInfo and the
// IdxItem text blocks of $IdxPool.
#pragma once

#include "core/Progress.h"
#include "index/KeywordIndex.h"
#include "platform/base/ByteStream.h"
#include "platform/base/Result.h"

namespace kelvo {

namespace cfb {
class Storage;
}

inline constexpr char16_t kIndexStorageName[] = u"BnkIndx";
inline constexpr char16_t kIndexInfoName[] = u"$IdxInfo";
inline constexpr char16_t kIndexPoolName[] = u"$IdxPool";
/// Bytes of the $IdxInfo header and of each word's record.
inline constexpr std::size_t kIndexRecordSize = 16;
/// The block name of an index word: "IdxItem".
inline constexpr AnsiView kIdxItemBlock = "IdxItem";

/// Writes the index from the current positions: $IdxInfo gets the 16-byte header (the word
/// count, twelve zeros) and one 16-byte record per word (its UID, twelve zeros); $IdxPool one
/// IdxItem block per word (UID, escaped word, references joined at "#"). Fails when a write
/// fails.
Result<void> WriteIndexStreams(const KeywordIndex& index, ByteStream& info, ByteStream& pool,
                               Progress* progress = nullptr);

/// Replaces the index by the one in the streams. False (and an empty index) when $IdxInfo
/// holds less than its header. Reads as many blocks as the header counts, but stops at the
/// end of $IdxPool, so a damaged count cannot make it run on; the blocks themselves are
/// read by position, unchecked.
bool ReadIndexStreams(KeywordIndex& index, ByteStream& info, ByteStream& pool,
                      Progress* progress = nullptr);

/// Opens or creates BnkIndx and its two streams in the working storage's root, truncates both
/// streams, writes the index and commits, as one transaction. Fails with message 10120 and
/// the reason (a storage or stream that can neither be opened nor created, a file that cannot
/// be written): the file keeps the index it had, and the root's changes are discarded (it is
/// of no further use).
Result<void> SaveIndex(const KeywordIndex& index, cfb::Storage& root, Progress* progress = nullptr);

/// Opens or creates BnkIndx and its streams (a bank that never had an index gains them,
/// uncommitted) and reads the index: true when one was stored, false when none was. Fails
/// with message 10121 and the reason, leaving the index untouched, when the storage cannot
/// be opened or created.
Result<bool> LoadIndex(KeywordIndex& index, cfb::Storage& root, Progress* progress = nullptr);

} // namespace kelvo
