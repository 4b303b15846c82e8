// The index window's load and rebuild of the open bank's index: a cancelled rebuild brings the
// stored index back, or leaves none when there was none to come back to.
#include "index/BankIndex.h"

#include "core/Messages.h"
#include "core/QuorvellineDoc.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

/// Cancels at the n-th question.
struct CancelAt : Progress {
    explicit CancelAt(int n) : left(n) {}
    int left;
    bool CancelRequested() override { return --left < 0; }
};

class BankIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                fs::u8path("kelvo-bankindex-данные-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        ASSERT_TRUE(doc.OnNewDocument().ok());
        TreeNode* a = doc.AddNode(TreeKind::Records, doc.records().first(), "a");
        a->item.keywords = "alpha, beta";
        TreeNode* f = doc.AddNode(TreeKind::Folders, doc.folders().first(), "f");
        f->item.keywords = "gamma";
        ASSERT_TRUE(doc.SaveAs(m_dir / fs::u8path("банк.Kvb")).ok());
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static std::vector<std::string> Words(const KeywordIndex& index) {
        std::vector<std::string> out;
        for (const auto& item : index)
            out.push_back(item->word);
        return out;
    }

    fs::path m_dir;
    CQuorvellineDoc doc;
};

} // namespace

TEST_F(BankIndexTest, RebuildStoresAndAFailedOneLeavesTheStoredIndex) {
    KeywordIndex index;
    EXPECT_EQ(LoadBankIndex(index, doc).value(), false); // nothing stored yet

    // No index stored and the first build cancelled: nothing stays in memory.
    CancelAt early(1);
    const auto cancelled = RebuildBankIndex(index, doc, FailedBuild::Clear, &early);
    ASSERT_FALSE(cancelled.ok());
    EXPECT_EQ(cancelled.error().messageId, msg::IndexBuildCancelled);
    EXPECT_TRUE(index.empty());
    EXPECT_EQ(LoadBankIndex(index, doc).value(), false);

    ASSERT_TRUE(RebuildBankIndex(index, doc, FailedBuild::Clear).ok());
    EXPECT_EQ(Words(index), (std::vector<std::string>{"alpha", "beta", "gamma"}));

    // The bank changes; a rebuild cancelled halfway (after the records) brings back the
    // stored index, not the half-built one.
    doc.records().first()->item.keywords = "delta";
    CancelAt halfway(2);
    ASSERT_FALSE(RebuildBankIndex(index, doc, FailedBuild::Reload, &halfway).ok());
    EXPECT_EQ(Words(index), (std::vector<std::string>{"alpha", "beta", "gamma"}));

    KeywordIndex fresh;
    EXPECT_EQ(LoadBankIndex(fresh, doc).value(), true);
    EXPECT_EQ(Words(fresh), Words(index));
}

TEST_F(BankIndexTest, ABankOpenedDuringTheBuildGetsNothingOfIt) {
    // Another bank, without an index, that the user opens while the progress window handles
    // its events.
    const fs::path other = m_dir / fs::u8path("другой.Kvb");
    {
        CQuorvellineDoc second;
        ASSERT_TRUE(second.OnNewDocument().ok());
        second.records().first()->item.keywords = "omega";
        ASSERT_TRUE(second.SaveAs(other).ok());
    }
    struct OpensAnother : Progress {
        CQuorvellineDoc* doc;
        fs::path path;
        bool opened = false;
        bool CancelRequested() override {
            if (!std::exchange(opened, true)) {
                EXPECT_TRUE(doc->OnOpenDocument(path).ok());
            }
            return false; // the build runs to its end over the trees it now finds
        }
    } opens;
    opens.doc = &doc;
    opens.path = other;
    const fs::path first = doc.path();
    KeywordIndex index;
    for (FailedBuild failed : {FailedBuild::Clear, FailedBuild::Reload}) {
        opens.opened = false;
        ASSERT_TRUE(doc.OnOpenDocument(first).ok());
        const auto built = RebuildBankIndex(index, doc, failed, &opens);
        ASSERT_TRUE(opens.opened);
        ASSERT_FALSE(built.ok());
        EXPECT_EQ(built.code(), hr::Abort);
        EXPECT_TRUE(index.empty());
        // Stored in neither bank.
        EXPECT_EQ(LoadBankIndex(index, doc).value(), false);
        ASSERT_TRUE(doc.OnOpenDocument(first).ok());
        EXPECT_EQ(LoadBankIndex(index, doc).value(), false);
    }
}
