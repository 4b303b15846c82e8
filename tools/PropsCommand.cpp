// `cfbtool props`: reads property-set streams read-only and prints their sections and
// properties as JSON, text converted to UTF-8 through each section's code page.
#include "tools/PropsCommand.h"

#include "platform/storage/PropertySet.h"
#include "platform/storage/Storage.h"
#include "platform/text/CodePages.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <ostream>
#include <unordered_map>

namespace kelvo {

namespace {

using Json = nlohmann::ordered_json;

std::string HexBytes(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

std::string Hex32(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return buf;
}

// A file time as ISO 8601 UTC, when it falls in years 1601..9999.
std::optional<std::string> FileTimeText(std::uint64_t ticks) {
    constexpr std::int64_t kEpochSeconds = 11644473600LL;
    const std::int64_t seconds = static_cast<std::int64_t>(ticks / 10000000ULL) - kEpochSeconds;
    if (seconds > 253402300799LL) // 9999-12-31T23:59:59Z
        return std::nullopt;
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (!gmtime_r(&t, &tm))
        return std::nullopt;
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return std::string(buf);
}

Json ValueJson(const cfb::PropertySection& section, const cfb::PropertyValue& v, Json& prop) {
    if (v.IsString())
        return CodePageToUtf8(v.text, section.TextCodePage(v));
    if (v.IsInteger() || v.type == cfb::vt::Error || v.type == cfb::vt::Cy) {
        if (v.type == cfb::vt::UI8)
            return static_cast<std::uint64_t>(v.integer);
        return v.integer;
    }
    switch (v.type) {
    case cfb::vt::Bool:
        return v.integer != 0;
    case cfb::vt::R4:
    case cfb::vt::R8:
    case cfb::vt::Date:
        return std::isfinite(v.real) ? Json(v.real) : Json(nullptr);
    case cfb::vt::FileTime: {
        prop["ticks"] = v.fileTime;
        auto text = FileTimeText(v.fileTime);
        return text ? Json(*text) : Json(nullptr);
    }
    case cfb::vt::Empty:
    case cfb::vt::Null:
        return nullptr;
    default:
        prop["raw"] = HexBytes(v.raw);
        return nullptr;
    }
}

Json SetJson(const cfb::PropertySet& set) {
    Json j;
    j["version"] = set.version;
    j["system_id"] = Hex32(set.systemId);
    j["clsid"] = cfb::FmtidText(set.clsid);
    Json sections = Json::array();
    for (const cfb::PropertySection& s : set.sections) {
        Json sj;
        sj["fmtid"] = cfb::FmtidText(s.fmtid);
        sj["code_page"] = s.codePage;
        std::unordered_map<std::uint32_t, const std::string*> names;
        for (const cfb::DictionaryEntry& e : s.dictionary)
            names.emplace(e.id, &e.name);
        Json props = Json::array();
        for (const cfb::Property& p : s.properties) {
            Json pj;
            pj["id"] = p.id;
            if (auto found = names.find(p.id); found != names.end())
                pj["name"] = CodePageToUtf8(*found->second, s.codePage);
            pj["type"] = cfb::VarTypeName(p.value.type);
            Json extra;
            pj["value"] = ValueJson(s, p.value, extra);
            for (auto& [key, value] : extra.items())
                pj[key] = value;
            props.push_back(std::move(pj));
        }
        sj["properties"] = std::move(props);
        if (s.hasDictionary) {
            Json dict = Json::array();
            for (const cfb::DictionaryEntry& e : s.dictionary)
                dict.push_back({{"id", e.id}, {"name", CodePageToUtf8(e.name, s.codePage)}});
            sj["dictionary"] = std::move(dict);
        }
        sections.push_back(std::move(sj));
    }
    j["sections"] = std::move(sections);
    if (!set.warnings.empty())
        j["warnings"] = set.warnings;
    return j;
}

int Hex(std::uint32_t v) {
    return (v >= '0' && v <= '9')   ? int(v - '0')
           : (v >= 'a' && v <= 'f') ? int(v - 'a' + 10)
           : (v >= 'A' && v <= 'F') ? int(v - 'A' + 10)
                                    : -1;
}

// "Storage/\x05Name" as element names: UTF-8 to UTF-16, with `\xNN` for one code unit.
std::vector<std::u16string> SplitPath(const std::string& path) {
    std::vector<std::u16string> names;
    std::string piece;
    auto flush = [&] {
        if (piece.empty())
            return;
        std::u16string name;
        std::size_t start = 0;
        for (std::size_t i = 0; i < piece.size();) {
            if (piece[i] == '\\' && i + 3 < piece.size() && piece[i + 1] == 'x' &&
                Hex(static_cast<unsigned char>(piece[i + 2])) >= 0 &&
                Hex(static_cast<unsigned char>(piece[i + 3])) >= 0) {
                name += Utf8ToUtf16(piece.substr(start, i - start));
                name.push_back(
                    static_cast<char16_t>(Hex(static_cast<unsigned char>(piece[i + 2])) * 16 +
                                          Hex(static_cast<unsigned char>(piece[i + 3]))));
                i += 4;
                start = i;
            } else {
                ++i;
            }
        }
        name += Utf8ToUtf16(piece.substr(start));
        names.push_back(std::move(name));
        piece.clear();
    };
    for (char c : path) {
        if (c == '/')
            flush();
        else
            piece.push_back(c);
    }
    flush();
    return names;
}

int Refused(std::ostream& err, const std::string& what, const Error& e) {
    err << "cfbtool props: " << what << ": " << Hex32(e.code) << " " << cfb::StatusName(e.code);
    if (!e.message.empty())
        err << " (" << e.message << ")";
    err << "\n";
    return 2;
}

void Print(std::ostream& out, const Json& j) {
    out << j.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

} // namespace

int RunPropsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool summary = !args.empty() && args[0] == "--summary";
    if (args.size() != 2) {
        err << "usage: cfbtool props FILE PATH\n       cfbtool props --summary FILE\n";
        return 1;
    }
    const std::string& file = summary ? args[1] : args[0];
    auto root = cfb::Storage::OpenFile(std::filesystem::path(file), cfb::mode::OpenRead);
    if (!root)
        return Refused(err, file, root.error());

    if (summary) {
        Json j;
        for (auto name : {cfb::kSummaryInformationName, cfb::kDocSummaryInformationName}) {
            const std::string key = Utf16ToUtf8(name.substr(1));
            auto set = cfb::ReadPropertySet(*root, name);
            j[key] = set ? SetJson(*set) : Json(nullptr);
        }
        Print(out, j);
        return 0;
    }

    std::vector<std::u16string> names = SplitPath(args[1]);
    if (names.empty()) {
        err << "cfbtool props: empty stream path\n";
        return 1;
    }
    cfb::Storage storage = std::move(*root);
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        auto child = storage.OpenStorage(names[i], cfb::mode::OpenRead);
        if (!child)
            return Refused(err, args[1], child.error());
        storage = std::move(*child);
    }
    auto set = cfb::ReadPropertySet(storage, names.back());
    if (!set)
        return Refused(err, args[1], set.error());
    Print(out, SetJson(*set));
    return 0;
}

} // namespace kelvo
