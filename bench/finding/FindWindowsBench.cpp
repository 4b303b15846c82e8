// The search window of the main window over a bank of 10,000 records with 100 MB of RTF
// bodies: the time from "Искать" to the first row shown and to the last, against the same
// walk without a window; then a grid of 10,000 result rows scrolled, one screen at a time.
#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"
#include "search/BankSearch.h"
#include "search/StorageBodySource.h"
#include "search/ui/BankSearchDlg.h"
#include "search/ui/ResultGrid.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/SettingsStore.h"
#include "shell/UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace kelvo;

namespace {

constexpr int kRecords = 10000;
constexpr std::size_t kTotal = 100u << 20;

std::string Hex(unsigned char c) {
    static const char digits[] = "0123456789abcdef";
    return std::string("\\'") + digits[c >> 4] + digits[c & 15];
}

std::string Escaped(const AnsiString& word) {
    std::string out;
    for (char c : word) {
        const auto u = static_cast<unsigned char>(c);
        out += u >= 0x80 ? Hex(u) : std::string(1, c);
    }
    return out;
}

// An RTF body of about `size` bytes of words from the vocabulary, as the editor writes it.
std::string Body(std::mt19937& random, const std::vector<std::string>& words, std::size_t size,
                 bool rare, const std::string& rareWord) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fswiss"
                      "\\fcharset204 Arial;}}\r\n\\viewkind4\\uc1\\pard\\lang1049\\f0\\fs20 ";
    std::uniform_int_distribution<std::size_t> pick(0, words.size() - 1);
    int inParagraph = 0;
    while (rtf.size() < size) {
        rtf += words[pick(random)];
        if (++inParagraph == 40) {
            rtf += "\\par\r\n";
            inParagraph = 0;
        } else {
            rtf += ' ';
        }
    }
    if (rare)
        rtf += " " + rareWord + " ";
    return rtf + "\\par\r\n}\r\n";
}

double Ms(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

class QuietDialogs : public QtUserDialogs {
public:
    void ShowMessage(QWidget*, const QString& text, QMessageBox::Icon, const QString&) override {
        std::printf("message: %s\n", text.toUtf8().constData());
    }
};

struct Timing {
    double firstRow = -1, firstPaint = -1, last = 0;
    std::size_t rows = 0;
};

/// Runs one search in the window, timing the first row, its first paint and the end.
Timing TimeSearch(BankSearchDlg& window, const QString& text) {
    Timing timing;
    QElapsedTimer clock;
    ReportGrid& grid = window.Grid();
    auto inserted =
        QObject::connect(&grid.Model(), &QAbstractItemModel::rowsInserted, &window, [&] {
            if (timing.firstRow < 0)
                timing.firstRow = Ms(clock);
        });
    struct PaintWatch : QObject {
        Timing* timing;
        QElapsedTimer* clock;
        ReportGrid* grid;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && grid->RowCount() > 0 && timing->firstPaint < 0)
                timing->firstPaint = Ms(*clock);
            return false;
        }
    } watch;
    watch.timing = &timing;
    watch.clock = &clock;
    watch.grid = &grid;
    grid.viewport()->installEventFilter(&watch);
    window.findChild<QComboBox*>(QStringLiteral("SearchText"))->setEditText(text);
    clock.start();
    window.StartSearch();
    timing.last = Ms(clock);
    timing.rows = window.Rows().size();
    grid.viewport()->removeEventFilter(&watch);
    QObject::disconnect(inserted);
    return timing;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SettingsStore settings(dir.path() + QStringLiteral("/bench.ini"));
    QuietDialogs dialogs;
    CQuorvellineDoc doc;
    CMainFrame frame(doc, settings, dialogs);
    if (!doc.OnNewDocument().ok() ||
        !doc.SaveAs((dir.path() + QStringLiteral("/bank.Kvb")).toStdString()).ok())
        return 0;

    std::vector<std::string> words;
    for (const char* w : {"дом",    "работа", "отпуск", "море",  "письмо", "город", "встреча",
                          "проект", "отчёт",  "задача", "банк",  "пароль", "note",  "meeting",
                          "river",  "summer", "летом",  "зимой", "план",   "список"})
        words.push_back(Escaped(Utf8ToAnsiLossy(w)));
    const std::string rare = Escaped(Utf8ToAnsiLossy("гиппопотам"));
    std::mt19937 random(11);
    TreeNode* root = doc.records().first();
    std::uint64_t rtfBytes = 0;
    {
        auto storage = doc.WorkingStorage();
        if (!storage)
            return 0;
        for (int i = 0; i < kRecords; ++i) {
            TreeNode* node = i == 0 ? root : doc.AddNode(TreeKind::Records, root, "record");
            node->item.keywords = Utf8ToAnsiLossy(i % 2 ? "работа, план" : "дом");
            const std::string rtf = Body(random, words, kTotal / kRecords, i % 97 == 0, rare);
            rtfBytes += rtf.size();
            (void)WriteRecordBody(*storage, node->item.uid, rtf);
        }
        (void)storage->Commit();
    }
    frame.RefreshTrees();
    frame.resize(1000, 700);
    frame.show();
    frame.ExecuteCommand(cmd::BankSearch);
    BankSearchDlg& window = *frame.SearchWindow().Window();
    window.resize(1000, 760);
    QApplication::processEvents();

    std::printf("== search window, %d records, %.1f MB of RTF bodies\n", kRecords,
                rtfBytes / 1048576.0);
    // The same walk without a window: the floor the window is measured against.
    const QString rareText = QStringLiteral("работа AND гиппопотам");
    double bare = 0;
    {
        SearchCriteria criteria;
        criteria.text = Utf8ToAnsiLossy(rareText.toStdString());
        ResultRows rows;
        StorageBodySource bodies(doc);
        BankSearch search({doc.trees(), doc.passwords(), bodies}, rows);
        QElapsedTimer clock;
        clock.start();
        search.Run(criteria);
        bare = Ms(clock);
        std::printf("%-52s %9.1f ms, %zu rows\n", "walk alone, every body converted", bare,
                    rows.size());
    }
    const Timing cold = TimeSearch(window, rareText);
    std::printf("%-52s %9.1f ms, %zu rows\n", "window, first search: last row", cold.last,
                cold.rows);
    std::printf("%-52s %9.1f ms (painted at %.1f ms)\n", "window, first search: first row",
                cold.firstRow, cold.firstPaint);
    std::printf("%-52s %9.2fx\n", "window / walk alone", cold.last / bare);
    const Timing warm = TimeSearch(window, rareText);
    std::printf("%-52s %9.1f ms, first row %.1f ms (painted %.1f ms)\n",
                "window, same search again: last row", warm.last, warm.firstRow, warm.firstPaint);

    // Every record found: ten thousand rows with excerpts, shown as they come.
    const Timing all = TimeSearch(window, QStringLiteral("работа OR дом"));
    std::printf("%-52s %9.1f ms, %zu rows, first row %.1f ms (painted %.1f ms)\n",
                "window, a row for every record: last row", all.last, all.rows, all.firstRow,
                all.firstPaint);

    ReportGrid& grid = window.Grid();
    const int widths[] = {30, 170, 170, 170, 90};
    for (int column = 0; column < 5; ++column)
        grid.horizontalHeader()->resizeSection(column, widths[column]);
    QElapsedTimer clock;
    clock.start();
    grid.FitRowHeights();
    std::printf("%-52s %9.1f ms\n", "fit 10,000 rows to wider columns", Ms(clock));
    QApplication::processEvents();
    std::vector<double> screens;
    QScrollBar* bar = grid.verticalScrollBar();
    for (int step = 1; step <= 60; ++step) {
        bar->setValue(static_cast<int>(static_cast<long>(bar->maximum()) * step / 60));
        clock.restart();
        QApplication::processEvents();
        (void)grid.viewport()->grab();
        screens.push_back(Ms(clock));
    }
    std::printf("%-52s %9.2f ms (%.2f of a 60 Hz frame)\n",
                "one screen of the grid, anywhere (median of 60)", Median(screens),
                Median(screens) / (1000.0 / 60));
    screens.clear();
    bar->setValue(bar->maximum() / 2);
    for (int step = 0; step < 60; ++step) {
        bar->setValue(bar->value() + bar->singleStep() * 3);
        clock.restart();
        QApplication::processEvents();
        (void)grid.viewport()->grab();
        screens.push_back(Ms(clock));
    }
    std::printf("%-52s %9.2f ms (%.2f of a 60 Hz frame)\n",
                "one screen after a wheel notch (median of 60)", Median(screens),
                Median(screens) / (1000.0 / 60));
    (void)argc;
    (void)argv;
    return 0;
}
