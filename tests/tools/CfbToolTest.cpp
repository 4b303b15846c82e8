// cfbtool: each command run in process over string streams, and the built program itself.
#include "tools/CfbCommands.h"

#include "platform/storage/Storage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace kelvo;

namespace {

struct Outcome {
    int rc;
    std::string out;
    std::string err;
};

Outcome Tool(std::vector<std::string> args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int rc = cfbtool::Run(args, in, out, err);
    return {rc, out.str(), err.str()};
}

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "cfbtool-XXXXXX").string();
        EXPECT_NE(::mkdtemp(pattern.data()), nullptr);
        m_path = std::filesystem::path(pattern) / "данные";
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path.parent_path(), ec);
    }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

} // namespace

TEST(CfbTool, PathsDecodeEscapesAndNamesEncodeControlCharacters) {
    const auto names = cfbtool::ParsePath("RecTree/\\x05SummaryInformation/Запись");
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[1], u"\x05SummaryInformation");
    EXPECT_EQ(names[2], u"Запись");
    EXPECT_TRUE(cfbtool::ParsePath("a//b").empty());
    EXPECT_TRUE(cfbtool::ParsePath("").empty());
    EXPECT_EQ(cfbtool::EscapeName(u"\x05Sum\\x"), "\\x05Sum\\x5Cx");
    EXPECT_EQ(cfbtool::ParsePath(cfbtool::EscapeName(u"\x01\x7Fз\\"))[0], u"\x01\x7Fз\\");
}

TEST(CfbTool, PutCatLsMkdirMvRmCheck) {
    TempFolder dir;
    const std::string file = dir / "tool.cfb";
    EXPECT_EQ(Tool({"put", file, "RecData/\\x05Sum"}, "first").rc, 0);
    EXPECT_EQ(Tool({"put", file, "RecData/\\x05Sum"}, std::string(5000, 'z')).rc, 0);
    EXPECT_EQ(Tool({"mkdir", file, "BnkIndx/inner"}).rc, 0);
    EXPECT_EQ(Tool({"put", file, "top"}, "").rc, 0);
    auto cat = Tool({"cat", file, "RecData/\\x05Sum"});
    EXPECT_EQ(cat.rc, 0);
    EXPECT_EQ(cat.out, std::string(5000, 'z'));
    auto ls = Tool({"ls", file});
    EXPECT_EQ(ls.rc, 0);
    EXPECT_EQ(ls.out, "stream             0 top\n"
                      "storage            0 BnkIndx\n"
                      "storage            0 BnkIndx/inner\n"
                      "storage            0 RecData\n"
                      "stream          5000 RecData/\\x05Sum\n");
    EXPECT_EQ(Tool({"mv", file, "RecData/\\x05Sum", "BnkIndx/inner/moved"}).rc, 0);
    EXPECT_EQ(Tool({"mv", file, "top", "renamed"}).rc, 0);
    EXPECT_EQ(Tool({"rm", file, "RecData"}).rc, 0);
    ls = Tool({"ls", file});
    EXPECT_EQ(ls.out, "storage            0 BnkIndx\n"
                      "storage            0 BnkIndx/inner\n"
                      "stream          5000 BnkIndx/inner/moved\n"
                      "stream             0 renamed\n");
    auto check = Tool({"check", file});
    EXPECT_EQ(check.rc, 0);
    EXPECT_EQ(check.out, "sound\n");
}

TEST(CfbTool, RefusalsGiveStatusTwoWithTheCode) {
    TempFolder dir;
    const std::string file = dir / "refuse.cfb";
    auto missing = Tool({"ls", file});
    EXPECT_EQ(missing.rc, 2);
    EXPECT_NE(missing.err.find("0x80030002 STG_E_FILENOTFOUND"), std::string::npos);
    ASSERT_EQ(Tool({"put", file, "s"}, "x").rc, 0);
    auto noStream = Tool({"cat", file, "nope"});
    EXPECT_EQ(noStream.rc, 2);
    EXPECT_NE(noStream.err.find("0x80030002"), std::string::npos);
    EXPECT_EQ(Tool({"put", file, "bad:name"}, "x").rc, 2);
    EXPECT_EQ(Tool({"frobnicate"}).rc, 1);
    EXPECT_EQ(Tool({"cat", file}).rc, 1);
    // A file that is not a compound file is neither read nor replaced.
    const std::string text = dir / "text.txt";
    std::ofstream(text) << "plain text";
    auto put = Tool({"put", text, "s"}, "x");
    EXPECT_EQ(put.rc, 2);
    EXPECT_NE(put.err.find("0x80030050"), std::string::npos);
    std::ifstream in(text);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "plain text");
}

TEST(CfbTool, CheckReportsDamage) {
    TempFolder dir;
    const auto corpus = std::filesystem::path(KELVO_TEST_DATA_DIR) / "storage";
    auto sound = Tool({"check", (corpus / "valid.cfb").string()});
    EXPECT_EQ(sound.rc, 0);
    auto corrupt = Tool({"check", (corpus / "fat_chain_cycle.cfb").string()});
    EXPECT_EQ(corrupt.rc, 1);
    EXPECT_NE(corrupt.out.find("0x80030109"), std::string::npos);
}

TEST(CfbTool, CopyMergesIntoTheTarget) {
    TempFolder dir;
    const std::string src = dir / "src.cfb";
    const std::string dst = dir / "dst.cfb";
    ASSERT_EQ(Tool({"put", src, "A/x"}, "from source").rc, 0);
    ASSERT_EQ(Tool({"put", dst, "A/y"}, "only in target").rc, 0);
    ASSERT_EQ(Tool({"put", dst, "A/x"}, "old").rc, 0);
    ASSERT_EQ(Tool({"copy", src, dst}).rc, 0);
    EXPECT_EQ(Tool({"cat", dst, "A/x"}).out, "from source");
    EXPECT_EQ(Tool({"cat", dst, "A/y"}).out, "only in target");
}

TEST(CfbTool, TheBuiltProgramWorksThroughPipes) {
    const std::string tool = std::string(KELVO_BINARY_DIR) + "/tools/cfbtool";
    if (!std::filesystem::exists(tool))
        GTEST_SKIP() << "cfbtool is not built";
    TempFolder dir;
    const std::string file = dir / "prog.cfb";
    const std::string put = "printf 'piped bytes' | '" + tool + "' put '" + file + "' 'S/\\x05x'";
    EXPECT_EQ(std::system(put.c_str()), 0);
    FILE* pipe = ::popen(("'" + tool + "' cat '" + file + "' 'S/\\x05x'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[64] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe);
    EXPECT_EQ(::pclose(pipe), 0);
    EXPECT_EQ(std::string(buffer, n), "piped bytes");
    const int rc = std::system(("'" + tool + "' rm '" + file + "' nope 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(rc), 2);
}
