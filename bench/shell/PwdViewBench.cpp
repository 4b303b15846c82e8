// Fills the password list from a folder of 5,000 entries (among 10,000 in the bank) and
// prints the median time of a fill, of a fill shown on screen, of adding one entry to the
// full list and of deleting all rows; the ratio compares a fill with one of 500 entries.
#include "core/QuorvellineDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CPwdView.h"
#include "shell/SettingsStore.h"
#include "shell/UserDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace kelvo;

double MedianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

class SilentDialogs : public UserDialogs {
public:
    void ShowMessage(QWidget*, const QString&, QMessageBox::Icon, const QString&) override {}
    QMessageBox::StandardButton Ask(QWidget*, const QString&, QMessageBox::StandardButtons,
                                    QMessageBox::Icon, const QString&) override {
        return QMessageBox::Yes;
    }
    QString OpenFileName(QWidget*, const QString&) override { return {}; }
    QString SaveFileName(QWidget*, const QString&, const QString&) override { return {}; }
};

void AddEntries(CQuorvellineDoc& doc, TreeNode* folder, int count, int seed) {
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<PwdItem>();
        // Titles in no order, with Cyrillic and Latin letters and numbers.
        const unsigned n = static_cast<unsigned>(i) * 2654435761u + static_cast<unsigned>(seed);
        entry->title = Utf8ToAnsiLossy("Сайт " + std::to_string(n % 100000) + " account");
        entry->category = Utf8ToAnsiLossy(n % 3 ? "Почта" : "Банк");
        entry->login = "user" + std::to_string(i);
        entry->password = "p@ss" + std::to_string(n);
        entry->link = "https://example.org/" + std::to_string(i);
        entry->notes = Utf8ToAnsiLossy("Заметка к записи ") + std::to_string(i);
        entry->icon = static_cast<int>(n % 33);
        doc.AddPassword(std::move(entry), folder);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SettingsStore settings(dir.path() + QStringLiteral("/bench.ini"));
    SilentDialogs dialogs;
    CQuorvellineDoc doc;
    if (!doc.OnNewDocument().ok())
        return 1;
    TreeNode* root = doc.folders().first();
    TreeNode* big = doc.AddNode(TreeKind::Folders, root, "big");
    TreeNode* small = doc.AddNode(TreeKind::Folders, root, "small");
    TreeNode* other = doc.AddNode(TreeKind::Folders, root, "other");
    AddEntries(doc, big, 5000, 1);
    AddEntries(doc, small, 500, 2);
    AddEntries(doc, other, 4500, 3);

    CMainFrame frame(doc, settings, dialogs);
    frame.SwitchTab(1);
    CPwdView& list = frame.PwdView();
    constexpr int kRuns = 15;

    doc.folders().Select(big, false);
    const double fill = MedianMs(kRuns, [&] { list.FillFromFolder(); });
    doc.folders().Select(small, false);
    const double fillSmall = MedianMs(kRuns, [&] { list.FillFromFolder(); });

    frame.resize(1000, 700);
    frame.show();
    QApplication::processEvents();
    doc.folders().Select(big, false);
    const double shown = MedianMs(kRuns, [&] {
        list.FillFromFolder();
        list.viewport()->repaint();
    });

    list.SetEditor([](PwdItem& entry, bool) {
        entry.title = "Middle entry";
        return true;
    });
    const double addOne = MedianMs(kRuns, [&] { list.AddPassword(); });
    list.FillFromFolder();
    const int rows = list.RowCount();
    const std::size_t bank = doc.passwords().size();
    const double remove = MedianMs(1, [&] {
        list.selectAll();
        list.DeletePasswords();
    });

    std::printf("password list, folder of %d entries (bank of %zu)\n", rows, bank);
    std::printf("  fill from the folder            %8.2f ms\n", fill);
    std::printf("  fill and paint on screen        %8.2f ms\n", shown);
    std::printf("  add one entry to the full list  %8.2f ms\n", addOne);
    std::printf("  delete all rows at once         %8.2f ms\n", remove);
    std::printf("  fill of 500 entries             %8.2f ms\n", fillSmall);
    std::printf("  ratio 5,000 : 500 entries       %8.2f (10 would be linear)\n", fill / fillSmall);
    return 0;
}
