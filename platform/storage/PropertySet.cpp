// Reading and writing property-set streams. The reader trusts no count, size or offset it
// finds: every access is checked against the section (and the section against the stream).
#include "platform/storage/PropertySet.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <unordered_set>

namespace kelvo::cfb {

namespace {

constexpr std::uint16_t kByteOrderMark = 0xFFFE;
constexpr std::size_t kHeaderSize = 28;
constexpr std::size_t kSectionEntrySize = 20; // FMTID and offset

std::uint16_t Get16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}

std::uint32_t Get32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(Get16(b, at)) |
           (static_cast<std::uint32_t>(Get16(b, at + 2)) << 16);
}

std::uint64_t Get64(std::string_view b, std::size_t at) {
    return static_cast<std::uint64_t>(Get32(b, at)) |
           (static_cast<std::uint64_t>(Get32(b, at + 4)) << 32);
}

void Put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

void Put64(std::string& out, std::uint64_t v) {
    Put32(out, static_cast<std::uint32_t>(v & 0xFFFFFFFFu));
    Put32(out, static_cast<std::uint32_t>(v >> 32));
}

void Set32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PadTo4(std::string& out, std::size_t from = 0) {
    while ((out.size() - from) % 4 != 0)
        out.push_back('\0');
}

std::size_t Align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

std::string Hex16(std::uint16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(v));
    return buf;
}

// Text up to the first NUL (a 16-bit NUL at an even position for UTF-16).
std::string CutAtNul(std::string_view bytes, bool wide) {
    if (!wide)
        return std::string(bytes.substr(0, bytes.find('\0')));
    std::size_t n = bytes.size() & ~std::size_t{1};
    for (std::size_t i = 0; i + 1 < n; i += 2)
        if (bytes[i] == '\0' && bytes[i + 1] == '\0')
            return std::string(bytes.substr(0, i));
    return std::string(bytes.substr(0, n));
}

std::size_t FixedSize(std::uint16_t type) {
    switch (type) {
    case vt::Empty:
    case vt::Null:
        return 0;
    case vt::I1:
    case vt::UI1:
        return 1;
    case vt::I2:
    case vt::UI2:
    case vt::Bool:
        return 2;
    case vt::I4:
    case vt::UI4:
    case vt::Int:
    case vt::UInt:
    case vt::Error:
    case vt::R4:
        return 4;
    case vt::I8:
    case vt::UI8:
    case vt::Cy:
    case vt::R8:
    case vt::Date:
    case vt::FileTime:
        return 8;
    default:
        return std::numeric_limits<std::size_t>::max();
    }
}

// One section being read: its bytes (already cut to the stream) and where it came from.
class SectionReader {
public:
    SectionReader(std::string_view bytes, std::size_t index, std::vector<std::string>& warnings)
        : m_b(bytes), m_index(index), m_warnings(warnings) {}

    PropertySection Read(const Fmtid& id) {
        PropertySection section;
        section.fmtid = id;
        section.codePage = 0;
        if (m_b.size() < 8) {
            Warn("section too short for its header");
            return section;
        }
        const std::uint32_t declared = Get32(m_b, 0);
        if (declared < m_b.size()) {
            if (declared >= 8)
                m_b = m_b.substr(0, declared);
        } else if (declared > m_b.size()) {
            Warn("section size " + std::to_string(declared) + " runs past the stream");
        }
        std::uint32_t count = Get32(m_b, 4);
        const std::size_t fits = (m_b.size() - 8) / 8;
        if (count > fits) {
            Warn("property count " + std::to_string(count) + " cut to " + std::to_string(fits));
            count = static_cast<std::uint32_t>(fits);
        }
        std::vector<std::pair<std::uint32_t, std::uint32_t>> table;
        table.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i)
            table.emplace_back(Get32(m_b, 8 + 8 * i), Get32(m_b, 12 + 8 * i));
        m_offsets.reserve(table.size());
        for (const auto& e : table)
            m_offsets.push_back(e.second);
        std::sort(m_offsets.begin(), m_offsets.end());

        // The code page first: strings and the dictionary depend on it.
        bool haveCodePage = false;
        for (const auto& [pid, offset] : table) {
            if (pid != pid::CodePage)
                continue;
            PropertyValue v;
            if (ReadValue(offset, 0, v) && v.IsInteger()) {
                section.codePage = static_cast<std::uint16_t>(v.integer & 0xFFFF);
                haveCodePage = true;
            } else {
                Warn("unreadable code page");
            }
            break;
        }
        if (!haveCodePage)
            Warn("no code page");
        const bool wideStrings = section.codePage == kCodePageUnicode;

        std::unordered_set<std::uint32_t> seen;
        for (const auto& [pid, offset] : table) {
            if (!seen.insert(pid).second) {
                Warn("property " + std::to_string(pid) + " appears twice; the first is kept");
                continue;
            }
            if (pid == pid::CodePage)
                continue;
            if (pid == pid::Dictionary) {
                section.hasDictionary = true;
                ReadDictionary(offset, wideStrings, section.dictionary);
                continue;
            }
            Property p;
            p.id = pid;
            if (ReadValue(offset, wideStrings ? 2 : 1, p.value))
                section.properties.push_back(std::move(p));
            else
                Warn("property " + std::to_string(pid) + " skipped: value runs past the section");
        }
        return section;
    }

private:
    void Warn(const std::string& what) {
        m_warnings.push_back("section " + std::to_string(m_index) + ": " + what);
    }

    // Where the value at `offset` must end at the latest: the next value or the section end.
    std::size_t ExtentEnd(std::size_t offset) const {
        auto it = std::upper_bound(m_offsets.begin(), m_offsets.end(), offset);
        return it == m_offsets.end() ? m_b.size() : std::min<std::size_t>(*it, m_b.size());
    }

    // charWidth: 1 or 2 for the section's strings; 0 when only the code page is wanted.
    bool ReadValue(std::size_t offset, int charWidth, PropertyValue& v) const {
        if (offset < 8 || offset > m_b.size() || m_b.size() - offset < 4)
            return false;
        v.type = Get16(m_b, offset);
        const std::size_t at = offset + 4;
        const std::size_t left = m_b.size() - at;
        const std::size_t fixed = FixedSize(v.type);
        if (fixed != std::numeric_limits<std::size_t>::max()) {
            if (left < fixed)
                return false;
            switch (v.type) {
            case vt::I1:
                v.integer = static_cast<std::int8_t>(m_b[at]);
                break;
            case vt::UI1:
                v.integer = static_cast<unsigned char>(m_b[at]);
                break;
            case vt::I2:
                v.integer = static_cast<std::int16_t>(Get16(m_b, at));
                break;
            case vt::UI2:
                v.integer = Get16(m_b, at);
                break;
            case vt::Bool:
                v.integer = Get16(m_b, at) != 0 ? -1 : 0;
                break;
            case vt::I4:
            case vt::Int:
                v.integer = static_cast<std::int32_t>(Get32(m_b, at));
                break;
            case vt::UI4:
            case vt::UInt:
            case vt::Error:
                v.integer = Get32(m_b, at);
                break;
            case vt::R4: {
                const std::uint32_t bits = Get32(m_b, at);
                float f;
                std::memcpy(&f, &bits, sizeof f);
                v.real = f;
                break;
            }
            case vt::I8:
            case vt::UI8:
            case vt::Cy:
                v.integer = static_cast<std::int64_t>(Get64(m_b, at));
                break;
            case vt::R8:
            case vt::Date: {
                const std::uint64_t bits = Get64(m_b, at);
                std::memcpy(&v.real, &bits, sizeof v.real);
                break;
            }
            case vt::FileTime:
                v.fileTime = Get64(m_b, at);
                break;
            default:
                break;
            }
            return true;
        }
        if (charWidth == 0)
            return false;
        if (v.type == vt::Lpstr || v.type == vt::Bstr || v.type == vt::Lpwstr) {
            if (left < 4)
                return false;
            const std::uint64_t count = Get32(m_b, at);
            const bool wide = v.type == vt::Lpwstr || charWidth == 2;
            const std::uint64_t bytes = v.type == vt::Lpwstr ? count * 2 : count;
            if (bytes > left - 4)
                return false;
            v.text = CutAtNul(m_b.substr(at + 4, static_cast<std::size_t>(bytes)), wide);
            return true;
        }
        const std::size_t end = ExtentEnd(offset);
        v.raw.assign(m_b.substr(at, end > at ? end - at : 0));
        return true;
    }

    void ReadDictionary(std::size_t offset, bool wide, std::vector<DictionaryEntry>& out) {
        if (offset < 8 || offset > m_b.size() || m_b.size() - offset < 4) {
            Warn("dictionary runs past the section");
            return;
        }
        std::uint32_t count = Get32(m_b, offset);
        std::size_t at = offset + 4;
        std::unordered_set<std::uint32_t> ids;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (m_b.size() - at < 8) {
                Warn("dictionary cut after " + std::to_string(i) + " of " + std::to_string(count) +
                     " names");
                return;
            }
            DictionaryEntry e;
            e.id = Get32(m_b, at);
            const std::uint64_t length = Get32(m_b, at + 4);
            at += 8;
            const std::size_t left = m_b.size() - at;
            std::uint64_t bytes = wide ? length * 2 : length;
            // Some writers give the length of a UTF-16 name in bytes; take what fits.
            if (wide && bytes > left && length <= left)
                bytes = length;
            if (bytes > left) {
                Warn("dictionary name " + std::to_string(e.id) + " runs past the section");
                return;
            }
            e.name = CutAtNul(m_b.substr(at, static_cast<std::size_t>(bytes)), wide);
            at += static_cast<std::size_t>(bytes);
            if (wide)
                at = std::min(Align4(at), m_b.size());
            if (ids.insert(e.id).second)
                out.push_back(std::move(e));
        }
    }

    std::string_view m_b;
    std::size_t m_index;
    std::vector<std::string>& m_warnings;
    std::vector<std::uint32_t> m_offsets;
};

bool IsWideText(const PropertySection& section, const PropertyValue& v) {
    return v.type == vt::Lpwstr || section.codePage == kCodePageUnicode;
}

Result<void> AppendValue(std::string& out, const PropertySection& section, const PropertyValue& v) {
    const std::size_t start = out.size();
    Put16(out, v.type);
    Put16(out, 0);
    switch (v.type) {
    case vt::Empty:
    case vt::Null:
        break;
    case vt::I1:
    case vt::UI1:
        out.push_back(static_cast<char>(v.integer & 0xFF));
        break;
    case vt::I2:
    case vt::UI2:
        Put16(out, static_cast<std::uint16_t>(v.integer & 0xFFFF));
        break;
    case vt::Bool:
        Put16(out, v.integer != 0 ? 0xFFFF : 0);
        break;
    case vt::I4:
    case vt::UI4:
    case vt::Int:
    case vt::UInt:
    case vt::Error:
        Put32(out, static_cast<std::uint32_t>(v.integer & 0xFFFFFFFF));
        break;
    case vt::R4: {
        const float f = static_cast<float>(v.real);
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        Put32(out, bits);
        break;
    }
    case vt::I8:
    case vt::UI8:
    case vt::Cy:
        Put64(out, static_cast<std::uint64_t>(v.integer));
        break;
    case vt::R8:
    case vt::Date: {
        std::uint64_t bits;
        std::memcpy(&bits, &v.real, sizeof bits);
        Put64(out, bits);
        break;
    }
    case vt::FileTime:
        Put64(out, v.fileTime);
        break;
    case vt::Lpstr:
    case vt::Bstr:
    case vt::Lpwstr: {
        const bool wide = IsWideText(section, v);
        if (wide && v.text.size() % 2 != 0)
            return MakeError(hr::InvalidParameter, "UTF-16 text of odd length");
        const std::size_t nul = wide ? 2 : 1;
        const std::size_t count =
            v.type == vt::Lpwstr ? v.text.size() / 2 + 1 : v.text.size() + nul;
        if (count > std::numeric_limits<std::uint32_t>::max() / 2)
            return MakeError(hr::InvalidParameter, "text too long for a property set");
        Put32(out, static_cast<std::uint32_t>(count));
        out += v.text;
        out.append(nul, '\0');
        break;
    }
    default:
        out += v.raw;
        break;
    }
    PadTo4(out, start);
    return {};
}

void AppendDictionary(std::string& out, const PropertySection& section) {
    const std::size_t start = out.size();
    const bool wide = section.codePage == kCodePageUnicode;
    Put32(out, static_cast<std::uint32_t>(section.dictionary.size()));
    for (const DictionaryEntry& e : section.dictionary) {
        Put32(out, e.id);
        const std::size_t units = wide ? (e.name.size() + 1) / 2 + 1 : e.name.size() + 1;
        Put32(out, static_cast<std::uint32_t>(units));
        const std::size_t nameStart = out.size();
        out += e.name;
        if (wide && e.name.size() % 2 != 0)
            out.push_back('\0'); // keep whole UTF-16 units
        out.append(wide ? 2 : 1, '\0');
        if (wide) // each UTF-16 name is padded; 8-bit names are not
            PadTo4(out, nameStart);
    }
    PadTo4(out, start);
}

Result<std::string> SerializeSection(const PropertySection& section) {
    const bool dictionary = section.hasDictionary || !section.dictionary.empty();
    std::vector<const Property*> others;
    others.reserve(section.properties.size());
    for (const Property& p : section.properties)
        if (p.id != pid::Dictionary && p.id != pid::CodePage)
            others.push_back(&p);
    const std::size_t count = (dictionary ? 1 : 0) + 1 + others.size();
    if (count > (std::numeric_limits<std::uint32_t>::max() - 8) / 8)
        return MakeError(hr::InvalidParameter, "too many properties in a section");

    std::string out;
    Put32(out, 0); // size, set at the end
    Put32(out, static_cast<std::uint32_t>(count));
    const std::size_t tableAt = out.size();
    out.append(count * 8, '\0');
    std::size_t slot = 0;
    auto begin = [&](std::uint32_t id) {
        if (out.size() > std::numeric_limits<std::uint32_t>::max())
            return false;
        Set32(out, tableAt + slot * 8, id);
        Set32(out, tableAt + slot * 8 + 4, static_cast<std::uint32_t>(out.size()));
        ++slot;
        return true;
    };
    if (dictionary) {
        begin(pid::Dictionary);
        AppendDictionary(out, section);
    }
    begin(pid::CodePage);
    if (auto r = AppendValue(out, section,
                             PropertyValue::I2(static_cast<std::int16_t>(section.codePage)));
        !r)
        return r.error();
    for (const Property* p : others) {
        if (!begin(p->id))
            return MakeError(hr::InvalidParameter, "section too large");
        if (auto r = AppendValue(out, section, p->value); !r)
            return r.error();
    }
    if (out.size() > std::numeric_limits<std::uint32_t>::max())
        return MakeError(hr::InvalidParameter, "section too large");
    Set32(out, 0, static_cast<std::uint32_t>(out.size()));
    return out;
}

} // namespace

std::string FmtidText(const Fmtid& id) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-", id[3], id[2],
                  id[1], id[0], id[5], id[4], id[7], id[6], id[8], id[9]);
    std::string text = buf;
    for (int i = 10; i < 16; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", id[i]);
        text += buf;
    }
    return text;
}

std::string VarTypeName(std::uint16_t type) {
    const std::uint16_t base = type & 0x0FFF;
    std::string name;
    switch (base) {
    case vt::Empty:
        name = "VT_EMPTY";
        break;
    case vt::Null:
        name = "VT_NULL";
        break;
    case vt::I2:
        name = "VT_I2";
        break;
    case vt::I4:
        name = "VT_I4";
        break;
    case vt::R4:
        name = "VT_R4";
        break;
    case vt::R8:
        name = "VT_R8";
        break;
    case vt::Cy:
        name = "VT_CY";
        break;
    case vt::Date:
        name = "VT_DATE";
        break;
    case vt::Bstr:
        name = "VT_BSTR";
        break;
    case vt::Error:
        name = "VT_ERROR";
        break;
    case vt::Bool:
        name = "VT_BOOL";
        break;
    case 12:
        name = "VT_VARIANT";
        break;
    case vt::I1:
        name = "VT_I1";
        break;
    case vt::UI1:
        name = "VT_UI1";
        break;
    case vt::UI2:
        name = "VT_UI2";
        break;
    case vt::UI4:
        name = "VT_UI4";
        break;
    case vt::I8:
        name = "VT_I8";
        break;
    case vt::UI8:
        name = "VT_UI8";
        break;
    case vt::Int:
        name = "VT_INT";
        break;
    case vt::UInt:
        name = "VT_UINT";
        break;
    case vt::Lpstr:
        name = "VT_LPSTR";
        break;
    case vt::Lpwstr:
        name = "VT_LPWSTR";
        break;
    case vt::FileTime:
        name = "VT_FILETIME";
        break;
    case vt::Blob:
        name = "VT_BLOB";
        break;
    case vt::ClipData:
        name = "VT_CF";
        break;
    case vt::Clsid:
        name = "VT_CLSID";
        break;
    default:
        return Hex16(type);
    }
    if ((type & 0xF000) == vt::Vector)
        return "VT_VECTOR|" + name;
    if ((type & 0xF000) == vt::Array)
        return "VT_ARRAY|" + name;
    if ((type & 0xF000) != 0)
        return Hex16(type);
    return name;
}

namespace {
PropertyValue IntegerValue(std::uint16_t type, std::int64_t v) {
    PropertyValue p;
    p.type = type;
    p.integer = v;
    return p;
}
} // namespace

PropertyValue PropertyValue::I2(std::int16_t v) {
    return IntegerValue(vt::I2, v);
}
PropertyValue PropertyValue::I4(std::int32_t v) {
    return IntegerValue(vt::I4, v);
}
PropertyValue PropertyValue::UI4(std::uint32_t v) {
    return IntegerValue(vt::UI4, v);
}
PropertyValue PropertyValue::Bool(bool v) {
    return IntegerValue(vt::Bool, v ? -1 : 0);
}

PropertyValue PropertyValue::FileTimeValue(std::uint64_t ticks) {
    PropertyValue p;
    p.type = vt::FileTime;
    p.fileTime = ticks;
    return p;
}

PropertyValue PropertyValue::Lpstr(std::string bytes) {
    PropertyValue p;
    p.type = vt::Lpstr;
    p.text = std::move(bytes);
    return p;
}

PropertyValue PropertyValue::Lpwstr(std::u16string_view text) {
    PropertyValue p;
    p.type = vt::Lpwstr;
    p.text.reserve(text.size() * 2);
    for (char16_t c : text) {
        p.text.push_back(static_cast<char>(c & 0xFF));
        p.text.push_back(static_cast<char>(c >> 8));
    }
    return p;
}

bool PropertyValue::IsString() const {
    return type == vt::Lpstr || type == vt::Bstr || type == vt::Lpwstr;
}

bool PropertyValue::IsInteger() const {
    switch (type) {
    case vt::I1:
    case vt::UI1:
    case vt::I2:
    case vt::UI2:
    case vt::I4:
    case vt::UI4:
    case vt::Int:
    case vt::UInt:
    case vt::I8:
    case vt::UI8:
        return true;
    default:
        return false;
    }
}

std::optional<std::int32_t> PropertyValue::AsInt32() const {
    if (!IsInteger() || (type == vt::UI8 && integer < 0))
        return std::nullopt;
    if (integer < std::numeric_limits<std::int32_t>::min() ||
        integer > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(integer);
}

const PropertyValue* PropertySection::Find(std::uint32_t id) const {
    for (const Property& p : properties)
        if (p.id == id)
            return &p.value;
    return nullptr;
}

void PropertySection::Set(std::uint32_t id, PropertyValue value) {
    for (Property& p : properties)
        if (p.id == id) {
            p.value = std::move(value);
            return;
        }
    properties.push_back(Property{id, std::move(value)});
}

bool PropertySection::Remove(std::uint32_t id) {
    auto it = std::find_if(properties.begin(), properties.end(),
                           [id](const Property& p) { return p.id == id; });
    if (it == properties.end())
        return false;
    properties.erase(it);
    return true;
}

const std::string* PropertySection::NameOf(std::uint32_t id) const {
    for (const DictionaryEntry& e : dictionary)
        if (e.id == id)
            return &e.name;
    return nullptr;
}

std::uint16_t PropertySection::TextCodePage(const PropertyValue& value) const {
    return value.type == vt::Lpwstr ? kCodePageUnicode : codePage;
}

PropertySection* PropertySet::Section(const Fmtid& id) {
    for (PropertySection& s : sections)
        if (s.fmtid == id)
            return &s;
    return nullptr;
}

const PropertySection* PropertySet::Section(const Fmtid& id) const {
    for (const PropertySection& s : sections)
        if (s.fmtid == id)
            return &s;
    return nullptr;
}

Result<PropertySet> ParsePropertySet(std::string_view bytes) {
    if (bytes.empty())
        return MakeError(hr::InvalidHeader, "empty property-set stream");
    if (bytes.size() < kHeaderSize)
        return MakeError(hr::InvalidHeader, "property-set stream too short for its header");
    if (Get16(bytes, 0) != kByteOrderMark)
        return MakeError(hr::InvalidHeader, "not a property-set stream (byte order mark)");
    PropertySet set;
    set.version = Get16(bytes, 2);
    set.systemId = Get32(bytes, 4);
    std::memcpy(set.clsid.data(), bytes.data() + 8, set.clsid.size());
    std::uint32_t count = Get32(bytes, 24);
    const std::size_t fits = (bytes.size() - kHeaderSize) / kSectionEntrySize;
    if (count > fits) {
        set.warnings.push_back("section count " + std::to_string(count) + " cut to " +
                               std::to_string(fits));
        count = static_cast<std::uint32_t>(fits);
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = kHeaderSize + i * kSectionEntrySize;
        Fmtid id;
        std::memcpy(id.data(), bytes.data() + entry, id.size());
        const std::uint32_t offset = Get32(bytes, entry + 16);
        if (offset >= bytes.size()) {
            set.warnings.push_back("section " + std::to_string(i) + " starts past the stream");
            continue;
        }
        SectionReader reader(bytes.substr(offset), i, set.warnings);
        set.sections.push_back(reader.Read(id));
    }
    return set;
}

Result<std::string> SerializePropertySet(const PropertySet& set) {
    std::vector<std::string> sections;
    sections.reserve(set.sections.size());
    for (const PropertySection& s : set.sections) {
        auto bytes = SerializeSection(s);
        if (!bytes)
            return bytes.error();
        sections.push_back(std::move(*bytes));
    }
    std::string out;
    Put16(out, kByteOrderMark);
    Put16(out, set.version);
    Put32(out, set.systemId);
    out.append(reinterpret_cast<const char*>(set.clsid.data()), set.clsid.size());
    Put32(out, static_cast<std::uint32_t>(sections.size()));
    std::size_t offset = kHeaderSize + kSectionEntrySize * sections.size();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (offset > std::numeric_limits<std::uint32_t>::max())
            return MakeError(hr::InvalidParameter, "property set too large");
        out.append(reinterpret_cast<const char*>(set.sections[i].fmtid.data()), 16);
        Put32(out, static_cast<std::uint32_t>(offset));
        offset += sections[i].size();
    }
    for (const std::string& s : sections)
        out += s;
    return out;
}

Result<PropertySet> ReadPropertySet(ByteStream& stream) {
    auto size = stream.Size();
    if (!size)
        return size.error();
    if (*size > std::numeric_limits<std::size_t>::max() / 2)
        return MakeError(hr::InsufficientMemory, "property-set stream too large");
    if (auto pos = stream.Seek(0, SeekOrigin::Begin); !pos)
        return pos.error();
    std::string bytes(static_cast<std::size_t>(*size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        auto n = stream.Read(bytes.data() + got, bytes.size() - got);
        if (!n)
            return n.error();
        if (*n == 0)
            break;
        got += *n;
    }
    bytes.resize(got);
    return ParsePropertySet(bytes);
}

Result<void> WritePropertySet(ByteStream& stream, const PropertySet& set) {
    auto bytes = SerializePropertySet(set);
    if (!bytes)
        return bytes.error();
    if (auto r = stream.SetSize(0); !r)
        return r;
    if (auto pos = stream.Seek(0, SeekOrigin::Begin); !pos)
        return pos.error();
    std::size_t done = 0;
    while (done < bytes->size()) {
        auto n = stream.Write(bytes->data() + done, bytes->size() - done);
        if (!n)
            return n.error();
        if (*n == 0)
            return MakeError(hr::WriteFault, "property-set stream write made no progress");
        done += *n;
    }
    return {};
}

} // namespace kelvo::cfb
