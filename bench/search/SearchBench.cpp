// Searches a bank of 10,000 records with 100 MB of RTF bodies (Cyrillic in \'hh escapes, as
// the rich-edit control writes it) for a two-word AND expression, and compares the time with
// grep -c over the same bodies' plain text extracted to a file: the floor of one pass.
#include "core/PwdList.h"
#include "core/RecordBody.h"
#include "core/RecordTree.h"
#include "platform/rtf/RtfPlainText.h"
#include "search/BankSearch.h"
#include "search/StorageBodySource.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

using namespace kelvo;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

static double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

static std::string Hex(unsigned char c) {
    static const char digits[] = "0123456789abcdef";
    return std::string("\\'") + digits[c >> 4] + digits[c & 15];
}

// An RTF body of about `size` bytes: paragraphs of words from the vocabulary.
static std::string Body(std::mt19937& random, const std::vector<AnsiString>& words,
                        std::size_t size) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fswiss"
                      "\\fcharset204{\\*\\fname Arial;}Arial CYR;}}\r\n{\\colortbl ;\\red255"
                      "\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\lang1049\\f0\\fs20 ";
    std::uniform_int_distribution<std::size_t> pick(0, words.size() - 1);
    int inParagraph = 0;
    while (rtf.size() < size) {
        const AnsiString& word = words[pick(random)];
        for (char c : word) {
            auto u = static_cast<unsigned char>(c);
            rtf += u >= 0x80 ? Hex(u) : std::string(1, c);
        }
        if (++inParagraph == 40) {
            rtf += "\\par\r\n";
            inParagraph = 0;
        } else if (inParagraph == 20) {
            rtf += " \\b bold\\b0  ";
        } else {
            rtf += ' ';
        }
    }
    return rtf + "\\par\r\n}\r\n";
}

int main() {
    constexpr int kRecords = 10000;
    constexpr std::size_t kTotal = 100u << 20;
    const fs::path dir =
        fs::temp_directory_path() / ("kelvo-bench-search-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path bankPath = dir / "bank.Kvb";

    std::vector<AnsiString> words;
    for (const char* w : {"дом",    "работа", "отпуск", "море",  "письмо", "город", "встреча",
                          "проект", "отчёт",  "задача", "банк",  "пароль", "note",  "meeting",
                          "river",  "summer", "летом",  "зимой", "план",   "список"})
        words.push_back(Utf8ToAnsiLossy(w));
    // The two searched words: one common, one rare, so the AND needs both passes.
    const AnsiString rare = Utf8ToAnsiLossy("гиппопотам");
    std::mt19937 random(11);

    RecordTree records, folders;
    PwdList entries;
    folders.Insert("root");
    TreeNode* root = records.Insert("root");
    std::uint64_t rtfBytes = 0;
    {
        auto bank = cfb::Storage::CreateFile(bankPath);
        if (!bank) {
            std::printf("cannot create the bank\n");
            return 0;
        }
        for (int i = 0; i < kRecords; ++i) {
            TreeNode* node = i == 0 ? root : records.Insert("record", root);
            std::string rtf = Body(random, words, kTotal / kRecords);
            if (i % 97 == 0)
                rtf.insert(rtf.size() - 9, " \\'e3\\'e8\\'ef\\'ef\\'ee\\'ef\\'ee\\'f2\\'e0\\'ec ");
            rtfBytes += rtf.size();
            (void)WriteRecordBody(*bank, node->item.uid, rtf);
        }
        (void)bank->Commit();
    }

    // The floor: the same bodies as plain text in one file, counted by grep.
    const fs::path textPath = dir / "bodies.txt";
    std::uint64_t textBytes = 0;
    auto t0 = Clock::now();
    {
        auto bank = cfb::Storage::OpenFile(bankPath);
        std::ofstream out(textPath, std::ios::binary);
        for (int i = 0; i < kRecords; ++i) {
            auto rtf = ReadRecordBody(*bank, records.PreOrder()[0]->item.uid + i);
            AnsiString text = rtf ? RtfToPlainTextAnsi(*rtf) : AnsiString();
            textBytes += text.size();
            out << text << "\r\n";
        }
    }
    auto t1 = Clock::now();
    const std::string pattern = AnsiToUtf8(words[1]); // printed only
    const fs::path patternFile = dir / "pattern.txt";
    std::ofstream(patternFile, std::ios::binary) << words[1] << "\n" << rare << "\n";
    const std::string grep = "LC_ALL=C grep -c -F -f '" + patternFile.string() + "' '" +
                             textPath.string() + "' > '" + (dir / "count.txt").string() + "'";
    double grepBest = 1e9;
    for (int round = 0; round < 3; ++round) {
        auto g0 = Clock::now();
        if (std::system(grep.c_str()) < 0)
            return 0;
        grepBest = std::min(grepBest, Seconds(g0, Clock::now()));
    }

    SearchCriteria criteria;
    criteria.text = words[1] + " AND " + rare;
    double searchBest = 1e9, warmBest = 1e9;
    std::size_t found = 0;
    for (int round = 0; round < 3; ++round) {
        ResultRows rows;
        StorageBodySource bodies([&]() { return cfb::Storage::OpenFile(bankPath); });
        BankSearch search({records, folders, entries, bodies}, rows);
        auto s0 = Clock::now();
        search.Run(criteria);
        searchBest = std::min(searchBest, Seconds(s0, Clock::now()));
        found = rows.size();
    }
    {
        // The search dialog keeps its body source: later searches reuse the plain texts of
        // unchanged bodies.
        StorageBodySource bodies([&]() { return cfb::Storage::OpenFile(bankPath); });
        for (int round = 0; round < 4; ++round) {
            ResultRows rows;
            BankSearch search({records, folders, entries, bodies}, rows);
            auto s0 = Clock::now();
            search.Run(criteria);
            bodies.Release();
            if (round > 0)
                warmBest = std::min(warmBest, Seconds(s0, Clock::now()));
        }
    }

    std::printf("bank search: %d records, %.1f MB of RTF, %.1f MB of plain text, '%s AND %s'\n",
                kRecords, rtfBytes / 1048576.0, textBytes / 1048576.0, pattern.c_str(),
                AnsiToUtf8(rare).c_str());
    std::printf("  first search     %.3f s, %zu rows (every body converted from RTF)\n", searchBest,
                found);
    std::printf("  later searches   %.3f s (plain texts of unchanged bodies reused)\n", warmBest);
    std::printf("  grep -c (floor)  %.3f s over the extracted text\n", grepBest);
    std::printf("  ratio            first %.1fx, later %.1fx (goal: within 5x)\n",
                searchBest / grepBest, warmBest / grepBest);
    std::printf("  (extracting the plain text once took %.3f s)\n", Seconds(t0, t1));
    fs::remove_all(dir);
    return 0;
}
