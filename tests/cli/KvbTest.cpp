// kvb: its command line in process (usage, help, JSON, refusals), and the built program
// against real bank files checked by python3-olefile.
#include "cli/Command.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace kelvo::cli;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
    nlohmann::json Json() const { return nlohmann::json::parse(out); }
};

Outcome Kvb(const std::vector<std::string>& args) {
    std::istringstream in;
    std::ostringstream out, err;
    Outcome r;
    r.status = RunKvb(args, in, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs a command line through the shell; returns its exit status and standard output.
std::pair<int, std::string> Shell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {-1, ""};
    std::array<char, 4096> buf;
    while (std::size_t n = fread(buf.data(), 1, buf.size(), pipe))
        out.append(buf.data(), n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string KvbBinary() {
    return std::string(KELVO_BINARY_DIR) + "/cli/kvb";
}

nlohmann::json Inspect(const fs::path& bank) {
    auto [status, out] =
        Shell("/usr/bin/python3 " + Quote(std::string(KELVO_CLI_TEST_DIR) + "/inspect_bank.py") +
              " " + Quote(bank.string()));
    EXPECT_EQ(status, 0) << out;
    return nlohmann::json::parse(out);
}

class KvbFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelvo-kvb-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_base = pattern;
        m_dir = m_base / "данные";
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_base, ec);
    }
    fs::path m_base, m_dir;
};

} // namespace

TEST(Kvb, UsageAndHelp) {
    EXPECT_EQ(Kvb({}).status, kExitUsage);
    EXPECT_NE(Kvb({}).err.find("Не указана команда"), std::string::npos);
    const Outcome missing = Kvb({"tree"});
    EXPECT_EQ(missing.status, kExitUsage);
    EXPECT_NE(missing.err.find("BANK"), std::string::npos);
    EXPECT_EQ(Kvb({"frobnicate"}).status, kExitUsage);
    EXPECT_EQ(Kvb({"set-property", "b.Kvb", "N", "--type", "float", "--value", "1"}).status,
              kExitUsage);

    const Outcome help = Kvb({"--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_NE(help.out.find("Вызов"), std::string::npos);
    EXPECT_NE(help.out.find("add-password"), std::string::npos);
    const Outcome sub = Kvb({"add-record", "--help"});
    EXPECT_EQ(sub.status, kExitOk);
    EXPECT_NE(sub.out.find("--parent"), std::string::npos);
    EXPECT_NE(sub.out.find("Заголовок"), std::string::npos);
}

TEST_F(KvbFiles, BankCannotBeOpened) {
    const Outcome missing = Kvb({"info", (m_dir / "нет.Kvb").string()});
    EXPECT_EQ(missing.status, kExitBank);
    EXPECT_NE(missing.err.find("Файл не найден или поврежден."), std::string::npos);
    EXPECT_TRUE(missing.out.empty());

    std::ofstream(m_dir / "text.Kvb") << "hello";
    const Outcome notCfb = Kvb({"tree", (m_dir / "text.Kvb").string()});
    EXPECT_EQ(notCfb.status, kExitBank);
    EXPECT_NE(notCfb.err.find("0x80030050 (-2147286960)"), std::string::npos);
}

TEST_F(KvbFiles, EditingCommandsInProcess) {
    const std::string bank = (m_dir / "банк.Kvb").string();
    ASSERT_EQ(Kvb({"--json", "new", bank}).Json()["revision"], 0);
    EXPECT_EQ(Kvb({"new", bank}).status, kExitRefused); // never over an existing file

    // --json after the command works as well.
    const Outcome rec = Kvb({"add-record", bank, "--parent", "1", "--title", "Запись", "--notes",
                             "раз\nдва", "--keywords", "к1,к2", "--json"});
    ASSERT_EQ(rec.status, kExitOk) << rec.err;
    EXPECT_EQ(rec.Json(), nlohmann::json({{"uid", 2}}));
    EXPECT_EQ(Kvb({"add-record", bank, "--parent", "99", "--title", "x"}).status, kExitRefused);
    EXPECT_EQ(Kvb({"add-record", bank, "--parent", "1", "--title", "эмодзи ✓"}).status,
              kExitRefused);
    EXPECT_EQ(Kvb({"add-record", bank, "--parent", "1", "--title", "две\nстроки"}).status,
              kExitRefused);

    ASSERT_EQ(Kvb({"add-folder", bank, "--parent", "1", "--title", "Почта"}).status, kExitOk);
    const Outcome pwd = Kvb({"--json", "add-password", bank, "--folder", "2", "--title", "Яндекс",
                             "--login", "я", "--password", "p\\w", "--icon", "4"});
    ASSERT_EQ(pwd.status, kExitOk) << pwd.err;
    EXPECT_EQ(pwd.Json()["uid"], 1);
    ASSERT_EQ(Kvb({"edit-password", bank, "1", "--folder", "1", "--category", "Почта"}).status,
              kExitOk);
    EXPECT_EQ(Kvb({"edit-password", bank, "7", "--title", "x"}).status, kExitRefused);
    ASSERT_EQ(Kvb({"edit", bank, "2", "--title", "Новая"}).status, kExitOk);
    ASSERT_EQ(Kvb({"edit", bank, "2", "--folder", "--notes", "папка"}).status, kExitOk);

    ASSERT_EQ(Kvb({"set-summary", bank, "--title", "Мой банк", "--company", "ООО"}).status,
              kExitOk);
    ASSERT_EQ(Kvb({"set-property", bank, "Телефон", "--type", "number", "--value", "007"}).status,
              kExitOk);
    const Outcome dup = Kvb({"set-property", bank, "Телефон", "--type", "text", "--value", "x"});
    EXPECT_EQ(dup.status, kExitRefused);
    EXPECT_NE(dup.err.find("Свойство 'Телефон' уже существует."), std::string::npos);
    EXPECT_EQ(Kvb({"set-property", bank, "N", "--type", "number", "--value", "-1"}).err,
              "Неверный формат числового значения!\n");
    ASSERT_EQ(
        Kvb({"set-property", bank, "Дата", "--type", "date", "--value", "01.02.2003 04:05:06"})
            .status,
        kExitOk);
    ASSERT_EQ(Kvb({"set-property", bank, "Да?", "--type", "bool", "--value", "да"}).status,
              kExitOk);
    ASSERT_EQ(Kvb({"set-property", bank, "Лишнее", "--type", "text", "--value", "x"}).status,
              kExitOk);
    ASSERT_EQ(Kvb({"rm-property", bank, "Лишнее"}).status, kExitOk);
    EXPECT_EQ(Kvb({"rm-property", bank, "Лишнее"}).status, kExitRefused);

    const nlohmann::json info = Kvb({"--json", "info", bank}).Json();
    EXPECT_EQ(info["revision"], 12); // one per successful change
    EXPECT_EQ(info["summary"]["title"], "Мой банк");
    EXPECT_EQ(info["summary"]["company"], "ООО");
    EXPECT_EQ(info["records"], 2);
    EXPECT_EQ(info["folders"], 2);
    EXPECT_EQ(info["passwords"], 1);
    const nlohmann::json props = info["user_properties"];
    ASSERT_EQ(props.size(), 3u);
    EXPECT_EQ(props[0], nlohmann::json({{"name", "Телефон"}, {"type", "number"}, {"value", 7}}));
    EXPECT_EQ(props[1]["value"], "2003-02-01T04:05:06");
    EXPECT_EQ(props[2]["value"], false);

    const nlohmann::json tree = Kvb({"--json", "tree", bank}).Json();
    EXPECT_EQ(tree["tree"], "records");
    ASSERT_EQ(tree["nodes"].size(), 2u);
    EXPECT_EQ(tree["nodes"][1]["title"], "Новая");
    EXPECT_EQ(tree["nodes"][1]["notes"], "раз\r\nдва");
    EXPECT_EQ(tree["nodes"][1]["level"], 2);
    EXPECT_EQ(tree["nodes"][1]["body_size"], nullptr);
    EXPECT_EQ(Kvb({"--json", "tree", bank, "--folders"}).Json()["nodes"][1]["notes"], "папка");

    const nlohmann::json list = Kvb({"--json", "passwords", bank}).Json();
    EXPECT_EQ(list["passwords"][0], nlohmann::json({{"uid", 1},
                                                    {"folder", 1},
                                                    {"title", "Яндекс"},
                                                    {"icon", 4},
                                                    {"category", "Почта"},
                                                    {"login", "я"},
                                                    {"password", "p\\w"},
                                                    {"link", ""},
                                                    {"notes", ""}}));
    EXPECT_TRUE(Kvb({"--json", "passwords", bank, "--folder", "2"}).Json()["passwords"].empty());
    EXPECT_EQ(Kvb({"passwords", bank, "--folder", "9"}).status, kExitRefused);
}

TEST_F(KvbFiles, BodiesFromRtfFiles) {
    const std::string bank = (m_dir / "тела.Kvb").string();
    ASSERT_EQ(Kvb({"new", bank}).status, kExitOk);
    const std::string rtf = "{\\rtf1\\ansi Hello}";
    std::ofstream(m_dir / "тело.rtf", std::ios::binary) << rtf;
    std::ofstream(m_dir / "plain.txt") << "plain";
    ASSERT_EQ(Kvb({"add-record", bank, "--parent", "1", "--title", "T", "--body",
                   (m_dir / "тело.rtf").string()})
                  .status,
              kExitOk);
    EXPECT_EQ(Kvb({"add-record", bank, "--parent", "1", "--title", "T", "--body",
                   (m_dir / "нет.rtf").string()})
                  .status,
              kExitRefused);
    const Outcome raw = Kvb({"show", bank, "2", "--rtf"});
    EXPECT_EQ(raw.out, rtf);
    const nlohmann::json shown = Kvb({"--json", "show", bank, "2"}).Json();
    EXPECT_EQ(shown["body_size"], rtf.size());
    EXPECT_FALSE(shown["saved"].is_null());
    EXPECT_EQ(Kvb({"show", bank, "5"}).status, kExitRefused);
    EXPECT_EQ(Kvb({"--json", "tree", bank}).Json()["nodes"][1]["body_size"], rtf.size());
}

TEST_F(KvbFiles, TheProgramWritesFilesOlefileReads) {
    const std::string kvb = Quote(KvbBinary());
    const fs::path bank = m_dir / "проверка.Kvb";
    ASSERT_EQ(Shell(kvb + " new " + Quote(bank.string())).first, 0);
    nlohmann::json first = Inspect(bank);
    EXPECT_EQ(first["header_length"], 512);
    EXPECT_EQ(first["header_signature"], "$Quorvelline 2003 Data Bank storage file format\r\n");
    EXPECT_EQ(first["header_revision"], 0);
    EXPECT_EQ(first["header_tail_ff"], true);
    EXPECT_EQ(first["PwdData/ObPool"], "00000000\r\n");
    EXPECT_EQ(first["streams"]["RecTree/Struct"], 48);
    EXPECT_EQ(first["streams"]["PwdTree/Struct"], 48);
    EXPECT_TRUE(first["streams"].contains("\u0005SummaryInformation"));
    EXPECT_TRUE(first["streams"].contains("\u0005DocumentSummaryInformation"));
    const std::string pool = first["RecTree/ObPool"];
    EXPECT_NE(pool.find("\r\nКорневая запись\r\n"), std::string::npos);
    EXPECT_EQ(first["rec_struct"][1], nlohmann::json({1, 1, 255, 255}));

    auto [status, out] = Shell(kvb + " --json add-record " + Quote(bank.string()) +
                               " --parent 1 --title 'Ёлка \\ ветка' --notes 'a\nb'");
    ASSERT_EQ(status, 0);
    EXPECT_EQ(nlohmann::json::parse(out)["uid"], 2);
    ASSERT_EQ(Shell(kvb + " set-summary " + Quote(bank.string()) + " --title 'Заголовок'").first,
              0);
    nlohmann::json later = Inspect(bank);
    EXPECT_EQ(later["header_revision"], 2);
    EXPECT_EQ(later["summary_revision"], "2");
    EXPECT_EQ(later["summary_title"], "Заголовок");
    const std::string pool2 = later["RecTree/ObPool"];
    EXPECT_NE(pool2.find("\r\nЁлка \\\\ ветка\r\n\r\na\\nb\r\n"), std::string::npos) << pool2;
    EXPECT_EQ(later["rec_struct"].size(), 4u);
    EXPECT_EQ(later["rec_struct"][2][1], 2); // level of the new record

    // Exit statuses of the program itself.
    EXPECT_EQ(Shell(kvb + " info " + Quote((m_dir / "нет.Kvb").string()) + " 2>/dev/null").first,
              2);
    EXPECT_EQ(
        Shell(kvb + " add-folder " + Quote(bank.string()) + " --parent 1 --title '✓' 2>/dev/null")
            .first,
        3);
    EXPECT_EQ(Shell(kvb + " 2>/dev/null").first, 1);
}
