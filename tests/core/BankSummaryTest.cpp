// The bank summary: defaults, the two standard sets as written and read, the byte count, and
// files checked with olefile and libgsf.
#include "core/BankSummary.h"

#include "platform/text/Format.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace kelvo {
namespace {

namespace fs = std::filesystem;

// Runs the test body in a time zone three hours east of UTC, so that UTC conversion shows.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard() {
        if (m_old)
            setenv("TZ", m_old->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_old;
};

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

std::vector<std::uint32_t> Ids(const cfb::PropertySection& s) {
    std::vector<std::uint32_t> ids;
    for (const cfb::Property& p : s.properties)
        ids.push_back(p.id);
    return ids;
}

BankSummary FilledSummary() {
    BankSummary s = DefaultBankSummary(A("Мой банк"), A("Иван"),
                                       OleDateTime::FromParts({2024, 3, 5, 14, 30, 15}));
    s.subject = A("Тема банка");
    s.keywords = A("ключ, слово");
    s.category = A("Категория");
    s.manager = A("Руководитель");
    s.company = A("ООО «Ромашка»");
    s.lastSaved = OleDateTime::FromParts({2024, 7, 1, 9, 0, 1});
    return s;
}

std::vector<UserProperty> FourUserProperties() {
    std::vector<UserProperty> list(4);
    list[0] = {A("Телефон"), UserProperty::Text, A("+7 123"), 0, {}};
    list[1] = {A("Число"), UserProperty::Number, {}, 42, {}};
    list[2] = {
        A("Дата"), UserProperty::DateTime, {}, 0, OleDateTime::FromParts({2020, 1, 2, 3, 4, 5})};
    list[3] = {A("Да/Нет"), UserProperty::YesNo, {}, -1, {}};
    return list;
}

TEST(BankSummaryTest, DefaultsAndApplicationName) {
    const OleDateTime now = OleDateTime::FromParts({2024, 3, 5, 14, 30, 15});
    BankSummary s = DefaultBankSummary(A("Банк1"), "ivan", now);
    EXPECT_EQ(s.title, A("Банк1"));
    EXPECT_EQ(s.author, "ivan");
    EXPECT_EQ(s.lastAuthor, "ivan");
    EXPECT_EQ(s.created, now);
    EXPECT_EQ(s.comments, A("Банк создан 05.03.2024 14:30:15 пользователем ivan."));
    EXPECT_EQ(s.templateName, A("(Нет)"));
    EXPECT_EQ(s.presentationFormat, "Screen");
    EXPECT_FALSE(s.lastSaved.valid);
    EXPECT_EQ(s.editTime, 0u);
    EXPECT_EQ(ApplicationNameText("Quorvelline 2003 Professional", "1.0.5.42"),
              A("Quorvelline 2003 Professional версия 1.0.5.42"));
    EXPECT_EQ(ApplicationNameText(), A("Quorvelline 2003 Professional версия ") + VersionText());

    const AnsiString user = CurrentUserName();
    EXPECT_FALSE(user.empty());
    EXPECT_LE(user.size(), 99u);
}

TEST(BankSummaryTest, SetsHoldThePropertiesInTheBankOrder) {
    BankSummary s = FilledSummary();
    cfb::PropertySet si = MakeSummaryInformation(s, 7, "App");
    EXPECT_EQ(si.clsid, cfb::fmtid::SummaryInformation);
    ASSERT_EQ(si.sections.size(), 1u);
    EXPECT_EQ(si.sections[0].codePage, 1251);
    // Unset dates (edit time, last printed) are not written at all.
    EXPECT_EQ(Ids(si.sections[0]),
              (std::vector<std::uint32_t>{18, 2, 3, 4, 5, 6, 8, 9, 7, 14, 15, 16, 19, 12, 13}));
    EXPECT_EQ(si.sections[0].Find(9)->text, "7");
    EXPECT_EQ(si.sections[0].Find(18)->text, "App");
    s.editTime = 6000000000; // ten minutes
    s.lastPrinted = OleDateTime::FromParts({2024, 1, 1, 0, 0, 0});
    s.created = OleDateTime{};
    EXPECT_EQ(Ids(MakeSummaryInformation(s, 0).sections[0]),
              (std::vector<std::uint32_t>{18, 2, 3, 4, 5, 6, 8, 9, 7, 14, 15, 16, 19, 10, 11, 13}));

    cfb::PropertySet dsi = MakeDocumentSummaryInformation(s, FourUserProperties());
    EXPECT_EQ(dsi.clsid, cfb::fmtid::DocSummaryInformation);
    ASSERT_EQ(dsi.sections.size(), 2u);
    EXPECT_EQ(Ids(dsi.sections[0]),
              (std::vector<std::uint32_t>{2, 14, 15, 3, 5, 6, 7, 8, 9, 10, 16}));
    EXPECT_EQ(dsi.sections[0].Find(16)->type, cfb::vt::Bool);
    EXPECT_EQ(dsi.sections[1].fmtid, cfb::fmtid::UserDefinedProperties);

    // The byte count goes after the rest, and a second one replaces the first.
    SetByteCount(dsi, 1234);
    SetByteCount(dsi, 5678);
    EXPECT_EQ(Ids(dsi.sections[0]).back(), 4u);
    EXPECT_EQ(dsi.sections[0].Find(4)->integer, 5678);
    SetByteCount(dsi, 1ull << 40);
    EXPECT_EQ(dsi.sections[0].Find(4)->integer, 2147483647);
}

TEST(BankSummaryTest, DatesAreStoredInUtcAndReadBackInWholeSeconds) {
    ZoneGuard zone("Europe/Moscow");
    BankSummary s = FilledSummary();
    cfb::PropertySet si = MakeSummaryInformation(s, 0);
    // 14:30:15 in Moscow (UTC+3) is 11:30:15 UTC: 2024-03-05T11:30:15Z in file-time ticks.
    const std::uint64_t expected = (1709638215ull + 11644473600ull) * 10000000ull;
    EXPECT_EQ(si.sections[0].Find(12)->fileTime, expected);

    si.sections[0].Set(12, cfb::PropertyValue::FileTimeValue(expected + 9999999)); // .9999999 s
    si.sections[0].Set(10, cfb::PropertyValue::FileTimeValue(6000000000));
    BankSummary back;
    ApplySummaryInformation(*cfb::ParsePropertySet(*cfb::SerializePropertySet(si)), back);
    EXPECT_EQ(back.created, s.created);
    EXPECT_EQ(back.lastSaved, s.lastSaved);
    EXPECT_FALSE(back.lastPrinted.valid);
    EXPECT_EQ(back.editTime, 6000000000u); // a duration: kept as it is
}

TEST(BankSummaryTest, ReadingKeepsFieldsForMissingWrongOrUnmappableProperties) {
    BankSummary before = FilledSummary();
    before.security = 5;
    cfb::PropertySet si;
    cfb::PropertySection s;
    s.fmtid = cfb::fmtid::SummaryInformation;
    s.codePage = 1252;
    s.properties = {{2, cfb::PropertyValue::I4(3)},            // title of the wrong type
                    {3, cfb::PropertyValue::Lpstr("Caf\xE9")}, // é has no place in 1251
                    {4, cfb::PropertyValue::Lpwstr(u"Пётр")},  // UTF-16 converts
                    {5, cfb::PropertyValue::Lpstr("plain")},   // Windows-1252 converts
                    {12, cfb::PropertyValue::Lpstr("not a date")},
                    {13, cfb::PropertyValue::FileTimeValue(0)},  // zero: not set
                    {19, cfb::PropertyValue::UI4(4000000000u)}}; // does not fit VT_I4
    si.sections.push_back(s);
    BankSummary after = before;
    ApplySummaryInformation(si, after);
    EXPECT_EQ(after.title, before.title);
    EXPECT_EQ(after.subject, before.subject);
    EXPECT_EQ(after.author, A("Пётр"));
    EXPECT_EQ(after.keywords, "plain");
    EXPECT_EQ(after.created, before.created);
    EXPECT_EQ(after.lastSaved, before.lastSaved);
    EXPECT_EQ(after.security, 5);

    // A set of another format identifier is not taken for the summary.
    si.sections[0].fmtid = cfb::fmtid::DocSummaryInformation;
    after = before;
    ApplySummaryInformation(si, after);
    EXPECT_EQ(after, before);
}

// --- In compound files ----------------------------------------------------------------

class BankSummaryFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                fs::path(std::string("kelvo-свойства-") + std::to_string(::getpid()) + "-" +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Runs /usr/bin/python3 with a script; returns its standard output.
    std::string Python(const std::string& script) {
        const fs::path file = m_dir / "check.py";
        std::ofstream(file) << script;
        return Run("/usr/bin/python3 '" + file.string() + "'");
    }
    static std::string Run(const std::string& command) {
        std::string out;
        if (FILE* p = popen(command.c_str(), "r")) {
            char buf[4096];
            std::size_t n;
            while ((n = fread(buf, 1, sizeof buf, p)) > 0)
                out.append(buf, n);
            pclose(p);
        }
        return out;
    }

    fs::path m_dir;
};

TEST_F(BankSummaryFileTest, OlefileAndLibgsfReadTheWrittenSets) {
    ZoneGuard zone("Europe/Moscow");
    const fs::path path = m_dir / u8"банк.Kvb";
    BankSummary s = FilledSummary();
    {
        auto root = cfb::Storage::CreateFile(path);
        ASSERT_TRUE(root);
        ASSERT_TRUE(WriteSummary(*root, s, 3, FourUserProperties(), A("Кельво версия 1.2.3.4")));
        ASSERT_TRUE(UpdateByteCount(*root));
        ASSERT_TRUE(root->Commit());
    }
    const std::string out = Python(R"(
import olefile
m = olefile.OleFileIO(')" + path.string() +
                                   R"(').get_metadata()
for a in ['title','subject','author','keywords','comments','template','last_saved_by',
          'revision_number','creating_application','category','manager','company',
          'presentation_target','create_time','last_saved_time','last_printed','codepage',
          'codepage_doc','links_dirty','num_pages']:
    v = getattr(m, a)
    if isinstance(v, bytes):
        v = v.decode('cp1251')
    print('%s=%s' % (a, v))
)");
    EXPECT_NE(out.find("title=Мой банк\n"), std::string::npos) << out;
    EXPECT_NE(out.find("subject=Тема банка\n"), std::string::npos);
    EXPECT_NE(out.find("author=Иван\n"), std::string::npos);
    EXPECT_NE(out.find("keywords=ключ, слово\n"), std::string::npos);
    EXPECT_NE(out.find("comments=Банк создан 05.03.2024 14:30:15 пользователем Иван.\n"),
              std::string::npos);
    EXPECT_NE(out.find("template=(Нет)\n"), std::string::npos);
    EXPECT_NE(out.find("last_saved_by=Иван\n"), std::string::npos);
    EXPECT_NE(out.find("revision_number=3\n"), std::string::npos);
    EXPECT_NE(out.find("creating_application=Кельво версия 1.2.3.4\n"), std::string::npos);
    EXPECT_NE(out.find("category=Категория\n"), std::string::npos);
    EXPECT_NE(out.find("manager=Руководитель\n"), std::string::npos);
    EXPECT_NE(out.find("company=ООО «Ромашка»\n"), std::string::npos);
    EXPECT_NE(out.find("presentation_target=Screen\n"), std::string::npos);
    EXPECT_NE(out.find("create_time=2024-03-05 11:30:15\n"), std::string::npos); // UTC
    EXPECT_NE(out.find("last_saved_time=2024-07-01 06:00:01\n"), std::string::npos);
    EXPECT_NE(out.find("last_printed=None\n"), std::string::npos);
    EXPECT_NE(out.find("codepage=1251\n"), std::string::npos);
    EXPECT_NE(out.find("codepage_doc=1251\n"), std::string::npos);
    EXPECT_NE(out.find("links_dirty=False\n"), std::string::npos);

    // libgsf: the byte count and the user-defined names and values.
    const std::string gsf =
        Run("gsf props '" + path.string() + "' gsf:byte-count Телефон Число Дата Да/Нет 2>&1");
    // The byte count is the size on disk before the final commit.
    const std::string key = "gsf:byte-count: \t= ";
    const std::size_t at = gsf.find(key);
    ASSERT_NE(at, std::string::npos) << gsf;
    const long long byteCount = std::atoll(gsf.c_str() + at + key.size());
    EXPECT_GT(byteCount, 1536);
    EXPECT_LE(byteCount, static_cast<long long>(fs::file_size(path)));
    EXPECT_NE(gsf.find("Телефон: \t= \"+7 123\""), std::string::npos) << gsf;
    EXPECT_NE(gsf.find("Число: \t= 42"), std::string::npos) << gsf;
    EXPECT_NE(gsf.find("Дата: \t= 2020-01-02T00:04:05Z"), std::string::npos) << gsf;
    EXPECT_NE(gsf.find("Да/Нет: \t= TRUE"), std::string::npos) << gsf;

    // Our own reading: everything read back, user properties in order, last author replaced.
    auto root = cfb::Storage::OpenFile(path);
    ASSERT_TRUE(root);
    BankSummary back = DefaultBankSummary("x", "y", OleDateTime::FromParts({2000, 1, 1}));
    std::vector<UserProperty> user{UserProperty{}};
    ReadSummary(*root, A("Пётр"), back, user);
    BankSummary expected = s;
    expected.lastAuthor = A("Пётр");
    EXPECT_EQ(back, expected);
    EXPECT_EQ(user, FourUserProperties());
}

TEST_F(BankSummaryFileTest, SavingAgainReplacesTheSetsAndKeepsTheUserSection) {
    auto root = cfb::Storage::CreateInMemory();
    ASSERT_TRUE(root);
    BankSummary s = FilledSummary();
    ASSERT_TRUE(WriteSummary(*root, s, 0, FourUserProperties()));
    s.title = A("Второй");
    std::vector<UserProperty> fewer = FourUserProperties();
    fewer.erase(fewer.begin());
    ASSERT_TRUE(WriteSummary(*root, s, 1, fewer));
    ASSERT_TRUE(WriteByteCount(*root, 4096));

    auto dsi = cfb::ReadPropertySet(*root, cfb::kDocSummaryInformationName);
    ASSERT_TRUE(dsi);
    EXPECT_EQ(dsi->sections.at(0).Find(4)->integer, 4096);
    BankSummary back;
    std::vector<UserProperty> user;
    ReadSummary(*root, "me", back, user);
    EXPECT_EQ(back.title, A("Второй"));
    EXPECT_EQ(user, fewer);
    EXPECT_FALSE(UpdateByteCount(*root)); // no file behind a memory storage
}

TEST_F(BankSummaryFileTest, ABankWithoutOrWithDamagedSetsKeepsTheDefaults) {
    auto root = cfb::Storage::CreateInMemory();
    ASSERT_TRUE(root);
    const BankSummary defaults = DefaultBankSummary(A("Банк"), "ivan");
    BankSummary s = defaults;
    std::vector<UserProperty> user = FourUserProperties();
    ReadSummary(*root, "ivan", s, user);
    EXPECT_EQ(s, defaults);
    EXPECT_TRUE(user.empty());
    EXPECT_TRUE(root->Enumerate()->empty()); // reading creates nothing

    for (const std::string& junk :
         {std::string(), std::string("\xFE\xFF\0\0", 4), std::string(300, '\xFF')}) {
        for (auto name : {cfb::kSummaryInformationName, cfb::kDocSummaryInformationName}) {
            auto stream = root->CreateStream(name);
            ASSERT_TRUE(stream);
            ASSERT_TRUE(stream->WriteAll(junk));
        }
        s = defaults;
        ReadSummary(*root, "ivan", s, user);
        EXPECT_EQ(s, defaults);
        EXPECT_TRUE(user.empty());
    }
}

TEST_F(BankSummaryFileTest, CfbtoolPropsShowsTheSetsAsJson) {
    const fs::path tool = fs::path(KELVO_BINARY_DIR) / "tools" / "cfbtool";
    if (!fs::exists(tool))
        GTEST_SKIP() << "cfbtool is not built";
    const fs::path path = m_dir / u8"банк.Kvb";
    {
        auto root = cfb::Storage::CreateFile(path);
        ASSERT_TRUE(root);
        ASSERT_TRUE(WriteSummary(*root, FilledSummary(), 2, FourUserProperties()));
        ASSERT_TRUE(root->Commit());
    }
    const std::string quoted = "'" + path.string() + "'";
    const auto summary = nlohmann::json::parse(Run(tool.string() + " props --summary " + quoted));
    const auto& si = summary.at("SummaryInformation").at("sections").at(0);
    EXPECT_EQ(si.at("fmtid"), "F29F85E0-4FF9-1068-AB91-08002B27B3D9");
    EXPECT_EQ(si.at("code_page"), 1251);
    EXPECT_EQ(si.at("properties").at(1).at("id"), 2);
    EXPECT_EQ(si.at("properties").at(1).at("value"), "Мой банк");

    const auto dsi = nlohmann::json::parse(
        Run(tool.string() + " props " + quoted + " '\\x05DocumentSummaryInformation'"));
    const auto& user = dsi.at("sections").at(1);
    EXPECT_EQ(user.at("fmtid"), "D5CDD505-2E9C-101B-9397-08002B2CF9AE");
    const auto& props = user.at("properties");
    ASSERT_EQ(props.size(), 4u);
    EXPECT_EQ(props.at(0).at("name"), "Телефон");
    EXPECT_EQ(props.at(0).at("type"), "VT_LPSTR");
    EXPECT_EQ(props.at(1).at("value"), 42);
    EXPECT_EQ(props.at(2).at("type"), "VT_FILETIME");
    EXPECT_EQ(props.at(3).at("value"), true);

    EXPECT_NE(std::system((tool.string() + " props " + quoted + " Nothing 2>/dev/null").c_str()),
              0);
}

} // namespace
} // namespace kelvo
