// Builds the keyword index of 10,000 records carrying 50,000 keyword occurrences (5,000
// distinct words), then writes and reads it back; prints the times against the 0.2 s goal.
#include "core/RecordTree.h"
#include "index/IndexBuild.h"
#include "index/IndexStorage.h"
#include "platform/base/MemoryStream.h"

#include <chrono>
#include <cstdio>
#include <random>

using namespace kelvo;
using Clock = std::chrono::steady_clock;

static double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

int main() {
    constexpr int kRecords = 10000, kPerRecord = 5, kWords = 5000;
    std::vector<AnsiString> vocabulary;
    for (int i = 0; i < kWords; ++i)
        vocabulary.push_back(Utf8ToAnsiLossy("слово") + std::to_string(i));
    RecordTree records, folders;
    folders.Insert("root");
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, kWords - 1);
    TreeNode* parent = records.Insert("root");
    for (int i = 1; i < kRecords; ++i) {
        TreeNode* node = records.Insert("record", i % 100 == 0 ? records.first() : parent);
        if (i % 100 == 0)
            parent = node;
        AnsiString keywords;
        for (int k = 0; k < kPerRecord; ++k)
            keywords += (k ? ", " : "") + vocabulary[pick(random)];
        node->item.keywords = keywords;
    }
    records.first()->item.keywords = "a, b, c, d, e";

    KeywordIndex index;
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        auto t0 = Clock::now();
        (void)BuildIndex(index, {records, folders});
        best = std::min(best, Seconds(t0, Clock::now()));
    }
    std::size_t occurrences = 0;
    for (const auto& item : index)
        occurrences += item->references().size();

    MemoryStream info, pool;
    auto t1 = Clock::now();
    (void)WriteIndexStreams(index, info, pool);
    auto t2 = Clock::now();
    KeywordIndex loaded;
    MemoryStream info2(info.bytes()), pool2(pool.bytes());
    ReadIndexStreams(loaded, info2, pool2);
    auto t3 = Clock::now();

    std::printf("index build: %d records, %d keyword occurrences, %zu words, %zu references\n",
                kRecords, kRecords * kPerRecord, index.size(), occurrences);
    std::printf("  build  %.4f s (goal < 0.2 s, %.1fx under it)\n", best, 0.2 / best);
    std::printf("  write  %.4f s ($IdxPool %zu bytes)\n", Seconds(t1, t2), pool.bytes().size());
    std::printf("  read   %.4f s (%zu words)\n", Seconds(t2, t3), loaded.size());
    return 0;
}
