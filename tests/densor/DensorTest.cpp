// Densor, run as a user runs it: the built program on real files.
#include "platform/storage/Storage.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace kelvo;

namespace {

struct RunResult {
    int status = 0;
    std::string output;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs Densor; with `asNobody` (when the tests run as root) under an unprivileged user, so
// that file permissions apply.
RunResult RunDensor(const std::vector<std::string>& args, bool asNobody = false) {
    std::string cmd = Quote(std::string(KELVO_BINARY_DIR) + "/densor/Densor");
    if (asNobody && ::geteuid() == 0)
        cmd = "setpriv --reuid=65534 --regid=65534 --clear-groups " + cmd;
    for (const auto& a : args)
        cmd += " " + Quote(a);
    cmd += " 2>&1";
    RunResult r;
    FILE* p = popen(cmd.c_str(), "r");
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
        r.output.append(buf.data(), n);
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class DensorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("densor-тест-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_dir);
    }
    fs::path m_dir;
};

// A file with nested storages, CLSIDs, state bits and streams of several sizes, from which
// half the content was deleted so that it holds free space.
void MakeFileWithFreeSpace(const fs::path& path) {
    auto root = cfb::Storage::CreateFile(path);
    ASSERT_TRUE(root) << std::hex << root.code();
    auto sub = root->CreateStorage(u"RecData");
    ASSERT_TRUE(sub);
    cfb::Clsid clsid{};
    for (int i = 0; i < 16; ++i)
        clsid[i] = static_cast<std::uint8_t>(i + 1);
    ASSERT_TRUE(sub->SetClass(clsid));
    ASSERT_TRUE(sub->SetStateBits(0x5, 0xFFFFFFFF));
    for (int i = 0; i < 40; ++i) {
        auto s = sub->CreateStream(u"S" + std::u16string(1, char16_t(u'A' + i % 26)) +
                                   std::u16string(1, char16_t(u'a' + i / 26)));
        ASSERT_TRUE(s);
        ASSERT_TRUE(s->WriteAll(std::string(i % 2 ? 100 : 20000, static_cast<char>('a' + i))));
    }
    auto keep = root->CreateStream(u"\x05SummaryInformation");
    ASSERT_TRUE(keep);
    ASSERT_TRUE(keep->WriteAll("summary bytes"));
    for (int i = 0; i < 40; i += 2)
        ASSERT_TRUE(sub->DestroyElement(u"S" + std::u16string(1, char16_t(u'A' + i % 26)) +
                                        std::u16string(1, char16_t(u'a' + i / 26))));
    ASSERT_TRUE(root->Commit());
}

// Every element of a file, recursively: path, type, CLSID, state bits and bytes.
std::map<std::u16string, std::string> Content(const fs::path& path) {
    std::map<std::u16string, std::string> out;
    auto root = cfb::Storage::OpenFile(path);
    EXPECT_TRUE(root) << std::hex << root.code();
    if (!root)
        return out;
    std::function<void(cfb::Storage&, const std::u16string&)> walk =
        [&](cfb::Storage& st, const std::u16string& prefix) {
            auto list = st.Enumerate();
            ASSERT_TRUE(list);
            for (const auto& e : *list) {
                const std::u16string name = prefix + e.name;
                if (e.type == cfb::ElementType::Storage) {
                    out[name] = "storage " +
                                std::string(reinterpret_cast<const char*>(e.clsid.data()), 16) +
                                std::to_string(e.stateBits);
                    auto child = st.OpenStorage(e.name);
                    ASSERT_TRUE(child);
                    walk(*child, name + u"/");
                } else {
                    auto s = st.OpenStream(e.name);
                    ASSERT_TRUE(s);
                    auto bytes = s->ReadAll();
                    ASSERT_TRUE(bytes);
                    out[name] = *bytes;
                }
            }
        };
    walk(*root, u"");
    return out;
}

} // namespace

TEST_F(DensorTest, CompactsKeepingEveryElementAndABackup) {
    const fs::path file = m_dir / "банк с пробелом.Kvb";
    MakeFileWithFreeSpace(file);
    const auto before = Content(file);
    const auto sizeBefore = fs::file_size(file);

    auto r = RunDensor({file.string()});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Createing Backup Copy of file...\n"), std::string::npos);
    EXPECT_EQ(r.output.find("WARNING"), std::string::npos);
    EXPECT_NE(r.output.find("# File Length before defragmentation: " + std::to_string(sizeBefore) +
                            " bytes\n"),
              std::string::npos)
        << r.output;
    const auto sizeAfter = fs::file_size(file);
    EXPECT_LT(sizeAfter, sizeBefore);
    EXPECT_NE(r.output.find("# File Length after  defragmentation: " + std::to_string(sizeAfter) +
                            " bytes\n# --------------------------------------------------------\n"
                            "# Total bytes saved                 : " +
                            std::to_string(sizeBefore - sizeAfter) + "\n"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(Content(file), before);
    EXPECT_EQ(fs::file_size(file.string() + ".Bak"), sizeBefore);
    EXPECT_EQ(Content(file.string() + ".Bak"), before); // the former file, unchanged

    // An independent reader sees the same streams.
    const std::string py =
        "/usr/bin/python3 -c \"import olefile,sys; o=olefile.OleFileIO(sys.argv[1]); "
        "print(sorted('/'.join(p) for p in o.listdir()))\" ";
    FILE* p = popen((py + Quote(file.string())).c_str(), "r");
    std::array<char, 8192> buf{};
    std::string listing(buf.data(), fread(buf.data(), 1, buf.size(), p));
    EXPECT_EQ(pclose(p), 0);
    EXPECT_NE(listing.find("RecData/SBa"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("RecData/SAa"), std::string::npos) << listing;

    // A second run overwrites the backup and says so.
    auto again = RunDensor({file.string()});
    EXPECT_EQ(again.status, 0) << again.output;
    EXPECT_NE(again.output.find("WARNING: Backup File Already Exists. It was overwritten!\n"),
              std::string::npos);
    EXPECT_EQ(fs::file_size(file.string() + ".Bak"), sizeAfter);
    EXPECT_EQ(Content(file), before);
}

TEST_F(DensorTest, UsageAndErrorsLeaveTheSourceIntact) {
    auto usage = RunDensor({"a", "b"});
    EXPECT_EQ(usage.status, 255);
    EXPECT_EQ(usage.output.substr(0, 60), "\n" + std::string(58, '#') + "\n");
    EXPECT_NE(usage.output.find("\tUSAGE: Densor.Exe SrcFile\n"), std::string::npos);
    EXPECT_EQ(RunDensor({}).status, 255);

    const fs::path missing = m_dir / "missing.Kvb";
    auto r = RunDensor({missing.string()});
    EXPECT_EQ(r.status, 254);
    EXPECT_NE(
        r.output.find("ERROR: Error creating backup copy of file '" + missing.string() + "'!\n"),
        std::string::npos)
        << r.output;
    EXPECT_FALSE(fs::exists(missing));

    const fs::path text = m_dir / "notes.txt";
    std::ofstream(text) << "plain text, not a compound file";
    r = RunDensor({text.string()});
    EXPECT_EQ(r.status, 254);
    EXPECT_NE(r.output.find("ERROR: Error opening sourcefile '" + text.string() +
                            ".Bak'! (hr=80030050)\n"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(ReadFile(text), "plain text, not a compound file");

    // A folder where no backup can be created, and a file that cannot be written.
    fs::permissions(m_dir, fs::perms::all);
    const fs::path ro = m_dir / "ro";
    fs::create_directories(ro);
    MakeFileWithFreeSpace(ro / "bank.Kvb");
    fs::permissions(ro / "bank.Kvb",
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    const auto roOriginal = ReadFile(ro / "bank.Kvb");
    fs::permissions(ro, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
    r = RunDensor({(ro / "bank.Kvb").string()}, true);
    EXPECT_EQ(r.status, 254) << r.output;
    EXPECT_NE(r.output.find("ERROR: Error creating backup copy"), std::string::npos) << r.output;
    EXPECT_EQ(ReadFile(ro / "bank.Kvb"), roOriginal);

    const fs::path rw = m_dir / "rw";
    fs::create_directories(rw);
    fs::permissions(rw, fs::perms::all);
    MakeFileWithFreeSpace(rw / "locked.Kvb");
    fs::permissions(rw / "locked.Kvb",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto lockedOriginal = ReadFile(rw / "locked.Kvb");
    r = RunDensor({(rw / "locked.Kvb").string()}, true);
    EXPECT_EQ(r.status, 254) << r.output;
    EXPECT_NE(r.output.find("ERROR:"), std::string::npos) << r.output;
    EXPECT_EQ(ReadFile(rw / "locked.Kvb"), lockedOriginal);
}
