// Damaged files give clean errors (each corpus file has one defect and the status it must
// give), fuzzer seeds replay without faults, and exclusivity holds across processes.
#include "platform/storage/BankStorage.h"
#include "platform/storage/Storage.h"
#include "platform/storage/Validator.h"

#include "fuzz/storage/CfbExercise.h"

#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelvo;
using namespace kelvo::cfb;
using namespace kelvo::cfb::test;

namespace {

const std::filesystem::path CorpusDir = std::filesystem::path(KELVO_TEST_DATA_DIR) / "storage";

std::vector<std::pair<std::string, HResult>> ExpectedStatuses() {
    std::vector<std::pair<std::string, HResult>> out;
    std::ifstream in(CorpusDir / "expected.txt");
    std::string name, code;
    while (in >> name >> code)
        out.emplace_back(name, static_cast<HResult>(std::stoul(code, nullptr, 16)));
    return out;
}

} // namespace

TEST(Corpus, EveryDamagedFileGivesItsStatusAndNothingWorse) {
    const auto expected = ExpectedStatuses();
    ASSERT_GE(expected.size(), 40u);
    TempDir dir;
    for (const auto& [name, status] : expected) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadFileBytes(CorpusDir / name);
        EXPECT_EQ(Storage::OpenMemory(bytes).code(), status);
        // The same through a file on disk, copied first: the corpus stays as it is.
        const auto copy = dir / name;
        std::filesystem::copy_file(CorpusDir / name, copy);
        EXPECT_EQ(Storage::OpenFile(copy, mode::OpenRead).code(), status);
        EXPECT_EQ(Storage::OpenFile(copy).code(), status);
        EXPECT_EQ(ReadFileBytes(copy), bytes) << "a failed open changed the file";
        // A damaged bank is not replaced by an empty one.
        if (status == hr::DocFileCorrupt || status == hr::InvalidHeader) {
            EXPECT_EQ(OpenOrCreateBankFile(copy).code(), status);
            EXPECT_EQ(ReadFileBytes(copy), bytes);
        }
        const auto report = Validator::CheckBytes(bytes);
        EXPECT_EQ(report.Sound(), status == hr::Ok);
        ExerciseCompoundFile(bytes);
    }
}

TEST(Corpus, TheValidSampleReadsBack) {
    auto root = Storage::OpenMemory(ReadFileBytes(CorpusDir / "valid.cfb"));
    ASSERT_TRUE(root);
    auto big = root->OpenStream(u"big");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->ReadAll()->size(), 5000u);
    auto sub = root->OpenStorage(u"sub");
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->OpenStream(u"inner")->ReadAll()->size(), 10u);
}

TEST(Corpus, FuzzerSeedsAndFindingsReplay) {
    const auto seeds =
        std::filesystem::path(KELVO_TEST_DATA_DIR) / ".." / ".." / "fuzz" / "corpus" / "cfb";
    int count = 0;
    for (const auto& file : std::filesystem::directory_iterator(seeds)) {
        ExerciseCompoundFile(ReadFileBytes(file.path()));
        ++count;
    }
    EXPECT_GT(count, 0);
}

TEST(Corpus, BitFlipsAndTruncationsNeverCrash) {
    const std::string valid = ReadFileBytes(CorpusDir / "valid.cfb");
    for (std::size_t i = 0; i < valid.size(); i += 7) {
        std::string damaged = valid;
        damaged[i] = static_cast<char>(damaged[i] ^ (1 << (i % 8)));
        ExerciseCompoundFile(damaged);
        ExerciseCompoundFile(valid.substr(0, i));
    }
}

TEST(Exclusivity, AFileOpenInOneProcessCannotBeOpenedInAnother) {
    TempDir dir;
    const auto path = dir / "shared.cfb";
    ASSERT_TRUE(Storage::CreateFile(path));
    // The child reports the status of its open as its exit status (0 = opened).
    auto openInChild = [&]() -> int {
        const pid_t pid = ::fork();
        if (pid == 0) {
            auto r = Storage::OpenFile(path);
            ::_exit(r ? 0 : (r.code() == hr::ShareViolation ? 20 : 1));
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    {
        auto held = Storage::OpenFile(path);
        ASSERT_TRUE(held);
        EXPECT_EQ(openInChild(), 20);
    }
    EXPECT_EQ(openInChild(), 0);

    // And the other way round: a child holds the file until told to let go.
    int toChild[2], fromChild[2];
    ASSERT_EQ(::pipe(toChild), 0);
    ASSERT_EQ(::pipe(fromChild), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        auto held = Storage::OpenFile(path);
        char c = held ? 'y' : 'n';
        (void)!::write(fromChild[1], &c, 1);
        (void)!::read(toChild[0], &c, 1);
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(fromChild[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    EXPECT_EQ(Storage::OpenFile(path).code(), hr::ShareViolation);
    EXPECT_EQ(OpenOrCreateBankFile(path).code(), hr::ShareViolation);
    (void)!::write(toChild[1], "x", 1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(Storage::OpenFile(path));
    for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]})
        ::close(fd);
}

TEST(BankStorage, OpenOrCreateHelpers) {
    TempDir dir;
    const auto path = dir / "банк.Kvb";
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(FileExists(dir.path())); // a directory counts
    WriteFileBytes(path, "");            // an empty temporary file is replaced by a compound file
    {
        auto root = OpenOrCreateBankFile(path);
        ASSERT_TRUE(root) << StatusName(root.code());
        auto storage = OpenOrCreateStorage(*root, u"RecData");
        ASSERT_TRUE(storage);
        auto stream = OpenOrCreateStream(*storage, u"0000002A");
        ASSERT_TRUE(stream);
        ASSERT_TRUE(stream->WriteAll("body"));
    }
    EXPECT_TRUE(FileExists(path));
    auto root = OpenOrCreateBankFile(path);
    ASSERT_TRUE(root);
    auto storage = OpenOrCreateStorage(*root, u"RecData");
    auto stream = OpenOrCreateStream(*storage, u"0000002A");
    EXPECT_EQ(*stream->ReadAll(), "body");
    // A name that cannot be created reports the create's status.
    EXPECT_EQ(OpenOrCreateStream(*root, u"bad/name").code(), hr::InvalidName);
}

TEST(Corpus, VersionFourFilesAreReadAndChangedInTheirOwnFormat) {
    TempDir dir;
    const auto path = dir / "v4.cfb";
    std::filesystem::copy_file(CorpusDir / "valid_version4.cfb", path);
    {
        auto root = Storage::OpenFile(path);
        ASSERT_TRUE(root) << StatusName(root.code());
        auto big = root->OpenStream(u"big");
        ASSERT_TRUE(big);
        EXPECT_EQ(big->ReadAll()->size(), 5000u);
        ASSERT_TRUE(big->WriteAll(Pattern(20000, 4)));
        // More than one directory sector's worth of entries (32 in a 4096-byte sector).
        for (int i = 0; i < 40; ++i)
            ASSERT_TRUE(
                root->CreateStream(u"n" + std::u16string(1, static_cast<char16_t>(u'А' + i)))
                    ->WriteAll(Pattern(static_cast<std::size_t>(i) * 150, i)));
        EXPECT_TRUE(Validator::Check(*root).Clean());
    }
    EXPECT_EQ(std::filesystem::file_size(path) % 4096, 0u);
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes[0x1A], 4); // still version 4
    EXPECT_EQ(bytes[0x28], 2); // its directory sector count kept exact
    EXPECT_TRUE(Validator::CheckBytes(bytes).Clean());
    auto root = Storage::OpenMemory(bytes);
    ASSERT_TRUE(root);
    EXPECT_TRUE(*root->OpenStream(u"big")->ReadAll() == Pattern(20000, 4));
    EXPECT_TRUE(*root->OpenStream(u"nЯ")->ReadAll() == Pattern(31 * 150, 31));
    if (HaveOlefile()) {
        auto r =
            RunCommand("/usr/bin/python3 -c 'import olefile,sys; o=olefile.OleFileIO(sys.argv[1]);"
                       " print(len(o.listdir()), len(o.openstream(\"big\").read()))' " +
                       Quote(path.string()));
        EXPECT_EQ(r.output, "35 20000\n"); // а..з replaced А..З: names ignore case
    }
}

TEST(Corpus, ATreeThatIsNotRedBlackIsRebuiltOnTheFirstChange) {
    const std::string bytes = ReadFileBytes(CorpusDir / "valid_unbalanced_tree.cfb");
    const auto before = Validator::CheckBytes(bytes);
    EXPECT_TRUE(before.Sound());
    EXPECT_FALSE(before.Clean()); // legal, but a warning
    auto root = Storage::OpenMemory(bytes);
    ASSERT_TRUE(root);
    ASSERT_TRUE(root->CreateStream(u"added"));
    const auto after = Validator::Check(*root);
    EXPECT_TRUE(after.Clean()) << (after.warnings.empty() ? "" : after.warnings[0]);
    auto list = root->Enumerate();
    ASSERT_EQ(list->size(), 4u);
    EXPECT_EQ((*list)[0].name, u"big");
    EXPECT_EQ((*list)[3].name, u"small");
}
