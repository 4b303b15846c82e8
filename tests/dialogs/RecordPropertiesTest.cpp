// The item properties sheet's texts: the size of a record's text, times, and what OK changes.
#include "dialogs/RecordProperties.h"

#include "core/RecordBody.h"
#include "platform/storage/BankStorage.h"
#include "tests/core/BankFixture.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

TEST(RecordPropertiesTest, SizeOfTheTextWithoutCreatingAnything) {
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument().ok());
    TreeNode* record = doc.records().first();
    // A bank never saved that has no working file yet: 0 bytes, and no file appears.
    EXPECT_EQ(RecordSizeText(doc, TreeKind::Records, record->item.uid), A("0 байт (0 байт)"));
    EXPECT_TRUE(doc.tempPath().empty());
    // A folder has no text.
    const RecordProperties folder =
        ReadRecordProperties(doc, TreeKind::Folders, *doc.folders().first());
    EXPECT_EQ(folder.size, A("(Недоступно)"));

    test::TempFolder dir;
    const auto bank = dir / "банк.Kvb";
    ASSERT_TRUE(doc.SaveAs(bank).ok());
    TreeNode* other = doc.AddNode(TreeKind::Records, record, "other");
    ASSERT_TRUE(doc.SaveBody(record->item, std::string(1536, 'x')).ok());
    EXPECT_EQ(RecordSizeText(doc, TreeKind::Records, record->item.uid), A("1,5 Кб (1536 байт)"));
    // A record whose text stream was never written: 0, and still no stream afterwards.
    EXPECT_EQ(RecordSizeText(doc, TreeKind::Records, other->item.uid), A("0 байт (0 байт)"));
    {
        auto root = OpenOrCreateBankFile(bank);
        ASSERT_TRUE(root);
        EXPECT_FALSE(RecordBodySize(*root, other->item.uid));
        // While the bank file is held elsewhere the size cannot be read.
        EXPECT_EQ(RecordSizeText(doc, TreeKind::Records, record->item.uid), A("(Недоступно)"));
    }
    EXPECT_EQ(RecordSizeText(doc, TreeKind::Records, record->item.uid), A("1,5 Кб (1536 байт)"));
}

TEST(RecordPropertiesTest, FieldsAndOk) {
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument().ok());
    TreeNode* node = doc.AddNode(TreeKind::Folders, doc.folders().first(), A("Почта"));
    node->item.notes = A("заметка");
    node->item.keywords = A("почта, работа");
    node->item.created = OleDateTime::FromParts({2024, 3, 5, 9, 7, 2});
    node->item.opened = OleDateTime{};
    doc.SetModifiedFlag(false);

    RecordProperties fields = ReadRecordProperties(doc, TreeKind::Folders, *node);
    EXPECT_EQ(fields.title, A("Почта"));
    EXPECT_EQ(fields.uid, "00000002");
    EXPECT_EQ(fields.created, "05.03.2024 9:07:02");
    EXPECT_EQ(fields.opened, A("(Неизвестно)"));
    EXPECT_EQ(fields.notes, A("заметка"));
    EXPECT_EQ(fields.keywords, A("почта, работа"));

    // OK with nothing changed still marks the bank modified.
    ApplyRecordProperties(doc, *node, fields);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(node->title, A("Почта"));
    fields.title.clear(); // an empty title is accepted
    fields.keywords = A("дом");
    ApplyRecordProperties(doc, *node, fields);
    EXPECT_EQ(node->title, "");
    EXPECT_EQ(node->item.keywords, A("дом"));
    EXPECT_EQ(node->item.notes, A("заметка"));
}

} // namespace
} // namespace kelvo
