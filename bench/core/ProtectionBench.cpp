// A bank of 10,000 records with 100 MB of bodies, plain and protected by a password: open,
// save, the first search and a body save, side by side with their ratios. The key derivation
// is timed on its own (the bank's runs use the smallest parameters, so that the ratios show
// what sealing costs).
#include "core/BankProtection.h"
#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"
#include "search/BankSearch.h"
#include "search/StorageBodySource.h"

#include "bench/support/BenchBank.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace kelvo;
using namespace kelvo::bench;
namespace fs = std::filesystem;

namespace {

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
    const fs::path dir = TempFolder();
    if (dir.empty())
        return 1;
    const fs::path plain = dir / "plain.Kvb", sealed = dir / "sealed.Kvb";
    const int records = 10000;
    const std::size_t bodyBytes = 100u << 20;
    BuildBank(plain, records, bodyBytes);
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
