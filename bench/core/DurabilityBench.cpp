// What crash safety costs, side by side with plain file I/O in the same run: a 1 MB body
// saved inside a 100 MB bank against writing 1 MB to a file and flushing it, a save of a bank
// of 10,000 records against copying its file and flushing the copy, and the size a bank
// reaches after 1,000 saves of a body growing to 100 KB against its compacted size.
#include "core/QuorvellineDoc.h"
#include "platform/storage/Compaction.h"

#include "bench/support/BenchBank.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace kelvo;
using namespace kelvo::bench;
namespace fs = std::filesystem;

namespace {

// Writes `data` as the whole content of `path` and flushes it to the disk.
bool WriteAndSync(const fs::path& path, const std::string& data) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size());
    ok = ::fsync(fd) == 0 && ok;
    return ::close(fd) == 0 && ok;
}

// cp + sync of one file.
bool CopyAndSync(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec)
        return false;
    const int fd = ::open(to.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

double Mib(std::uintmax_t bytes) {
    return static_cast<double>(bytes) / (1 << 20);
}

} // namespace

int main() {
    const fs::path dir = TempFolder();
    if (dir.empty())
        return 1;
    bool ok = true;

    // A 1 MB body saved inside a 100 MB bank, and a save of the whole bank.
    const fs::path bank = dir / "large.Kvb";
    BuildBank(bank, 10000, 100u << 20);
    CQuorvellineDoc doc;
    ok = doc.OnOpenDocument(bank).ok() && ok;
    TreeNode* record = doc.records().first()->children.front();
    const std::string megabyte = Body(1u << 20, 4242);
    const double bodySave = Best(5, [&] { ok = doc.SaveBody(record, megabyte).ok() && ok; });
    const double plainWrite =
        Best(5, [&] { ok = WriteAndSync(dir / "plain.bin", megabyte) && ok; });
    const double bankSave = Best(5, [&] {
        doc.SetModifiedFlag(true);
        ok = doc.Save().ok() && ok;
    });
    const double copy = Best(5, [&] { ok = CopyAndSync(bank, dir / "copy.Kvb") && ok; });
    const auto bankSize = fs::file_size(bank);

    // 1,000 saves of one record's body growing by 100 bytes each, to 100 KB.
    const fs::path growing = dir / "growing.Kvb";
    CQuorvellineDoc small;
    (void)small.OnNewDocument();
    TreeNode* note = small.AddNode(TreeKind::Records, small.records().first(),
                                   Utf8ToAnsiLossy("Растущая запись"));
    ok = small.SaveAs(growing).ok() && ok;
    const std::string full = Body(100 * 1000, 1);
    const auto growStart = std::chrono::steady_clock::now();
    for (std::size_t i = 1; i <= 1000; ++i)
        ok = small.SaveBody(note, std::string_view(full).substr(0, i * 100)).ok() && ok;
    ok = small.Save().ok() && ok;
    const double growTime = Millis(std::chrono::steady_clock::now() - growStart);
    const auto grownSize = fs::file_size(growing);
    const fs::path compacted = dir / "compacted.Kvb";
    ok = cfb::CompactFile(growing, compacted, dir / "compacted.tmp").ok() && ok;
    const auto compactedSize = fs::file_size(compacted);

    if (!ok)
        std::fprintf(stderr, "bench_durability: an operation failed; the figures are not valid\n");
    std::printf("Crash-safe writes against plain file I/O with fsync (same machine, same run)\n");
    std::printf(
        "  1 MB body saved in a %.0f MiB bank:      %8.2f ms   1 MB written + fsync: %7.2f ms"
        "   ratio %.2f (goal within 3x)\n",
        Mib(bankSize), bodySave, plainWrite, bodySave / plainWrite);
    std::printf(
        "  save of the bank of 10,000 records:     %8.2f ms   cp + sync of the file: %6.2f ms"
        "   ratio %.2f (goal within 3x)\n",
        bankSave, copy, bankSave / copy);
    std::printf("  1,000 saves of a body growing to 100 KB: %7.1f ms in all, %.2f ms each\n",
                growTime, growTime / 1000);
    std::printf("    file %.1f KiB, compacted %.1f KiB: %.2fx the compacted size\n",
                static_cast<double>(grownSize) / 1024, static_cast<double>(compactedSize) / 1024,
                static_cast<double>(grownSize) / static_cast<double>(compactedSize));
    std::error_code ec;
    fs::remove_all(dir, ec);
    return ok ? 0 : 1;
}
