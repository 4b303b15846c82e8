// Reads and writes 1,000,000 item lines through the line primitives and compares the read
// with a plain std::getline loop over the same bytes.
#include "platform/base/MemoryStream.h"
#include "platform/text/ItemStream.h"

#include <chrono>
#include <cstdio>
#include <sstream>
#include <vector>

using namespace kelvo;
using Clock = std::chrono::steady_clock;

static double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

int main() {
    constexpr int kLines = 1000000;
    std::vector<AnsiString> texts;
    texts.reserve(kLines);
    for (int i = 0; i < kLines; ++i)
        texts.push_back(Utf8ToAnsiLossy("Запись номер " + std::to_string(i) + " \\ с текстом"));
    MemoryStream out;
    auto t0 = Clock::now();
    {
        LineWriter w(out);
        for (const auto& text : texts)
            w.WriteLine(EscapeText(text));
    }
    auto t1 = Clock::now();

    MemoryStream in(out.bytes());
    LineReader reader(in);
    std::size_t total = 0;
    for (int i = 0; i < kLines; ++i)
        total += UnescapeText(reader.ReadLine()).size();
    auto t2 = Clock::now();

    std::istringstream plain(out.bytes());
    std::string line;
    std::size_t plainTotal = 0;
    while (std::getline(plain, line))
        plainTotal += line.size();
    auto t3 = Clock::now();

    const double write = Seconds(t0, t1), read = Seconds(t1, t2), getline = Seconds(t2, t3);
    std::printf("item lines: %d, %zu bytes\n", kLines, out.bytes().size());
    std::printf("write (escape+WriteLine): %.0f lines/s\n", kLines / write);
    std::printf("read (ReadLine+unescape): %.0f lines/s\n", kLines / read);
    std::printf("std::getline:             %.0f lines/s\n", kLines / getline);
    std::printf("ratio read/getline: %.2fx  write/getline: %.2fx  (checksum %zu %zu)\n",
                read / getline, write / getline, total, plainTotal);
    return 0;
}
