// The bank summary: defaults, the two standard property sets built from it and read into it,
// and their streams in the bank's root storage.
#include "core/BankSummary.h"

#include "platform/text/CodePages.h"
#include "platform/text/Format.h"

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace kelvo {

namespace {

// SummaryInformation property identifiers.
namespace si {
constexpr std::uint32_t Title = 2;
constexpr std::uint32_t Subject = 3;
constexpr std::uint32_t Author = 4;
constexpr std::uint32_t Keywords = 5;
constexpr std::uint32_t Comments = 6;
constexpr std::uint32_t Template = 7;
constexpr std::uint32_t LastAuthor = 8;
constexpr std::uint32_t RevNumber = 9;
constexpr std::uint32_t EditTime = 10;
constexpr std::uint32_t LastPrinted = 11;
constexpr std::uint32_t Created = 12;
constexpr std::uint32_t LastSaved = 13;
constexpr std::uint32_t PageCount = 14;
constexpr std::uint32_t WordCount = 15;
constexpr std::uint32_t CharCount = 16;
constexpr std::uint32_t AppName = 18;
constexpr std::uint32_t Security = 19;
} // namespace si

// DocumentSummaryInformation property identifiers.
namespace dsi {
constexpr std::uint32_t Category = 2;
constexpr std::uint32_t PresFormat = 3;
constexpr std::uint32_t ByteCount = 4;
constexpr std::uint32_t LineCount = 5;
constexpr std::uint32_t ParCount = 6;
constexpr std::uint32_t SlideCount = 7;
constexpr std::uint32_t NoteCount = 8;
constexpr std::uint32_t HiddenCount = 9;
constexpr std::uint32_t MmClipCount = 10;
constexpr std::uint32_t Manager = 14;
constexpr std::uint32_t Company = 15;
constexpr std::uint32_t LinksDirty = 16;
} // namespace dsi

constexpr std::size_t kMaxUserName = 99;

cfb::PropertySet NewSet(const cfb::Fmtid& id) {
    cfb::PropertySet set;
    set.clsid = id; // the bank creates its sets with the format identifier as class
    cfb::PropertySection section;
    section.fmtid = id;
    section.codePage = kAnsiCodePage;
    set.sections.push_back(std::move(section));
    return set;
}

void PutText(cfb::PropertySection& s, std::uint32_t id, const AnsiString& text) {
    s.Set(id, cfb::PropertyValue::Lpstr(text));
}

void PutDate(cfb::PropertySection& s, std::uint32_t id, const OleDateTime& date) {
    if (!date.valid || date.days == 0.0)
        return;
    if (auto ticks = date.ToFileTime())
        s.Set(id, cfb::PropertyValue::FileTimeValue(*ticks));
}

void GetText(const cfb::PropertySection& s, std::uint32_t id, AnsiString& field) {
    const cfb::PropertyValue* v = s.Find(id);
    if (!v || !v->IsString())
        return;
    if (auto text = CodePageToAnsi(v->text, s.TextCodePage(*v)))
        field = std::move(*text);
}

void GetInt(const cfb::PropertySection& s, std::uint32_t id, std::int32_t& field) {
    if (const cfb::PropertyValue* v = s.Find(id))
        if (auto n = v->AsInt32())
            field = *n;
}

void GetDate(const cfb::PropertySection& s, std::uint32_t id, OleDateTime& field) {
    const cfb::PropertyValue* v = s.Find(id);
    if (!v || v->type != cfb::vt::FileTime || v->fileTime == 0)
        return;
    const OleDateTime date = OleDateTime::FromFileTime(v->fileTime);
    if (date.valid)
        field = date;
}

} // namespace

AnsiString CurrentUserName() {
    std::string name;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name && *pw->pw_name)
        name = pw->pw_name;
    else if (const char* user = std::getenv("USER"))
        name = user;
    AnsiString ansi = Utf8ToAnsiLossy(name);
    if (ansi.size() > kMaxUserName)
        ansi.resize(kMaxUserName);
    return ansi;
}

BankSummary DefaultBankSummary(AnsiView title, AnsiView userName, const OleDateTime& now) {
    BankSummary s;
    s.title = AnsiString(title);
    s.author = AnsiString(userName);
    s.lastAuthor = AnsiString(userName);
    s.created = now;
    s.comments = Utf8ToAnsiLossy("Банк создан ") + FormatItemDateTime(now) +
                 Utf8ToAnsiLossy(" пользователем ") + AnsiString(userName) + ".";
    return s;
}

AnsiString ApplicationNameText(AnsiView appTitle, AnsiView versionText) {
    const AnsiString version = versionText.empty() ? VersionText() : AnsiString(versionText);
    return AnsiString(appTitle) + Utf8ToAnsiLossy(" версия ") + version;
}

cfb::PropertySet MakeSummaryInformation(const BankSummary& summary, std::uint32_t saveCounter,
                                        AnsiView applicationName) {
    cfb::PropertySet set = NewSet(cfb::fmtid::SummaryInformation);
    cfb::PropertySection& s = set.sections.front();
    PutText(s, si::AppName,
            applicationName.empty() ? ApplicationNameText() : AnsiString(applicationName));
    PutText(s, si::Title, summary.title);
    PutText(s, si::Subject, summary.subject);
    PutText(s, si::Author, summary.author);
    PutText(s, si::Keywords, summary.keywords);
    PutText(s, si::Comments, summary.comments);
    PutText(s, si::LastAuthor, summary.lastAuthor);
    PutText(s, si::RevNumber, std::to_string(saveCounter));
    PutText(s, si::Template, summary.templateName);
    s.Set(si::PageCount, cfb::PropertyValue::I4(summary.pages));
    s.Set(si::WordCount, cfb::PropertyValue::I4(summary.words));
    s.Set(si::CharCount, cfb::PropertyValue::I4(summary.characters));
    s.Set(si::Security, cfb::PropertyValue::I4(summary.security));
    if (summary.editTime != 0)
        s.Set(si::EditTime, cfb::PropertyValue::FileTimeValue(summary.editTime));
    PutDate(s, si::LastPrinted, summary.lastPrinted);
    PutDate(s, si::Created, summary.created);
    PutDate(s, si::LastSaved, summary.lastSaved);
    return set;
}

cfb::PropertySet MakeDocumentSummaryInformation(const BankSummary& summary,
                                                const std::vector<UserProperty>& userProperties) {
    cfb::PropertySet set = NewSet(cfb::fmtid::DocSummaryInformation);
    cfb::PropertySection& s = set.sections.front();
    PutText(s, dsi::Category, summary.category);
    PutText(s, dsi::Manager, summary.manager);
    PutText(s, dsi::Company, summary.company);
    PutText(s, dsi::PresFormat, summary.presentationFormat);
    s.Set(dsi::LineCount, cfb::PropertyValue::I4(summary.lines));
    s.Set(dsi::ParCount, cfb::PropertyValue::I4(summary.paragraphs));
    s.Set(dsi::SlideCount, cfb::PropertyValue::I4(summary.slides));
    s.Set(dsi::NoteCount, cfb::PropertyValue::I4(summary.notes));
    s.Set(dsi::HiddenCount, cfb::PropertyValue::I4(summary.hiddenObjects));
    s.Set(dsi::MmClipCount, cfb::PropertyValue::I4(summary.multimediaClips));
    s.Set(dsi::LinksDirty, cfb::PropertyValue::Bool(summary.linksDirty));
    set.sections.push_back(MakeUserDefinedSection(userProperties));
    return set;
}

void ApplySummaryInformation(const cfb::PropertySet& set, BankSummary& summary) {
    const cfb::PropertySection* s = set.Section(cfb::fmtid::SummaryInformation);
    if (!s)
        return;
    GetText(*s, si::Title, summary.title);
    GetText(*s, si::Subject, summary.subject);
    GetText(*s, si::Author, summary.author);
    GetText(*s, si::Keywords, summary.keywords);
    GetText(*s, si::Comments, summary.comments);
    GetText(*s, si::Template, summary.templateName);
    if (const cfb::PropertyValue* v = s->Find(si::EditTime); v && v->type == cfb::vt::FileTime)
        summary.editTime = v->fileTime;
    GetDate(*s, si::LastPrinted, summary.lastPrinted);
    GetDate(*s, si::Created, summary.created);
    GetDate(*s, si::LastSaved, summary.lastSaved);
    GetInt(*s, si::Security, summary.security);
}

void ApplyDocumentSummaryInformation(const cfb::PropertySet& set, BankSummary& summary,
                                     std::vector<UserProperty>* userProperties) {
    if (const cfb::PropertySection* s = set.Section(cfb::fmtid::DocSummaryInformation)) {
        GetText(*s, dsi::Category, summary.category);
        GetText(*s, dsi::PresFormat, summary.presentationFormat);
        GetText(*s, dsi::Manager, summary.manager);
        GetText(*s, dsi::Company, summary.company);
    }
    if (userProperties) {
        userProperties->clear();
        if (const cfb::PropertySection* u = set.Section(cfb::fmtid::UserDefinedProperties))
            *userProperties = ReadUserDefinedSection(*u);
    }
}

void SetByteCount(cfb::PropertySet& set, std::uint64_t byteCount) {
    if (set.sections.empty())
        set = NewSet(cfb::fmtid::DocSummaryInformation);
    const auto capped = static_cast<std::int32_t>(
        std::min<std::uint64_t>(byteCount, std::numeric_limits<std::int32_t>::max()));
    set.sections.front().Set(dsi::ByteCount, cfb::PropertyValue::I4(capped));
}

void ReadSummary(cfb::Storage& root, AnsiView currentUser, BankSummary& summary,
                 std::vector<UserProperty>& userProperties) {
    if (auto set = cfb::ReadPropertySet(root, cfb::kSummaryInformationName))
        ApplySummaryInformation(*set, summary);
    userProperties.clear();
    if (auto set = cfb::ReadPropertySet(root, cfb::kDocSummaryInformationName))
        ApplyDocumentSummaryInformation(*set, summary, &userProperties);
    summary.lastAuthor = AnsiString(currentUser);
}

Result<void> WriteSummary(cfb::Storage& root, const BankSummary& summary, std::uint32_t saveCounter,
                          const std::vector<UserProperty>& userProperties,
                          AnsiView applicationName) {
    // Every save starts from empty sets; a missing stream is not an error here.
    (void)root.DestroyElement(cfb::kSummaryInformationName);
    (void)root.DestroyElement(cfb::kDocSummaryInformationName);
    Result<void> first;
    auto keep = [&first](Result<void> r) {
        if (first && !r)
            first = std::move(r);
    };
    keep(cfb::WritePropertySet(root, cfb::kSummaryInformationName,
                               MakeSummaryInformation(summary, saveCounter, applicationName)));
    keep(cfb::WritePropertySet(root, cfb::kDocSummaryInformationName,
                               MakeDocumentSummaryInformation(summary, userProperties)));
    return first;
}

Result<void> WriteByteCount(cfb::Storage& root, std::uint64_t byteCount) {
    auto set = cfb::ReadPropertySet(root, cfb::kDocSummaryInformationName);
    cfb::PropertySet updated = set ? std::move(*set) : NewSet(cfb::fmtid::DocSummaryInformation);
    updated.warnings.clear();
    SetByteCount(updated, byteCount);
    return cfb::WritePropertySet(root, cfb::kDocSummaryInformationName, updated);
}

Result<void> UpdateByteCount(cfb::Storage& root) {
    auto stat = root.Stat();
    if (!stat)
        return stat.error();
    if (stat->name.empty())
        return MakeError(hr::NotFileBasedStorage, "the storage has no file");
    std::error_code ec;
    const auto size = std::filesystem::file_size(std::filesystem::path(stat->name), ec);
    if (ec)
        return MakeError(hr::FileNotFound,
                         "cannot take the size of the bank file: " + ec.message());
    return WriteByteCount(root, size);
}

} // namespace kelvo
