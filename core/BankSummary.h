// The bank's descriptive properties (title, author, dates, counters...) and their storage as
// the two standard property sets, SummaryInformation and DocumentSummaryInformation, in the
// bank's root storage; the user-defined section rides along in the second set.
#pragma once

#include "core/UserProperty.h"
#include "platform/storage/PropertySet.h"
#include "platform/storage/Storage.h"
#include "platform/text/Ansi.h"
#include "platform/text/OleDateTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

/// The program title used in the application-name property.
inline constexpr char kApplicationTitle[] = "Quorvelline 2003 Professional";

struct BankSummary {
    // SummaryInformation
    AnsiString title;
    AnsiString subject;
    AnsiString author;
    AnsiString keywords;
    AnsiString comments;
    AnsiString templateName = "(\xCD\xE5\xF2)"; // "(Нет)"
    AnsiString lastAuthor;
    /// Total editing time as stored (a duration in 100-ns ticks, 0 = none). Nothing changes
    /// it; it is kept as read and written back unchanged, never shifted by a time zone.
    std::uint64_t editTime = 0;
    OleDateTime lastPrinted;
    OleDateTime created;
    OleDateTime lastSaved;
    std::int32_t pages = 0;
    std::int32_t words = 0;
    std::int32_t characters = 0;
    std::int32_t security = 0;
    // DocumentSummaryInformation
    AnsiString category;
    AnsiString presentationFormat = "Screen";
    std::int32_t lines = 0;
    std::int32_t paragraphs = 0;
    std::int32_t slides = 0;
    std::int32_t notes = 0;
    std::int32_t hiddenObjects = 0;
    std::int32_t multimediaClips = 0;
    AnsiString manager;
    AnsiString company;
    bool linksDirty = false;

    bool operator==(const BankSummary&) const = default;
};

/// The log-on name of the user running the process (the password database, else $USER),
/// in Windows-1251 (characters it cannot hold become '?'), at most 99 characters.
AnsiString CurrentUserName();

/// The summary of a new bank: title, author and last author = `userName`, created = `now`,
/// comments "Банк создан %s пользователем %s." with the created time as item-stream text
/// and the user name; template "(Нет)", presentation format "Screen", the rest empty or zero.
BankSummary DefaultBankSummary(AnsiView title, AnsiView userName,
                               const OleDateTime& now = OleDateTime::Now());

/// "%s версия %s" with the program title and version text ("1.0.0.1").
AnsiString ApplicationNameText(AnsiView appTitle = kApplicationTitle, AnsiView versionText = {});

// --- The property sets in memory -------------------------------------------------------

/// The SummaryInformation set. Properties in the order the bank writes them: application
/// name, title, subject, author, keywords, comments, last author, save counter as decimal
/// text, template, pages, words, characters, security, then the edit time, last printed,
/// created and last saved, each only when set. `applicationName` empty means
/// ApplicationNameText().
cfb::PropertySet MakeSummaryInformation(const BankSummary& summary, std::uint32_t saveCounter,
                                        AnsiView applicationName = {});
/// The DocumentSummaryInformation set: category, manager, company, presentation format,
/// lines, paragraphs, slides, notes, hidden objects, multimedia clips, links out of date;
/// then the user-defined section for `userProperties`.
cfb::PropertySet MakeDocumentSummaryInformation(const BankSummary& summary,
                                                const std::vector<UserProperty>& userProperties);

/// Fills the fields the bank reads back (title, subject, author, keywords, comments,
/// template, edit time, last printed, created, last saved, security) from a SummaryInformation
/// set. A missing or unconvertible property leaves its field as it was.
void ApplySummaryInformation(const cfb::PropertySet& set, BankSummary& summary);
/// Fills category, presentation format, manager and company; when `userProperties` is given,
/// replaces it with the user-defined section (emptied when there is none).
void ApplyDocumentSummaryInformation(const cfb::PropertySet& set, BankSummary& summary,
                                     std::vector<UserProperty>* userProperties);

/// Sets (or replaces) the byte count, property 4 of the first section of a
/// DocumentSummaryInformation set, as VT_I4; sizes beyond 32 bits are capped at INT32_MAX.
void SetByteCount(cfb::PropertySet& set, std::uint64_t byteCount);

// --- The property sets in a bank's root storage ------------------------------------------

/// Reads the summary of an opened bank: fills `summary` (which the caller has reset to the
/// defaults) from the two standard sets, replaces `userProperties` with the user-defined
/// section, and sets the last author to `currentUser`. Missing or damaged sets leave the
/// fields as they were; nothing is created in `root`.
void ReadSummary(cfb::Storage& root, AnsiView currentUser, BankSummary& summary,
                 std::vector<UserProperty>& userProperties);

/// Rewrites both sets in `root` from scratch (the old streams are destroyed first).
/// `saveCounter` is the bank's revision number; `applicationName` empty means
/// ApplicationNameText(). Returns the first failure; the caller may ignore it.
Result<void> WriteSummary(cfb::Storage& root, const BankSummary& summary, std::uint32_t saveCounter,
                          const std::vector<UserProperty>& userProperties,
                          AnsiView applicationName = {});

/// The last step of a save: stores `byteCount` as the byte-count property in the
/// DocumentSummaryInformation set already in `root`, leaving the rest of it as it is.
Result<void> WriteByteCount(cfb::Storage& root, std::uint64_t byteCount);
/// WriteByteCount with the current size on disk of the file that holds `root` (the path
/// comes from the root's status).
Result<void> UpdateByteCount(cfb::Storage& root);

} // namespace kelvo
