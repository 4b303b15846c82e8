// What the bank properties sheet shows on its read-only pages: the file facts of the bank as
// Linux has them ("Общие"), the dates, counters and statistics of the summary ("Статистика")
// and the titles of everything in the bank ("Состав").
#pragma once

#include "core/BankSummary.h"
#include "core/QuorvellineDoc.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kelvo {

/// The facts of one file. What the system cannot tell stays empty (shown "(Неизвестно)").
struct FileFacts {
    bool found = false; ///< the file could be looked at; the rest is empty otherwise
    std::uint64_t size = 0;
    std::optional<OleDateTime> created;  ///< the birth time, where the file system keeps one
    std::optional<OleDateTime> accessed; ///< last access
    std::optional<OleDateTime> modified; ///< last change of the content
    bool readOnly = false; ///< the permission bits that apply to this user have no write bit
    bool hidden = false;   ///< the name begins with a dot
    // Linux has no archive or system attribute: those boxes stay clear.
    bool archive = false;
    bool system = false;
};

/// Looks at the file at `path` (following a symbolic link) without opening it.
FileFacts ReadFileFacts(const std::filesystem::path& path);

/// Page "Общие" of an open bank.
struct BankFileFacts {
    std::string name; ///< UTF-8: the file name with its extension, or the document's title
    /// The folder of the bank file; for a bank never saved, the path of its working file
    /// (empty while it has none).
    std::filesystem::path folder;
    bool workingFile = false; ///< `folder` is the working file of a bank never saved
    FileFacts file;           ///< the bank file's facts; nothing for a bank never saved
};
BankFileFacts ReadBankFileFacts(const CQuorvellineDoc& doc);

/// A date of the summary as the sheet shows it: the date and time, or "(Неизвестно)" when
/// it is not set (zero) or not valid.
std::string SummaryDateText(const OleDateTime& date);
/// The same for a file time that may be unknown.
std::string FileDateText(const std::optional<OleDateTime>& date);

/// The values of the statistics list, in its row order: template, pages, words, characters,
/// lines, slides, hidden objects, notes, multimedia clips, paragraphs (each "%d"), links out
/// of date ("Да"/"Нет"), presentation format. UTF-8.
inline constexpr std::size_t kStatisticsRows = 12;
std::array<std::string, kStatisticsRows> StatisticsValues(const BankSummary& summary);

/// The titles page "Состав" lists, UTF-8: the bank's title; each record in the record
/// tree's order (pre-order, children in display order); each password folder likewise;
/// each password entry in the order of the entry list.
struct BankComposition {
    std::string title;
    std::vector<std::string> records;
    std::vector<std::string> folders;
    std::vector<std::string> passwords;
};
BankComposition ReadBankComposition(CQuorvellineDoc& doc);

} // namespace kelvo
