// The structure of a bank of 10,000 records (every node expanded) laid out, paginated and
// printed into a PDF file at 600 pixels per inch, as kvb print --structure does; prints the
// times of each step and the pages made.
#include "core/QuorvellineDoc.h"
#include "images/TreeImages.h"
#include "print/StructureLayout.h"
#include "print/paint/StructurePages.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

using namespace kelvo;

namespace {

constexpr int kRecords = 10000;

template <class F> double Millis(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // 100 chapters of 10 sections of 10 records (plus the chapters and sections themselves).
    RecordTree tree;
    TreeNode* root = tree.Insert(AnsiString("Root"));
    root->expanded = true;
    int made = 1;
    for (int c = 0; c < 100 && made < kRecords; ++c) {
        TreeNode* chapter = tree.Insert("chapter " + std::to_string(c), root);
        chapter->expanded = true;
        ++made;
        for (int s = 0; s < 10 && made < kRecords; ++s) {
            TreeNode* section = tree.Insert("section " + std::to_string(s), chapter);
            section->expanded = true;
            ++made;
            for (int r = 0; r < 8 && made < kRecords; ++r, ++made)
                tree.Insert("record " + std::to_string(made), section);
        }
    }
    while (made < kRecords) {
        tree.Insert("record " + std::to_string(made), root);
        ++made;
    }

    std::vector<StructureRow> rows;
    const double rowsMs = Millis([&] { rows = VisibleRows(tree); });
    std::vector<StructurePage> pages;
    const double paginateMs = Millis([&] { pages = PaginateStructure(rows.size(), 18, 1100); });

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/structure.pdf");
    const std::vector<QImage> images = RecordTreeImageList(64);
    int printed = 0;
    const double printMs = Millis([&] {
        StructurePages source(StoredStructure(tree, images));
        const Result<int> result = PrintToPdf(source, path);
        printed = result ? *result : -1;
    });
    std::printf("structure of %zu records: %zu visible rows\n", tree.size(), rows.size());
    std::printf("  visible rows        %8.2f ms\n", rowsMs);
    std::printf("  pagination          %8.2f ms (%zu pages of 1100 pane pixels)\n", paginateMs,
                pages.size());
    std::printf("  printed to PDF      %8.2f ms (%d pages, %.1f MB, %.2f ms a page)\n", printMs,
                printed, QFileInfo(path).size() / 1048576.0, printed > 0 ? printMs / printed : 0);
    return printed > 0 ? 0 : 1;
}
