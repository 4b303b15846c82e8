// Plain text of ~100 MB of text-heavy record bodies (Cyrillic in \'hh escapes, as the control
// writes them), against reading the model, LibreOffice's conversion and unrtf.
#include "platform/rtf/RtfPlainText.h"
#include "platform/rtf/RtfReader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kelvo;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// CPU time of this thread: the machine may be shared, and wall time would measure the others.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// A body of about `size` bytes: Russian words as \'hh, some Latin words, bold and coloured
// words now and then, a paragraph every few lines, an occasional \uN and \line.
std::string MakeBody(std::size_t size, std::uint32_t& seed) {
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    static const char* kHex = "0123456789abcdef";
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fswiss"
        "\\fcharset204{\\*\\fname Arial;}Arial CYR;}{\\f1\\fnil\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\lang1049"
        "\\f0\\fs20 ";
    int words = 0;
    while (rtf.size() < size) {
        const std::uint32_t r = next() >> 8;
        if (r % 10 < 7) {
            const int length = 2 + static_cast<int>(r % 9);
            for (int i = 0; i < length; ++i) {
                const unsigned char c = static_cast<unsigned char>(0xE0 + (next() >> 12) % 32);
                rtf += "\\'";
                rtf += kHex[c >> 4];
                rtf += kHex[c & 15];
            }
        } else if (r % 10 < 9) {
            const int length = 2 + static_cast<int>(r % 7);
            for (int i = 0; i < length; ++i)
                rtf += static_cast<char>('a' + (next() >> 12) % 26);
        } else if (r % 20 == 9) {
            rtf += "\\b \\'e2\\'e0\\'e6\\'ed\\'ee\\b0";
        } else {
            rtf += "\\cf1 \\u8470?\\cf0";
        }
        ++words;
        if (words % 60 == 0)
            rtf += "\\par\r\n";
        else if (words % 37 == 0)
            rtf += "\\line ";
        else
            rtf += (words % 13 == 0) ? ", " : " ";
    }
    rtf += "\\par\r\n}\r\n";
    return rtf;
}

struct Speed {
    double cpu = 0;  // MB/s of CPU time
    double wall = 0; // MB/s of wall time
};

Speed Run(const char* what, const std::vector<std::string>& bodies, std::size_t total,
          std::size_t (*convert)(const std::string&)) {
    std::size_t out = 0;
    const auto t0 = Clock::now();
    const double c0 = CpuSeconds();
    for (const std::string& body : bodies)
        out += convert(body);
    const double cpu = CpuSeconds() - c0;
    const double wall = Seconds(t0, Clock::now());
    const Speed speed{static_cast<double>(total) / 1e6 / cpu,
                      static_cast<double>(total) / 1e6 / wall};
    std::printf("%-34s %7.1f MB/s CPU time, %7.1f MB/s wall time (%zu bytes of text)\n", what,
                speed.cpu, speed.wall, out);
    return speed;
}

// Runs a command over sample files and returns MB/s of input, or 0 when it failed.
double External(const char* what, const std::string& command, std::size_t bytes) {
    const auto t0 = Clock::now();
    const int rc = std::system(command.c_str());
    const double s = Seconds(t0, Clock::now());
    if (rc != 0) {
        std::printf("%-34s not available\n", what);
        return 0;
    }
    const double mbps = static_cast<double>(bytes) / 1e6 / s;
    std::printf("%-34s %8.2f MB/s of wall time (%.2f s for %.1f MB)\n", what, mbps, s,
                static_cast<double>(bytes) / 1e6);
    return mbps;
}

} // namespace

int main() {
    std::uint32_t seed = 2024;
    std::vector<std::string> bodies;
    std::size_t total = 0;
    // Bodies of 4 KB to 260 KB, as notes are, 100 MB in all.
    while (total < 100'000'000) {
        const std::size_t size = 4096 + (seed >> 8) % 256000;
        bodies.push_back(MakeBody(size, seed));
        total += bodies.back().size();
    }
    std::printf("%zu bodies, %.1f MB of RTF\n", bodies.size(), static_cast<double>(total) / 1e6);

    const Speed utf8 = Run("RtfToPlainText (UTF-8)", bodies, total,
                           [](const std::string& b) { return RtfToPlainText(b).size(); });
    Run("RtfToPlainTextAnsi (Windows-1251)", bodies, total,
        [](const std::string& b) { return RtfToPlainTextAnsi(b).size(); });
    Run("ReadRtf (model) + PlainText", bodies, total,
        [](const std::string& b) { return PlainText(ReadRtf(b)).size(); });

    // The independent converters run over a sample: 20 bodies written to files.
    const fs::path dir =
        fs::temp_directory_path() / ("kelvo-bench-rtf-" + std::to_string(getpid()));
    fs::create_directories(dir / "out");
    std::string files;
    std::size_t sampleBytes = 0;
    for (std::size_t i = 0; i < 20 && i < bodies.size(); ++i) {
        const fs::path f = dir / ("body" + std::to_string(i) + ".rtf");
        std::ofstream(f, std::ios::binary) << bodies[i];
        files += " '" + f.string() + "'";
        sampleBytes += bodies[i].size();
    }
    const double lo =
        External("LibreOffice --convert-to txt",
                 "timeout 600 soffice -env:UserInstallation=file://" + (dir / "profile").string() +
                     " --headless --convert-to 'txt:Text (encoded):UTF8' --outdir '" +
                     (dir / "out").string() + "'" + files + " >/dev/null 2>&1",
                 sampleBytes);
    std::string unrtfCommand = "true";
    for (std::size_t i = 0; i < 20 && i < bodies.size(); ++i)
        unrtfCommand += " && unrtf --html '" +
                        (dir / ("body" + std::to_string(i) + ".rtf")).string() +
                        "' >/dev/null 2>&1";
    const double unrtf =
        External("unrtf --html", "command -v unrtf >/dev/null && " + unrtfCommand, sampleBytes);
    // Ratios on wall time, ours measured on the whole 100 MB; LibreOffice's time includes its
    // start-up, which a conversion of 20 bodies at once spreads thin.
    if (lo > 0)
        std::printf("ratio to LibreOffice (wall): %.0fx\n", utf8.wall / lo);
    if (unrtf > 0)
        std::printf("ratio to unrtf --html (wall): %.0fx\n", utf8.wall / unrtf);
    std::printf("target 100 MB/s: %s (CPU time %.0f MB/s)\n", utf8.cpu >= 100 ? "met" : "NOT met",
                utf8.cpu);
    fs::remove_all(dir);
    return 0;
}
