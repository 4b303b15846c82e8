// Bodies read for the search from RecData: RTF turned into plain text, missing bodies empty,
// the storage opened once and let go on Release.
#include "search/StorageBodySource.h"
#include "core/RecordBody.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace kelvo;

TEST(StorageBodySource, ReadsPlainTextAndStoredSize) {
    auto root = cfb::Storage::CreateInMemory();
    ASSERT_TRUE(root.ok());
    const std::string rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fcharset204 "
                            "Arial;}}\\pard\\f0\\fs20 \\'ea\\'ee\\'f2 word\\par }";
    ASSERT_TRUE(WriteRecordBody(*root, 5, rtf).ok());
    int opens = 0;
    StorageBodySource bodies([&]() -> Result<cfb::Storage> {
        ++opens;
        return std::move(*root);
    });
    BodyText body = bodies.ReadBody(5);
    EXPECT_EQ(body.text.find(Utf8ToAnsiLossy("кот word")), 0u);
    EXPECT_EQ(body.size, rtf.size());
    BodyText none = bodies.ReadBody(6);
    EXPECT_EQ(none.text, "");
    EXPECT_EQ(none.size, 0u);
    EXPECT_EQ(opens, 1);
}

TEST(StorageBodySource, NoStorageReadsEmpty) {
    StorageBodySource bodies([]() -> Result<cfb::Storage> { return MakeError(hr::FileNotFound); });
    EXPECT_EQ(bodies.ReadBody(1).size, 0u);
}

TEST(StorageBodySource, ReusedTextsFollowChangedBodies) {
    namespace fs = std::filesystem;
    const fs::path path =
        fs::temp_directory_path() / fs::u8path("kelvo-тела-" + std::to_string(::getpid()) + ".Kvb");
    auto write = [&](std::string_view rtf) {
        auto root =
            fs::exists(path) ? cfb::Storage::OpenFile(path) : cfb::Storage::CreateFile(path);
        ASSERT_TRUE(root.ok());
        ASSERT_TRUE(WriteRecordBody(*root, 1, rtf).ok());
        ASSERT_TRUE(root->Commit().ok());
    };
    StorageBodySource bodies([&] { return cfb::Storage::OpenFile(path); });
    write("{\\rtf1 first\\par }");
    EXPECT_EQ(bodies.ReadBody(1).text.substr(0, 5), "first");
    bodies.Release();
    write("{\\rtf1 other\\par }"); // same size, other bytes
    EXPECT_EQ(bodies.ReadBody(1).text.substr(0, 5), "other");
    EXPECT_EQ(bodies.ReadBody(1).text.substr(0, 5), "other");
    bodies.Release();
    fs::remove(path);
}
