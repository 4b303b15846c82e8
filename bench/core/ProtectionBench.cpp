// A bank of 10,000 records with 100 MB of bodies, plain and protected by a password: open,
// save, the first search and a body save, side by side with their ratios. The key derivation
// is timed on its own (the bank's runs use the smallest parameters, so that the ratios show
// what sealing costs).
#include "core/BankProtection.h"
#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"
#include "search/BankSearch.h"
#include "search/StorageBodySource.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

double Millis(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

template <class F> double Best(int rounds, F&& f) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, Millis(std::chrono::steady_clock::now() - start));
    }
    return best;
}

// An RTF body of about `size` bytes of words, one in a thousand bodies holding "янтарь".
std::string Body(std::size_t size, int n) {
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

void Build(const fs::path& bank, int records, std::size_t bodyBytes) {
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
    {
        auto working = doc.WorkingStorage();
        for (std::size_t i = 0; i < uids.size(); ++i)
            (void)WriteRecordBody(*working, uids[i],
                                  Body(bodyBytes / uids.size(), static_cast<int>(i)));
        (void)working->Commit();
    }
    (void)doc.SaveAs(bank);
}

struct Figures {
    double open = 0, save = 0, search = 0, body = 0;
};

Figures Measure(const fs::path& bank, const std::string& password) {
    Figures f;
    CQuorvellineDoc doc;
    doc.SetPasswordPrompt([&](const fs::path&, int attempt) -> std::optional<crypto::SecretBytes> {
        if (attempt > 0)
            return std::nullopt;
        return crypto::SecretBytes::From(password);
    });
    f.open = Best(3, [&] { (void)doc.OnOpenDocument(bank); });
    f.save = Best(3, [&] {
        doc.SetModifiedFlag(true);
        (void)doc.Save();
    });
    SearchCriteria criteria;
    criteria.text = Utf8ToAnsiLossy("янтарь");
    std::size_t found = 0;
    f.search = Best(3, [&] {
        ResultRows rows;
        StorageBodySource bodies(doc);
        BankSearch search({doc.trees(), doc.passwords(), bodies}, rows);
        search.Run(criteria);
        found = rows.size();
    });
    TreeNode* record = doc.records().first()->children.front();
    const std::string body = Body(10000, 4242);
    f.body = Best(5, [&] { (void)doc.SaveBody(record, body); });
    if (found == 0)
        std::fprintf(stderr, "the search found nothing in %s\n", bank.c_str());
    return f;
}

} // namespace

int main() {
    std::string pattern = (fs::temp_directory_path() / "kelvo-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return 1;
    const fs::path dir = pattern;
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    const fs::path plain = dir / "plain.Kvb", sealed = dir / "sealed.Kvb";
    const int records = 10000;
    const std::size_t bodyBytes = 100u << 20;
    Build(plain, records, bodyBytes);
    fs::copy_file(plain, sealed);
    const auto protectStart = std::chrono::steady_clock::now();
    if (!ProtectBankFile(sealed, "пароль", crypto::KdfParams::Minimum())) {
        std::fprintf(stderr, "protect failed\n");
        return 1;
    }
    const double protect = Millis(std::chrono::steady_clock::now() - protectStart);
    const crypto::KdfParams tuned = crypto::KdfParams::Tuned();
    const double derive = Best(1, [&] {
        const crypto::SecretBytes key = crypto::NewDataKey();
        (void)crypto::WrapDataKey(key, "пароль", tuned);
    });

    const Figures p = Measure(plain, "");
    const Figures s = Measure(sealed, "пароль");
    std::printf("bank of %d records, %.1f MiB of bodies: %.1f MiB plain, %.1f MiB protected\n",
                records, static_cast<double>(bodyBytes) / (1 << 20),
                static_cast<double>(fs::file_size(plain)) / (1 << 20),
                static_cast<double>(fs::file_size(sealed)) / (1 << 20));
    std::printf("  %-22s %10s %10s %8s\n", "", "plain ms", "sealed ms", "ratio");
    auto row = [](const char* what, double a, double b) {
        std::printf("  %-22s %10.1f %10.1f %8.2f\n", what, a, b, b / a);
    };
    row("open", p.open, s.open);
    row("save", p.save, s.save);
    row("first search", p.search, s.search);
    row("body save (10 KB)", p.body, s.body);
    std::printf("  protect the whole bank %10.1f ms\n", protect);
    std::printf("  key derivation (%llu passes, %llu MiB) %.1f ms, once per open\n",
                static_cast<unsigned long long>(tuned.opsLimit),
                static_cast<unsigned long long>(tuned.memLimit >> 20), derive);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
