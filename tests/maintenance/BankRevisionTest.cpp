// Bank revision against a real bank file: free space given back with every element kept (the
// validator and olefile read the result), the selection and permissions kept; a bank never
// saved refused; a copy that cannot be made or is stopped leaves the bank byte for byte.
#include "maintenance/BankRevision.h"
#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "platform/storage/Validator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

struct Recorder : Progress {
    std::size_t upper = 0, steps = 0;
    std::size_t stopAfter = static_cast<std::size_t>(-1);
    bool cancellable = true;
    void Start(std::size_t u) override { upper = u; }
    void Step() override { ++steps; }
    void SetCancellable(bool c) override { cancellable = c; }
    bool CancelRequested() override { return steps >= stopAfter; }
};

class Revision : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelvo-revision-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        base = pattern;
        fs::create_directories(base / "данные");
        bank = base / "данные" / "банк.Kvb";

        ASSERT_TRUE(doc.OnNewDocument());
        TreeNode* root = doc.records().first();
        ASSERT_TRUE(doc.SaveAs(bank));
        // Bodies written and then dropped leave free space in the file.
        for (int i = 0; i < 6; ++i) {
            TreeNode* r = doc.AddNode(TreeKind::Records, root, ("r" + std::to_string(i)).c_str());
            ASSERT_TRUE(doc.SaveBody(r, std::string(200000 + i, static_cast<char>('a' + i))));
            uids.push_back(r->item.uid);
        }
        ASSERT_TRUE(doc.Save());
        ASSERT_TRUE(doc.RemoveBodies({uids[0], uids[1], uids[2], uids[3]}));
        TreeNode* kept = doc.records().FindByUid(uids[5]);
        doc.records().Select(kept);
        ASSERT_TRUE(doc.Save());
        fs::permissions(bank,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(base, ec);
    }

    static std::string Bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Every element with its size and a digest of its bytes, as olefile reads them.
    std::string Listing() {
        const std::string command =
            "/usr/bin/python3 -c \"import olefile,sys,hashlib; o=olefile.OleFileIO(sys.argv[1]); "
            "print(sorted(('/'.join(p), o.get_type(p), hashlib.md5(o.openstream(p).read())"
            ".hexdigest() if o.get_type(p)==olefile.STGTY_STREAM else '') for p in "
            "o.listdir(streams=True, storages=True)))\" '" +
            bank.string() + "' 2>&1";
        std::string out;
        if (FILE* p = popen(command.c_str(), "r")) {
            char buf[4096];
            std::size_t n;
            while ((n = fread(buf, 1, sizeof buf, p)) > 0)
                out.append(buf, n);
            EXPECT_EQ(pclose(p), 0) << out;
        }
        return out;
    }

    fs::path base, bank;
    std::vector<std::uint32_t> uids;
    CQuorvellineDoc doc;
};

TEST_F(Revision, GivesBackFreeSpaceKeepingEveryElementTheSelectionAndThePermissions) {
    const auto sizeBefore = fs::file_size(bank);
    const std::string listing = Listing();
    ASSERT_NE(listing.find("RecData"), std::string::npos) << listing;
    const auto perms = fs::status(bank).permissions();

    Recorder r;
    std::vector<RevisionStep> steps;
    auto revised = ReviseBank(
        doc, &r, [&](RevisionStep step, const RevisionFigures&) { steps.push_back(step); });
    ASSERT_TRUE(revised) << ErrorText(revised.error());
    EXPECT_EQ(steps, (std::vector<RevisionStep>{RevisionStep::SizeBefore, RevisionStep::Copying,
                                                RevisionStep::Copied, RevisionStep::Replaced,
                                                RevisionStep::SizeAfter, RevisionStep::Reopened}));
    EXPECT_EQ(revised->before, sizeBefore);
    EXPECT_EQ(revised->after, fs::file_size(bank));
    EXPECT_LT(revised->after + 4 * 200000, sizeBefore + 4096);
    EXPECT_EQ(r.upper, revised->elements);
    EXPECT_EQ(r.steps, revised->elements);
    EXPECT_FALSE(r.cancellable);

    EXPECT_EQ(Listing(), listing);
    auto report = cfb::Validator::CheckFile(bank);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->Sound()) << report->errors.front();
    EXPECT_EQ(fs::status(bank).permissions(), perms);
    EXPECT_FALSE(fs::exists(RevisionCopyPath(bank)));

    // The document shows the compacted bank, unmodified, with its selection.
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.records().selected());
    EXPECT_EQ(doc.records().selected()->item.uid, uids[5]);
    auto body = doc.ReadBody(uids[5]);
    ASSERT_TRUE(body);
    EXPECT_EQ(*body, std::string(200005, 'f'));
    EXPECT_FALSE(doc.ReadBody(uids[0]));
}

TEST_F(Revision, ACopyThatFailsOrIsStoppedLeavesTheBankByteForByte) {
    const std::string before = Bytes(bank);
    const TreeNode* selected = doc.records().selected();

    // The copy cannot be created: a folder stands where it would go.
    fs::create_directory(RevisionCopyPath(bank));
    auto failed = ReviseBank(doc);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().messageId, msg::RevisionFailed);
    EXPECT_NE(ErrorText(failed.error()).find(bank.string()), std::string::npos);
    EXPECT_EQ(Bytes(bank), before);
    EXPECT_EQ(doc.records().selected(), selected); // the document was not reopened
    fs::remove(RevisionCopyPath(bank));

    // Stopped halfway through the copy.
    Recorder r;
    r.stopAfter = 3;
    auto stopped = ReviseBank(doc, &r);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().messageId, msg::RevisionFailed);
    EXPECT_EQ(Bytes(bank), before);
    EXPECT_FALSE(fs::exists(RevisionCopyPath(bank)));
}

TEST_F(Revision, ABankNeverSavedHasNothingToCompact) {
    CQuorvellineDoc fresh;
    ASSERT_TRUE(fresh.OnNewDocument());
    auto result = ReviseBank(fresh);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().messageId, msg::RevisionNeverSaved);
}

} // namespace
