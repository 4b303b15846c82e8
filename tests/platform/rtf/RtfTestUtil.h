// Helpers of the RTF tests: corpus files and their expected texts.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kelvo::rtftest {

inline std::filesystem::path CorpusDir() {
    return std::filesystem::path(KELVO_TEST_DATA_DIR) / "rtf";
}

inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string Corpus(const std::string& name) {
    return ReadFileBytes(CorpusDir() / name);
}

/// Names (without extension) of the corpus bodies, sorted.
inline std::vector<std::string> CorpusNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(CorpusDir()))
        if (entry.path().extension() == ".rtf")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace kelvo::rtftest
