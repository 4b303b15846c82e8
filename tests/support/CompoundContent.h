// What a compound file holds, as the fault tests compare it: every storage and stream by path
// with each stream's size and CRC-32, read by this engine or by olefile (an independent
// reader), and the engine validator's verdict.
#pragma once

#include "platform/base/Result.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kelvo::test {

/// Path (UTF-8, "/" between levels) → "storage", or the stream's "<size> <crc32>".
using Content = std::map<std::string, std::string>;

/// The content of compound-file bytes as this engine reads them (opened read-only).
Result<Content> ReadContent(const std::string& bytes);
/// What the validator finds wrong or untidy in compound-file bytes; empty when clean. A last
/// sector cut short is not counted (what an interrupted write past the end leaves).
std::string ValidationProblems(const std::string& bytes);
/// The CRC-32 of bytes (as zlib computes it).
std::uint32_t Crc32(std::string_view bytes);

/// True when /usr/bin/python3 can import olefile.
bool HaveOlefile();
/// The content of each file as olefile reads it, in one run of python; a file olefile cannot
/// read maps to a single entry "error" with its message.
std::map<std::filesystem::path, Content>
OlefileContents(const std::vector<std::filesystem::path>& files);

/// A fresh folder on disk, removed with the object.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& path);

} // namespace kelvo::test
