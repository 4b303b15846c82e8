// The stored index, byte for byte: the $IdxInfo table, the $IdxPool blocks, escaping, and
// damaged streams read without running on.
#include "index/IndexStorage.h"
#include "platform/base/MemoryStream.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {
using List = std::vector<AnsiString>;
AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

std::uint32_t Dword(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

bool RoundTrip(const KeywordIndex& in, KeywordIndex& out) {
    MemoryStream info, pool;
    EXPECT_TRUE(WriteIndexStreams(in, info, pool).ok());
    MemoryStream info2(info.bytes()), pool2(pool.bytes());
    return ReadIndexStreams(out, info2, pool2);
}
} // namespace

TEST(IndexStreams, EmptyIndexIsAZeroHeader) {
    KeywordIndex index;
    MemoryStream info, pool;
    ASSERT_TRUE(WriteIndexStreams(index, info, pool).ok());
    EXPECT_EQ(info.bytes(), std::string(16, '\0'));
    EXPECT_EQ(pool.bytes(), "");
    KeywordIndex loaded;
    loaded.AddWord("stale");
    EXPECT_TRUE(RoundTrip(index, loaded));
    EXPECT_TRUE(loaded.empty());
}

TEST(IndexStreams, TableAndBlocksLayout) {
    KeywordIndex index;
    index.AddWord("a");
    index.AddWord("b").AddReference("rec:00000001");
    IdxItem& vacation = index.AddWord(A("отпуск"));
    vacation.AddReference("rec:0000000C");
    vacation.AddReference("pwd:00000002");
    MemoryStream info, pool;
    ASSERT_TRUE(WriteIndexStreams(index, info, pool).ok());
    ASSERT_EQ(info.bytes().size(), 64u);
    EXPECT_EQ(Dword(info.bytes(), 0), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Dword(info.bytes(), 16 * (i + 1)), i + 1);
        EXPECT_EQ(info.bytes().substr(16 * (i + 1) + 4, 12), std::string(12, '\0'));
    }
    EXPECT_EQ(info.bytes().substr(4, 12), std::string(12, '\0'));
    const std::string expected =
        "begin obj(IdxItem)\r\n00000001\r\na\r\n\r\nend obj(IdxItem)\r\n"
        "begin obj(IdxItem)\r\n00000002\r\nb\r\nrec:00000001\r\nend obj(IdxItem)\r\n"
        "begin obj(IdxItem)\r\n00000003\r\n" +
        A("отпуск") + "\r\nrec:0000000C#pwd:00000002\r\nend obj(IdxItem)\r\n";
    EXPECT_EQ(pool.bytes(), expected);
}

TEST(IndexStreams, WordsSurviveEscaping) {
    KeywordIndex index;
    index.AddWord("C:\\new\\dir");
    index.AddWord("two\r\nlines\n");
    index.AddWord("bare");
    KeywordIndex loaded;
    ASSERT_TRUE(RoundTrip(index, loaded));
    EXPECT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[0].word, "C:\\new\\dir");
    EXPECT_EQ(loaded[1].word, "two\r\nlines\r\n");
    EXPECT_EQ(loaded[2].references(), List{});
    EXPECT_EQ(loaded.FindWord("bare")->uid, 3u);
}

TEST(IndexStreams, DamagedStreamsAreReadBounded) {
    KeywordIndex loaded;
    MemoryStream shortInfo(std::string(15, '\0')), pool;
    EXPECT_FALSE(ReadIndexStreams(loaded, shortInfo, pool));
    // A count far beyond the blocks present stops at the end of $IdxPool.
    KeywordIndex two;
    two.AddWord("x").AddReference(" rec:00000001 ");
    two.AddWord("y");
    MemoryStream info, blocks;
    ASSERT_TRUE(WriteIndexStreams(two, info, blocks).ok());
    std::string table = info.bytes().substr(0, 16);
    table[0] = table[1] = table[2] = table[3] = '\xFF';
    MemoryStream bigInfo(table), pool2(blocks.bytes());
    EXPECT_TRUE(ReadIndexStreams(loaded, bigInfo, pool2));
    EXPECT_EQ(loaded.size(), 2u);
    // References are trimmed when read.
    EXPECT_EQ(loaded[0].references(), List{"rec:00000001"});
    // Blocks are read by position, unchecked: garbage lines give UID 0 and the text as word.
    MemoryStream info3(info.bytes()), garbage("junk\r\nzz\r\nword\r\n");
    EXPECT_TRUE(ReadIndexStreams(loaded, info3, garbage));
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].uid, 0u);
    EXPECT_EQ(loaded[0].word, "word");
}

namespace {
class FailingStream : public ByteStream {
public:
    Result<std::size_t> Read(void*, std::size_t) override { return std::size_t{0}; }
    Result<std::size_t> Write(const void*, std::size_t) override {
        return MakeError(hr::MediumFull);
    }
    Result<std::uint64_t> Seek(std::int64_t, SeekOrigin) override { return std::uint64_t{0}; }
    Result<std::uint64_t> Size() const override { return std::uint64_t{0}; }
    Result<void> SetSize(std::uint64_t) override { return {}; }
};
} // namespace

TEST(IndexStreams, WriteFailuresAreReported) {
    KeywordIndex index;
    index.AddWord("a");
    FailingStream bad;
    MemoryStream good;
    EXPECT_FALSE(WriteIndexStreams(index, good, bad).ok());
    MemoryStream pool;
    EXPECT_FALSE(WriteIndexStreams(index, bad, pool).ok());
}
