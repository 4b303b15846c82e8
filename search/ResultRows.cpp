// Result grid rows: adding and merging hits by object key.
#include "search/ResultRows.h"

namespace kelvo {

AnsiString GridText(AnsiView text) {
    AnsiString out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n')
            out.append("<p>");
        else if (c == '\t')
            out.push_back(' ');
        else if (c != '\r')
            out.push_back(c);
    }
    return out;
}

std::size_t ResultRows::AddResultRow(AnsiView place, AnsiView detail, AnsiView keywords,
                                     AnsiView notes, std::uint32_t sizeKb, HitColumn hit,
                                     AnsiView key) {
    if (auto it = m_byKey.find(key); it != m_byKey.end()) {
        ResultRow& row = m_rows[it->second];
        switch (hit) {
        case HitColumn::Place:
            row.place = GridText(place);
            break;
        case HitColumn::Keywords:
            row.keywords = GridText(keywords);
            break;
        case HitColumn::Notes:
            row.notes = GridText(notes);
            break;
        case HitColumn::Detail:
            row.detail = GridText(detail);
            break;
        }
        return it->second;
    }
    ResultRow row;
    row.number = m_rows.size() + 1;
    row.place = GridText(place);
    row.keywords = GridText(keywords);
    row.notes = GridText(notes);
    row.sizeKb = sizeKb;
    row.detail = GridText(detail);
    row.key = AnsiString(key);
    m_byKey.emplace(row.key, m_rows.size());
    m_rows.push_back(std::move(row));
    return m_rows.size() - 1;
}

const ResultRow* ResultRows::Find(AnsiView key) const {
    auto it = m_byKey.find(key);
    return it == m_byKey.end() ? nullptr : &m_rows[it->second];
}

void ResultRows::Clear() {
    m_byKey.clear();
    m_rows.clear();
}

} // namespace kelvo
