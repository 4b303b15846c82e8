// The document's lifecycle against real bank files: New, Open, Save, Save As, the working
// file, revisions, round trips, damaged banks and failures.
#include "BankFixture.h"
#include "core/BankHeader.h"
#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"
#include "platform/storage/BankStorage.h"

#include <sys/stat.h>

#include <algorithm>

using namespace kelvo;
using kelvo::test::ReadBankStream;
using kelvo::test::ReadFileBytes;
using kelvo::test::TempFolder;

namespace {

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

std::uint32_t Revision(const std::filesystem::path& bank) {
    auto h = ReadBankStream(bank, u"KelvoDataBank");
    if (!h || h->size() < 300)
        return 0xFFFFFFFF;
    const auto* p = reinterpret_cast<const unsigned char*>(h->data()) + 296;
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// A listener that, like the main window, reads the selected record's body when told.
struct Window : DocumentListener {
    CQuorvellineDoc* doc = nullptr;
    int selections = 0;
    int bodyReads = 0;
    std::vector<bool> modified;
    void OnModifiedChanged(bool m) override { modified.push_back(m); }
    void OnSelectionChanged(TreeKind kind, TreeNode*) override {
        ++selections;
        if (kind == TreeKind::Records && doc->hasFile() && doc->WorkingStorage().ok())
            ++bodyReads;
    }
};

// A bank with something of everything.
void Fill(CQuorvellineDoc& doc) {
    TreeNode* root = doc.records().first();
    TreeNode* deep = root;
    for (int i = 0; i < 12; ++i)
        deep = doc.AddNode(TreeKind::Records, deep, A("Глубже ") + std::to_string(i));
    TreeNode* notes = doc.AddNode(TreeKind::Records, root, "C:\\new\\dir");
    notes->item.notes = A("Строка 1\r\nСтрока 2\r\n\\n");
    notes->item.keywords = A("ключ,слово");
    notes->expanded = true;
    doc.records().Select(deep, false);
    TreeNode* mail = doc.AddNode(TreeKind::Folders, doc.folders().first(), A("Почта"));
    TreeNode* banks = doc.AddNode(TreeKind::Folders, doc.folders().first(), A("Банки"));
    for (TreeNode* folder : {mail, banks, mail}) {
        auto e = std::make_unique<PwdItem>();
        e->title = A("Вход ") + folder->title;
        e->password = "p\\a\r\nss";
        e->notes = A("две\r\nстроки");
        doc.AddPassword(std::move(e), folder);
    }
}

} // namespace

TEST(Document, NewBank) {
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument().ok());
    ASSERT_EQ(doc.records().size(), 1u);
    EXPECT_EQ(AnsiToUtf8(doc.records().first()->title), "Корневая запись");
    EXPECT_EQ(AnsiToUtf8(doc.folders().first()->title), "Хранилище паролей");
    EXPECT_EQ(doc.records().first()->item.uid, 1u);
    EXPECT_EQ(doc.records().selected(), doc.records().first());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.hasFile());
    EXPECT_TRUE(doc.tempPath().empty()); // no file anywhere until a body is needed
    EXPECT_EQ(doc.RevisionNumber(), 0u);
}

TEST(Document, SavesCountRevisionsAndWriteTheLayout) {
    TempFolder dir;
    const auto bank = dir / "банк.Kvb";
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument().ok());
    ASSERT_TRUE(doc.SaveAs(bank).ok());
    EXPECT_EQ(Revision(bank), 0u);
    ASSERT_TRUE(doc.Save().ok());
    EXPECT_EQ(Revision(bank), 1u);
    ASSERT_TRUE(doc.Save().ok());
    EXPECT_EQ(Revision(bank), 2u);
    EXPECT_EQ(doc.RevisionNumber(), 2u);

    struct stat st {};
    ASSERT_EQ(stat(bank.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    auto header = ReadBankStream(bank, u"KelvoDataBank");
    ASSERT_TRUE(header);
    ASSERT_EQ(header->size(), 512u);
    EXPECT_EQ(header->substr(300), std::string(212, '\xFF'));
    EXPECT_EQ(ReadBankStream(bank, u"PwdData/ObPool"), std::optional<std::string>("00000000\r\n"));
    EXPECT_EQ(ReadBankStream(bank, u"RecTree/Struct")->size(), 48u);
    EXPECT_EQ(ReadBankStream(bank, u"PwdTree/Struct")->size(), 48u);
    EXPECT_TRUE(ReadBankStream(bank, u"\x05SummaryInformation"));

    // Save As to a new path starts again at 0; the old file is not touched.
    const std::string before = ReadFileBytes(bank);
    ASSERT_TRUE(doc.SaveAs(dir / "копия.Kvb").ok());
    EXPECT_EQ(Revision(dir / "копия.Kvb"), 0u);
    EXPECT_EQ(ReadFileBytes(bank), before);
    EXPECT_EQ(doc.path(), dir / "копия.Kvb");
}

TEST(Document, RoundTripKeepsEverything) {
    TempFolder dir;
    const auto bank = dir / "полный.Kvb";
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument().ok());
    Fill(doc);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.SaveAs(bank).ok());
    EXPECT_FALSE(doc.IsModified());
    const auto recStruct = ReadBankStream(bank, u"RecTree/Struct");
    const auto recPool = ReadBankStream(bank, u"RecTree/ObPool");
    const auto pwdPool = ReadBankStream(bank, u"PwdData/ObPool");

    CQuorvellineDoc other; // a second look at the file, which `doc` keeps open
    ASSERT_TRUE(other.OnOpenDocument(bank, BankAccess::Read).ok());
    EXPECT_EQ(other.records().size(), doc.records().size());
    EXPECT_EQ(other.folders().size(), 3u);
    ASSERT_EQ(other.passwords().size(), 3u);
    EXPECT_EQ(other.passwords()[1].password, "p\\a\r\nss");
    EXPECT_EQ(other.passwords()[2].folderUid, 2u);
    EXPECT_EQ(other.records().selected()->title, doc.records().selected()->title);
    EXPECT_EQ(other.records().FindByUid(14)->item.notes, A("Строка 1\r\nСтрока 2\r\n\\n"));
    EXPECT_TRUE(other.records().FindByUid(14)->expanded);
    EXPECT_FALSE(other.IsModified());

    // Saved again unchanged, the trees and entries come out byte for byte the same.
    ASSERT_TRUE(doc.OnNewDocument().ok()); // the first document lets the bank go
    ASSERT_TRUE(other.Save().ok());
    EXPECT_EQ(ReadBankStream(bank, u"RecTree/Struct"), recStruct);
    EXPECT_EQ(ReadBankStream(bank, u"RecTree/ObPool"), recPool);
    EXPECT_EQ(ReadBankStream(bank, u"PwdData/ObPool"), pwdPool);
}

TEST(Document, UnknownElementsAndBodiesSurviveSaves) {
    TempFolder dir;
    const auto bank = dir / "чужое.Kvb";
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument().ok());
    ASSERT_TRUE(doc.SaveAs(bank).ok());
    {
        auto root = cfb::Storage::OpenFile(bank);
        ASSERT_TRUE(root.ok());
        ASSERT_TRUE(root->CreateStream(u"Unknown")->WriteAll("keep me").ok());
        auto foreign = root->CreateStorage(u"Foreign");
        ASSERT_TRUE(foreign->CreateStream(u"Inner")->WriteAll("inner").ok());
        auto recTree = root->OpenStorage(u"RecTree");
        ASSERT_TRUE(recTree->CreateStream(u"Extra")->WriteAll("extra").ok());
        ASSERT_TRUE(root->Commit().ok());
    }
    ASSERT_TRUE(doc.SaveBody(doc.records().first(), "{\\rtf1 body}").ok());
    ASSERT_TRUE(doc.Save().ok());
    ASSERT_TRUE(doc.Save().ok());
    EXPECT_EQ(ReadBankStream(bank, u"Unknown"), std::optional<std::string>("keep me"));
    EXPECT_EQ(ReadBankStream(bank, u"Foreign/Inner"), std::optional<std::string>("inner"));
    EXPECT_EQ(ReadBankStream(bank, u"RecTree/Extra"), std::optional<std::string>("extra"));
    EXPECT_EQ(ReadBankStream(bank, u"RecData/00000001"),
              std::optional<std::string>("{\\rtf1 body}"));
    EXPECT_TRUE(doc.records().first()->item.saved.valid);

    // Save As carries the bodies and the unknown elements to the new file.
    ASSERT_TRUE(doc.SaveAs(dir / "новый.Kvb").ok());
    EXPECT_EQ(ReadBankStream(dir / "новый.Kvb", u"RecData/00000001"),
              std::optional<std::string>("{\\rtf1 body}"));
    EXPECT_EQ(ReadBankStream(dir / "новый.Kvb", u"Foreign/Inner"),
              std::optional<std::string>("inner"));
    // Save As onto the bank's own path is a plain save.
    ASSERT_TRUE(doc.SaveAs(dir / "новый.Kvb").ok());
    EXPECT_EQ(Revision(dir / "новый.Kvb"), 1u);
}

TEST(Document, WorkingFileOfANewBank) {
    TempFolder dir;
    const std::string oldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    setenv("TMPDIR", dir.path().c_str(), 1);
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument().ok());
    ASSERT_TRUE(doc.SaveBody(doc.records().first(), "{\\rtf1 first}").ok());
    if (oldTmp.empty())
        unsetenv("TMPDIR");
    else
        setenv("TMPDIR", oldTmp.c_str(), 1);

    const auto temp = doc.tempPath();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.parent_path(), dir.path());
    EXPECT_EQ(temp.filename().string().substr(0, 3), "Kel");
    EXPECT_EQ(temp.extension(), ".tmp");
    struct stat st {};
    ASSERT_EQ(stat(temp.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(doc.ReadBody(1).value(), "{\\rtf1 first}");

    const auto bank = dir / "первый.Kvb";
    ASSERT_TRUE(doc.SaveAs(bank).ok());
    EXPECT_TRUE(doc.tempPath().empty());
    EXPECT_TRUE(std::filesystem::exists(temp)); // left in place
    EXPECT_EQ(ReadBankStream(bank, u"RecData/00000001"),
              std::optional<std::string>("{\\rtf1 first}"));
    EXPECT_EQ(Revision(bank), 0u);
}

TEST(Document, FailedOpenLeavesTheBankAlone) {
    TempFolder dir;
    test::WriteFileBytes(dir / "not-a-bank.Kvb", "plain text");
    CQuorvellineDoc doc;
    Window window;
    window.doc = &doc;
    doc.SetListener(&window);
    ASSERT_TRUE(doc.OnNewDocument().ok());
    doc.AddNode(TreeKind::Records, doc.records().first(), "unsaved");
    int lastId = 0;
    const std::uint64_t contents = doc.ContentsSerial();
    for (const char* name : {"not-a-bank.Kvb", "missing.Kvb"}) {
        auto opened = doc.OnOpenDocument(dir / name);
        ASSERT_FALSE(opened.ok());
        lastId = opened.error().messageId;
        EXPECT_EQ(doc.ContentsSerial(), contents); // the windows keep what they show
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(doc.records().size(), 2u);
        EXPECT_FALSE(doc.hasFile());
    }
    EXPECT_EQ(lastId, msg::CannotOpenBank);
}

TEST(Document, TheContentsSerialChangesWhenAnotherBankIsHeldOnly) {
    TempFolder dir;
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument().ok());
    std::vector<std::uint64_t> seen{doc.ContentsSerial()};
    // Edits, saves and Save As keep the contents.
    doc.AddNode(TreeKind::Records, doc.records().first(), "a");
    ASSERT_TRUE(doc.SaveAs(dir / "a.Kvb").ok());
    ASSERT_TRUE(doc.Save().ok());
    EXPECT_EQ(doc.ContentsSerial(), seen.back());
    // New, Open, and Open of the same file again each give a value not seen before.
    ASSERT_TRUE(doc.OnNewDocument().ok());
    seen.push_back(doc.ContentsSerial());
    ASSERT_TRUE(doc.OnOpenDocument(dir / "a.Kvb").ok());
    seen.push_back(doc.ContentsSerial());
    ASSERT_TRUE(doc.OnOpenDocument(dir / "a.Kvb").ok());
    seen.push_back(doc.ContentsSerial());
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
}

TEST(Document, OpenReportsSelectionsWithTheFileReleased) {
    TempFolder dir;
    const auto bank = dir / "b.Kvb";
    {
        CQuorvellineDoc doc;
        ASSERT_TRUE(doc.OnNewDocument().ok());
        ASSERT_TRUE(doc.SaveAs(bank).ok());
    }
    CQuorvellineDoc doc;
    Window window;
    window.doc = &doc;
    doc.SetListener(&window);
    ASSERT_TRUE(doc.OnOpenDocument(bank).ok());
    EXPECT_EQ(window.selections, 2);
    EXPECT_EQ(window.bodyReads, 1);
}

TEST(Document, SaveToAnImpossibleTargetFailsAndStaysModified) {
    TempFolder dir;
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument().ok());
    ASSERT_TRUE(doc.SaveAs(dir / "ok.Kvb").ok());
    doc.AddNode(TreeKind::Records, nullptr, "x");
    std::filesystem::create_directory(dir / "folder.Kvb");
    for (auto target : {dir / "no" / "such" / "dir.Kvb", dir / "folder.Kvb"}) {
        auto saved = doc.SaveAs(target);
        ASSERT_FALSE(saved.ok()) << target;
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(doc.RevisionNumber(), 0u);
        EXPECT_EQ(doc.path(), dir / "ok.Kvb");
        EXPECT_EQ(saved.error().messageId, msg::SaveFailed);
    }
}

TEST(Document, DamagedBanksOpen) {
    TempFolder dir;
    const auto bank = dir / "damaged.Kvb";
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument().ok());
    Fill(doc);
    ASSERT_TRUE(doc.SaveAs(bank).ok());
    ASSERT_TRUE(doc.OnNewDocument().ok()); // closed: the bank is free for the others
    {
        auto root = cfb::Storage::OpenFile(bank);
        ASSERT_TRUE(root.ok());
        ASSERT_TRUE(root->DestroyElement(u"PwdTree").ok());
        auto recTree = root->OpenStorage(u"RecTree");
        auto s = recTree->OpenStream(u"Struct");
        ASSERT_TRUE(s->SetSize(16 * 4 + 5).ok()); // header, three nodes, part of a fourth
        auto pwd = root->OpenStorage(u"PwdData");
        auto p = pwd->OpenStream(u"ObPool");
        std::string pool = *p->ReadAll();
        pool.replace(0, 8, "00000009");
        ASSERT_TRUE(p->WriteAll(pool).ok());
        ASSERT_TRUE(root->Commit().ok());
    }
    CQuorvellineDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(bank).ok());
    EXPECT_EQ(reopened.records().size(), 3u);
    EXPECT_TRUE(reopened.folders().empty());
    ASSERT_EQ(reopened.passwords().size(), 9u);
    EXPECT_EQ(reopened.passwords()[8].uid, 0u);
    // The missing tree storage was created empty by the open.
    EXPECT_TRUE(ReadBankStream(bank, u"PwdTree/Struct"));
    // And the damaged bank saves and opens again.
    ASSERT_TRUE(reopened.Save().ok());
    CQuorvellineDoc again;
    ASSERT_TRUE(again.OnOpenDocument(bank, BankAccess::Read).ok());
    EXPECT_EQ(again.passwords().size(), 9u);
}
