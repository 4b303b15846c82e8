// kvb protect, unprotect and passwd, and --password-file on the other commands: in process,
// and the built program with no terminal to ask.
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

Outcome Kvb(const std::vector<std::string>& args, TerminalAsk ask = {}) {
    std::istringstream in;
    std::ostringstream out, err;
    Outcome r;
    r.status = RunKvb(args, in, out, err, std::move(ask));
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

const std::vector<std::string> kQuick = {"--kdf-ops", "1", "--kdf-memory", "8"};

class KvbProtect : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelvo-protect-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        ::setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
        m_bank = (m_dir / "банк.Kvb").string();
        ASSERT_EQ(Kvb({"new", m_bank}).status, 0);
        ASSERT_EQ(Kvb({"add-password", m_bank, "--folder", "1", "--title", "Почта", "--password",
                       "ЛебедьПароль"})
                      .status,
                  0);
        Password("first.txt", "первый пароль");
        Password("second.txt", "второй пароль\r");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    std::string Password(const std::string& name, const std::string& line = {}) {
        const fs::path path = m_dir / name;
        if (!line.empty())
            std::ofstream(path, std::ios::binary) << line << "\nвторая строка не пароль\n";
        return path.string();
    }
    std::vector<std::string> With(std::vector<std::string> head,
                                  const std::vector<std::string>& tail = kQuick) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    }
    fs::path m_dir;
    std::string m_bank;
};

} // namespace

TEST_F(KvbProtect, ProtectedBanksOpenWithThePasswordFileOnly) {
    const std::string first = Password("first.txt");
    auto protectedBank = Kvb(With({"--json", "--password-file", first, "protect", m_bank}));
    ASSERT_EQ(protectedBank.status, 0) << protectedBank.err;
    EXPECT_EQ(protectedBank.Json()["protected"], true);
    EXPECT_EQ(ReadAll(m_bank).find("\xCB\xE5\xE1\xE5\xE4\xFC"), std::string::npos); // "Лебедь"
    // Reading and editing commands take the password from the file.
    auto listed = Kvb({"--json", "--password-file", first, "passwords", m_bank});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.Json()["passwords"][0]["password"], "ЛебедьПароль");
    ASSERT_EQ(Kvb({"--password-file", first, "add-record", m_bank, "--parent", "1", "--title",
                   "Новая запись"})
                  .status,
              0);
    // No file and no terminal: the bank cannot be opened (status 2) and says why.
    auto refused = Kvb({"tree", m_bank});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("защищен паролем"), std::string::npos) << refused.err;
    // A wrong password: status 2, file unchanged.
    const std::string before = ReadAll(m_bank);
    auto wrong = Kvb({"--password-file", Password("second.txt"), "tree", m_bank});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("Неверный пароль"), std::string::npos) << wrong.err;
    EXPECT_EQ(Kvb({"--password-file", Password("second.txt"), "rm-password", m_bank, "1"}).status,
              2);
    EXPECT_EQ(ReadAll(m_bank), before);
    // A missing password file is named.
    auto missing = Kvb({"--password-file", (m_dir / "нет.txt").string(), "tree", m_bank});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("нет.txt"), std::string::npos) << missing.err;
    // Protecting twice is refused.
    EXPECT_EQ(Kvb(With({"--password-file", first, "protect", m_bank})).status, 3);
}

TEST_F(KvbProtect, PasswdAndUnprotectTakeTheOldPasswordFirst) {
    const std::string first = Password("first.txt"), second = Password("second.txt");
    ASSERT_EQ(Kvb(With({"protect", m_bank, "--new-password-file", first})).status, 0);
    auto changed =
        Kvb(With({"--password-file", first, "passwd", m_bank, "--new-password-file", second}));
    ASSERT_EQ(changed.status, 0) << changed.err;
    EXPECT_EQ(Kvb({"--password-file", first, "tree", m_bank}).status, 2);
    EXPECT_EQ(Kvb({"--password-file", second, "tree", m_bank}).status, 0);
    EXPECT_EQ(Kvb({"--password-file", first, "unprotect", m_bank}).status, 2);
    auto plain = Kvb({"--json", "--password-file", second, "unprotect", m_bank});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.Json()["protected"], false);
    auto listed = Kvb({"--json", "passwords", m_bank});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.Json()["passwords"][0]["password"], "ЛебедьПароль");
    EXPECT_EQ(Kvb({"unprotect", m_bank}).status, 3);
    EXPECT_EQ(Kvb({"passwd", m_bank, "--new-password-file", first}).status, 3);
    // Parameters out of range are a usage error.
    EXPECT_EQ(Kvb({"protect", m_bank, "--new-password-file", first, "--kdf-ops", "1000"}).status,
              1);
}

TEST_F(KvbProtect, TheTerminalIsAskedWithoutEchoWhenThereIsOne) {
    int asked = 0;
    std::vector<std::string> answers = {"тайна", "тайна"};
    auto terminal = [&](const std::string& prompt) -> std::optional<std::string> {
        EXPECT_NE(prompt.find("ароль"), std::string::npos) << prompt;
        return asked < static_cast<int>(answers.size()) ? std::optional(answers[asked++])
                                                        : std::nullopt;
    };
    ASSERT_EQ(Kvb(With({"protect", m_bank}), terminal).status, 0);
    EXPECT_EQ(asked, 2); // the new password and its confirmation
    asked = 0;
    answers = {"не та", "тайна"};
    EXPECT_EQ(Kvb({"tree", m_bank}, terminal).status, 0); // a second attempt after a wrong one
    asked = 0;
    answers = {"тайна", "другая"};
    EXPECT_EQ(
        Kvb(With({"--password-file", Password("first.txt"), "passwd", m_bank}), terminal).status,
        2); // the old password in the file is not this bank's
    asked = 0;
    answers = {"тайна", "новая", "другая"}; // the old one, then two new ones that differ
    auto differ = Kvb(With({"passwd", m_bank}), terminal);
    EXPECT_EQ(differ.status, 3);
    EXPECT_NE(differ.err.find("не совпадают"), std::string::npos) << differ.err;
}

TEST_F(KvbProtect, TheProgramWithoutATerminalEndsWithStatusTwo) {
    ASSERT_EQ(Kvb(With({"--password-file", Password("first.txt"), "protect", m_bank})).status, 0);
    const std::string command =
        std::string(KELVO_BINARY_DIR) + "/cli/kvb tree '" + m_bank + "' </dev/null >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}
