#include "platform/text/ItemStream.h"
#include "platform/base/MemoryStream.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {

// A stream that fails every write after `limit` bytes.
class FailingStream : public ByteStream {
public:
    explicit FailingStream(std::size_t limit) : m_limit(limit) {}
    Result<std::size_t> Read(void*, std::size_t) override { return std::size_t{0}; }
    Result<std::size_t> Write(const void* buffer, std::size_t size) override {
        if (m_data.size() + size > m_limit)
            return MakeError(hr::MediumFull);
        m_data.append(static_cast<const char*>(buffer), size);
        return size;
    }
    Result<std::uint64_t> Seek(std::int64_t, SeekOrigin) override { return std::uint64_t{0}; }
    Result<std::uint64_t> Size() const override { return std::uint64_t{m_data.size()}; }
    Result<void> SetSize(std::uint64_t) override { return {}; }
    std::string m_data;

private:
    std::size_t m_limit;
};

std::vector<AnsiString> ReadAllByteAtATime(const std::string& bytes, std::size_t count) {
    MemoryStream s(bytes);
    std::vector<AnsiString> lines;
    for (std::size_t i = 0; i < count; ++i)
        lines.push_back(ReadLine(s));
    return lines;
}

std::vector<AnsiString> ReadAllBuffered(const std::string& bytes, std::size_t count) {
    MemoryStream s(bytes);
    LineReader reader(s);
    std::vector<AnsiString> lines;
    for (std::size_t i = 0; i < count; ++i)
        lines.push_back(reader.ReadLine());
    return lines;
}

} // namespace

TEST(ItemStream, EscapingRoundTrips) {
    EXPECT_EQ(EscapeText("a\\b"), "a\\\\b");
    EXPECT_EQ(UnescapeText("a\\\\b"), "a\\b");
    EXPECT_EQ(EscapeText("x\r\ny"), "x\\ny");
    EXPECT_EQ(EscapeText("x\ry\nz\n"), "x\\ny\\nz\\n");
    EXPECT_EQ(UnescapeText(EscapeText("x\ry\nz\n")), "x\r\ny\r\nz\r\n");
    EXPECT_EQ(UnescapeText(EscapeText("C:\\new")), "C:\\new");
    EXPECT_EQ(EscapeText("C:\\new"), "C:\\\\new");
    // Lone or unknown escapes are copied as they stand.
    EXPECT_EQ(UnescapeText("a\\tb\\"), "a\\tb\\");
    EXPECT_EQ(UnescapeText("\\\\n"), "\\n");
    EXPECT_EQ(EscapeText(""), "");
}

TEST(ItemStream, SplitAndJoin) {
    using V = std::vector<AnsiString>;
    EXPECT_EQ(SplitList("A#B##C", "#", false), (V{"A", "B", "", "C"}));
    EXPECT_EQ(SplitList("#A", "#", false), V{});
    EXPECT_EQ(SplitList("", "#", false), V{});
    EXPECT_EQ(SplitList(" A # B ", "#", true), (V{"A", "B"}));
    EXPECT_EQ(SplitList(" A # B ", "#", false), (V{" A ", " B "}));
    EXPECT_EQ(SplitList("A#", "#", false), (V{"A", ""}));
    EXPECT_EQ(SplitList("0000000C#x#y#", "#", true), (V{"0000000C", "x", "y", ""}));
    V out{"stale"};
    SplitList("a,b", ",", false, out);
    EXPECT_EQ(out, (V{"a", "b"}));
    EXPECT_EQ(JoinList({"A", "", "C"}, "#"), "A##C");
    EXPECT_EQ(JoinList({}, "#"), "");
}

TEST(ItemStream, HexTextAndHexValue) {
    EXPECT_EQ(HexText(255), "000000FF");
    EXPECT_EQ(HexText(0xFFFFFFFF), "FFFFFFFF");
    EXPECT_EQ(HexText(0), "00000000");
    EXPECT_EQ(HexValue("000000FF"), 255);
    EXPECT_EQ(HexValue("ff"), 255);
    EXPECT_EQ(HexValue(""), 0);
    EXPECT_EQ(HexValue("80000000"), 0x7FFFFFFF);
    EXPECT_EQ(HexValue("FFFFFFFF"), 0x7FFFFFFF);
    EXPECT_EQ(HexValue("123456789ABC"), 0x7FFFFFFF);
    EXPECT_EQ(HexValue("1Fzz"), 0x1F);
    EXPECT_EQ(HexValue("zz"), 0);
    EXPECT_EQ(HexValue(" 1F"), 0); // "0X 1F": strtol stops after the 0
    EXPECT_EQ(HexValue("-1"), 0);
}

TEST(ItemStream, ReadLineEdges) {
    const std::string bytes = std::string("one\r\ntwo\rthree\nfour\r\n\r\nfi\0ve\r\0\nlast", 36);
    const auto expected =
        std::vector<AnsiString>{"one", "two\rthree\nfour", "", "five", "last", "", ""};
    EXPECT_EQ(ReadAllByteAtATime(bytes, expected.size()), expected);
    EXPECT_EQ(ReadAllBuffered(bytes, expected.size()), expected);
}

TEST(ItemStream, BufferedReaderMatchesAcrossChunkBoundaries) {
    std::string bytes;
    for (int i = 0; i < 30000; ++i) {
        bytes += "line " + std::to_string(i);
        bytes += (i % 7 == 0) ? "\r" : "";
        bytes += "\r\n";
    }
    const auto a = ReadAllByteAtATime(bytes, 30002);
    EXPECT_EQ(ReadAllBuffered(bytes, 30002), a);
}

TEST(ItemStream, WriteLineAndFailures) {
    MemoryStream s;
    EXPECT_TRUE(WriteLine(s, BlockBegin("TreeItem")));
    EXPECT_TRUE(WriteLine(s, "x", false));
    EXPECT_EQ(s.bytes(), "begin obj(TreeItem)\r\nx");

    FailingStream f(10);
    EXPECT_TRUE(WriteLine(f, "12345678"));
    EXPECT_FALSE(WriteLine(f, "9"));

    FailingStream g(4);
    {
        LineWriter w(g);
        EXPECT_TRUE(w.WriteLine("abc"));
        EXPECT_FALSE(w.Flush());
        EXPECT_FALSE(w.WriteLine("more"));
    }
    EXPECT_EQ(g.m_data, "");
}
