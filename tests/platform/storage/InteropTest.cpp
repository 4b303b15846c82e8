// Interoperability: files this engine writes are read back with the same names and bytes by
// olefile and by gsf, and files gsf writes are read by this engine.
#include "platform/storage/Storage.h"

#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace kelvo;
using namespace kelvo::cfb;
using namespace kelvo::cfb::test;

namespace {

// One line per element: "D <hex utf8 path>" or "S <hex utf8 path> <size> <crc32>".
const char* OlefileLister = R"PY(
import olefile, sys, zlib
ole = olefile.OleFileIO(sys.argv[1])
out = []
for e in ole.listdir(streams=True, storages=True):
    p = '/'.join(e).encode('utf-8').hex()
    if ole.get_type(e) == olefile.STGTY_STREAM:
        d = ole.openstream(e).read()
        out.append('S %s %d %08x' % (p, len(d), zlib.crc32(d) & 0xffffffff))
    else:
        out.append('D %s' % p)
print('\n'.join(sorted(out)))
)PY";

// The same listing from this engine.
void ListTree(Storage& storage, const std::string& prefix, std::vector<std::string>& out) {
    auto list = storage.Enumerate();
    ASSERT_TRUE(list);
    for (const auto& st : *list) {
        const std::string path = prefix + Utf8(st.name);
        if (st.type == ElementType::Stream) {
            auto s = storage.OpenStream(st.name, mode::OpenRead);
            ASSERT_TRUE(s);
            auto bytes = s->ReadAll();
            ASSERT_TRUE(bytes);
            char line[64];
            std::snprintf(line, sizeof line, " %zu %08x", bytes->size(), Crc32(*bytes));
            out.push_back("S " + Hex(path) + line);
        } else {
            out.push_back("D " + Hex(path));
            auto sub = storage.OpenStorage(st.name, mode::OpenRead);
            ASSERT_TRUE(sub);
            ListTree(*sub, path + "/", out);
        }
    }
}

std::string Listing(Storage& root) {
    std::vector<std::string> lines;
    ListTree(root, "", lines);
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const auto& l : lines)
        out += l + "\n";
    return out;
}

// Compares two listings line by line, reporting only the first difference.
void ExpectSameListing(const std::string& theirs, const std::string& ours) {
    if (theirs == ours)
        return;
    std::size_t i = 0;
    while (i < theirs.size() && i < ours.size() && theirs[i] == ours[i])
        ++i;
    const std::size_t from = theirs.rfind('\n', i) == std::string::npos ? 0 : theirs.rfind('\n', i);
    ADD_FAILURE() << "listings differ near: theirs «" << theirs.substr(from, 120) << "» ours «"
                  << ours.substr(from, 120) << "»";
}

std::string OlefileListing(const std::filesystem::path& file) {
    TempDir scriptDir;
    WriteFileBytes(scriptDir / "list.py", OlefileLister);
    auto r = RunCommand("/usr/bin/python3 " + Quote((scriptDir / "list.py").string()) + " " +
                        Quote(file.string()));
    EXPECT_EQ(r.status, 0) << r.output;
    return r.output;
}

void Put(Storage& storage, std::u16string_view name, const std::string& bytes) {
    auto s = storage.CreateStream(name);
    ASSERT_TRUE(s) << StatusName(s.code());
    ASSERT_TRUE(s->WriteAll(bytes));
}

// Nested storages, many streams, empty streams, sizes around the mini cutoff, odd names.
void BuildSample(Storage& root) {
    Put(root, u"empty", "");
    for (std::size_t size : {1, 63, 64, 4095, 4096, 4097, 20000}) {
        const std::string digits = std::to_string(size);
        Put(root, u"size" + std::u16string(digits.begin(), digits.end()),
            Pattern(size, static_cast<unsigned>(size)));
    }
    Put(root, u"\x05SummaryInformation", Pattern(400, 5));
    auto sub = root.CreateStorage(u"Записи");
    ASSERT_TRUE(sub);
    for (int i = 0; i < 300; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%08X", i);
        Put(*sub, std::u16string(name, name + 8), Pattern(static_cast<std::size_t>(i) * 37, i));
    }
    auto deeper = sub->CreateStorage(u"deeper");
    auto deepest = deeper->CreateStorage(u"deepest");
    Put(*deepest, u"leaf", "leaf bytes");
    ASSERT_TRUE(root.CreateStorage(u"emptyStorage"));
}

} // namespace

TEST(Interop, OlefileReadsWhatThisEngineWrites) {
    if (!HaveOlefile())
        GTEST_SKIP() << "python3-olefile is not installed";
    TempDir dir;
    const auto path = dir / "sample.cfb";
    {
        auto root = Storage::CreateFile(path);
        ASSERT_TRUE(root);
        BuildSample(*root);
    }
    auto root = Storage::OpenFile(path, mode::OpenRead);
    ASSERT_TRUE(root);
    const std::string ours = Listing(*root);
    root = Storage();
    ExpectSameListing(OlefileListing(path), ours);
    EXPECT_GT(std::count(ours.begin(), ours.end(), '\n'), 300);
}

TEST(Interop, LargeFilesWithDifatSectorsReadBackEverywhere) {
    TempDir dir;
    const auto path = dir / "large.cfb";
    {
        auto root = Storage::CreateFile(path);
        ASSERT_TRUE(root);
        for (int i = 0; i < 4; ++i)
            Put(*root, u"part" + std::u16string(1, static_cast<char16_t>(u'0' + i)),
                Pattern(2'100'000 + static_cast<std::size_t>(i) * 1000, 40 + i));
        Put(*root, u"small", "small after large");
    }
    ASSERT_GT(std::filesystem::file_size(path), 8'000'000u);
    // More than 109 FAT sectors: the header alone cannot list them.
    const std::string head = ReadFileBytes(path).substr(0, 512);
    EXPECT_GT(static_cast<std::uint8_t>(head[0x2C]) | (static_cast<std::uint8_t>(head[0x2D]) << 8),
              109);
    EXPECT_EQ(static_cast<std::uint8_t>(head[0x48]), 1); // one DIFAT sector
    auto root = Storage::OpenFile(path, mode::OpenRead);
    ASSERT_TRUE(root);
    const std::string ours = Listing(*root);
    root = Storage();
    if (HaveOlefile())
        ExpectSameListing(OlefileListing(path), ours);
    if (HaveGsf()) {
        auto r = RunCommand("gsf cat " + Quote(path.string()) + " part3");
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(r.output == Pattern(2'103'000, 43));
    }
}

TEST(Interop, GsfReadsWhatThisEngineWrites) {
    if (!HaveGsf())
        GTEST_SKIP() << "gsf (libgsf-bin) is not installed";
    TempDir dir;
    const auto path = dir / "sample.cfb";
    {
        auto root = Storage::CreateFile(path);
        ASSERT_TRUE(root);
        BuildSample(*root);
    }
    auto list = RunCommand("gsf list " + Quote(path.string()));
    ASSERT_EQ(list.status, 0);
    EXPECT_NE(list.output.find("Записи/deeper/deepest/leaf"), std::string::npos);
    EXPECT_NE(list.output.find("4097 size4097"), std::string::npos) << list.output.substr(0, 500);
    EXPECT_NE(list.output.find("0 empty"), std::string::npos);
    for (std::size_t size : {63, 4095, 4096, 4097, 20000}) {
        auto r = RunCommand("gsf cat " + Quote(path.string()) + " size" + std::to_string(size));
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(r.output == Pattern(size, static_cast<unsigned>(size))) << size;
    }
    auto r = RunCommand("gsf cat " + Quote(path.string()) + " " + Quote("Записи/0000012B"));
    EXPECT_TRUE(r.output == Pattern(299 * 37, 299));
}

TEST(Interop, ThisEngineReadsWhatGsfWrites) {
    if (!HaveGsf())
        GTEST_SKIP() << "gsf (libgsf-bin) is not installed";
    TempDir dir;
    const auto input = dir / "input";
    std::filesystem::create_directories(input / "sub" / "deeper");
    WriteFileBytes(input / "small.txt", "hello from gsf");
    WriteFileBytes(input / "sub" / "big.bin", Pattern(300000, 1));
    WriteFileBytes(input / "sub" / "deeper" / "cutoff.bin", Pattern(4096, 2));
    WriteFileBytes(input / "empty.bin", "");
    const auto out = dir / "gsf.ole";
    auto r = RunCommand("cd " + Quote(input.string()) + " && gsf createole " + Quote(out.string()) +
                        " small.txt sub empty.bin >/dev/null 2>&1");
    ASSERT_EQ(r.status, 0);
    auto root = Storage::OpenFile(out);
    ASSERT_TRUE(root) << StatusName(root.code());
    auto s = root->OpenStream(u"small.txt");
    ASSERT_TRUE(s);
    EXPECT_EQ(*s->ReadAll(), "hello from gsf");
    auto sub = root->OpenStorage(u"sub");
    ASSERT_TRUE(sub);
    auto big = sub->OpenStream(u"big.bin");
    ASSERT_TRUE(big);
    EXPECT_TRUE(*big->ReadAll() == Pattern(300000, 1));
    auto deeper = sub->OpenStorage(u"deeper");
    ASSERT_TRUE(deeper);
    auto cutoff = deeper->OpenStream(u"cutoff.bin");
    EXPECT_TRUE(*cutoff->ReadAll() == Pattern(4096, 2));
    // Modify the gsf file in place; olefile still reads it.
    ASSERT_TRUE(big->WriteAll(Pattern(1000, 3)));
    ASSERT_TRUE(root->CreateStream(u"added")->WriteAll("added by the engine"));
    big = Stream();
    cutoff = Stream();
    deeper = Storage();
    sub = Storage();
    s = Stream();
    const std::string ours = Listing(*root);
    root = Storage();
    if (HaveOlefile())
        ExpectSameListing(OlefileListing(out), ours);
}
