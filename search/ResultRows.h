// The rows of a result grid (index query and bank search) on the data side: one row per
// object, later hits of the same object replacing only their own column or the detail.
#pragma once

#include "index/KeywordIndex.h"
#include "platform/text/Ansi.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvo {

/// The column a hit belongs to.
enum class HitColumn { Place = 1, Keywords = 2, Notes = 3, Detail = 4 };

struct ResultRow {
    std::size_t number = 0; ///< "№": 1 for the first row
    AnsiString place;
    AnsiString keywords;
    AnsiString notes;
    std::uint32_t sizeKb = 0; ///< "Размер, Кбайт"
    AnsiString detail;        ///< drawn under the cells
    AnsiString key;           ///< ItemKey of the object
};

class ResultRows {
public:
    /// Adds a row for `key`, or, when the key already has a row, replaces that row's detail
    /// (Detail) or the cell of the hit column with the text given for it. Texts are stored as
    /// the grid's markup draws them: LF becomes "<p>", CR is deleted, a tab becomes a space
    /// (replacements included). Returns the row's index.
    std::size_t AddResultRow(AnsiView place, AnsiView detail, AnsiView keywords, AnsiView notes,
                             std::uint32_t sizeKb, HitColumn hit, AnsiView key);

    const std::vector<ResultRow>& rows() const { return m_rows; }
    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    const ResultRow& operator[](std::size_t i) const { return m_rows[i]; }
    /// The row of a key, or null.
    const ResultRow* Find(AnsiView key) const;
    void Clear();

private:
    std::vector<ResultRow> m_rows;
    std::unordered_map<AnsiString, std::size_t, detail::TextHash, std::equal_to<>> m_byKey;
};

/// LF to "<p>", CR deleted, tab to a space.
AnsiString GridText(AnsiView text);

} // namespace kelvo
