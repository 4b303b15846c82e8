// Printing result rows for kvb query and kvb search.
#include "cli/SearchResults.h"

namespace kelvo::cli {

void PrintResultRows(CommandIo& io, std::string_view status, const ResultRows& rows) {
    if (io.json) {
        nlohmann::ordered_json results = nlohmann::ordered_json::array();
        for (const ResultRow& row : rows.rows())
            results.push_back({{"key", Utf8(row.key)},
                               {"place", Utf8(row.place)},
                               {"keywords", Utf8(row.keywords)},
                               {"notes", Utf8(row.notes)},
                               {"size_kb", row.sizeKb},
                               {"detail", Utf8(row.detail)}});
        PrintJson(io, {{"status", status}, {"results", results}});
        return;
    }
    io.out << status << '\n';
    for (const ResultRow& row : rows.rows())
        io.out << row.number << ". " << Utf8(row.place) << " [" << Utf8(row.key) << ", "
               << row.sizeKb << " Кбайт]\n   Ключевые слова: " << Utf8(row.keywords)
               << "\n   Заметки: " << Utf8(row.notes) << "\n   " << Utf8(row.detail) << '\n';
}

} // namespace kelvo::cli
