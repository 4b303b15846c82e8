// Imports a subtree of 2,000 records with 50 MB of bodies from another bank and prints the
// times (loading the source tree, copying, saving, deleting the subtree again), with the ratio
// of the import to copying the source file with cp (what a copy of the same bytes costs).
#include "core/RecordBody.h"
#include "core/RecordImport.h"
#include "core/TreeOperations.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 2000;
constexpr std::size_t kBodyBytes = 50u << 20;

double Millis(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

template <class F> double Time(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return Millis(std::chrono::steady_clock::now() - start);
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A source bank whose root has one chapter holding 2,000 records (40 sections of 50), each
// with a body; body sizes vary from a few hundred bytes to about 75 KB, 50 MB in all.
bool BuildSource(const fs::path& path) {
    CQuorvellineDoc doc;
    if (!doc.OnNewDocument())
        return false;
    TreeNode* chapter = doc.AddNode(TreeKind::Records, doc.records().first(), "chapter");
    std::vector<TreeNode*> records{chapter};
    TreeNode* section = nullptr;
    for (int i = 1; i < kRecords; ++i) {
        TreeNode* parent = (i % 50 == 1) ? chapter : section;
        TreeNode* n = doc.AddNode(TreeKind::Records, parent, "record " + std::to_string(i));
        n->item.keywords = "key, word";
        if (i % 50 == 1)
            section = n;
        records.push_back(n);
    }
    if (!doc.SaveAs(path))
        return false;
    auto root = cfb::Storage::OpenFile(path);
    if (!root)
        return false;
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::size_t> spread(0, 2 * kBodyBytes / kRecords);
    std::string text;
    std::size_t total = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::size_t size = i + 1 == records.size()
                                     ? kBodyBytes - std::min(total, kBodyBytes)
                                     : std::max<std::size_t>(300, spread(random));
        text.assign(size, 'x');
        for (std::size_t k = 0; k < size; k += 61)
            text[k] = static_cast<char>('a' + (k / 61 + i) % 26);
        if (!WriteRecordBody(*root, records[i]->item.uid, text))
            return false;
        total += size;
    }
    return root->Commit().ok();
}

} // namespace

int main() {
    std::string pattern = (fs::temp_directory_path() / "kelvo-bench-import-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return 1;
    const fs::path dir = pattern;
    const fs::path source = dir / "source.Kvb", bank = dir / "bank.Kvb", copy = dir / "copy.Kvb";

    if (!BuildSource(source)) {
        std::fprintf(stderr, "cannot build the source bank\n");
        return 1;
    }
    CQuorvellineDoc doc;
    (void)doc.OnNewDocument();
    (void)doc.AddNode(TreeKind::Records, doc.records().first(), "target");
    if (!doc.SaveAs(bank))
        return 1;

    RecordImportSource from;
    const double load = Time([&] { (void)from.Load(source); });
    const TreeNode* chapter = from.tree().first()->children.front();
    Result<ImportResult> result = MakeError(hr::Fail, "not run");
    const double import = Time([&] {
        result = ImportRecords(doc, doc.records().first()->children.front(), from, chapter);
    });
    const double save = Time([&] { (void)doc.Save(); });
    if (!result) {
        std::fprintf(stderr, "import failed: %s\n", result.error().message.c_str());
        return 1;
    }
    // Deleting the imported subtree destroys its 2,000 bodies in the bank file at once.
    const double remove = Time([&] { (void)DeleteTreeNode(doc, TreeKind::Records, result->top); });
    const double cp = Time([&] {
        (void)std::system(("cp " + Quote(source.string()) + " " + Quote(copy.string())).c_str());
    });

    const double sourceMb = static_cast<double>(fs::file_size(source)) / (1 << 20);
    std::printf("bench_import: %zu records, %zu bodies, %.1f MB of bodies (source file %.1f MB)\n",
                result->records, result->bodies, static_cast<double>(kBodyBytes) / (1 << 20),
                sourceMb);
    std::printf("  load source tree  %8.1f ms\n", load);
    std::printf("  import (copy)     %8.1f ms  (%.0f MB/s)\n", import,
                static_cast<double>(kBodyBytes) / (1 << 20) / (import / 1000));
    std::printf("  save bank         %8.1f ms\n", save);
    std::printf("  delete subtree    %8.1f ms  (2,000 body streams destroyed)\n", remove);
    std::printf("  cp of the source  %8.1f ms\n", cp);
    std::printf("  ratio (load + import) / cp: %.2f\n", (load + import) / cp);

    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
