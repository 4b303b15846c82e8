// User-defined properties: the user-defined section written and read, and sections written by
// other programs.
#include "core/UserProperty.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

UserProperty Make(const char* utf8Name, int type) {
    UserProperty p;
    p.name = Utf8ToAnsiLossy(utf8Name);
    p.type = type;
    return p;
}

std::string Wide(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

std::vector<UserProperty> SampleList() {
    std::vector<UserProperty> list;
    list.push_back(Make("Телефон", UserProperty::Text));
    list.back().text = Utf8ToAnsiLossy("+7 (495) 123-45-67, доб. 5");
    list.push_back(Make("Номер документа", UserProperty::Number));
    list.back().number = -2147483647 - 1;
    list.push_back(Make("Дата записи", UserProperty::DateTime));
    list.back().date = OleDateTime::FromParts({2023, 11, 30, 23, 59, 58});
    list.push_back(Make("Проверено", UserProperty::YesNo));
    list.back().number = 1;
    list.push_back(Make("телефон", UserProperty::YesNo)); // differs only in case
    list.back().number = 0;
    return list;
}

TEST(UserPropertyTest, FourTypesRoundTripInOrderThroughTheStream) {
    std::vector<UserProperty> list = SampleList();
    list.insert(list.begin() + 2, Make("Неизвестно", UserProperty::Unknown));
    list.push_back(Make("Семь", 7));

    cfb::PropertySet set;
    set.sections.push_back(MakeUserDefinedSection(list));
    auto bytes = cfb::SerializePropertySet(set);
    ASSERT_TRUE(bytes);
    auto parsed = cfb::ParsePropertySet(*bytes);
    ASSERT_TRUE(parsed);
    const cfb::PropertySection& section = parsed->sections.at(0);
    EXPECT_EQ(section.fmtid, cfb::fmtid::UserDefinedProperties);
    EXPECT_EQ(section.codePage, 1251);
    // Identifiers from 2 up, names as the bank's own bytes, types as the format has them.
    ASSERT_EQ(section.dictionary.size(), 5u);
    for (std::uint32_t i = 0; i < 5; ++i)
        EXPECT_EQ(section.dictionary[i].id, i + 2);
    EXPECT_EQ(section.dictionary[1].name, Utf8ToAnsiLossy("Номер документа"));
    EXPECT_EQ(section.Find(2)->type, cfb::vt::Lpstr);
    EXPECT_EQ(section.Find(3)->type, cfb::vt::I4);
    EXPECT_EQ(section.Find(4)->type, cfb::vt::FileTime);
    EXPECT_EQ(section.Find(5)->type, cfb::vt::Bool);

    std::vector<UserProperty> back = ReadUserDefinedSection(section);
    std::vector<UserProperty> expected = SampleList();
    expected[3].number = -1; // yes comes back as -1
    EXPECT_EQ(back, expected);
}

TEST(UserPropertyTest, SectionsOfOtherProgramsKeepWhatMapsAndDropTheRest) {
    cfb::PropertySection s;
    s.fmtid = cfb::fmtid::UserDefinedProperties;
    s.codePage = cfb::kCodePageUnicode;
    s.hasDictionary = true;
    s.dictionary = {{2, Wide(u"Проект")},       {3, Wide(u"Число")}, {4, Wide(u"Большое")},
                    {5, Wide(u"Вещественное")}, {6, Wide(u"项目")},  {7, Wide(u"Флаг")},
                    {8, Wide(u"Когда")},        {9, Wide(u"Текст")}};
    cfb::PropertyValue real;
    real.type = cfb::vt::R8;
    real.real = 2.5;
    s.properties = {{7, cfb::PropertyValue::Bool(true)},
                    {2, cfb::PropertyValue::Lpstr(Wide(u"Ёлка"))}, // UTF-16 in a 1200 section
                    {3, cfb::PropertyValue::I2(-3)},
                    {4, cfb::PropertyValue::UI4(3000000000u)},
                    {5, real},
                    {6, cfb::PropertyValue::Lpwstr(u"x")},
                    {8, cfb::PropertyValue::FileTimeValue(133000000001234567ull)},
                    {9, cfb::PropertyValue::Lpwstr(u"日本")},
                    {10, cfb::PropertyValue::I4(1)}, // no name
                    {cfb::pid::Locale, cfb::PropertyValue::UI4(0x419)}};
    std::vector<UserProperty> list = ReadUserDefinedSection(s);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].name, Utf8ToAnsiLossy("Флаг"));
    EXPECT_EQ(list[0].type, UserProperty::YesNo);
    EXPECT_EQ(list[0].number, -1);
    EXPECT_EQ(list[1].name, Utf8ToAnsiLossy("Проект"));
    EXPECT_EQ(list[1].text, Utf8ToAnsiLossy("Ёлка"));
    EXPECT_EQ(list[2].type, UserProperty::Number);
    EXPECT_EQ(list[2].number, -3);
    EXPECT_EQ(list[3].type, UserProperty::DateTime);
    EXPECT_EQ(list[3].date, OleDateTime::FromFileTime(133000000000000000ull));

    // UTF-8 and Windows-1252 sections: names and text converted when Windows-1251 holds them.
    cfb::PropertySection utf8;
    utf8.codePage = cfb::kCodePageUtf8;
    utf8.dictionary = {{2, "Имя"}, {3, "Café"}};
    utf8.properties = {{2, cfb::PropertyValue::Lpstr("Значение")},
                       {3, cfb::PropertyValue::Lpstr("ok")}};
    list = ReadUserDefinedSection(utf8);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].text, Utf8ToAnsiLossy("Значение"));
    cfb::PropertySection latin;
    latin.codePage = 1252;
    latin.dictionary = {{2, "Euro \x80"}};
    latin.properties = {{2, cfb::PropertyValue::I4(5)}};
    list = ReadUserDefinedSection(latin);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, Utf8ToAnsiLossy("Euro €"));
}

TEST(UserPropertyTest, FindIsExactAndCaseSensitive) {
    std::vector<UserProperty> list = SampleList();
    EXPECT_EQ(FindUserProperty(list, Utf8ToAnsiLossy("телефон")), &list[4]);
    EXPECT_EQ(FindUserProperty(list, Utf8ToAnsiLossy("Телефон")), &list[0]);
    EXPECT_EQ(FindUserProperty(list, Utf8ToAnsiLossy("Телефо")), nullptr);
}

} // namespace
} // namespace kelvo
