// Revises a bank of about 200 MB (2,200 records with bodies, a tenth of the bodies deleted
// so that the file has free space) and compares the time with copying the same file with cp
// and syncing it: the revision copies every element into a new file, syncs it and renames it
// over the bank, so a plain copy of its bytes is what it should be measured against.
#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"
#include "maintenance/BankRevision.h"
#include "platform/storage/Storage.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 2200;
constexpr std::size_t kBodyBytes = 100 * 1024;

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

bool BuildBank(const fs::path& path) {
    CQuorvellineDoc doc;
    if (!doc.OnNewDocument())
        return false;
    std::vector<TreeNode*> records;
    TreeNode* section = nullptr;
    for (int i = 0; i < kRecords; ++i) {
        if (i % 50 == 0)
            section = doc.AddNode(TreeKind::Records, doc.records().first(),
                                  "section " + std::to_string(i / 50));
        records.push_back(doc.AddNode(TreeKind::Records, section, "record " + std::to_string(i)));
    }
    if (!doc.SaveAs(path))
        return false;
    {
        auto root = cfb::Storage::OpenFile(path);
        if (!root)
            return false;
        std::string text(kBodyBytes, 'x');
        for (std::size_t i = 0; i < records.size(); ++i) {
            for (std::size_t k = 0; k < text.size(); k += 61)
                text[k] = static_cast<char>('a' + (k / 61 + i) % 26);
            if (!WriteRecordBody(*root, records[i]->item.uid, text))
                return false;
        }
        if (!root->Commit())
            return false;
    }
    std::vector<std::uint32_t> uids; // the nodes go when the bank is opened again
    for (const TreeNode* node : records)
        uids.push_back(node->item.uid);
    // Free space inside the file: every tenth body goes.
    if (!doc.OnOpenDocument(path))
        return false;
    for (std::size_t i = 0; i < uids.size(); i += 10)
        if (!doc.RemoveBody(uids[i]))
            return false;
    return true;
}

} // namespace

int main() {
    std::string pattern = (fs::temp_directory_path() / "kelvo-bench-revision-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return 1;
    const fs::path dir = pattern;
    const fs::path bank = dir / "bank.Kvb", copy = dir / "copy.Kvb";
    if (!BuildBank(bank)) {
        std::fprintf(stderr, "cannot build the bank\n");
        fs::remove_all(dir);
        return 1;
    }
    const auto before = fs::file_size(bank);
    ::sync();

    // cp + sync of the same file, then the revision of the open bank (it syncs its copy).
    const std::string command = "cp " + Quote(bank.string()) + " " + Quote(copy.string()) +
                                " && sync " + Quote(copy.string());
    const auto t0 = std::chrono::steady_clock::now();
    const int cpStatus = std::system(command.c_str());
    const auto t1 = std::chrono::steady_clock::now();
    fs::remove(copy);
    ::sync();

    CQuorvellineDoc doc;
    if (!doc.OnOpenDocument(bank)) {
        std::fprintf(stderr, "cannot open the bank\n");
        fs::remove_all(dir);
        return 1;
    }
    const auto t2 = std::chrono::steady_clock::now();
    // When each step was reported: the copy, the rename and the reopen apart.
    std::chrono::steady_clock::time_point copying = t2, copied = t2, replaced = t2;
    const auto revised = ReviseBank(doc, nullptr, [&](RevisionStep step, const RevisionFigures&) {
        const auto now = std::chrono::steady_clock::now();
        if (step == RevisionStep::Copying)
            copying = now;
        else if (step == RevisionStep::Copied)
            copied = now;
        else if (step == RevisionStep::Replaced)
            replaced = now;
    });
    const auto t3 = std::chrono::steady_clock::now();
    if (!revised || cpStatus != 0) {
        std::fprintf(stderr, "revision or cp failed: %s\n",
                     revised ? "cp" : revised.error().message.c_str());
        fs::remove_all(dir);
        return 1;
    }

    const double cp = Seconds(t1 - t0), revision = Seconds(t3 - t2);
    std::printf("bank: %.1f MB, revised to %.1f MB (%llu elements)\n", before / 1048576.0,
                fs::file_size(bank) / 1048576.0,
                static_cast<unsigned long long>(revised->elements));
    std::printf("cp + sync:  %.3f s\n", cp);
    std::printf("revision:   %.3f s (before the copy %.3f s, copy and sync %.3f s, rename %.3f s, "
                "reopen %.3f s)\n",
                revision, Seconds(copying - t2), Seconds(copied - copying),
                Seconds(replaced - copied), Seconds(t3 - replaced));
    std::printf("ratio revision / (cp + sync): %.2fx (goal: within 3x)\n", revision / cp);
    fs::remove_all(dir);
    return 0;
}
