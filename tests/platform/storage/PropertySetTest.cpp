// Property-set streams: layout of what is written, round trips, streams of other producers
// and damaged streams.
#include "platform/storage/PropertySet.h"
#include "platform/base/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kelvo::cfb {
namespace {

std::uint32_t U32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

std::uint16_t U16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}

// Little-endian byte builder for streams made by hand.
struct Bytes {
    std::string b;
    Bytes& u16(std::uint16_t v) {
        b.push_back(static_cast<char>(v & 0xFF));
        b.push_back(static_cast<char>(v >> 8));
        return *this;
    }
    Bytes& u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v & 0xFFFF));
        return u16(static_cast<std::uint16_t>(v >> 16));
    }
    Bytes& raw(std::string_view s) {
        b += s;
        return *this;
    }
    Bytes& wide(std::u16string_view s) {
        for (char16_t c : s)
            u16(c);
        return *this;
    }
    Bytes& pad() {
        while (b.size() % 4)
            b.push_back('\0');
        return *this;
    }
    Bytes& id(const Fmtid& f) {
        return raw(std::string_view(reinterpret_cast<const char*>(f.data()), 16));
    }
};

std::string Wide(std::u16string_view s) {
    return Bytes().wide(s).b;
}

PropertySet SampleSet() {
    PropertySet set;
    PropertySection first;
    first.fmtid = fmtid::DocSummaryInformation;
    first.properties = {{2, PropertyValue::Lpstr("\xCA\xE0\xF2")}, // "Кат"
                        {5, PropertyValue::I4(-7)},
                        {16, PropertyValue::Bool(true)},
                        {12, PropertyValue::FileTimeValue(0x01D2345678901234ull)},
                        {20, PropertyValue::I2(-2)},
                        {21, PropertyValue::UI4(0xFFFFFFF0u)},
                        {22, PropertyValue::Lpwstr(u"Юникод")}};
    PropertyValue odd;
    odd.type = vt::Vector | vt::I4;
    odd.raw = Bytes().u32(1).u32(42).b;
    first.properties.push_back({23, odd});
    PropertySection user;
    user.fmtid = fmtid::UserDefinedProperties;
    user.hasDictionary = true;
    user.dictionary = {{2, "\xD2\xE5\xEB\xE5\xF4\xEE\xED"}, {3, "ab"}}; // "Телефон"
    user.properties = {{2, PropertyValue::Lpstr("123")}, {3, PropertyValue::Bool(false)}};
    set.sections = {first, user};
    return set;
}

TEST(PropertySetTest, WrittenLayoutIsWhatReadersExpect) {
    auto bytes = SerializePropertySet(SampleSet());
    ASSERT_TRUE(bytes);
    const std::string& b = *bytes;
    EXPECT_EQ(U16(b, 0), 0xFFFE);
    EXPECT_EQ(U16(b, 2), 0);
    EXPECT_EQ(U32(b, 4), 0x00020006u);
    EXPECT_EQ(U32(b, 24), 2u);
    EXPECT_EQ(b.substr(28, 16),
              std::string(reinterpret_cast<const char*>(fmtid::DocSummaryInformation.data()), 16));
    EXPECT_EQ(U32(b, 44), 0x44u);
    const std::size_t first = U32(b, 44);
    const std::size_t second = U32(b, 64);
    EXPECT_EQ(second, first + U32(b, first));
    EXPECT_EQ(b.size(), second + U32(b, second));
    EXPECT_EQ(b.size() % 4, 0u);

    // First section: code page first, as VT_I2 1251.
    EXPECT_EQ(U32(b, first + 4), 9u);
    EXPECT_EQ(U32(b, first + 8), 1u);
    const std::size_t cp = first + U32(b, first + 12);
    EXPECT_EQ(U16(b, cp), vt::I2);
    EXPECT_EQ(U16(b, cp + 4), 1251);
    for (std::uint32_t i = 0; i < 9; ++i)
        EXPECT_EQ(U32(b, first + 12 + 8 * i) % 4, 0u);

    // User-defined section: ids 0 and 1 first, the dictionary's data first, values in order.
    EXPECT_EQ(U32(b, second + 4), 4u);
    EXPECT_EQ(U32(b, second + 8), 0u);
    EXPECT_EQ(U32(b, second + 16), 1u);
    EXPECT_EQ(U32(b, second + 24), 2u);
    EXPECT_EQ(U32(b, second + 32), 3u);
    const std::size_t dict = second + U32(b, second + 12);
    EXPECT_EQ(dict, second + 8 + 4 * 8);
    EXPECT_EQ(U32(b, dict), 2u);
    EXPECT_EQ(U32(b, dict + 4), 2u);
    EXPECT_EQ(U32(b, dict + 8), 8u); // bytes with the NUL
    EXPECT_EQ(b.substr(dict + 12, 8), std::string("\xD2\xE5\xEB\xE5\xF4\xEE\xED\0", 8));
    EXPECT_EQ(U32(b, dict + 20), 3u); // 8-bit names are not padded one by one
    EXPECT_EQ(U32(b, dict + 24), 3u);
    EXPECT_LT(U32(b, second + 20), U32(b, second + 28));
    EXPECT_LT(U32(b, second + 28), U32(b, second + 36));
    // VT_LPSTR: byte count with the NUL.
    const std::size_t text = second + U32(b, second + 28);
    EXPECT_EQ(U16(b, text), vt::Lpstr);
    EXPECT_EQ(U32(b, text + 4), 4u);
    EXPECT_EQ(b.substr(text + 8, 4), std::string("123\0", 4));
}

TEST(PropertySetTest, RoundTripKeepsEveryValue) {
    const PropertySet set = SampleSet();
    MemoryStream stream(std::string(500, 'x')); // old content must go
    ASSERT_TRUE(WritePropertySet(stream, set));
    auto back = ReadPropertySet(stream);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->warnings.empty());
    ASSERT_EQ(back->sections.size(), 2u);
    const PropertySection& s = back->sections[0];
    EXPECT_EQ(s.fmtid, fmtid::DocSummaryInformation);
    EXPECT_EQ(s.codePage, 1251);
    EXPECT_FALSE(s.hasDictionary);
    ASSERT_EQ(s.properties.size(), set.sections[0].properties.size());
    for (std::size_t i = 0; i < s.properties.size(); ++i) {
        const PropertyValue& a = set.sections[0].properties[i].value;
        const PropertyValue& v = s.properties[i].value;
        EXPECT_EQ(s.properties[i].id, set.sections[0].properties[i].id);
        EXPECT_EQ(v.type, a.type);
        EXPECT_EQ(v.integer, a.integer);
        EXPECT_EQ(v.fileTime, a.fileTime);
        EXPECT_EQ(v.text, a.text);
        EXPECT_EQ(v.raw, a.raw);
    }
    EXPECT_EQ(s.Find(21)->AsInt32(), std::nullopt);
    EXPECT_EQ(s.Find(20)->AsInt32(), -2);
    EXPECT_EQ(s.TextCodePage(*s.Find(22)), kCodePageUnicode);
    const PropertySection& u = back->sections[1];
    EXPECT_TRUE(u.hasDictionary);
    ASSERT_EQ(u.dictionary.size(), 2u);
    EXPECT_EQ(*u.NameOf(2), "\xD2\xE5\xEB\xE5\xF4\xEE\xED");
    EXPECT_EQ(*u.NameOf(3), "ab");
    EXPECT_EQ(u.Find(2)->text, "123");
    EXPECT_EQ(u.Find(3)->integer, 0);
}

// A set as another producer might write it: code page 1200, UTF-16 strings and names (each
// padded), types the bank never writes, and an identifier listed twice.
std::string ForeignStream() {
    Bytes sec;
    const std::uint32_t count = 8;
    sec.u32(0).u32(count);
    const std::size_t table = sec.b.size();
    sec.b.append(count * 8, '\0');
    std::vector<std::pair<std::uint32_t, std::uint32_t>> entries;
    auto at = [&](std::uint32_t id) {
        entries.emplace_back(id, static_cast<std::uint32_t>(sec.b.size()));
    };
    at(2); // VT_LPSTR in a 1200 section: UTF-16 with a byte count
    sec.u16(vt::Lpstr).u16(0).u32(10).wide(u"Имя").u16(0).pad();
    at(0); // dictionary after a value, names in UTF-16 with a count of characters
    sec.u32(2).u32(2).u32(4).wide(u"Имя").u16(0).pad().u32(3).u32(2).wide(u"Я").u16(0).pad();
    at(3); // VT_UI4
    sec.u16(vt::UI4).u16(0).u32(4000000000u);
    at(1); // the code page, late in the table
    sec.u16(vt::I2).u16(0).u16(1200).u16(0);
    at(4); // an unknown type
    sec.u16(0x0099).u16(0).u32(0xDEADBEEF);
    at(5); // VT_LPWSTR
    sec.u16(vt::Lpwstr).u16(0).u32(3).wide(u"ё€").u16(0).pad();
    at(6); // VT_I2
    sec.u16(vt::I2).u16(0).u16(0xFFFF).u16(0);
    at(5); // the same identifier again
    sec.u16(vt::I4).u16(0).u32(1);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::memcpy(sec.b.data() + table + 8 * i, Bytes().u32(entries[i].first).b.data(), 4);
        std::memcpy(sec.b.data() + table + 8 * i + 4, Bytes().u32(entries[i].second).b.data(), 4);
    }
    const std::uint32_t size = static_cast<std::uint32_t>(sec.b.size());
    std::memcpy(sec.b.data(), Bytes().u32(size).b.data(), 4);
    Bytes head;
    head.u16(0xFFFE).u16(1).u32(0x00020105).raw(std::string(16, '\x11')).u32(1);
    head.id(fmtid::UserDefinedProperties).u32(48);
    return head.b + sec.b;
}

TEST(PropertySetTest, ReadsAStreamOfAnotherProducer) {
    auto set = ParsePropertySet(ForeignStream());
    ASSERT_TRUE(set);
    EXPECT_EQ(set->version, 1);
    EXPECT_EQ(set->systemId, 0x00020105u);
    ASSERT_EQ(set->sections.size(), 1u);
    const PropertySection& s = set->sections[0];
    EXPECT_EQ(s.codePage, 1200);
    ASSERT_EQ(s.dictionary.size(), 2u);
    EXPECT_EQ(*s.NameOf(2), Wide(u"Имя"));
    EXPECT_EQ(*s.NameOf(3), Wide(u"Я"));
    EXPECT_EQ(s.Find(2)->text, Wide(u"Имя"));
    EXPECT_EQ(s.TextCodePage(*s.Find(2)), 1200);
    EXPECT_EQ(s.Find(3)->integer, 4000000000LL);
    EXPECT_EQ(s.Find(4)->type, 0x0099);
    EXPECT_EQ(s.Find(4)->raw, Bytes().u32(0xDEADBEEF).b);
    EXPECT_EQ(s.Find(5)->type, vt::Lpwstr);
    EXPECT_EQ(s.Find(5)->text, Wide(u"ё€"));
    EXPECT_EQ(s.Find(6)->integer, -1);
    EXPECT_EQ(set->warnings.size(), 1u); // the repeated identifier

    // Written back, it reads the same (the UTF-16 strings stay UTF-16).
    auto again = SerializePropertySet(*set);
    ASSERT_TRUE(again);
    auto back = ParsePropertySet(*again);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sections[0].Find(2)->text, Wide(u"Имя"));
    EXPECT_EQ(*back->sections[0].NameOf(3), Wide(u"Я"));
    EXPECT_EQ(back->sections[0].Find(5)->text, Wide(u"ё€"));
}

TEST(PropertySetTest, CodePage65001IsReadBackUnsigned) {
    PropertySet set;
    PropertySection s;
    s.fmtid = fmtid::SummaryInformation;
    s.codePage = kCodePageUtf8;
    s.properties = {{2, PropertyValue::Lpstr("\xD0\x98\xD0\xBC\xD1\x8F")}};
    set.sections = {s};
    auto back = ParsePropertySet(*SerializePropertySet(set));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sections[0].codePage, 65001);
    EXPECT_EQ(back->sections[0].Find(2)->text, "\xD0\x98\xD0\xBC\xD1\x8F");
}

TEST(PropertySetTest, RefusesWhatIsNotAPropertySet) {
    EXPECT_EQ(ParsePropertySet("").code(), hr::InvalidHeader);
    EXPECT_EQ(ParsePropertySet(std::string(27, '\0')).code(), hr::InvalidHeader);
    std::string wrongOrder = *SerializePropertySet(SampleSet());
    wrongOrder[0] = '\xFF';
    wrongOrder[1] = '\xFE';
    EXPECT_EQ(ParsePropertySet(wrongOrder).code(), hr::InvalidHeader);
    MemoryStream empty;
    EXPECT_FALSE(ReadPropertySet(empty));
}

TEST(PropertySetTest, DamagedStreamsReadWithoutHarm) {
    const std::string good = *SerializePropertySet(SampleSet());
    // Every truncation: never a read past the end, always a usable answer or a clean error.
    for (std::size_t n = 0; n < good.size(); ++n) {
        auto set = ParsePropertySet(std::string_view(good).substr(0, n));
        if (n < 28)
            EXPECT_FALSE(set);
        else
            EXPECT_TRUE(set) << n;
    }
    // Every byte replaced by 0xFF, then by 0x7F: counts, sizes and offsets become huge.
    for (char fill : {'\xFF', '\x7F'})
        for (std::size_t i = 0; i < good.size(); ++i) {
            std::string bad = good;
            bad[i] = fill;
            auto set = ParsePropertySet(bad);
            if (!set)
                continue;
            for (const PropertySection& s : set->sections)
                for (const Property& p : s.properties)
                    EXPECT_LE(p.value.text.size() + p.value.raw.size(), bad.size());
        }
    // Huge counts are cut to what the stream can hold and reported.
    std::string counts = good;
    std::memcpy(counts.data() + 24, "\xFF\xFF\xFF\x7F", 4);
    auto set = ParsePropertySet(counts);
    ASSERT_TRUE(set);
    EXPECT_FALSE(set->warnings.empty());
}

TEST(PropertySetTest, FmtidAndTypeNames) {
    EXPECT_EQ(FmtidText(fmtid::SummaryInformation), "F29F85E0-4FF9-1068-AB91-08002B27B3D9");
    EXPECT_EQ(FmtidText(fmtid::UserDefinedProperties), "D5CDD505-2E9C-101B-9397-08002B2CF9AE");
    EXPECT_EQ(VarTypeName(vt::Lpstr), "VT_LPSTR");
    EXPECT_EQ(VarTypeName(vt::Vector | vt::Lpstr), "VT_VECTOR|VT_LPSTR");
    EXPECT_EQ(VarTypeName(0x0099), "0x0099");
}

TEST(PropertySetTest, NamedStreamsOfAStorage) {
    auto root = Storage::CreateInMemory();
    ASSERT_TRUE(root);
    EXPECT_EQ(ReadPropertySet(*root, kSummaryInformationName).code(), hr::FileNotFound);
    ASSERT_TRUE(WritePropertySet(*root, kDocSummaryInformationName, SampleSet()));
    PropertySet shorter = SampleSet();
    shorter.sections.pop_back();
    ASSERT_TRUE(WritePropertySet(*root, kDocSummaryInformationName, shorter)); // replaces
    auto back = ReadPropertySet(*root, kDocSummaryInformationName);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sections.size(), 1u);
    auto stream = root->OpenStream(kDocSummaryInformationName);
    ASSERT_TRUE(stream);
    EXPECT_EQ(*stream->Size(), SerializePropertySet(shorter)->size());
}

} // namespace
} // namespace kelvo::cfb
