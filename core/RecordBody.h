// The body streams of records: RecData/<HexText(UID)> in a bank's working storage.
#pragma once

#include "platform/base/Result.h"
#include "platform/storage/Storage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvo {

inline constexpr std::u16string_view kRecDataStorage = u"RecData";

/// The stream name of a record's body: eight uppercase hexadecimal digits of its UID.
std::u16string BodyStreamName(std::uint32_t uid);

/// Replaces the body of record `uid` (RecData and the stream are opened or created).
Result<void> WriteRecordBody(cfb::Storage& root, std::uint32_t uid, std::string_view bytes);
/// The body bytes, creating RecData and an empty body stream when they are missing.
Result<std::string> LoadRecordBody(cfb::Storage& root, std::uint32_t uid);
/// Destroys the body stream of record `uid`; a missing RecData or stream is no error.
Result<void> RemoveRecordBody(cfb::Storage& root, std::uint32_t uid);
/// The same for many records, as one transaction: on a failure none of them is removed and the
/// failure is returned.
Result<void> RemoveRecordBodies(cfb::Storage& root, const std::vector<std::uint32_t>& uids);
/// The body bytes; fails when the record has no body stream. Creates nothing.
Result<std::string> ReadRecordBody(cfb::Storage& root, std::uint32_t uid);
/// The body's size in bytes, or nothing when there is no body stream. Creates nothing.
std::optional<std::uint64_t> RecordBodySize(cfb::Storage& root, std::uint32_t uid);

/// The sizes of every body stream in RecData, by UID (names that are not eight hexadecimal
/// digits are left out). Creates nothing.
std::unordered_map<std::uint32_t, std::uint64_t> RecordBodySizes(cfb::Storage& root);

} // namespace kelvo
