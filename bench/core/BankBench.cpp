// Opens and saves a bank of 10,000 records and 5,000 passwords and prints the times, with the
// ratio of a save to copying the bank file (what a save can hardly beat).
#include "core/QuorvellineDoc.h"

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

template <class F> double Time(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return Millis(std::chrono::steady_clock::now() - start);
}

void Build(CQuorvellineDoc& doc, int records, int passwords) {
    (void)doc.OnNewDocument();
    const AnsiString notes = Utf8ToAnsiLossy("Заметки к записи\r\nвторая строка с \\ чертой");
    // Records in a tree of 100 chapters with 99 records each, a few of them nested deeper.
    TreeNode* root = doc.records().first();
    TreeNode* chapter = nullptr;
    for (int i = 1; i < records; ++i) {
        TreeNode* parent = (i % 100 == 1) ? root : chapter;
        if (i % 100 != 1 && i % 7 == 0 && !parent->children.empty())
            parent = parent->children.back();
        TreeNode* n = doc.AddNode(TreeKind::Records, parent,
                                  Utf8ToAnsiLossy("Запись номер ") + std::to_string(i));
        n->item.keywords = Utf8ToAnsiLossy("ключ, слово, ") + std::to_string(i % 50);
        n->item.notes = notes;
        if (i % 100 == 1)
            chapter = n;
    }
    std::vector<TreeNode*> folders;
    for (int f = 0; f < 50; ++f)
        folders.push_back(doc.AddNode(TreeKind::Folders, doc.folders().first(),
                                      Utf8ToAnsiLossy("Папка ") + std::to_string(f)));
    for (int p = 0; p < passwords; ++p) {
        auto item = std::make_unique<PwdItem>();
        item->title = Utf8ToAnsiLossy("Сайт ") + std::to_string(p);
        item->login = "user" + std::to_string(p);
        item->password = "P@ss\\word" + std::to_string(p * 7919);
        item->link = "https://example.org/" + std::to_string(p);
        item->notes = notes;
        item->category = Utf8ToAnsiLossy("Категория ") + std::to_string(p % 20);
        doc.AddPassword(std::move(item), folders[static_cast<std::size_t>(p) % folders.size()]);
    }
}

} // namespace

int main() {
    std::string pattern = (fs::temp_directory_path() / "kelvo-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return 1;
    const fs::path dir = pattern;
    const fs::path bank = dir / "bench.Kvb";
    const int records = 10000, passwords = 5000;

    CQuorvellineDoc doc;
    const double build = Time([&] { Build(doc, records, passwords); });
    const double first = Time([&] { (void)doc.SaveAs(bank); });
    const auto size = fs::file_size(bank);

    CQuorvellineDoc opened;
    double open = 0;
    bool ok = true;
    open = Time([&] { ok = opened.OnOpenDocument(bank).ok(); });
    if (!ok || opened.records().size() != static_cast<std::size_t>(records) ||
        opened.passwords().size() != static_cast<std::size_t>(passwords)) {
        std::fprintf(stderr, "the bank did not read back\n");
        return 1;
    }
    opened.SetModifiedFlag(true);
    constexpr int kRounds = 5;
    double save = 1e300, copy = 1e300;
    for (int i = 0; i < kRounds; ++i) {
        save = std::min(save, Time([&] { (void)opened.Save(); }));
        copy = std::min(copy, Time([&] {
                            fs::copy_file(bank, dir / "copy.Kvb",
                                          fs::copy_options::overwrite_existing);
                        }));
    }
    std::printf("bank of %d records and %d passwords: %.1f KiB\n", records, passwords,
                static_cast<double>(size) / 1024);
    std::printf("  build in memory      %8.1f ms\n", build);
    std::printf("  first save (new)     %8.1f ms\n", first);
    std::printf("  open                 %8.1f ms\n", open);
    std::printf("  save over the file   %8.1f ms (best of %d)\n", save, kRounds);
    std::printf("  copy of the file     %8.1f ms (best of %d)\n", copy, kRounds);
    std::printf("  save / copy ratio    %8.1f\n", save / copy);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
