// Compound-file engine speed against plain file I/O in the same run: 100 MB as 10,000
// streams of 10 KB written and read back, a 1 MB stream rewritten inside a 100 MB file,
// and opening a file of 10,000 streams with their enumeration.
#include "platform/storage/Storage.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kelvo;
using namespace kelvo::cfb;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

constexpr int Streams = 10000;
constexpr std::size_t StreamSize = 10 * 1024;
constexpr std::size_t Total = std::size_t{Streams} * StreamSize; // 100 MB

std::u16string StreamName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "%08X", i);
    return std::u16string(name, name + 8);
}

std::string Bytes(std::size_t n, unsigned seed) {
    std::string out(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<char>((i * 131 + seed * 7) >> 3);
    return out;
}

[[noreturn]] void Fail(const char* what, HResult code) {
    std::fprintf(stderr, "bench_storage: %s failed: 0x%08X %s\n", what, code, StatusName(code));
    std::exit(1);
}

double PlainWrite(const std::filesystem::path& path, const std::string& chunk, std::size_t total) {
    const auto t0 = Clock::now();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    for (std::size_t done = 0; done < total; done += chunk.size())
        if (::write(fd, chunk.data(), chunk.size()) != static_cast<ssize_t>(chunk.size()))
            Fail("plain write", hr::WriteFault);
    ::close(fd);
    return Ms(t0, Clock::now());
}

double PlainRead(const std::filesystem::path& path, std::size_t chunkSize) {
    std::string buffer(chunkSize, '\0');
    const auto t0 = Clock::now();
    const int fd = ::open(path.c_str(), O_RDONLY);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
    return Ms(t0, Clock::now());
}

} // namespace

int main() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bench-cfb-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return 1;
    const std::filesystem::path dir(pattern);
    const auto plainPath = dir / "plain.bin";
    const auto cfbPath = dir / "streams.cfb";
    const std::string body = Bytes(StreamSize, 1);

    // 1. 10,000 streams of 10 KB, written then read back.
    const double plainWrite = PlainWrite(plainPath, body, Total);
    const double plainRead = PlainRead(plainPath, StreamSize);
    auto t0 = Clock::now();
    {
        auto root = Storage::CreateFile(cfbPath);
        if (!root)
            Fail("create", root.code());
        for (int i = 0; i < Streams; ++i) {
            auto s = root->CreateStream(StreamName(i));
            if (!s)
                Fail("create stream", s.code());
            if (auto r = s->WriteAll(body); !r)
                Fail("write", r.code());
        }
        if (auto r = root->Commit(); !r)
            Fail("commit", r.code());
    }
    const double cfbWrite = Ms(t0, Clock::now());
    t0 = Clock::now();
    std::size_t readBytes = 0;
    {
        auto root = Storage::OpenFile(cfbPath, mode::OpenRead);
        if (!root)
            Fail("open", root.code());
        std::string buffer(StreamSize, '\0');
        for (int i = 0; i < Streams; ++i) {
            auto s = root->OpenStream(StreamName(i), mode::OpenRead);
            if (!s)
                Fail("open stream", s.code());
            auto n = s->Read(buffer.data(), buffer.size());
            if (!n)
                Fail("read", n.code());
            readBytes += *n;
        }
    }
    const double cfbRead = Ms(t0, Clock::now());
    if (readBytes != Total)
        Fail("read back size", hr::Fail);

    // 3. Open the file of 10,000 streams and enumerate them (best of five).
    double openEnum = 1e9;
    std::size_t listed = 0;
    for (int round = 0; round < 5; ++round) {
        t0 = Clock::now();
        auto root = Storage::OpenFile(cfbPath, mode::OpenRead);
        if (!root)
            Fail("open", root.code());
        auto list = root->Enumerate();
        if (!list)
            Fail("enumerate", list.code());
        listed = list->size();
        openEnum = std::min(openEnum, Ms(t0, Clock::now()));
    }

    // 2. Rewrite a 1 MB stream inside a 100 MB file.
    const auto bigPath = dir / "big.cfb";
    const std::string mega = Bytes(1 << 20, 2);
    {
        auto root = Storage::CreateFile(bigPath);
        const std::string filler = Bytes(1 << 20, 3);
        for (int i = 0; i < 99; ++i)
            if (auto r = root->CreateStream(StreamName(i))->WriteAll(filler); !r)
                Fail("fill", r.code());
        if (auto r = root->CreateStream(u"target")->WriteAll(mega); !r)
            Fail("fill", r.code());
    }
    const auto bigSize = std::filesystem::file_size(bigPath);
    constexpr int Rounds = 20;
    double rewrite = 0, rewriteWithOpen = 0, plainMega = 0;
    {
        auto root = Storage::OpenFile(bigPath);
        for (int i = 0; i < Rounds; ++i) {
            const std::string data = Bytes(1 << 20, 10 + i);
            t0 = Clock::now();
            auto s = root->OpenStream(u"target");
            if (auto r = s->WriteAll(data); !r)
                Fail("rewrite", r.code());
            *s = Stream();
            if (auto r = root->Commit(); !r)
                Fail("commit", r.code());
            rewrite += Ms(t0, Clock::now());
        }
    }
    for (int i = 0; i < Rounds; ++i) {
        const std::string data = Bytes(1 << 20, 40 + i);
        t0 = Clock::now();
        auto root = Storage::OpenFile(bigPath);
        auto s = root->OpenStream(u"target");
        if (auto r = s->WriteAll(data); !r)
            Fail("rewrite", r.code());
        *s = Stream();
        root = Storage();
        rewriteWithOpen += Ms(t0, Clock::now());
        plainMega += PlainWrite(dir / "plain-1mb.bin", data, data.size());
    }
    rewrite /= Rounds;
    rewriteWithOpen /= Rounds;
    plainMega /= Rounds;
    const bool sizeKept = std::filesystem::file_size(bigPath) == bigSize;

    std::printf("Compound-file engine against plain file I/O (same machine, same run)\n");
    std::printf("  write 100 MB as 10,000 streams of 10 KB: %8.1f ms   plain 100 MB file: %7.1f ms"
                "   ratio %.2fx (goal <= 3x)\n",
                cfbWrite, plainWrite, cfbWrite / plainWrite);
    std::printf("  read them all back:                      %8.1f ms   plain 100 MB file: %7.1f ms"
                "   ratio %.2fx (goal <= 3x)\n",
                cfbRead, plainRead, cfbRead / plainRead);
    std::printf("  rewrite 1 MB in a %llu MB file (open):   %8.2f ms   plain 1 MB file:   %7.2f ms"
                "   ratio %.2fx (goal <= 3x)\n",
                static_cast<unsigned long long>(bigSize >> 20), rewrite, plainMega,
                rewrite / plainMega);
    std::printf(
        "  the same with open and close of the file: %7.2f ms   ratio %.2fx; size kept: %s\n",
        rewriteWithOpen, rewriteWithOpen / plainMega, sizeKept ? "yes" : "NO");
    std::printf("  open a file of %zu streams and enumerate: %8.2f ms (goal < 50 ms)\n", listed,
                openEnum);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
