// The password entry list, its PwdData/ObPool stream and the text form of an entry.
#include "core/PwdList.h"
#include "platform/base/MemoryStream.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {

std::unique_ptr<PwdItem> Entry(std::uint32_t folder, const std::string& title) {
    auto item = std::make_unique<PwdItem>();
    item->folderUid = folder;
    item->title = title;
    return item;
}

std::string Save(const PwdList& list) {
    MemoryStream s;
    EXPECT_TRUE(SavePwdList(list, s).ok());
    return s.bytes();
}

} // namespace

TEST(PwdList, EmptyListIsOneCountLine) {
    PwdList list;
    EXPECT_EQ(Save(list), "00000000\r\n");
}

TEST(PwdList, UidsListOrderAndCategories) {
    PwdList list;
    for (int i = 0; i < 3; ++i)
        list.Add(Entry(1, "e"));
    EXPECT_TRUE(list.Remove(2));
    EXPECT_FALSE(list.Remove(2));
    list.Add(Entry(1, "f"));
    std::vector<std::uint32_t> uids;
    for (const auto& e : list)
        uids.push_back(e->uid);
    EXPECT_EQ(uids, (std::vector<std::uint32_t>{1, 3, 2}));

    list[0].category = Utf8ToAnsiLossy("Банк");
    list[1].category = Utf8ToAnsiLossy("банк");
    list[2].category = Utf8ToAnsiLossy("Банк");
    EXPECT_EQ(list.Categories().size(), 2u);

    list[1].folderUid = 7;
    list.MoveFolderEntries(1, 4);
    EXPECT_EQ(list.InFolder(4).size(), 2u);
    EXPECT_EQ(list.InFolder(7).size(), 1u);
}

TEST(PwdList, RemoveManyTakesTheFirstEntryOfEachUidInOnePass) {
    PwdList list;
    for (int i = 0; i < 5; ++i)
        list.Add(Entry(1, "e"));
    // A damaged bank may repeat a UID: each mention removes one entry, the first one first.
    auto twin = Entry(1, "twin");
    twin->uid = 3;
    PwdItem& second = list.Append(std::move(twin));
    EXPECT_EQ(list.RemoveMany({3, 5, 9, 1}), 3u);
    std::vector<std::uint32_t> uids;
    for (const auto& e : list)
        uids.push_back(e->uid);
    EXPECT_EQ(uids, (std::vector<std::uint32_t>{2, 4, 3}));
    EXPECT_EQ(list.Find(3), &second);
    EXPECT_EQ(list.NextFreeUid(), 1u);
    EXPECT_EQ(list.RemoveMany({3, 3}), 1u);
    EXPECT_EQ(list.Find(3), nullptr);
}

TEST(PwdList, BlockBytesAndRoundTrip) {
    PwdList list;
    auto& e = list.Add(Entry(3, Utf8ToAnsiLossy("Почта")));
    e.icon = -1;
    e.login = "user";
    e.password = "p\\w\r\nd\nx";
    e.notes = "n";
    list.Add(Entry(5, "second"));
    const std::string bytes = Save(list);
    const std::string first = "00000002\r\n"
                              "begin obj(PwdItem)\r\n"
                              "00000001\r\n"
                              "00000003\r\n" +
                              Utf8ToAnsiLossy("Почта") +
                              "\r\n"
                              "FFFFFFFF\r\n"
                              "\r\n"
                              "user\r\n"
                              "p\\\\w\\nd\\nx\r\n"
                              "\r\n"
                              "n\r\n"
                              "end obj(PwdItem)\r\n";
    EXPECT_EQ(bytes.substr(0, first.size()), first);

    PwdList loaded;
    MemoryStream s(bytes);
    LoadPwdList(loaded, s);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].password, "p\\w\r\nd\r\nx");
    EXPECT_EQ(loaded[0].folderUid, 3u);
    // A stored icon of FFFFFFFF saturates when read, as the original's reader does.
    EXPECT_EQ(loaded[0].icon, 0x7FFFFFFF);
    EXPECT_EQ(loaded[1].title, "second");
    EXPECT_EQ(loaded.Find(2), &loaded[1]);
}

TEST(PwdList, DamagedCounts) {
    // A count larger than the blocks: the missing entries are empty and kept.
    PwdList list;
    list.Add(Entry(1, "only"));
    std::string bytes = Save(list);
    bytes.replace(0, 8, "00000003");
    PwdList loaded;
    MemoryStream s(bytes);
    LoadPwdList(loaded, s);
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[2].uid, 0u);
    EXPECT_EQ(loaded[2].title, "");

    // A huge count ends soon after the stream does.
    PwdList huge;
    MemoryStream h("7FFFFFFF\r\n");
    LoadPwdList(huge, h);
    EXPECT_EQ(huge.size(), kMaxEntriesPastEnd);

    // Negative, empty and garbage counts read nothing.
    for (const char* text : {"-5\r\n", "", "zz\r\nbegin obj(PwdItem)\r\n"}) {
        PwdList none;
        MemoryStream n(text);
        LoadPwdList(none, n);
        EXPECT_TRUE(none.empty()) << text;
    }
}

TEST(PwdList, TextForm) {
    PwdItem item;
    item.title = "T";
    item.icon = -3;
    item.password = "pw";
    EXPECT_EQ(AnsiToUtf8(PwdItemText(item)),
              "[Пароль]\nНазвание: T, Номер значка: -3, Категория: , Логин: , Пароль: pw, "
              "Ссылка: , Заметки: ");
}
