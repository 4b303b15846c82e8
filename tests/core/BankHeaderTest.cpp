// The bank header bytes and the check that a file is a bank.
#include "core/BankHeader.h"
#include "BankFixture.h"
#include "platform/storage/BankStorage.h"

#include <cstring>

using namespace kelvo;
using kelvo::test::TempFolder;

namespace {

std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// A compound file holding a KelvoDataBank stream of the given bytes.
void MakeFile(const std::filesystem::path& path, const std::string* header) {
    auto root = cfb::Storage::CreateFile(path);
    ASSERT_TRUE(root.ok());
    if (header) {
        auto s = root->CreateStream(kBankHeaderStream);
        ASSERT_TRUE(s.ok());
        ASSERT_TRUE(s->WriteAll(*header).ok());
    }
    ASSERT_TRUE(root->Commit().ok());
}

} // namespace

TEST(BankHeader, Bytes) {
    HeaderTime t;
    t.year = 2024;
    t.month = 2;
    t.dayOfWeek = 4;
    t.day = 29;
    t.hour = 23;
    t.minute = 59;
    t.second = 58;
    t.milliseconds = 999;
    const auto h = BuildBankHeader(7, t, 0xDEADBEEF);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(h.data()), 49),
              "$Quorvelline 2003 Data Bank storage file format\r\n");
    EXPECT_EQ(h[49], 0x1A);
    EXPECT_EQ(h[50] | h[51], 0);
    EXPECT_EQ(U32(h.data() + 52), 0x03434575u);
    EXPECT_EQ(U32(h.data() + 64), 0x98943122u);
    EXPECT_EQ(std::memcmp(h.data() + 68, kBankId.data(), 16), 0);
    EXPECT_EQ(h[68], 0x52);
    EXPECT_EQ(h[83], 0x36);
    for (int i = 84; i < 260; ++i)
        ASSERT_EQ(h[i], 0) << i;
    EXPECT_EQ(U32(h.data() + 260), 1u);
    EXPECT_EQ(U32(h.data() + 264), 0u);
    EXPECT_EQ(U32(h.data() + 268), 9u);
    EXPECT_EQ(U32(h.data() + 272), 0u);
    EXPECT_EQ(h[276] | h[277] << 8, 2024);
    EXPECT_EQ(h[280], 4); // day of week
    EXPECT_EQ(h[290] | h[291] << 8, 999);
    EXPECT_EQ(U32(h.data() + 292), 0xDEADBEEFu);
    EXPECT_EQ(U32(h.data() + 296), 7u);
    for (std::size_t i = 300; i < 512; ++i)
        ASSERT_EQ(h[i], 0xFF) << i;
}

TEST(BankHeader, CheckGivesTheThreeMessages) {
    TempFolder dir;
    auto check = [](const std::filesystem::path& path) {
        auto result = CheckBankFile(path);
        EXPECT_FALSE(result.ok()) << path;
        return result.ok() ? Error{} : result.error();
    };

    Error m = check(dir / "нет.Kvb");
    EXPECT_EQ(m.messageId, msg::CannotOpenBank);
    EXPECT_NE(m.message.find((dir / "нет.Kvb").string()), std::string::npos);

    test::WriteFileBytes(dir / "text.Kvb", "not a compound file at all, just text\n");
    m = check(dir / "text.Kvb");
    EXPECT_EQ(m.messageId, msg::OpenFailedWithStatus);
    EXPECT_NE(m.message.find("0x80030050 (-2147286960)"), std::string::npos) << m.message;

    MakeFile(dir / "empty.Kvb", nullptr);
    m = check(dir / "empty.Kvb");
    EXPECT_EQ(m.messageId, msg::NotABank);
    EXPECT_EQ(m.message, "Открываемый файл\n" + (dir / "empty.Kvb").string() +
                             "\nне является банком данных Quorvelline 2003 Professional!");

    auto header = BuildBankHeader(3, HeaderTime{}, 0);
    std::string bytes(header.begin(), header.end());
    bytes[70] ^= 1;
    MakeFile(dir / "wrongid.Kvb", &bytes);
    EXPECT_EQ(check(dir / "wrongid.Kvb").messageId, msg::NotABank);

    // Only the identifier counts: everything else zero is accepted.
    std::string zeros(512, '\0');
    std::memcpy(zeros.data() + 68, kBankId.data(), 16);
    zeros[296] = 5;
    MakeFile(dir / "zeros.Kvb", &zeros);
    auto ok = CheckBankFile(dir / "zeros.Kvb");
    ASSERT_TRUE(ok.ok());
    EXPECT_EQ(ok->revision, 5u);
    EXPECT_TRUE(ok->root.valid());

    // A header too short for the revision number: revision 0.
    std::string shortHeader = zeros.substr(0, 100);
    MakeFile(dir / "short.Kvb", &shortHeader);
    auto shortOk = CheckBankFile(dir / "short.Kvb");
    ASSERT_TRUE(shortOk.ok());
    EXPECT_EQ(shortOk->revision, 0u);
}

TEST(BankHeader, WriteKeepsTheStreamAtFiveHundredTwelveBytes) {
    auto root = cfb::Storage::CreateInMemory();
    ASSERT_TRUE(root.ok());
    ASSERT_TRUE(WriteBankHeader(*root, 1).ok());
    ASSERT_TRUE(WriteBankHeader(*root, 2).ok());
    auto s = root->OpenStream(kBankHeaderStream);
    ASSERT_TRUE(s.ok());
    auto bytes = s->ReadAll();
    ASSERT_TRUE(bytes.ok());
    ASSERT_EQ(bytes->size(), 512u);
    EXPECT_EQ(static_cast<unsigned char>((*bytes)[296]), 2);
}
