// Every operation that writes a bank, over a bank of hundreds of records, under a full disk
// at each of its write calls and under power cuts at random moments: the bank file always
// validates, reads the same in olefile, opens as a bank and holds one of the states the
// operation commits (the old one, the new one, or for the documented two-step operations the
// consistent state between them). Failures are reported with the bank's path and the system's
// reason, and a failed save leaves the bank modified so that it can be saved elsewhere.
#include "core/QuorvellineDoc.h"
#include "core/RecordImport.h"
#include "core/TreeOperations.h"
#include "index/IndexBuild.h"
#include "index/IndexStorage.h"
#include "maintenance/BankCleanup.h"
#include "maintenance/BankRevision.h"
#include "tests/support/CompoundContent.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/SampleBank.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>
#include <set>
#include <unordered_map>

using namespace kelvo;
using namespace kelvo::test;

namespace {

const std::filesystem::path kBank = "/bank/Личный банк.Kvb";
const std::filesystem::path kSource = "/other/source.Kvb";
const std::filesystem::path kCopy = "/other/copy.Kvb";
const std::filesystem::path kFresh = "/bank/new.Kvb";
const std::filesystem::path kRescue = "/rescue/saved.Kvb";
const std::filesystem::path kSmall = "/bank/small.Kvb";
const std::filesystem::path kSealed = "/bank/sealed.Kvb";
const std::string kPassword = "пароль банка";
const std::string kNewPassword = "новый пароль";

// Answers the password of a protected bank with the old password, then the new one.
void AnswerPasswords(CQuorvellineDoc& doc) {
    doc.SetPasswordPrompt(
        [](const std::filesystem::path&, int attempt) -> std::optional<crypto::SecretBytes> {
            if (attempt > 1)
                return std::nullopt;
            return crypto::SecretBytes::From(attempt == 0 ? kPassword : kNewPassword);
        });
}

// Content of a path that holds no file.
const Content kAbsent{{"<no file>", ""}};

AnsiString Text(const std::string& utf8) {
    return BankText(utf8);
}

std::string Rtf(std::size_t size, unsigned seed) {
    return SampleRtf(size, seed);
}

// The session locks of banks are files named after the bank's path in the runtime folder;
// the banks here have the same paths in every test process, so each process locks in a
// folder of its own.
void KeepSessionLocksApart() {
    static const ScratchDir folder;
    static const bool set = ::setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1) == 0;
    (void)set;
}

void InstallFolders(MemoryFileSystem& fs) {
    KeepSessionLocksApart();
    for (const char* dir : {"/bank", "/other", "/rescue"})
        fs.AddFolder(dir);
    if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp)
        fs.AddFolder(std::filesystem::path(tmp).lexically_normal());
}

// A bank of 300 records three levels deep, most with bodies (a few large ones), 40 password
// folders with 200 entries, user-defined properties and a stored index (FillSampleBank); and a
// smaller bank to import from.
const FileImages& BaseFiles() {
    static const FileImages files = [] {
        MemoryFileSystem fs;
        InstallFolders(fs);
        fs.Install();
        {
            CQuorvellineDoc source;
            EXPECT_TRUE(source.OnNewDocument());
            TreeNode* top = source.records().first();
            for (int i = 0; i < 30; ++i) {
                TreeNode* node = source.AddNode(TreeKind::Records, i % 3 ? top : nullptr,
                                                Text("Импорт " + std::to_string(i)));
                if (i % 4 != 3) {
                    EXPECT_TRUE(source.SaveBody(node, Rtf(300 + 400 * i, 500 + i)));
                }
            }
            EXPECT_TRUE(source.SaveAs(kSource));
        }
        CQuorvellineDoc doc;
        FillSampleBank(doc, 300, 200);
        KeywordIndex index;
        EXPECT_TRUE(BuildIndex(index, doc.trees()));
        {
            auto working = doc.WorkingStorage();
            EXPECT_TRUE(working && SaveIndex(index, *working));
        }
        EXPECT_TRUE(doc.SaveAs(kBank));
        FileImages out;
        out[kBank] = *fs.Image(kBank);
        out[kSource] = *fs.Image(kSource);
        // The rewrites of protection copy the whole bank at each of their runs: a smaller
        // bank, plain and protected by a password.
        CQuorvellineDoc small;
        FillSampleBank(small, 40, 30);
        EXPECT_TRUE(small.SaveAs(kSmall));
        out[kSmall] = *fs.Image(kSmall);
        EXPECT_TRUE(small.SaveAs(kSealed));
        EXPECT_TRUE(small.Protect(kPassword, crypto::KdfParams::Minimum()));
        out[kSealed] = *fs.Image(kSealed);
        return out;
    }();
    return files;
}

std::optional<std::string> ImageIn(const FileImages& files, const std::filesystem::path& path) {
    auto it = files.find(path);
    if (it == files.end())
        return std::nullopt;
    return it->second;
}

std::string Why(const Result<void>& result) {
    return result ? std::string() : ErrorText(result.error());
}

Content ContentOf(const std::optional<std::string>& image) {
    if (!image)
        return kAbsent;
    auto content = ReadContent(*image);
    if (!content)
        return Content{{"<unreadable>", content.error().message}};
    return *content;
}

// One operation: what happens before the disk can fail (opening the bank, editing in
// memory), then the operation itself, which writes `target`.
struct Operation {
    const char* name;
    std::filesystem::path target;
    std::function<void(CQuorvellineDoc&)> prepare;
    std::function<Result<void>(CQuorvellineDoc&)> act;
    /// Distinct states the target passes through, the starting one included.
    std::size_t states;
    /// The document keeps unsaved changes when the operation fails.
    bool staysModified;
};

void OpenBank(CQuorvellineDoc& doc) {
    const Result<void> opened = doc.OnOpenDocument(kBank);
    ASSERT_TRUE(opened) << Why(opened);
}

void OpenSealed(CQuorvellineDoc& doc) {
    AnswerPasswords(doc);
    const Result<void> opened = doc.OnOpenDocument(kSealed);
    ASSERT_TRUE(opened) << Why(opened);
}

// The record titled "Запись <n>".
TreeNode* Record(CQuorvellineDoc& doc, int n) {
    TreeNode* node = SampleRecord(doc, n);
    if (!node) {
        ADD_FAILURE() << "no record " << n;
        return doc.records().first();
    }
    return node;
}

void EditInMemory(CQuorvellineDoc& doc) {
    OpenBank(doc);
    for (int i = 1; i < 300; i += 7)
        Record(doc, i)->item.notes = Text("изменено " + std::to_string(i));
    Record(doc, 5)->title = Text("Новый заголовок");
    auto item = std::make_unique<PwdItem>();
    item->title = Text("Новый пароль");
    doc.AddPassword(std::move(item), doc.folders().first());
    doc.userProperties().front().text = Text("новое значение");
    doc.SetModifiedFlag(true);
}

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> ops = {
        {"save", kBank, EditInMemory, [](CQuorvellineDoc& doc) { return doc.Save(); }, 2, true},
        {"save_as", kCopy, EditInMemory, [](CQuorvellineDoc& doc) { return doc.SaveAs(kCopy); }, 2,
         true},
        {"body_save", kBank, OpenBank,
         [](CQuorvellineDoc& doc) { return doc.SaveBody(Record(doc, 17), Rtf(30000, 99)); }, 2,
         false},
        {"delete", kBank, OpenBank,
         [](CQuorvellineDoc& doc) -> Result<void> {
             // A record with sub-records and bodies: the bodies go first, then the tree.
             if (auto deleted = DeleteTreeNode(doc, TreeKind::Records, Record(doc, 3)); !deleted)
                 return deleted;
             return doc.Save();
         },
         3, true},
        {"cleanup", kBank, OpenBank,
         [](CQuorvellineDoc& doc) -> Result<void> {
             CleanupChoices choices;
             choices.recordTexts = choices.recordNotes = choices.passwords = true;
             if (auto cleaned = RunBankCleanup(doc, choices); !cleaned)
                 return cleaned.error();
             return doc.Save();
         },
         3, true},
        {"index_save", kBank,
         [](CQuorvellineDoc& doc) {
             OpenBank(doc);
             for (int i = 0; i < 50; ++i)
                 Record(doc, i)->item.keywords = Text("другое" + std::to_string(i));
         },
         [](CQuorvellineDoc& doc) -> Result<void> {
             KeywordIndex index;
             if (auto built = BuildIndex(index, doc.trees()); !built)
                 return built;
             auto working = doc.WorkingStorage();
             if (!working)
                 return working.error();
             return SaveIndex(index, *working);
         },
         2, false},
        {"import", kBank, OpenBank,
         [](CQuorvellineDoc& doc) -> Result<void> {
             RecordImportSource source;
             if (auto loaded = source.Load(kSource); !loaded)
                 return loaded;
             auto imported = ImportRecords(doc, Record(doc, 44), source, source.tree().first());
             if (!imported)
                 return imported.error();
             return doc.Save();
         },
         3, true},
        {"first_save", kFresh,
         [](CQuorvellineDoc& doc) {
             // A bank never saved: its bodies wait in the working file.
             ASSERT_TRUE(doc.OnNewDocument());
             for (int i = 0; i < 60; ++i) {
                 TreeNode* node = doc.AddNode(TreeKind::Records, doc.records().first(),
                                              Text("Новая " + std::to_string(i)));
                 ASSERT_TRUE(doc.SaveBody(node, Rtf(100 + 150 * i, 700 + i)));
             }
         },
         [](CQuorvellineDoc& doc) { return doc.SaveAs(kFresh); }, 2, true},
        {"revision", kSmall,
         [](CQuorvellineDoc& doc) {
             const Result<void> opened = doc.OnOpenDocument(kSmall);
             ASSERT_TRUE(opened) << Why(opened);
         },
         [](CQuorvellineDoc& doc) -> Result<void> {
             // A compacted copy replaces the bank (the smaller one: the copy writes every
             // stream). Its content is the same, so a cut or a failure anywhere must leave
             // that one state.
             if (auto revised = ReviseBank(doc); !revised)
                 return revised.error();
             return {};
         },
         1, false},
        {"protect", kSmall,
         [](CQuorvellineDoc& doc) {
             const Result<void> opened = doc.OnOpenDocument(kSmall);
             ASSERT_TRUE(opened) << Why(opened);
         },
         [](CQuorvellineDoc& doc) { return doc.Protect(kPassword, crypto::KdfParams::Minimum()); },
         2, false},
        {"unprotect", kSealed, OpenSealed,
         [](CQuorvellineDoc& doc) { return doc.Unprotect(kPassword); }, 2, false},
        {"password_change", kSealed, OpenSealed,
         [](CQuorvellineDoc& doc) {
             return doc.ChangePassword(kPassword, kNewPassword, crypto::KdfParams::Minimum());
         },
         2, false},
    };
    return ops;
}

// The files an operation must not change (sources it reads).
std::vector<std::filesystem::path> Untouched(const Operation& op) {
    std::vector<std::filesystem::path> out{kSource};
    if (op.target != kBank)
        out.push_back(kBank);
    for (const auto& other : {kSmall, kSealed})
        if (op.target != other)
            out.push_back(other);
    return out;
}

class BankFaults : public ::testing::TestWithParam<std::size_t> {
protected:
    void SetUp() override {
        BaseFiles(); // built over a file system of its own
        InstallFolders(m_fs);
        m_fs.Install();
    }
    const Operation& Op() const { return Operations()[GetParam()]; }

    // Runs the operation from the base files with `arm` setting the faults.
    Result<void> RunOnce(const std::function<void(MemoryFileSystem&)>& arm, CQuorvellineDoc& doc) {
        m_fs.Reset(BaseFiles());
        Op().prepare(doc);
        m_fs.StartRecording();
        m_fs.ResetCount();
        arm(m_fs);
        Result<void> result = Op().act(doc);
        m_lastCalls = m_fs.Calls();
        m_fs.FailFrom(0);
        return result;
    }

    // The states the target takes in a clean run: the base, then its content at every point
    // where the disk is synced, and at the end.
    std::vector<Content> CommittedStates() {
        CQuorvellineDoc doc;
        const Result<void> result = RunOnce([](MemoryFileSystem&) {}, doc);
        EXPECT_TRUE(result) << result.error().message;
        m_calls = m_lastCalls;
        std::vector<Content> states{ContentOf(BaseFiles().count(Op().target)
                                                  ? std::optional(BaseFiles().at(Op().target))
                                                  : std::nullopt)};
        auto add = [&](const FileImages& files) {
            auto it = files.find(Op().target);
            const Content c =
                ContentOf(it == files.end() ? std::nullopt : std::optional(it->second));
            if (std::find(states.begin(), states.end(), c) == states.end())
                states.push_back(c);
        };
        m_log = m_fs.Log();
        for (std::size_t i = 0; i < m_log.size(); ++i)
            if (m_log[i].kind == FileOp::Sync || m_log[i].kind == FileOp::SyncDirectory)
                add(m_fs.Replay(i + 1));
        add(m_fs.Replay(m_log.size()));
        // Each state the operation commits opens as a bank.
        for (std::size_t i = 0; i <= m_log.size(); ++i) {
            const FileImages files = m_fs.Replay(i);
            auto it = files.find(Op().target);
            if (it == files.end())
                continue;
            const Content c = ContentOf(it->second);
            if (!m_opened.insert(std::find(states.begin(), states.end(), c) - states.begin())
                     .second)
                continue;
            MemoryFileSystem alone;
            InstallFolders(alone);
            alone.Install();
            alone.Reset({{Op().target, it->second}});
            CQuorvellineDoc opened;
            AnswerPasswords(opened);
            const Result<void> open = opened.OnOpenDocument(Op().target, BankAccess::Read);
            EXPECT_TRUE(open) << Why(open);
            alone.Uninstall();
        }
        return states;
    }

    // The target holds one of the states, validates, and every file that must not change
    // has not.
    void ExpectSound(const FileImages& files, const std::vector<Content>& states,
                     const std::string& where) {
        auto it = files.find(Op().target);
        const std::optional<std::string> image =
            it == files.end() ? std::nullopt : std::optional(it->second);
        if (image) {
            EXPECT_EQ(ValidationProblems(*image), "") << where;
        }
        const Content content = ContentOf(image);
        EXPECT_NE(std::find(states.begin(), states.end(), content), states.end())
            << where << ": the bank holds a state no commit made";
        for (const auto& path : Untouched(Op())) {
            auto f = files.find(path);
            ASSERT_NE(f, files.end()) << where << ": " << path << " is gone";
            EXPECT_EQ(f->second, BaseFiles().at(path)) << where << ": " << path << " changed";
        }
    }

    MemoryFileSystem m_fs;
    std::uint64_t m_calls = 0; ///< write calls of a clean run
    std::uint64_t m_lastCalls = 0;
    std::vector<FileOp> m_log;
    std::set<std::ptrdiff_t> m_opened; // states already opened as a bank
};

std::size_t PowerCutsPerOperation() {
    if (const char* n = std::getenv("KELVO_POWER_CUTS"); n && *n)
        return static_cast<std::size_t>(std::strtoul(n, nullptr, 10));
    return 150;
}

} // namespace

TEST_P(BankFaults, AFullDiskAtAnyWriteCallIsReportedAndLeavesACommittedState) {
    const std::vector<Content> states = CommittedStates();
    ASSERT_EQ(states.size(), Op().states);
    ASSERT_GT(m_calls, 3u);
    ASSERT_EQ(m_log.size(), m_calls); // every write call of the clean run is in its log
    const Recording clean = m_fs.Recorded();
    Replayer replay(clean);
    // After this call the operation's first commit is complete (for the two-step ones).
    std::size_t firstCommitDone = clean.log.size();
    for (std::size_t i = 0, header = clean.log.size(); i < clean.log.size(); ++i) {
        if (clean.log[i].kind == FileOp::Write && clean.log[i].offset == 0)
            header = std::min(header, i);
        else if (clean.log[i].kind == FileOp::Sync && i > header) {
            firstCommitDone = i + 1;
            break;
        }
    }
    const std::string shownTarget = Op().target.string();
    bool rescued = false;
    for (std::uint64_t k = 1; k <= m_calls; ++k) {
        const std::string where = std::string(Op().name) + ", failing from write call " +
                                  std::to_string(k) + " of " + std::to_string(m_calls);
        // What reached the file before the failing call: the clean run's first k - 1 calls.
        while (replay.done() < k - 1)
            replay.Step();
        const FileImages written = replay.Images();
        ExpectSound(written, states, where + " (the calls before it)");
        const Content expected = ContentOf(ImageIn(written, Op().target));
        const bool allCommitted = expected == states.back();

        CQuorvellineDoc doc;
        const Result<void> result = RunOnce([k](MemoryFileSystem& fs) { fs.FailFrom(k); }, doc);
        const FileImages after = m_fs.Images();
        const Content now = ContentOf(ImageIn(after, Op().target));
        if (allCommitted) {
            // Every commit was made; the run's own times differ from the clean run's.
            EXPECT_EQ(ValidationProblems(*ImageIn(after, Op().target)), "") << where;
        } else {
            ExpectSound(after, states, where);
            EXPECT_EQ(now, expected) << where << ": the file is not as the failed call left it";
            ASSERT_FALSE(result) << where << ": a failure reported as success";
        }
        if (result)
            continue;
        EXPECT_NE(result.error().message.find(shownTarget), std::string::npos)
            << where << ": " << result.error().message;
        EXPECT_NE(result.error().message.find("нет места на диске"), std::string::npos)
            << where << ": " << result.error().message;
        // Changes not yet in the file keep the bank modified (a two-step operation whose
        // first step failed has changed nothing at all).
        if (Op().staysModified && (Op().states == 2 || k > firstCommitDone)) {
            EXPECT_TRUE(doc.IsModified()) << where;
        }
        // With room on the disk again, the bank that could not be saved is saved elsewhere.
        if (doc.IsModified() && !rescued && k > m_calls / 2) {
            rescued = true;
            const Result<void> rescue = doc.SaveAs(kRescue);
            ASSERT_TRUE(rescue) << Why(rescue);
            CQuorvellineDoc again;
            AnswerPasswords(again);
            const Result<void> reopened = again.OnOpenDocument(kRescue, BankAccess::Read);
            ASSERT_TRUE(reopened) << Why(reopened);
            EXPECT_EQ(again.records().PreOrder().size(), doc.records().PreOrder().size());
            EXPECT_EQ(again.passwords().size(), doc.passwords().size());
        }
    }
    EXPECT_EQ(rescued, Op().staysModified) << "no failed save was saved elsewhere";
}

TEST_P(BankFaults, APowerCutAtAnyMomentLeavesACommittedState) {
    const std::vector<Content> states = CommittedStates();
    ASSERT_EQ(states.size(), Op().states);
    ASSERT_FALSE(m_log.empty());
    std::mt19937 rng(static_cast<unsigned>(4242 + GetParam()));
    std::uniform_int_distribution<std::size_t> at(0, m_log.size());
    std::unordered_map<std::size_t, bool> seen; // image hashes already checked
    std::vector<std::string> sample;
    std::vector<std::size_t> reached(states.size(), 0);
    // A cut right after each sync, then cuts anywhere.
    std::vector<std::size_t> points;
    for (std::size_t i = 0; i < m_log.size(); ++i)
        if (m_log[i].kind == FileOp::Sync || m_log[i].kind == FileOp::SyncDirectory)
            points.push_back(i + 1);
    const std::size_t cuts = PowerCutsPerOperation();
    for (std::size_t n = 0; n < cuts; ++n)
        points.push_back(at(rng));
    for (const std::size_t cut : points) {
        const FileImages files = m_fs.PowerCut(cut, rng);
        auto it = files.find(Op().target);
        const std::size_t hash =
            it == files.end() ? 0 : std::hash<std::string>{}(it->second) ^ files.size();
        if (!seen.emplace(hash, true).second)
            continue;
        const std::string where = std::string(Op().name) + ", power cut before log entry " +
                                  std::to_string(cut) + " of " + std::to_string(m_log.size());
        ExpectSound(files, states, where);
        const Content content =
            ContentOf(it == files.end() ? std::nullopt : std::optional(it->second));
        for (std::size_t s = 0; s < states.size(); ++s)
            reached[s] += states[s] == content;
        if (it != files.end() && sample.size() < 25 && seen.size() % 5 == 1)
            sample.push_back(it->second);
        if (HasFailure())
            return;
    }
    // The cuts fell before, between and after the commits.
    EXPECT_GT(reached.front(), 0u);
    EXPECT_GT(reached.back(), 0u);
    // Every state a cut can leave opens as a bank.
    for (std::size_t i = 0; i < sample.size(); ++i) {
        m_fs.Reset({{Op().target, sample[i]}});
        CQuorvellineDoc doc;
        AnswerPasswords(doc);
        const Result<void> opened = doc.OnOpenDocument(Op().target, BankAccess::Read);
        EXPECT_TRUE(opened) << Why(opened);
    }
    // And an independent reader reads what this engine reads.
    if (!HaveOlefile())
        GTEST_SKIP() << "python3-olefile is not installed";
    ScratchDir dir;
    std::vector<std::filesystem::path> paths;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        paths.push_back(dir / ("cut" + std::to_string(i) + ".Kvb"));
        WriteBytes(paths.back(), sample[i]);
    }
    const auto theirs = OlefileContents(paths);
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(theirs.at(paths[i]), ContentOf(sample[i])) << paths[i];
}

TEST(BankFaultsReadOnly, ASaveOnAReadOnlyFileSystemIsRefusedAndChangesNothing) {
    const FileImages base = BaseFiles();
    MemoryFileSystem fs;
    InstallFolders(fs);
    fs.Install();
    fs.Reset(base);
    CQuorvellineDoc doc;
    EditInMemory(doc);
    fs.SetReadOnly(true);
    const Result<void> saved = doc.Save();
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.code(), hr::AccessDenied);
    EXPECT_EQ(saved.error().messageId, msg::SaveFailed);
    EXPECT_NE(saved.error().message.find(kBank.string()), std::string::npos);
    EXPECT_NE(saved.error().message.find("файловая система доступна только для чтения"),
              std::string::npos);
    EXPECT_TRUE(doc.IsModified());
    auto body = doc.SaveBody(Record(doc, 4), Rtf(500, 1));
    ASSERT_FALSE(body);
    EXPECT_NE(body.error().message.find("файловая система доступна только для чтения"),
              std::string::npos);
    EXPECT_EQ(fs.Images(), base);
}

INSTANTIATE_TEST_SUITE_P(Operations, BankFaults,
                         ::testing::Range<std::size_t>(0, Operations().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return std::string(Operations()[info.param].name);
                         });
