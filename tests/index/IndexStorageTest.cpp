// The index in a bank file: BnkIndx created on first load, saves that truncate, the file read
// back by an independent reader.
#include "index/IndexStorage.h"
#include "core/Messages.h"
#include "platform/storage/Storage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace kelvo;
namespace fs = std::filesystem;

namespace {
class IndexStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                fs::u8path("kelvo-index-данные-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        m_path = m_dir / fs::u8path("банк.Kvb");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    cfb::Storage Create() {
        auto root = cfb::Storage::CreateFile(m_path);
        EXPECT_TRUE(root.ok());
        return std::move(*root);
    }
    cfb::Storage Open() {
        auto root = cfb::Storage::OpenFile(m_path);
        EXPECT_TRUE(root.ok());
        return std::move(*root);
    }
    std::uint64_t StreamSize(cfb::Storage& root, std::u16string_view name) {
        auto index = root.OpenStorage(kIndexStorageName);
        EXPECT_TRUE(index.ok());
        auto stream = index->OpenStream(name);
        EXPECT_TRUE(stream.ok());
        return *stream->Size();
    }

    fs::path m_dir, m_path;
};
} // namespace

TEST_F(IndexStorageTest, FirstLoadCreatesEmptyStreamsAndFindsNothing) {
    {
        cfb::Storage root = Create();
        KeywordIndex index;
        index.AddWord("stale");
        auto loaded = LoadIndex(index, root);
        ASSERT_TRUE(loaded.ok());
        EXPECT_FALSE(*loaded);
        EXPECT_TRUE(index.empty());
        EXPECT_EQ(StreamSize(root, kIndexInfoName), 0u);
        EXPECT_EQ(StreamSize(root, kIndexPoolName), 0u);
    }
}

TEST_F(IndexStorageTest, SavesTruncateAndReadBack) {
    KeywordIndex big;
    for (int i = 0; i < 200; ++i)
        big.AddWord("word" + std::to_string(i)).AddReference("rec:00000001");
    KeywordIndex small;
    small.AddWord(Utf8ToAnsiLossy("отпуск")).AddReference("pwd:00000002");
    {
        cfb::Storage root = Create();
        ASSERT_TRUE(SaveIndex(big, root).ok());
        ASSERT_TRUE(SaveIndex(small, root).ok());
    }
    cfb::Storage root = Open();
    EXPECT_EQ(StreamSize(root, kIndexInfoName), 32u);
    EXPECT_EQ(StreamSize(root, kIndexPoolName),
              std::string("begin obj(IdxItem)\r\n00000001\r\n123456\r\npwd:00000002\r\n"
                          "end obj(IdxItem)\r\n")
                  .size());
    KeywordIndex loaded;
    auto found = LoadIndex(loaded, root);
    ASSERT_TRUE(found.ok());
    EXPECT_TRUE(*found);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].word, Utf8ToAnsiLossy("отпуск"));
}

TEST_F(IndexStorageTest, FailuresAreToldApartFromAMissingIndex) {
    { cfb::Storage root = Create(); }
    // A bank open for reading only cannot gain BnkIndx: that is a failure with its reason,
    // not "no index stored", and the index in memory stays as it was.
    auto root = cfb::Storage::OpenFile(m_path, cfb::mode::OpenRead);
    ASSERT_TRUE(root.ok());
    KeywordIndex index;
    index.AddWord("kept");
    auto loaded = LoadIndex(index, *root);
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error().messageId, msg::IndexNotLoaded);
    EXPECT_EQ(loaded.error().message.rfind("Не удалось загрузить индексы из файла банка: ", 0), 0u)
        << loaded.error().message;
    EXPECT_EQ(index.size(), 1u);
    auto saved = SaveIndex(index, *root);
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error().messageId, msg::IndexSaveFailed);
}

TEST_F(IndexStorageTest, IndependentReaderSeesTheStreams) {
    KeywordIndex index;
    index.AddWord("a").AddReference("rec:00000001");
    index.AddWord("b");
    {
        cfb::Storage root = Create();
        ASSERT_TRUE(SaveIndex(index, root).ok());
    }
    const fs::path out = m_dir / "olefile.txt";
    const fs::path script = m_dir / "read.py";
    std::ofstream(script) << "import olefile, sys\n"
                             "f = olefile.OleFileIO(sys.argv[1])\n"
                             "i = f.openstream('BnkIndx/$IdxInfo').read()\n"
                             "p = f.openstream('BnkIndx/$IdxPool').read()\n"
                             "open(sys.argv[2], 'w').write('%d %s %d' % (len(i), i[:4].hex(), "
                             "p.count(b'begin obj(IdxItem)')))\n";
    const std::string command = "/usr/bin/python3 '" + script.string() + "' '" + m_path.string() +
                                "' '" + out.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(out);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "48 02000000 2");
}
