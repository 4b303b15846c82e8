// Import of records from another compound file: the loaded source tree, fresh UIDs, bodies
// byte for byte, source times, files that are not banks, stale streams, the bank's own file.
#include "core/RecordImport.h"
#include "BankFixture.h"
#include "core/Messages.h"
#include "core/RecordBody.h"

using namespace kelvo;
using kelvo::test::ReadBankStream;
using kelvo::test::ReadFileBytes;
using kelvo::test::TempFolder;
using kelvo::test::WriteFileBytes;

namespace {

struct Recorder : Progress {
    std::vector<std::string> texts;
    std::size_t upper = 0, steps = 0;
    void SetStatus(std::string_view text) override { texts.emplace_back(text); }
    void Start(std::size_t u) override { upper = u; }
    void Step() override { ++steps; }
};

OleDateTime Time(int year, int month, int day) {
    return OleDateTime::FromParts({year, month, day, 10, 20, 30});
}

std::string Binary(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 9)) & 0xFF);
    return bytes;
}

class Import : public ::testing::Test {
protected:
    void SetUp() override {
        // The source: its root { x { x1 (no body), x2 }, y } with times of 2001 and bodies
        // big and small (binary bytes, to see that nothing is interpreted).
        CQuorvellineDoc src;
        ASSERT_TRUE(src.OnNewDocument());
        TreeNode* root = src.records().first();
        for (int i = 0; i < 3; ++i) // UIDs that the destination also has
            src.AddNode(TreeKind::Records, root, "filler " + std::to_string(i));
        TreeNode* x = src.AddNode(TreeKind::Records, root, "x");
        TreeNode* x1 = src.AddNode(TreeKind::Records, x, "x1");
        TreeNode* x2 = src.AddNode(TreeKind::Records, x, "x2");
        TreeNode* y = src.AddNode(TreeKind::Records, root, "y");
        x->item.keywords = "k";
        x->item.notes = "n\r\nn";
        x->expanded = true;
        int day = 1;
        for (TreeNode* n : src.records().PreOrder()) {
            n->item.created = Time(2001, 1, day);
            n->item.saved = Time(2001, 2, day);
            n->item.opened = day % 2 ? Time(2001, 3, day) : OleDateTime::Invalid();
            ++day;
        }
        ASSERT_TRUE(src.SaveAs(source));
        for (TreeNode* n : {root, x, x2, y}) {
            const OleDateTime saved = n->item.saved;
            ASSERT_TRUE(src.SaveBody(n, Binary(n == x2 ? 300000 : 100 + n->item.uid, n->item.uid)));
            n->item.saved = saved;
        }
        src.records().Select(y, false);
        ASSERT_TRUE(src.Save());
        sourceUids = {root->item.uid, x->item.uid, x1->item.uid, x2->item.uid, y->item.uid};

        ASSERT_TRUE(doc.OnNewDocument());
        target = doc.AddNode(TreeKind::Records, doc.records().first(), "target");
        ASSERT_TRUE(doc.SaveAs(bank));
    }

    TempFolder folder;
    std::filesystem::path source = folder / "источник.Kvb";
    std::filesystem::path bank = folder / "банк.Kvb";
    std::vector<std::uint32_t> sourceUids;
    CQuorvellineDoc doc;
    TreeNode* target = nullptr;
};

TEST_F(Import, WholeTreeGetsFreshUidsSourceTimesAndIdenticalBodies) {
    const std::string sourceBefore = ReadFileBytes(source);
    RecordImportSource from;
    Recorder seen;
    ASSERT_TRUE(from.Load(source, &seen));
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"Загрузка структуры банка...", ""}));
    EXPECT_EQ(seen.upper, 9u); // 8 records + 1
    ASSERT_EQ(from.tree().size(), 8u);
    // Stored flags are ignored: the first record is selected and the only one open.
    EXPECT_EQ(from.tree().selected(), from.tree().first());
    for (TreeNode* n : from.tree().PreOrder())
        EXPECT_EQ(n->expanded, n == from.tree().first()) << n->title;

    Recorder copying;
    doc.SetModifiedFlag(false);
    auto imported = ImportRecords(doc, target, from, from.tree().first(), &copying);
    ASSERT_TRUE(imported);
    EXPECT_EQ(imported->records, 8u);
    EXPECT_EQ(imported->bodies, 4u);
    EXPECT_EQ(imported->bodiesFailed, 0u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(copying.texts.back(), "Копирование записи 'y'...");
    EXPECT_EQ(ReadFileBytes(source), sourceBefore);

    TreeNode* top = imported->top;
    ASSERT_EQ(target->children, std::vector<TreeNode*>{top});
    EXPECT_EQ(AnsiToUtf8(top->title), "Корневая запись");
    // The destination had UIDs 1 and 2: the copies get 3.. in pre-order.
    std::vector<TreeNode*> copies;
    for (TreeNode* n = top; n && RecordTree::IsInSubtree(n, top); n = doc.records().NextPreOrder(n))
        copies.push_back(n);
    ASSERT_EQ(copies.size(), 8u);
    for (std::size_t i = 0; i < copies.size(); ++i)
        EXPECT_EQ(copies[i]->item.uid, 3 + i);

    // Bodies and times: the records of the source by pre-order position.
    CQuorvellineDoc check;
    ASSERT_TRUE(check.OnOpenDocument(source));
    const auto originals = check.records().PreOrder();
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const TreeNode& o = *originals[i];
        const TreeNode& c = *copies[i];
        EXPECT_EQ(c.title, o.title);
        EXPECT_EQ(c.item.keywords, o.item.keywords);
        EXPECT_EQ(c.item.notes, o.item.notes);
        EXPECT_EQ(c.item.created, o.item.created);
        EXPECT_EQ(c.item.saved, o.item.saved);
        EXPECT_EQ(c.item.opened, o.item.opened);
        EXPECT_EQ(c.children.size(), o.children.size());
        auto body = ReadBankStream(bank, u"RecData/" + BodyStreamName(c.item.uid));
        auto original = ReadBankStream(source, u"RecData/" + BodyStreamName(o.item.uid));
        EXPECT_EQ(body.has_value(), original.has_value()) << o.title;
        if (body && original) {
            EXPECT_TRUE(*body == *original) << o.title;
        }
    }
}

TEST_F(Import, ASubtreeReplacesStaleStreamsUnderItsNewUids) {
    // Bodies left behind by records never saved in the tree, under the UIDs the copies get.
    ASSERT_TRUE(doc.SaveBody(target, "target body"));
    {
        auto root = cfb::Storage::OpenFile(bank);
        ASSERT_TRUE(root);
        ASSERT_TRUE(WriteRecordBody(*root, 3, "stale 3"));
        ASSERT_TRUE(WriteRecordBody(*root, 4, "stale 4"));
    }
    RecordImportSource from;
    ASSERT_TRUE(from.Load(source));
    TreeNode* x = from.tree().FindByUid(sourceUids[1]);
    ASSERT_NE(x, nullptr);
    auto imported = ImportRecords(doc, target, from, x);
    ASSERT_TRUE(imported);
    EXPECT_EQ(imported->records, 3u);
    EXPECT_EQ(imported->top->item.uid, 3u);
    EXPECT_EQ(*doc.ReadBody(3), *ReadBankStream(source, u"RecData/" + BodyStreamName(x->item.uid)));
    EXPECT_FALSE(doc.ReadBody(4)); // x1 has no body: nor has its copy
    EXPECT_EQ(*doc.ReadBody(target->item.uid), "target body");
}

TEST_F(Import, ACompoundFileThatIsNotABankShowsAnEmptyTreeAndStaysAsItWas) {
    const auto other = folder / "документ.doc";
    {
        auto root = cfb::Storage::CreateFile(other);
        ASSERT_TRUE(root);
        auto s = root->CreateStream(u"WordDocument");
        ASSERT_TRUE(s);
        ASSERT_TRUE(s->WriteAll("text"));
    }
    const std::string before = ReadFileBytes(other);
    RecordImportSource from;
    ASSERT_TRUE(from.Load(source));
    ASSERT_TRUE(from.Load(other));
    EXPECT_TRUE(from.loaded());
    EXPECT_TRUE(from.tree().empty());
    EXPECT_EQ(ReadFileBytes(other), before);
    EXPECT_FALSE(ImportRecords(doc, target, from, from.tree().first()));
    EXPECT_TRUE(target->children.empty());

    // Not a compound file at all: the open message, the tree as it was, not loaded.
    ASSERT_TRUE(from.Load(source));
    const auto text = folder / "text.Kvb";
    WriteFileBytes(text, "just text");
    auto failed = from.Load(text);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().messageId, msg::ImportOpenFailed);
    // The message names the file and what is wrong with it.
    EXPECT_NE(failed.error().message.find(text.string()), std::string::npos)
        << failed.error().message;
    EXPECT_NE(failed.error().message.find("файл не является составным файлом"), std::string::npos)
        << failed.error().message;
    EXPECT_FALSE(from.loaded());
    EXPECT_EQ(from.tree().size(), 8u);
    EXPECT_FALSE(ImportRecords(doc, target, from, from.tree().first()));
    failed = from.Load(folder / "missing.Kvb");
    ASSERT_FALSE(failed);
    EXPECT_NE(failed.error().message.find("файл не найден"), std::string::npos)
        << failed.error().message;
}

TEST_F(Import, ADamagedSourceTreeLoadsWhatCanBeReadAndBodyStoragesAreNoBodies) {
    const auto damaged = folder / "повреждён.Kvb";
    {
        auto root = cfb::Storage::CreateFile(damaged);
        ASSERT_TRUE(root);
        auto tree = root->CreateStorage(u"RecTree");
        ASSERT_TRUE(tree);
        // A header that promises a million records, two records climbing levels wildly,
        // and an ObPool that ends in the middle of the first block.
        std::string structBytes(16, '\0');
        structBytes[0] = '\x40';
        structBytes[2] = '\x0F';
        for (int level : {7, -3}) {
            std::string r(16, '\0');
            r[0] = static_cast<char>(level + 10); // UID
            r[4] = static_cast<char>(level & 0xFF);
            r[5] = r[6] = r[7] = static_cast<char>(level < 0 ? 0xFF : 0);
            structBytes += r;
        }
        ASSERT_TRUE(tree->CreateStream(u"Struct")->WriteAll(structBytes));
        ASSERT_TRUE(tree->CreateStream(u"ObPool")->WriteAll("begin obj(TreeItem)\r\n0000001"));
        auto data = root->CreateStorage(u"RecData");
        ASSERT_TRUE(data);
        for (std::uint32_t uid : {0u, 1u, 17u, 7u})
            ASSERT_TRUE(data->CreateStorage(BodyStreamName(uid)));
    }
    RecordImportSource from;
    Recorder seen;
    ASSERT_TRUE(from.Load(damaged, &seen));
    ASSERT_FALSE(from.tree().empty());
    auto imported = ImportRecords(doc, target, from, from.tree().first());
    ASSERT_TRUE(imported);
    EXPECT_EQ(imported->records, 1 + from.tree().first()->children.size());
    EXPECT_EQ(imported->bodies, 0u);
    EXPECT_FALSE(doc.ReadBody(imported->top->item.uid));
}

TEST_F(Import, FromTheOpenBanksOwnFileTheBodiesComeAlong) {
    ASSERT_TRUE(doc.OnOpenDocument(source));
    TreeNode* y = doc.records().FindByUid(sourceUids[4]);
    RecordImportSource from;
    ASSERT_TRUE(from.Load(source));
    TreeNode* x = from.tree().FindByUid(sourceUids[1]);
    auto imported = ImportRecords(doc, y, from, x);
    ASSERT_TRUE(imported);
    EXPECT_EQ(imported->bodies, 2u);
    EXPECT_EQ(imported->bodiesFailed, 0u);
    const TreeNode* copy = imported->top;
    EXPECT_EQ(*doc.ReadBody(copy->item.uid), *doc.ReadBody(sourceUids[1]));
    EXPECT_EQ(*doc.ReadBody(copy->children[1]->item.uid), *doc.ReadBody(sourceUids[3]));
}

} // namespace
