// Property-set streams ([MS-OLEPS]): an in-memory model of one stream (header and one or two
// sections of typed properties), a tolerant reader and a writer whose output Windows, olefile
// and libgsf all understand. Text stays in the encoding the stream uses; conversion to the
// bank's Windows-1251 is done by the callers, which know the code pages.
#pragma once

#include "platform/base/ByteStream.h"
#include "platform/base/Result.h"
#include "platform/storage/Storage.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::cfb {

/// A format identifier: a GUID in its stream byte order (first three fields little-endian).
using Fmtid = std::array<std::uint8_t, 16>;

/// Builds a format identifier from the fields of its usual text form.
constexpr Fmtid MakeFmtid(std::uint32_t d1, std::uint16_t d2, std::uint16_t d3,
                          std::array<std::uint8_t, 8> d4) {
    Fmtid id{};
    for (int i = 0; i < 4; ++i)
        id[i] = static_cast<std::uint8_t>(d1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        id[4 + i] = static_cast<std::uint8_t>(d2 >> (8 * i));
        id[6 + i] = static_cast<std::uint8_t>(d3 >> (8 * i));
    }
    for (int i = 0; i < 8; ++i)
        id[8 + i] = d4[i];
    return id;
}

namespace fmtid {
/// F29F85E0-4FF9-1068-AB91-08002B27B3D9
inline constexpr Fmtid SummaryInformation =
    MakeFmtid(0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9});
/// D5CDD502-2E9C-101B-9397-08002B2CF9AE
inline constexpr Fmtid DocSummaryInformation =
    MakeFmtid(0xD5CDD502, 0x2E9C, 0x101B, {0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE});
/// D5CDD505-2E9C-101B-9397-08002B2CF9AE: the user-defined section of DocSummaryInformation.
inline constexpr Fmtid UserDefinedProperties =
    MakeFmtid(0xD5CDD505, 0x2E9C, 0x101B, {0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE});
} // namespace fmtid

/// "F29F85E0-4FF9-1068-AB91-08002B27B3D9".
std::string FmtidText(const Fmtid& id);

/// Stream names of the two standard sets in a storage.
inline constexpr std::u16string_view kSummaryInformationName = u"\x05SummaryInformation";
inline constexpr std::u16string_view kDocSummaryInformationName = u"\x05"
                                                                  u"DocumentSummaryInformation";

/// Value types (VARTYPE).
namespace vt {
inline constexpr std::uint16_t Empty = 0;
inline constexpr std::uint16_t Null = 1;
inline constexpr std::uint16_t I2 = 2;
inline constexpr std::uint16_t I4 = 3;
inline constexpr std::uint16_t R4 = 4;
inline constexpr std::uint16_t R8 = 5;
inline constexpr std::uint16_t Cy = 6;
inline constexpr std::uint16_t Date = 7;
inline constexpr std::uint16_t Bstr = 8;
inline constexpr std::uint16_t Error = 10;
inline constexpr std::uint16_t Bool = 11;
inline constexpr std::uint16_t I1 = 16;
inline constexpr std::uint16_t UI1 = 17;
inline constexpr std::uint16_t UI2 = 18;
inline constexpr std::uint16_t UI4 = 19;
inline constexpr std::uint16_t I8 = 20;
inline constexpr std::uint16_t UI8 = 21;
inline constexpr std::uint16_t Int = 22;
inline constexpr std::uint16_t UInt = 23;
inline constexpr std::uint16_t Lpstr = 30;
inline constexpr std::uint16_t Lpwstr = 31;
inline constexpr std::uint16_t FileTime = 64;
inline constexpr std::uint16_t Blob = 65;
inline constexpr std::uint16_t ClipData = 71;
inline constexpr std::uint16_t Clsid = 72;
inline constexpr std::uint16_t Vector = 0x1000;
inline constexpr std::uint16_t Array = 0x2000;
} // namespace vt

/// "VT_I4", "VT_LPSTR", ...; "VT_VECTOR|VT_LPSTR"; "0x0123" for types without a name.
std::string VarTypeName(std::uint16_t type);

/// Property identifiers with a meaning in every section.
namespace pid {
inline constexpr std::uint32_t Dictionary = 0;
inline constexpr std::uint32_t CodePage = 1;
/// The lowest identifier a named (dictionary) property may have.
inline constexpr std::uint32_t FirstNamed = 2;
inline constexpr std::uint32_t Locale = 0x80000000;
inline constexpr std::uint32_t Behavior = 0x80000003;
} // namespace pid

inline constexpr std::uint16_t kCodePageUnicode = 1200; ///< strings of the section are UTF-16LE
inline constexpr std::uint16_t kCodePageUtf8 = 65001;

/// One typed value. Which member holds the value depends on the type; the others stay zero.
struct PropertyValue {
    std::uint16_t type = vt::Empty;
    /// VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4, VT_UI4, VT_INT, VT_UINT, VT_I8, VT_UI8 (the bits),
    /// VT_ERROR, VT_CY (the scaled integer); VT_BOOL as 0 (false) or -1 (true).
    std::int64_t integer = 0;
    /// VT_FILETIME: 100-ns ticks since 1601 (UTC for time stamps, a duration for edit time).
    std::uint64_t fileTime = 0;
    /// VT_R4, VT_R8, VT_DATE.
    double real = 0.0;
    /// Strings, without the terminating NUL: VT_LPWSTR as UTF-16LE bytes; VT_LPSTR and VT_BSTR
    /// as bytes of the section's code page (UTF-16LE in a section of code page 1200).
    std::string text;
    /// Every other type (vectors, blobs, CLSIDs...): the bytes after the type word as stored,
    /// up to the next value or the end of the section; written back as they are.
    std::string raw;

    static PropertyValue I2(std::int16_t v);
    static PropertyValue I4(std::int32_t v);
    static PropertyValue UI4(std::uint32_t v);
    static PropertyValue Bool(bool v);
    static PropertyValue FileTimeValue(std::uint64_t ticks);
    /// VT_LPSTR with bytes in the section's code page.
    static PropertyValue Lpstr(std::string bytes);
    /// VT_LPWSTR from UTF-16.
    static PropertyValue Lpwstr(std::u16string_view text);

    bool IsString() const;
    bool IsInteger() const;
    /// The value of an integer type when it fits 32 bits signed.
    std::optional<std::int32_t> AsInt32() const;
};

struct Property {
    std::uint32_t id = 0;
    PropertyValue value;
};

/// A name of the dictionary: bytes in the section's code page (UTF-16LE in a section of code
/// page 1200), without the terminating NUL.
struct DictionaryEntry {
    std::uint32_t id = 0;
    std::string name;
};

struct PropertySection {
    Fmtid fmtid{};
    /// Property 1. Written as VT_I2 (so 65001 is stored as -535 and read back as 65001);
    /// 0 when a stream read had none.
    std::uint16_t codePage = 1251;
    /// Property 0. Written when this is set or when there are entries.
    bool hasDictionary = false;
    std::vector<DictionaryEntry> dictionary;
    /// Every property but 0 and 1, in stream order.
    std::vector<Property> properties;

    const PropertyValue* Find(std::uint32_t id) const;
    /// Replaces the value of `id` in place, or appends it at the end.
    void Set(std::uint32_t id, PropertyValue value);
    bool Remove(std::uint32_t id);
    /// The dictionary name of `id`, or nullptr.
    const std::string* NameOf(std::uint32_t id) const;
    /// The code page that the text of a string value is in: 1200 for VT_LPWSTR, the
    /// section's code page otherwise.
    std::uint16_t TextCodePage(const PropertyValue& value) const;
};

struct PropertySet {
    std::uint16_t version = 0;
    /// The OS that wrote the set: Windows writes its major/minor version in the low word and
    /// 2 (Win32) in the high word. libgsf refuses a high word above 2.
    std::uint32_t systemId = 0x00020006;
    Clsid clsid{};
    std::vector<PropertySection> sections;
    /// What the reader skipped or repaired (for tools); empty for a clean stream.
    std::vector<std::string> warnings;

    PropertySection* Section(const Fmtid& id);
    const PropertySection* Section(const Fmtid& id) const;
};

/// Reads a property-set stream. Fails (hr::InvalidHeader) only when there is no usable header:
/// too short, or a byte order other than 0xFFFE. Everything else is tolerated: sections or
/// values that point past the stream, unknown types and damaged strings are skipped and listed
/// in `warnings`; nothing is read beyond `bytes`.
Result<PropertySet> ParsePropertySet(std::string_view bytes);

/// The stream bytes of a set: the header, then each section with the dictionary (when
/// present) as property 0 and the code page as property 1 first, both in the table and in
/// the data, then the other properties in their order. Fails (hr::InvalidParameter) for a
/// UTF-16 string of odd byte length or a section too large for 32-bit offsets.
Result<std::string> SerializePropertySet(const PropertySet& set);

/// The same over a byte stream: reads it whole from the start / replaces its content.
Result<PropertySet> ReadPropertySet(ByteStream& stream);
Result<void> WritePropertySet(ByteStream& stream, const PropertySet& set);

/// The same over a named stream of a storage. Reading opens the stream read-only; writing
/// creates it (replacing a stream of that name).
Result<PropertySet> ReadPropertySet(Storage& parent, std::u16string_view name);
Result<void> WritePropertySet(Storage& parent, std::u16string_view name, const PropertySet& set);

} // namespace kelvo::cfb
