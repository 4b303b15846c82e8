// The bank search: a walk over records, password folders and password entries from a start
// node, matching the search expression against each object's data, keywords and notes and
// collecting one result row per object found.
#pragma once

#include "core/Progress.h"
#include "search/BankObjects.h"
#include "search/Expression.h"
#include "search/ResultRows.h"
#include "search/SearchCriteria.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace kelvo {

class BankSearch {
public:
    /// `progress` gets the status line ("Выполняется поиск...", "Поиск в объекте: ...", the
    /// end status), one step per object, and is asked twice per object whether to stop; when
    /// it has events waiting, the body source first lets go of the bank file. The events may
    /// change the bank or call Stop.
    BankSearch(SearchBank bank, ResultRows& rows, Progress* progress = nullptr);

    /// Told when a row was added (`added`) or one of its texts replaced: the grid redraws it.
    std::function<void(std::size_t row, bool added)> onRowChanged;

    /// Runs a whole search with validated criteria: empties the rows, walks from the start
    /// key (from the first record and the first folder for "bnk"), and ends with the status
    /// "Поиск завершен. Просмотр результатов.". False when it was stopped. A start key that
    /// names no node finds nothing.
    bool Run(const SearchCriteria& criteria);

    /// Searches the object of a "rec:"/"pwd:" key and, with `nested`, everything below it
    /// (pre-order, children in display order). False when the search was stopped.
    bool SearchNode(AnsiView key, bool nested);
    /// Searches one object ("rec", "pwd" or "pit" and its UID). False when stopped. Objects
    /// that are gone (deleted while events were handled) are skipped.
    bool SearchObject(AnsiView type, std::uint32_t uid);
    /// Whether an object of `sizeKb` kilobytes passes the size criterion.
    bool SizeFilter(std::uint32_t sizeKb) const;

    /// Sets the stop flag: the walk ends at its next check, within one object. (A progress
    /// window whose CancelRequested says yes does the same.)
    void Stop() { m_stop = true; }
    bool stopped() const { return m_stop; }

    /// Takes the criteria for SearchNode and SearchObject called directly (Run sets them).
    void SetCriteria(const SearchCriteria& criteria);

private:
    struct Texts;
    void Poll();
    void AddRow(const Texts& texts, AnsiView detail, AnsiView keywords, AnsiView notes,
                HitColumn hit);

    SearchBank m_bank;
    ResultRows& m_rows;
    Progress* m_progress;
    SearchCriteria m_criteria;
    std::unique_ptr<SearchExpression> m_expression;
    bool m_stop = false;
};

} // namespace kelvo
