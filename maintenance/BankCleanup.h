// Bank cleanup: wiping chosen kinds of content from the whole open bank in one pass while
// keeping its structure (the record tree and the password folders stay).
#pragma once

#include "core/Progress.h"
#include "core/QuorvellineDoc.h"
#include "core/StatusSink.h"

#include <cstddef>
#include <string_view>

namespace kelvo {

/// Texts of the cleanup dialog (UTF-8).
inline constexpr std::string_view kCleanupWaitingText = "Ожидание очистки...";
inline constexpr std::string_view kCleanupNothingChosenText = // message 2005
    "Необходимо выбрать хотя бы один пункт для очистки!";
inline constexpr std::string_view kCleanupQuestionText = // message 2006
    "Вы действиельно хотите очистить выбранные данные банка?\nЭто действие не удастся "
    "отменить!";
inline constexpr std::string_view kCleanupDoneText = // message 2007
    "Очистка банка завершена.\nРекомендуется провести сохранение, а затем ревизию банка.";
/// Status lines with the item's title in place of %s (strings 517, 518, 519).
inline constexpr std::string_view kCleanupRecordText = "Очистка записи: %s";
inline constexpr std::string_view kCleanupFolderText = "Очистка папки: %s";
inline constexpr std::string_view kCleanupPasswordText = "Очистка пароля: %s";
/// A text of this program: the original went on and reported success without the texts.
inline constexpr std::string_view kCleanupNoWorkingStorageText =
    "Не удается открыть банк данных, чтобы удалить тексты записей.\nОчистка не выполнена.";

/// The six check boxes of the dialog.
struct CleanupChoices {
    bool recordKeywords = false;
    bool recordNotes = false;
    bool recordTexts = false; ///< the body streams in RecData
    bool folderKeywords = false;
    bool folderNotes = false;
    bool passwords = false; ///< every password entry, in all folders

    bool Any() const {
        return recordKeywords || recordNotes || recordTexts || folderKeywords || folderNotes ||
               passwords;
    }
};

/// The views that show what the cleanup changed.
class CleanupViews {
public:
    virtual ~CleanupViews() = default;
    /// The record editor reloads the body of the selected record (after the record pass).
    virtual void ReloadSelectedBody() {}
    /// The password list refills itself for the selected folder (at the end).
    virtual void RefillPasswordList() {}
};

struct CleanupResult {
    std::size_t progressRange = 0; ///< password entries + folders + records
    std::size_t progressSteps = 0; ///< records + folders (+ entries when they were removed)
    std::size_t bodiesRemoved = 0; ///< body streams that existed and were destroyed
    std::size_t passwordsRemoved = 0;
};

/// Runs the cleanup: records in pre-order (notes, keywords, body stream destroyed in the
/// working storage at once), then folders in pre-order (notes, keywords), then the password
/// entries from the first; each item gets its status line and one progress step. Keywords,
/// notes and entries change in memory and reach the file with the next save; the bank is
/// marked modified. Refused with nothing changed: no choice made (kCleanupNothingChosenText),
/// or record texts chosen and the working storage cannot be opened.
Result<CleanupResult> RunBankCleanup(CQuorvellineDoc& doc, const CleanupChoices& choices,
                                     Progress* progress = nullptr, StatusSink* status = nullptr,
                                     CleanupViews* views = nullptr);

} // namespace kelvo
