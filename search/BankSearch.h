// The bank search: a walk over records, password folders and password entries from a start
// node, matching the search expression against each object's data, keywords and notes and
// collecting one result row per object found.
#pragma once

#include "search/BankObjects.h"
#include "search/Expression.h"
#include "search/ResultRows.h"
#include "search/SearchCriteria.h"

#include <cstdint>
#include <memory>

namespace kelvo {

/// What the search dialog does while a search runs. Every call defaults to nothing.
class SearchObserver {
public:
    virtual ~SearchObserver() = default;
    /// True when events wait to be handled. Asked twice per object; when it says yes, the
    /// body source lets go of the bank file and DispatchOneEvent follows.
    virtual bool EventsWaiting() { return false; }
    /// Handles one waiting event (so that the stop button can be pressed). The event may
    /// change the bank or call BankSearch::Stop.
    virtual void DispatchOneEvent() {}
    virtual void SetStatus(AnsiView /*text*/) {}
    virtual void SetRange(std::uint32_t /*upper*/) {}
    virtual void Step() {}
    /// The walk ended: the bar goes to its end.
    virtual void Finish() {}
    /// A row was added (`added`) or one of its texts replaced.
    virtual void RowChanged(std::size_t /*row*/, bool /*added*/) {}
};

class BankSearch {
public:
    BankSearch(SearchBank bank, ResultRows& rows, SearchObserver* observer = nullptr);

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

    /// Sets the stop flag: the walk ends at its next check, within one object.
    void Stop() { m_stop = true; }
    bool stopped() const { return m_stop; }

    /// Takes the criteria for SearchNode and SearchObject called directly (Run sets them).
    void SetCriteria(const SearchCriteria& criteria);

private:
    struct Texts;
    void Dispatch();
    void AddRow(const Texts& texts, AnsiView detail, AnsiView keywords, AnsiView notes,
                HitColumn hit);

    SearchBank m_bank;
    ResultRows& m_rows;
    SearchObserver* m_observer;
    SearchCriteria m_criteria;
    std::unique_ptr<SearchExpression> m_expression;
    bool m_stop = false;
};

} // namespace kelvo
