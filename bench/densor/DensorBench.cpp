// Compacts a 200 MB compound file and compares the time with copying the file with cp.
#include "densor/Compactor.h"
#include "platform/storage/Storage.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace kelvo;
using Clock = std::chrono::steady_clock;

int main() {
    const fs::path dir = fs::temp_directory_path() / ("bench-densor-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "big.Kvb";
    {
        auto root = cfb::Storage::CreateFile(file);
        if (!root) {
            std::printf("cannot create %s\n", file.c_str());
            return 0;
        }
        auto data = root->CreateStorage(u"RecData");
        const std::string chunk(100 * 1024, 'x');
        for (int i = 0; i < 2200; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%08X", i);
            std::u16string wide(name, name + 8);
            auto s = data->CreateStream(wide);
            (void)s->WriteAll(chunk);
        }
        // Free space: a tenth of the streams go away.
        for (int i = 0; i < 2200; i += 10) {
            char name[16];
            std::snprintf(name, sizeof name, "%08X", i);
            (void)data->DestroyElement(std::u16string(name, name + 8));
        }
        (void)root->Commit();
    }
    const auto size = fs::file_size(file);
    ::sync();

    auto t0 = Clock::now();
    const std::string cmd = "cp '" + file.string() + "' '" + (dir / "copy").string() + "'";
    if (std::system(cmd.c_str()) != 0)
        std::printf("cp failed\n");
    ::sync();
    auto t1 = Clock::now();
    std::ostringstream report;
    const int status = densor::Run({file.string()}, report);
    ::sync();
    auto t2 = Clock::now();

    const double cp = std::chrono::duration<double>(t1 - t0).count();
    const double compact = std::chrono::duration<double>(t2 - t1).count();
    std::printf("file: %.1f MB, compacted to %.1f MB (status %d)\n", size / 1048576.0,
                fs::file_size(file) / 1048576.0, status);
    std::printf("cp: %.3f s (%.0f MB/s)\n", cp, size / 1048576.0 / cp);
    std::printf("Densor (backup copy + compaction): %.3f s (%.0f MB/s)\n", compact,
                size / 1048576.0 / compact);
    std::printf("ratio Densor/cp: %.2fx\n", compact / cp);
    fs::remove_all(dir);
    return 0;
}
