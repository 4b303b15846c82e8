// Shared pieces of the benchmarks that need a large bank: timing, record bodies of words and
// a bank of many records with their bodies written in one transaction.
#pragma once

#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace kelvo::bench {

inline double Millis(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

/// The best time of `rounds` runs of `f`, in milliseconds.
template <class F> double Best(int rounds, F&& f) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, Millis(std::chrono::steady_clock::now() - start));
    }
    return best;
}

/// An RTF body of about `size` bytes of Russian words, one in a thousand bodies (by `n`)
/// holding "янтарь".
inline std::string Body(std::size_t size, int n) {
    static const char* words[] = {"\xEB\xE5\xF1",     "\xF0\xE5\xEA\xE0", "\xE3\xEE\xF0\xE0",
                                  "\xEF\xEE\xEB\xE5", "\xE4\xEE\xEC",     "\xF1\xE0\xE4"};
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 ";
    unsigned x = static_cast<unsigned>(n) * 2654435761u;
    while (rtf.size() < size) {
        x = x * 1103515245u + 12345u;
        rtf += words[(x >> 16) % 6];
        rtf += (x >> 8) % 11 == 0 ? "\\par " : " ";
    }
    if (n % 1000 == 7)
        rtf += "\xFF\xED\xF2\xE0\xF0\xFC "; // янтарь
    return rtf + "}";
}

/// Saves at `bank` a bank of `records` records in chapters of 100, with `bodyBytes` of bodies
/// spread evenly over them.
inline void BuildBank(const std::filesystem::path& bank, int records, std::size_t bodyBytes) {
    CQuorvellineDoc doc;
    (void)doc.OnNewDocument();
    TreeNode* root = doc.records().first();
    TreeNode* chapter = nullptr;
    std::vector<std::uint32_t> uids;
    for (int i = 1; i < records; ++i) {
        TreeNode* parent = i % 100 == 1 ? root : chapter;
        TreeNode* n = doc.AddNode(TreeKind::Records, parent,
                                  Utf8ToAnsiLossy("Запись номер ") + std::to_string(i));
        n->item.keywords = Utf8ToAnsiLossy("ключ, слово");
        if (i % 100 == 1)
            chapter = n;
        uids.push_back(n->item.uid);
    }
    if (bodyBytes > 0) {
        auto working = doc.WorkingStorage();
        for (std::size_t i = 0; i < uids.size(); ++i)
            (void)WriteRecordBody(*working, uids[i],
                                  Body(bodyBytes / uids.size(), static_cast<int>(i)));
        (void)working->Commit();
    }
    (void)doc.SaveAs(bank);
}

/// A fresh folder under the system's temporary folder, where the documents' working files go
/// too (XDG_RUNTIME_DIR); empty on failure.
inline std::filesystem::path TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvo-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return {};
    ::setenv("XDG_RUNTIME_DIR", pattern.c_str(), 1);
    return pattern;
}

} // namespace kelvo::bench
