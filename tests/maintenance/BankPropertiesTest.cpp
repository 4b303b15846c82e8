// The facts and figures of the bank properties sheet: file facts as Linux has them, the
// statistics of the summary, the composition in tree order.
#include "maintenance/BankProperties.h"
#include "core/Messages.h"
#include "platform/text/Format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

class Properties : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelvo-props-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        base = pattern;
        fs::create_directories(base / "данные");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(base, ec);
    }
    fs::path File(const std::string& name, std::size_t size) {
        const fs::path path = base / "данные" / name;
        std::ofstream(path, std::ios::binary) << std::string(size, 'x');
        return path;
    }
    fs::path base;
};

std::string Unknown() {
    return std::string(StringText(msg::UnknownTime));
}

TEST_F(Properties, FileFactsGiveSizeTimesAndTheAttributesLinuxHas) {
    const fs::path big = File("банк.Kvb", 2621440);
    // A known modification time, to the second.
    const std::time_t when = 1700000000; // 14.11.2023, local time as the zone says
    const struct timespec times[2] = {{when - 60, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, big.c_str(), times, 0), 0);
    FileFacts facts = ReadFileFacts(big);
    ASSERT_TRUE(facts.found);
    EXPECT_EQ(facts.size, 2621440u);
    EXPECT_EQ(AnsiToUtf8(FormatSizeWithBytes(facts.size)), "2,5 Мб (2621440 байт)");
    ASSERT_TRUE(facts.modified && facts.accessed);
    const DateTimeParts local = UnixToLocalParts(when);
    EXPECT_EQ(facts.modified->Parts(), local);
    EXPECT_EQ(FileDateText(facts.modified), AnsiToUtf8(FormatItemDateTime(*facts.modified)));
    EXPECT_EQ(facts.accessed->Parts(), UnixToLocalParts(when - 60));
    EXPECT_FALSE(facts.readOnly);
    EXPECT_FALSE(facts.hidden);
    EXPECT_FALSE(facts.archive || facts.system);

    EXPECT_EQ(AnsiToUtf8(FormatSizeWithBytes(ReadFileFacts(File("k.Kvb", 1024)).size)),
              "1024 байт (1024 байт)");

    // Read-only is what the permission bits say for this user; hidden is a leading dot.
    const fs::path hidden = File(".скрытый.Kvb", 10);
    fs::permissions(hidden, fs::perms::owner_read | fs::perms::group_read);
    facts = ReadFileFacts(hidden);
    EXPECT_TRUE(facts.readOnly);
    EXPECT_TRUE(facts.hidden);

    facts = ReadFileFacts(base / "нет.Kvb");
    EXPECT_FALSE(facts.found);
    EXPECT_EQ(FileDateText(facts.created), Unknown());
}

TEST_F(Properties, ABankNeverSavedShowsItsTitleAndItsWorkingFileOnceItHasOne) {
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    BankFileFacts facts = ReadBankFileFacts(doc);
    EXPECT_EQ(facts.name, "Безымянный");
    EXPECT_TRUE(facts.folder.empty());
    EXPECT_FALSE(facts.workingFile);
    EXPECT_FALSE(facts.file.found);

    ASSERT_TRUE(doc.WorkingStorage());
    facts = ReadBankFileFacts(doc);
    EXPECT_TRUE(facts.workingFile);
    EXPECT_EQ(facts.folder, doc.tempPath());
    EXPECT_FALSE(facts.file.found); // the working file's facts are not the bank's

    const fs::path bank = base / "данные" / "мой банк.Kvb";
    ASSERT_TRUE(doc.SaveAs(bank));
    facts = ReadBankFileFacts(doc);
    EXPECT_EQ(facts.name, "мой банк.Kvb");
    EXPECT_EQ(fs::canonical(facts.folder), fs::canonical(base / "данные"));
    EXPECT_FALSE(facts.workingFile);
    ASSERT_TRUE(facts.file.found);
    EXPECT_EQ(facts.file.size, fs::file_size(bank));
}

TEST(PropertiesFigures, StatisticsAndDatesOfASummary) {
    BankSummary s = DefaultBankSummary("t", "u");
    auto values = StatisticsValues(s);
    EXPECT_EQ(values[0], "(Нет)");
    for (std::size_t i = 1; i <= 9; ++i)
        EXPECT_EQ(values[i], "0") << i;
    EXPECT_EQ(values[10], "Нет");
    EXPECT_EQ(values[11], "Screen");

    s.pages = 3;
    s.words = -1;
    s.characters = 5;
    s.lines = 7;
    s.slides = 11;
    s.hiddenObjects = 13;
    s.notes = 17;
    s.multimediaClips = 19;
    s.paragraphs = 23;
    s.linksDirty = true;
    values = StatisticsValues(s);
    const char* expected[] = {"3", "-1", "5", "7", "11", "13", "17", "19", "23", "Да"};
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(values[i + 1], expected[i]) << i;

    // Not set (zero) and invalid dates are unknown; a set one is the date and time.
    EXPECT_EQ(SummaryDateText(OleDateTime{}), Unknown());
    EXPECT_EQ(SummaryDateText(OleDateTime{0.0, true}), Unknown());
    const OleDateTime date = OleDateTime::FromParts({2026, 12, 5, 21, 48, 47});
    EXPECT_EQ(SummaryDateText(date), "05.12.2026 21:48:47");
}

TEST(PropertiesFigures, CompositionFollowsTheTreesAndTheEntryList) {
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.summary().title = Utf8ToAnsiLossy("Заголовок");
    TreeNode* root = doc.records().first();
    TreeNode* a = doc.AddNode(TreeKind::Records, root, "a");
    doc.AddNode(TreeKind::Records, root, "b");
    doc.AddNode(TreeKind::Records, a, "a1"); // added last, listed under "a"
    TreeNode* f = doc.AddNode(TreeKind::Folders, doc.folders().first(), "f");
    for (const char* title : {"z", "y"}) {
        auto entry = std::make_unique<PwdItem>();
        entry->title = title;
        doc.AddPassword(std::move(entry), f);
    }
    const BankComposition c = ReadBankComposition(doc);
    EXPECT_EQ(c.title, "Заголовок");
    EXPECT_EQ(c.records, (std::vector<std::string>{"Корневая запись", "a", "a1", "b"}));
    EXPECT_EQ(c.folders, (std::vector<std::string>{"Хранилище паролей", "f"}));
    ASSERT_EQ(c.passwords.size(), 2u);
    EXPECT_EQ(doc.passwords()[0].title, Utf8ToAnsiLossy(c.passwords[0]));
    EXPECT_EQ(doc.passwords()[1].title, Utf8ToAnsiLossy(c.passwords[1]));
}

} // namespace
