// Bank cleanup against a real bank file: each choice alone and all together, the order of
// the pass, the progress counts, bodies gone at once, refusals that change nothing.
#include "maintenance/BankCleanup.h"
#include "core/Messages.h"
#include "core/RecordBody.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace kelvo;

namespace {

struct Recorder : Progress, CleanupViews {
    std::vector<std::string> events;
    std::size_t upper = 0, steps = 0;
    bool cancellable = true;
    void SetCancellable(bool c) override { cancellable = c; }
    bool CancelRequested() override {
        ADD_FAILURE() << "the cleanup cannot stop and must not ask";
        return false;
    }
    void SetStatus(std::string_view text) override { events.emplace_back(text); }
    void Start(std::size_t u) override { upper = u; }
    void Step() override { ++steps; }
    void ReloadSelectedBody() override { events.emplace_back("reload"); }
    void RefillPasswordList() override { events.emplace_back("refill"); }
};

class Cleanup : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kelvo-cleanup-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        base = pattern;
        std::filesystem::create_directories(base / "данные");
        bank = base / "данные" / "банк.Kvb";

        ASSERT_TRUE(doc.OnNewDocument());
        TreeNode* root = doc.records().first();
        TreeNode* r1 = doc.AddNode(TreeKind::Records, root, "r1");
        doc.AddNode(TreeKind::Records, r1, "r2");
        TreeNode* f1 = doc.AddNode(TreeKind::Folders, doc.folders().first(), "f1");
        for (TreeNode* n : doc.records().PreOrder()) {
            n->item.keywords = "rk";
            n->item.notes = "rn";
        }
        for (TreeNode* n : doc.folders().PreOrder()) {
            n->item.keywords = "fk";
            n->item.notes = "fn";
        }
        for (const char* title : {"p1", "p2", "p3", "p4"}) {
            auto e = std::make_unique<PwdItem>();
            e->title = title;
            doc.AddPassword(std::move(e), f1);
        }
        ASSERT_TRUE(doc.SaveAs(bank));
        ASSERT_TRUE(doc.SaveBody(root, "root body"));
        ASSERT_TRUE(doc.SaveBody(r1, "r1 body")); // r2 never had one
        ASSERT_TRUE(doc.Save());
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(base, ec);
    }

    std::size_t Bodies() {
        auto root = cfb::Storage::OpenFile(bank);
        return root ? RecordBodySizes(*root).size() : 999;
    }
    static bool All(CQuorvellineDoc& d, TreeKind kind, std::string_view keywords,
                    std::string_view notes) {
        for (TreeNode* n : d.tree(kind).PreOrder())
            if (n->item.keywords != keywords || n->item.notes != notes)
                return false;
        return true;
    }

    std::filesystem::path base, bank;
    CQuorvellineDoc doc;
};

TEST_F(Cleanup, NothingChosenIsRefusedAndChangesNothing) {
    doc.SetModifiedFlag(false);
    Recorder r;
    auto result = RunBankCleanup(doc, {}, &r, &r);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().messageId, msg::CleanupNothingChosen);
    EXPECT_EQ(result.error().message, "Необходимо выбрать хотя бы один пункт для очистки!");
    EXPECT_TRUE(r.events.empty());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Bodies(), 2u);
}

TEST_F(Cleanup, EachChoiceAloneClearsExactlyItsKind) {
    struct Case {
        CleanupChoices choices;
        const char *rk, *rn, *fk, *fn;
        std::size_t bodies, passwords;
    };
    const Case cases[] = {
        {{.recordKeywords = true}, "", "rn", "fk", "fn", 2, 4},
        {{.recordNotes = true}, "rk", "", "fk", "fn", 2, 4},
        {{.recordTexts = true}, "rk", "rn", "fk", "fn", 0, 4},
        {{.folderKeywords = true}, "rk", "rn", "", "fn", 2, 4},
        {{.folderNotes = true}, "rk", "rn", "fk", "", 2, 4},
        {{.passwords = true}, "rk", "rn", "fk", "fn", 2, 0},
        {{true, true, true, true, true, true}, "", "", "", "", 0, 0},
    };
    ASSERT_TRUE(doc.OnNewDocument()); // the fixture's document lets the bank go
    for (const Case& c : cases) {
        CQuorvellineDoc d;
        ASSERT_TRUE(d.OnOpenDocument(bank));
        Recorder r;
        auto result = RunBankCleanup(d, c.choices, &r, &r);
        ASSERT_TRUE(result);
        EXPECT_TRUE(All(d, TreeKind::Records, c.rk, c.rn));
        EXPECT_TRUE(All(d, TreeKind::Folders, c.fk, c.fn));
        EXPECT_EQ(Bodies(), c.bodies);
        EXPECT_EQ(d.passwords().size(), c.passwords);
        EXPECT_EQ(d.folders().size(), 2u);
        EXPECT_EQ(d.records().size(), 3u);
        EXPECT_TRUE(d.IsModified());
        // Entries are counted in the range whether or not they go; stepped only when they go.
        EXPECT_EQ(r.upper, 4u + 2u + 3u);
        EXPECT_EQ(r.steps, c.passwords == 0 ? 9u : 5u);
        EXPECT_EQ(result->progressSteps, r.steps);
        EXPECT_EQ(result->bodiesRemoved, c.bodies == 0 ? 2u : 0u);
        EXPECT_EQ(r.events.back(), "refill");
        EXPECT_FALSE(r.cancellable);
        // Closing without saving: the texts stay gone, the rest comes back.
        CQuorvellineDoc reopened; // a second look at the file `d` keeps open
        ASSERT_TRUE(reopened.OnOpenDocument(bank, BankAccess::Read));
        EXPECT_EQ(reopened.passwords().size(), 4u);
        EXPECT_EQ(Bodies(), c.bodies);
        if (c.bodies == 0) { // restore the bodies for the next case
            ASSERT_TRUE(reopened.SaveBody(reopened.records().first(), "root body"));
            ASSERT_TRUE(reopened.SaveBody(reopened.records().first()->children[0], "r1 body"));
        }
    }
}

TEST_F(Cleanup, ThePassGoesRecordsThenFoldersThenEntries) {
    Recorder r;
    ASSERT_TRUE(RunBankCleanup(doc, {.passwords = true}, &r, &r));
    EXPECT_EQ(r.events, (std::vector<std::string>{
                            "Очистка записи: Корневая запись", "Очистка записи: r1",
                            "Очистка записи: r2", "reload", "Очистка папки: Хранилище паролей",
                            "Очистка папки: f1", "Очистка пароля: p1", "Очистка пароля: p2",
                            "Очистка пароля: p3", "Очистка пароля: p4", "refill"}));
}

TEST_F(Cleanup, AnEmptyBankAndABankNeverSaved) {
    CQuorvellineDoc empty;
    ASSERT_TRUE(empty.OnNewDocument());
    empty.records().Clear();
    empty.folders().Clear();
    Recorder r;
    auto result = RunBankCleanup(empty, {.recordTexts = true}, &r, &r);
    ASSERT_TRUE(result);
    EXPECT_EQ(r.upper, 0u);
    EXPECT_EQ(r.steps, 0u);
    EXPECT_TRUE(empty.tempPath().empty()); // no working file made for nothing
}

TEST_F(Cleanup, TextsAreNotClearedWhenTheBankFileCannotBeOpened) {
    // Another holder of the bank file: the cleanup refuses before changing anything.
    auto held = cfb::Storage::OpenFile(bank);
    ASSERT_TRUE(held);
    doc.SetModifiedFlag(false);
    CleanupChoices all{true, true, true, true, true, true};
    auto result = RunBankCleanup(doc, all);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().messageId, msg::CleanupNoWorkingStorage);
    EXPECT_TRUE(All(doc, TreeKind::Records, "rk", "rn"));
    EXPECT_EQ(doc.passwords().size(), 4u);
    EXPECT_FALSE(doc.IsModified());
    held = cfb::Storage();
    EXPECT_EQ(Bodies(), 2u);
}

} // namespace
