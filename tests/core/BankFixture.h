// Helpers of the bank tests: a temporary folder with a non-ASCII name, and direct looks into
// compound files.
#pragma once

#include "platform/storage/Storage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace kelvo::test {

/// A fresh folder "…/kelvo-core-XXXXXX/данные", removed with everything in it at the end.
class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kelvo-core-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            ADD_FAILURE() << "mkdtemp failed";
        m_base = pattern;
        m_path = m_base / "данные";
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_base, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_base, m_path;
};

inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

/// The bytes of the stream at `streamPath` ("RecTree/Struct") in the compound file, or
/// nothing when it cannot be read.
inline std::optional<std::string> ReadBankStream(const std::filesystem::path& file,
                                                 const std::u16string& streamPath) {
    auto root = cfb::Storage::OpenFile(file, cfb::mode::Open);
    if (!root)
        return std::nullopt;
    cfb::Storage current = std::move(*root);
    std::u16string rest = streamPath;
    for (auto slash = rest.find(u'/'); slash != std::u16string::npos; slash = rest.find(u'/')) {
        auto child = current.OpenStorage(rest.substr(0, slash));
        if (!child)
            return std::nullopt;
        current = std::move(*child);
        rest = rest.substr(slash + 1);
    }
    auto stream = current.OpenStream(rest);
    if (!stream)
        return std::nullopt;
    auto bytes = stream->ReadAll();
    if (!bytes)
        return std::nullopt;
    return *bytes;
}

} // namespace kelvo::test
