// kvb editing commands killed (SIGKILL) at random instants, on real files: the bank always
// validates, reads in olefile, opens as a bank and holds the old state, the new one, or the
// documented state between them (bodies changed, the tree not yet saved).
#include "core/BankHeader.h"
#include "core/RecordBody.h"
#include "platform/storage/Validator.h"
#include "tests/support/CompoundContent.h"
#include "tests/support/SampleBank.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace kelvo;
using namespace kelvo::test;
namespace fs = std::filesystem;

namespace {

std::string KvbBinary() {
    return std::string(KELVO_BINARY_DIR) + "/cli/kvb";
}

// What a user would call the bank's state, without the times a save stamps.
struct BankState {
    std::string tree;   ///< records and folders with their fields, the password entries, the
                        ///< user-defined properties
    std::string bodies; ///< every body stream of RecData with its bytes
    std::string index;  ///< the stored index streams
    bool operator==(const BankState&) const = default;
};

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts)
        out += p + "\n";
    return out;
}

std::optional<BankState> StateOf(const fs::path& bank, std::string& why) {
    CQuorvellineDoc doc;
    if (auto opened = doc.OnOpenDocument(bank, BankAccess::Read); !opened) {
        why = ErrorText(opened.error());
        return std::nullopt;
    }
    BankState state;
    std::vector<std::string> lines;
    for (RecordTree* tree : {&doc.records(), &doc.folders()})
        for (const TreeNode* n : tree->PreOrder())
            lines.push_back(std::to_string(n->item.uid) + "|" +
                            std::to_string(n->parent ? n->parent->item.uid : 0) + "|" + n->title +
                            "|" + n->item.notes + "|" + n->item.keywords);
    for (std::size_t i = 0; i < doc.passwords().size(); ++i) {
        const PwdItem& p = doc.passwords()[i];
        lines.push_back("pwd|" + std::to_string(p.uid) + "|" + std::to_string(p.folderUid) + "|" +
                        p.title + "|" + p.login + "|" + p.password);
    }
    for (const UserProperty& p : doc.userProperties())
        lines.push_back("prop|" + p.name + "|" + p.text);
    state.tree = Join(lines);
    lines.clear();
    for (const auto& [uid, size] : doc.BodySizes()) {
        auto body = doc.ReadBody(uid);
        lines.push_back(std::to_string(uid) + "|" + (body ? *body : "<unreadable>"));
    }
    std::sort(lines.begin(), lines.end());
    state.bodies = Join(lines);
    auto content = ReadContent(ReadBytes(bank));
    if (content) {
        for (const auto& [path, entry] : *content)
            if (path.rfind("BnkIndx", 0) == 0)
                state.index += path + " " + entry + "\n";
    }
    return state;
}

struct KillRun {
    bool killed = false;
    int status = 0;
};

// Runs kvb; with a delay, kills it with SIGKILL after that long (if it still runs).
KillRun RunKvb(const std::vector<std::string>& args,
               std::optional<std::chrono::microseconds> after) {
    std::vector<std::string> argv{KvbBinary()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& a : argv)
        raw.push_back(a.data());
    raw.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    KillRun run;
    if (posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ) != 0) {
        ADD_FAILURE() << "cannot start " << raw[0];
        posix_spawn_file_actions_destroy(&actions);
        return run;
    }
    posix_spawn_file_actions_destroy(&actions);
    if (after) {
        std::this_thread::sleep_for(*after);
        run.killed = ::kill(pid, SIGKILL) == 0;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.killed = run.killed && WIFSIGNALED(status);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class KvbCrash : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new ScratchDir();
        CQuorvellineDoc doc;
        FillSampleBank(doc, 200, 100);
        const Result<void> saved = doc.SaveAs(Base());
        ASSERT_TRUE(saved) << ErrorText(saved.error());
        CQuorvellineDoc other;
        FillSampleBank(other, 30, 0);
        const Result<void> savedOther = other.SaveAs(Other());
        ASSERT_TRUE(savedOther) << ErrorText(savedOther.error());
        WriteBytes(Body(), SampleRtf(40000, 77));
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    static fs::path Base() { return *s_dir / "base.Kvb"; }
    static fs::path Other() { return *s_dir / "other.Kvb"; }
    static fs::path Body() { return *s_dir / "body.rtf"; }
    static fs::path Work() { return *s_dir / "Личный банк.Kvb"; }

    static std::uint32_t UidOf(int n) {
        CQuorvellineDoc doc;
        EXPECT_TRUE(doc.OnOpenDocument(Base(), BankAccess::Read));
        TreeNode* node = SampleRecord(doc, n);
        return node ? node->item.uid : 0;
    }

    // Kills the command at random instants over the time a whole run takes and checks the
    // bank after each: it holds the old state, the new one, or the new bodies under the old
    // tree.
    void ExpectEveryKillLeavesACommittedState(const std::vector<std::string>& args, int runs) {
        std::vector<std::string> withBank = args;
        withBank.insert(withBank.begin() + 1, Work().string());
        std::string why;
        fs::copy_file(Base(), Work(), fs::copy_options::overwrite_existing);
        const auto old = StateOf(Work(), why);
        ASSERT_TRUE(old) << why;
        const auto start = std::chrono::steady_clock::now();
        const KillRun clean = RunKvb(withBank, std::nullopt);
        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start);
        ASSERT_EQ(clean.status, 0);
        const auto fresh = StateOf(Work(), why);
        ASSERT_TRUE(fresh) << why;
        ASSERT_FALSE(*fresh == *old);
        const BankState between{old->tree, fresh->bodies, fresh->index};

        std::mt19937 rng(static_cast<unsigned>(took.count()));
        std::uniform_int_distribution<long> delay(0, took.count());
        std::vector<fs::path> kept;
        int killed = 0;
        for (int run = 0; run < runs; ++run) {
            fs::copy_file(Base(), Work(), fs::copy_options::overwrite_existing);
            const auto wait = std::chrono::microseconds(delay(rng));
            const KillRun r = RunKvb(withBank, wait);
            killed += r.killed;
            const std::string where =
                args[0] + " killed after " + std::to_string(wait.count()) + " µs";
            auto report = cfb::Validator::CheckFile(Work());
            ASSERT_TRUE(report) << where;
            EXPECT_TRUE(report->Sound()) << where << ": " << report->errors.front();
            const auto now = StateOf(Work(), why);
            ASSERT_TRUE(now) << where << ": " << why;
            EXPECT_TRUE(*now == *old || *now == *fresh || *now == between)
                << where << ": a state no commit made";
            if (run % 3 == 0) {
                kept.push_back(*s_dir / ("kill" + std::to_string(run) + ".Kvb"));
                fs::copy_file(Work(), kept.back(), fs::copy_options::overwrite_existing);
            }
        }
        EXPECT_GT(killed, 0) << "no run was killed before it ended";
        // An independent reader reads every bank a kill left.
        if (!HaveOlefile())
            return;
        for (const auto& [path, content] : OlefileContents(kept)) {
            EXPECT_EQ(content.count("error"), 0u) << path;
            EXPECT_EQ(content, *ReadContent(ReadBytes(path))) << path;
        }
    }

    static ScratchDir* s_dir;
};

ScratchDir* KvbCrash::s_dir = nullptr;

} // namespace

TEST_F(KvbCrash, EditWithABodyKilledAnywhereLeavesACommittedState) {
    ExpectEveryKillLeavesACommittedState(
        {"edit", std::to_string(UidOf(12)), "--notes", "после сбоя", "--body", Body().string()},
        12);
}

TEST_F(KvbCrash, DeletingASubtreeKilledAnywhereLeavesACommittedState) {
    ExpectEveryKillLeavesACommittedState({"rm", std::to_string(UidOf(3))}, 12);
}

TEST_F(KvbCrash, CleanupAndImportKilledAnywhereLeaveACommittedState) {
    ExpectEveryKillLeavesACommittedState({"cleanup", "--record-texts", "--passwords"}, 8);
    ExpectEveryKillLeavesACommittedState({"import", "--from", Other().string(), "--record",
                                          std::to_string(1), "--under", std::to_string(UidOf(7))},
                                         8);
}
