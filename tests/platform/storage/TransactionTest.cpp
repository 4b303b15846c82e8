// Commits as transactions: a write error at every call of a transaction, a simulated power cut
// at every moment of it, and the shapes of trouble (DIFAT growth, mini-stream sectors shared by
// many streams, sectors freed and reused, the end of the file cut off) all leave a file that
// validates and holds exactly the state before or after the transaction.
#include "platform/storage/FileSystem.h"
#include "platform/storage/Storage.h"
#include "platform/storage/Validator.h"
#include "tests/support/CompoundContent.h"
#include "tests/support/MemoryFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <random>
#include <sys/resource.h>

using namespace kelvo;
using namespace kelvo::cfb;
using namespace kelvo::test;

namespace {

const std::filesystem::path kFile = "/mem/file.cfb";

std::string Bytes(std::size_t size, unsigned seed) {
    std::string out(size, '\0');
    std::uint32_t x = seed * 2654435761u + 7u;
    for (char& c : out) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return out;
}

std::uint32_t HeaderWord(const std::string& file, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(file[at + i]);
    return v;
}

Result<void> Put(Storage& parent, std::u16string_view name, const std::string& bytes) {
    auto stream = parent.CreateStream(name, mode::CreateNew);
    if (!stream)
        return stream.error();
    return stream->WriteAll(bytes);
}

std::u16string Name(const char* prefix, int i) {
    const std::string text = prefix + std::to_string(100 + i).substr(1);
    return std::u16string(text.begin(), text.end());
}

// Returns from the enclosing function with the failure of a step.
#define STEP(expr)                                                                                 \
    do {                                                                                           \
        if (auto&& step_ = (expr); !step_)                                                         \
            return step_.error();                                                                  \
    } while (0)

// A file of everything a transaction can touch: a large stream, one near the mini-stream
// cutoff, a storage of forty small streams that share the mini stream's sectors, and a storage
// to be destroyed.
std::string BaseFile() {
    auto root = Storage::CreateInMemory();
    EXPECT_TRUE(root);
    EXPECT_TRUE(Put(*root, u"big", Bytes(200000, 1)));
    EXPECT_TRUE(Put(*root, u"mid", Bytes(6000, 2)));
    auto docs = root->CreateStorage(u"docs");
    EXPECT_TRUE(docs);
    for (int i = 0; i < 40; ++i)
        EXPECT_TRUE(Put(*docs, Name("s", i), Bytes(100 + 70 * i, 10 + i)));
    auto old = root->CreateStorage(u"old");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Put(*old, Name("o", i), Bytes(9000, 60 + i)));
    *docs = Storage();
    *old = Storage();
    auto bytes = root->MemoryBytes();
    EXPECT_TRUE(bytes);
    return *bytes;
}

// One transaction with every kind of change, ending in a commit.
Result<void> Workload(Storage& root) {
    auto big = root.OpenStream(u"big");
    STEP(big);
    STEP(big->Seek(70001, SeekOrigin::Begin));
    STEP(big->Write(Bytes(1000, 3).data(), 1000)); // inside, not on sector bounds
    STEP(big->Seek(0, SeekOrigin::End));
    STEP(big->Write(Bytes(5000, 4).data(), 5000)); // appended from a partial sector
    *big = Stream();
    auto docs = root.OpenStorage(u"docs");
    STEP(docs);
    auto s5 = docs->OpenStream(u"s05");
    STEP(s5);
    STEP(s5->Seek(10, SeekOrigin::Begin));
    STEP(s5->Write("changed", 7)); // a few bytes of one mini sector
    *s5 = Stream();
    auto s6 = docs->OpenStream(u"s06");
    STEP(s6);
    STEP(s6->SetSize(5000)); // out of the mini stream
    *s6 = Stream();
    auto mid = root.OpenStream(u"mid");
    STEP(mid);
    STEP(mid->SetSize(3000)); // into the mini stream
    *mid = Stream();
    for (int i = 0; i < 20; ++i) // the directory grows
        STEP(Put(*docs, Name("n", i), Bytes(200, 80 + i)));
    STEP(docs->RenameElement(u"s07", u"s07r"));
    STEP(docs->DestroyElement(u"s08"));
    *docs = Storage();
    STEP(root.DestroyElement(u"old"));
    STEP(Put(root, u"fresh", Bytes(30000, 5))); // may take the sectors "old" left
    return root.Commit();
}

Content Of(const std::string& bytes) {
    auto content = ReadContent(bytes);
    EXPECT_TRUE(content) << (content ? "" : content.error().message);
    return content ? *content : Content{};
}

// Runs a workload over the file in memory and returns what it left.
struct Outcome {
    Result<void> result;
    std::string image;
    bool headerWritten = false;
};

Outcome RunOver(MemoryFileSystem& fs, const std::string& base,
                const std::function<Result<void>(Storage&)>& work,
                const std::function<void(MemoryFileSystem&)>& arm) {
    fs.Reset({{kFile, base}});
    fs.StartRecording();
    arm(fs);
    Outcome run{Result<void>(), {}, false};
    {
        auto root = Storage::OpenFile(kFile);
        EXPECT_TRUE(root);
        run.result = work(*root);
    }
    run.image = *fs.Image(kFile);
    for (const FileOp& op : fs.Log())
        run.headerWritten |= op.kind == FileOp::Write && op.offset == 0;
    return run;
}

class Transactions : public ::testing::Test {
protected:
    void SetUp() override {
        m_fs.AddFolder("/mem");
        m_fs.Install();
    }
    MemoryFileSystem m_fs;
};

// For every call of the transaction that changes the disk: that call and every later one
// fail (a full disk); the failure is reported and the file holds the old state, or the new
// one when only a call after the commit point failed.
void ExpectEveryFailureLeavesOldOrNew(MemoryFileSystem& fs, const std::string& base,
                                      const std::function<Result<void>(Storage&)>& work) {
    const Content before = Of(base);
    const Outcome clean = RunOver(fs, base, work, [](MemoryFileSystem&) {});
    ASSERT_TRUE(clean.result) << clean.result.error().message;
    const Content after = Of(clean.image);
    ASSERT_NE(before, after);
    const std::uint64_t calls = fs.Calls();
    ASSERT_GT(calls, 3u);
    for (std::uint64_t k = 1; k <= calls; ++k) {
        const Outcome run = RunOver(fs, base, work, [k](MemoryFileSystem& f) { f.FailFrom(k); });
        SCOPED_TRACE("failing from call " + std::to_string(k) + " of " + std::to_string(calls));
        EXPECT_EQ(ValidationProblems(run.image), "");
        const Content now = Of(run.image);
        if (!run.headerWritten) {
            ASSERT_FALSE(run.result);
            EXPECT_EQ(run.result.code(), hr::MediumFull);
            EXPECT_NE(run.result.error().message.find(kFile.string()), std::string::npos);
            EXPECT_NE(run.result.error().message.find("нет места на диске"), std::string::npos);
            EXPECT_TRUE(now == before);
        } else {
            EXPECT_TRUE(now == before || now == after);
        }
    }
}

// A power cut at every point of the transaction, each with several random sets of the writes
// since the last sync reaching the disk, in random order.
void ExpectEveryCutLeavesOldOrNew(MemoryFileSystem& fs, const std::string& base,
                                  const std::function<Result<void>(Storage&)>& work,
                                  int cutsPerPoint, std::vector<std::string>* sample = nullptr) {
    const Content before = Of(base);
    const Outcome clean = RunOver(fs, base, work, [](MemoryFileSystem&) {});
    ASSERT_TRUE(clean.result);
    const Content after = Of(clean.image);
    const std::vector<FileOp> log = fs.Log();
    std::size_t commitPoint = log.size();
    for (std::size_t i = 0; i < log.size(); ++i)
        if (log[i].kind == FileOp::Write && log[i].offset == 0)
            commitPoint = std::min(commitPoint, i);
    ASSERT_LT(commitPoint, log.size());
    std::mt19937 rng(1234);
    std::size_t olds = 0, news = 0;
    for (std::size_t cut = 0; cut <= log.size(); ++cut) {
        for (int r = 0; r < cutsPerPoint; ++r) {
            const FileImages images = fs.PowerCut(cut, rng);
            ASSERT_TRUE(images.count(kFile));
            const std::string& image = images.at(kFile);
            SCOPED_TRACE("cut before log entry " + std::to_string(cut) + " of " +
                         std::to_string(log.size()));
            ASSERT_EQ(ValidationProblems(image), "");
            const Content now = Of(image);
            ASSERT_TRUE(now == before || now == after);
            if (cut <= commitPoint) {
                ASSERT_TRUE(now == before);
            }
            if (cut == log.size()) {
                ASSERT_TRUE(now == after);
            }
            (now == before ? olds : news)++;
            if (sample && r == 0 && cut % 7 == 3)
                sample->push_back(image);
        }
    }
    EXPECT_GT(olds, 0u);
    EXPECT_GT(news, 0u);
}

} // namespace

TEST_F(Transactions, AWriteErrorAtAnyCallLeavesTheCommittedState) {
    ExpectEveryFailureLeavesOldOrNew(m_fs, BaseFile(), Workload);
}

TEST_F(Transactions, APowerCutAtAnyMomentLeavesTheOldOrTheNewState) {
    std::vector<std::string> sample;
    ExpectEveryCutLeavesOldOrNew(m_fs, BaseFile(), Workload, 12, &sample);
    // An independent reader agrees with the engine on a sample of the files a cut leaves.
    if (!HaveOlefile())
        GTEST_SKIP() << "python3-olefile is not installed";
    ScratchDir dir;
    std::vector<std::filesystem::path> files;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        files.push_back(dir / ("cut" + std::to_string(i) + ".cfb"));
        WriteBytes(files.back(), sample[i]);
    }
    const auto theirs = OlefileContents(files);
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(theirs.at(files[i]), Of(sample[i])) << files[i];
}

TEST_F(Transactions, AFailedEngineWritesNothingMoreAndKeepsTheCommittedState) {
    const std::string base = BaseFile();
    const Content before = Of(base);
    // One failing call only: the calls after it would succeed, so anything the engine still
    // wrote (a later commit, the commit of the last handle) would show.
    for (std::uint64_t k : {1u, 3u, 8u, 20u}) {
        SCOPED_TRACE("call " + std::to_string(k));
        m_fs.Reset({{kFile, base}});
        m_fs.FailOnly(k);
        {
            auto root = Storage::OpenFile(kFile);
            ASSERT_TRUE(root);
            const Result<void> first = Workload(*root);
            ASSERT_FALSE(first);
            EXPECT_EQ(first.code(), hr::WriteFault);
            // Every handle of the file refuses from now on, with the first failure.
            auto more = root->CreateStream(u"more");
            EXPECT_FALSE(more);
            EXPECT_EQ(root->Commit().code(), hr::WriteFault);
            EXPECT_FALSE(root->OpenStream(u"big"));
        }
        EXPECT_TRUE(Of(*m_fs.Image(kFile)) == before);
    }
}

TEST_F(Transactions, DiscardDropsEverythingSinceTheLastCommit) {
    const std::string base = BaseFile();
    m_fs.Reset({{kFile, base}});
    {
        auto root = Storage::OpenFile(kFile);
        ASSERT_TRUE(Put(*root, u"kept", "committed"));
        ASSERT_TRUE(root->Commit());
        ASSERT_TRUE(root->DestroyElement(u"big"));
        ASSERT_TRUE(Put(*root, u"dropped", Bytes(50000, 9)));
        root->Discard();
        EXPECT_EQ(root->OpenStream(u"kept").code(), hr::Reverted);
    } // the last handle goes without committing
    Content expected = Of(base);
    expected["kept"] = Of(*m_fs.Image(kFile)).at("kept");
    EXPECT_EQ(Of(*m_fs.Image(kFile)), expected);
    EXPECT_EQ(ValidationProblems(*m_fs.Image(kFile)), "");
}

TEST_F(Transactions, GrowingTheDifatSurvivesEveryCut) {
    // More than 109 FAT sectors: the FAT's own sectors are listed in a DIFAT sector.
    auto root = Storage::CreateInMemory();
    ASSERT_TRUE(Put(*root, u"huge", Bytes(7300000, 1)));
    ASSERT_TRUE(Put(*root, u"small", Bytes(300, 2)));
    const std::string base = *root->MemoryBytes();
    *root = Storage();
    ASSERT_EQ(HeaderWord(base, 0x48), 1u); // one DIFAT sector
    auto work = [](Storage& r) -> Result<void> {
        auto huge = r.OpenStream(u"huge");
        STEP(huge);
        STEP(huge->Seek(3000000, SeekOrigin::Begin));
        STEP(huge->Write(Bytes(100000, 3).data(), 100000));
        *huge = Stream();
        STEP(Put(r, u"more", Bytes(1200000, 4))); // the FAT grows past the header's slots
        return r.Commit();
    };
    ExpectEveryCutLeavesOldOrNew(m_fs, base, work, 1);
    const Outcome clean = RunOver(m_fs, base, work, [](MemoryFileSystem&) {});
    EXPECT_GT(HeaderWord(clean.image, 0x2C), HeaderWord(base, 0x2C) + 10); // FAT sectors
}

TEST_F(Transactions, FreedSectorsAreReusedOnlyAfterTheCommitAndTheFileEndIsCutAfterIt) {
    const std::string base = BaseFile();
    // Within one transaction a new stream must not land on the sectors of one just destroyed,
    // which the committed state still names.
    ExpectEveryCutLeavesOldOrNew(
        m_fs, base,
        [](Storage& r) -> Result<void> {
            STEP(r.DestroyElement(u"big"));
            STEP(Put(r, u"next", Bytes(150000, 7)));
            return r.Commit();
        },
        6);
    // The stream written last goes. Its sectors become free with the commit; the next
    // transaction moves the tables it changes into them and cuts the free end of the file
    // off, but only once the header naming its state is on disk.
    std::string withTail;
    {
        auto root = Storage::OpenMemory(base);
        ASSERT_TRUE(Put(*root, u"tail", Bytes(50000, 9)));
        withTail = *root->MemoryBytes();
    }
    auto dropTail = [](Storage& r) -> Result<void> {
        STEP(r.DestroyElement(u"tail"));
        return r.Commit();
    };
    const Outcome dropped = RunOver(m_fs, withTail, dropTail, [](MemoryFileSystem&) {});
    ASSERT_TRUE(dropped.result);
    auto touch = [](Storage& r) -> Result<void> {
        auto docs = r.OpenStorage(u"docs");
        STEP(docs);
        STEP(Put(*docs, u"s01", "touched"));
        return r.Commit();
    };
    ExpectEveryCutLeavesOldOrNew(m_fs, dropped.image, touch, 6);
    const Outcome clean = RunOver(m_fs, dropped.image, touch, [](MemoryFileSystem&) {});
    std::size_t headerAt = 0, syncAfter = 0, cutAt = 0;
    const auto& log = m_fs.Log();
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].kind == FileOp::Write && log[i].offset == 0)
            headerAt = i;
        else if (log[i].kind == FileOp::Sync && headerAt && !syncAfter)
            syncAfter = i;
        else if (log[i].kind == FileOp::Resize && log[i].offset < dropped.image.size())
            cutAt = i;
    }
    EXPECT_GT(headerAt, 0u);
    EXPECT_GT(syncAfter, headerAt);
    EXPECT_GT(cutAt, syncAfter);
    EXPECT_LE(clean.image.size() + 40000, withTail.size());
    // A later transaction takes the sectors an earlier one freed.
    m_fs.Reset({{kFile, base}});
    {
        auto root = Storage::OpenFile(kFile);
        ASSERT_TRUE(root->DestroyElement(u"big"));
        ASSERT_TRUE(root->Commit());
        ASSERT_TRUE(Put(*root, u"again", Bytes(200000, 8)));
        ASSERT_TRUE(root->Commit());
    }
    EXPECT_LE(m_fs.Image(kFile)->size(), base.size() + 4096);
}

TEST_F(Transactions, RepeatedRewritesKeepTheFileNearItsCompactSize) {
    m_fs.Reset({{kFile, BaseFile()}});
    std::size_t largest = 0;
    for (int round = 0; round < 60; ++round) {
        auto root = Storage::OpenFile(kFile);
        ASSERT_TRUE(root);
        auto body = root->OpenStream(u"big");
        ASSERT_TRUE(body);
        ASSERT_TRUE(body->WriteAll(Bytes(200000 + 500 * round, round)));
        *body = Stream();
        ASSERT_TRUE(root->Commit());
        largest = std::max<std::size_t>(largest, m_fs.Image(kFile)->size());
    }
    // Old and new copies of the rewritten stream at most, and the rest once.
    EXPECT_LE(largest, BaseFile().size() + 2 * 230000 + 16 * 1024);
}

TEST(TransactionsOnDisk, AFileSizeLimitIsReportedWithThePathAndTheReason) {
    // The file-size limit makes the machine's write calls fail for real (EFBIG).
    ScratchDir dir;
    const auto path = dir / "limited.cfb";
    {
        auto root = Storage::CreateFile(path);
        ASSERT_TRUE(root);
        ASSERT_TRUE(Put(*root, u"first", Bytes(20000, 1)));
    }
    const std::string before = ReadBytes(path);
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = before.size() + 8192;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    Result<void> result;
    {
        auto root = Storage::OpenFile(path);
        ASSERT_TRUE(root);
        result = Put(*root, u"second", Bytes(100000, 2));
        if (result)
            result = root->Commit();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.code(), hr::MediumFull);
    EXPECT_NE(result.error().message.find(path.string()), std::string::npos);
    EXPECT_NE(result.error().message.find("файл слишком велик"), std::string::npos);
    EXPECT_EQ(Of(ReadBytes(path)), Of(before));
    auto report = Validator::CheckFile(path);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->Sound());
}
