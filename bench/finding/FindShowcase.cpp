// Not a benchmark: fills a small bank, opens the search window and the index window of the
// main window with results, and writes a picture of each (screenshot-search.png and
// screenshot-index.png in the folder given, the current one by default) for the screenshots.
#include "core/QuorvellineDoc.h"
#include "index/ui/BankIndexDlg.h"
#include "search/ui/BankSearchDlg.h"
#include "search/ui/ResultGrid.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/Icons.h"
#include "shell/SettingsStore.h"
#include "shell/UserDialogs.h"
#include "widgets/SortableList.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QTemporaryDir>

#include <cstdio>

using namespace kelvo;

namespace {

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

std::string Rtf(const char* utf8) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 ";
    static const char digits[] = "0123456789abcdef";
    for (char c : A(utf8)) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80)
            rtf += std::string("\\'") + digits[u >> 4] + digits[u & 15];
        else if (c == '\n')
            rtf += "\\par ";
        else
            rtf += c;
    }
    return rtf + "\\par}";
}

/// Answers every question with Yes (the index window offers to build the index).
class YesDialogs : public QtUserDialogs {
public:
    QMessageBox::StandardButton Ask(QWidget*, const QString&, QMessageBox::StandardButtons,
                                    QMessageBox::Icon, const QString&) override {
        return QMessageBox::Yes;
    }
};

struct Bank {
    CQuorvellineDoc& doc;
    TreeNode* Record(TreeNode* parent, const char* title, const char* keywords, const char* notes,
                     const char* body) {
        TreeNode* node = doc.AddNode(TreeKind::Records, parent, A(title));
        node->item.keywords = A(keywords);
        node->item.notes = A(notes);
        (void)doc.SaveBody(node, Rtf(body));
        return node;
    }
    TreeNode* Folder(const char* title, const char* keywords) {
        TreeNode* node = doc.AddNode(TreeKind::Folders, doc.folders().first(), A(title));
        node->item.keywords = A(keywords);
        return node;
    }
    void Entry(TreeNode* folder, const char* title, const char* login, const char* password,
               const char* link) {
        auto item = std::make_unique<PwdItem>();
        item->title = A(title);
        item->login = A(login);
        item->password = A(password);
        item->link = A(link);
        doc.AddPassword(std::move(item), folder);
    }
};

void Widen(ReportGrid& grid) {
    // The widths a user gives the columns (they start narrow and are kept once widened).
    const int widths[] = {30, 170, 170, 170, 90};
    for (int column = 0; column < 5; ++column)
        grid.horizontalHeader()->resizeSection(column, widths[column]);
    grid.FitRowHeights();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    EnsureIconTheme();
    QApplication::setWindowIcon(AppIcon());
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir dir;
    SettingsStore settings(dir.path() + QStringLiteral("/showcase.ini"));
    YesDialogs dialogs;
    CQuorvellineDoc doc;
    CMainFrame frame(doc, settings, dialogs);
    if (!doc.OnNewDocument().ok() ||
        !doc.SaveAs((dir.path() + QStringLiteral("/Домашний банк.Kvb")).toStdString()).ok())
        return 1;

    Bank bank{doc};
    TreeNode* root = doc.records().first();
    TreeNode* work = bank.Record(root, "Работа", "проект, отчёт", "Всё по основной работе",
                                 "Папка с текущими делами.");
    bank.Record(work, "Встреча с заказчиком", "проект, встреча, заказчик",
                "Перенести на четверг?\nВзять ноутбук",
                "Встреча с заказчиком в 10:00. Обсудить сроки проекта, смету и отчёт за "
                "квартал. После встречи отправить протокол всем участникам.");
    bank.Record(work, "Квартальный отчёт", "отчёт, финансы", "Сдать до 15-го",
                "Отчёт за третий квартал: выручка, расходы, план на следующий квартал. "
                "Приложить таблицы и протокол последней встречи.");
    bank.Record(work, "Планёрка", "встреча", "Каждый понедельник",
                "Планёрка по понедельникам: задачи недели, кто в отпуске, что с проектом.");
    TreeNode* home = bank.Record(root, "Дом", "дом, семья", "", "Домашние дела и покупки.");
    bank.Record(home, "Отпуск", "отпуск, море", "Билеты в почте",
                "Море в августе: забронировать гостиницу, купить билеты, оформить страховку.");
    bank.Record(home, "Рецепты", "кухня", "", "Борщ, блины, пирог с яблоками.");
    TreeNode* mail = bank.Folder("Почта", "почта, встреча");
    bank.Entry(mail, "Рабочая почта", "ivanov@example.org", "Kx9#mP2v", "https://mail.example.org");
    bank.Entry(mail, "Личная почта", "ivan.home@example.com", "s3cret!Q", "https://example.com");
    TreeNode* banks = bank.Folder("Банки", "финансы");
    bank.Entry(banks, "Интернет-банк", "ivanov", "7Gh$2kLp", "https://bank.example.ru");
    frame.RefreshTrees();
    frame.resize(1000, 700);
    frame.show();

    // The search window: an OR of two words over data, keywords and notes.
    frame.ExecuteCommand(cmd::BankSearch);
    BankSearchDlg* search = frame.SearchWindow().Window();
    search->resize(980, 720);
    search->findChild<QComboBox*>(QStringLiteral("SearchText"))
        ->setEditText(QStringLiteral("встреча OR отчёт"));
    search->StartSearch();
    Widen(search->Grid());
    search->Grid().SelectRow(1);
    QApplication::processEvents();
    const bool searchSaved = search->grab().save(out + QStringLiteral("/screenshot-search.png"));

    // The index window: two words ticked.
    frame.ExecuteCommand(cmd::IndexInfo);
    BankIndexDlg* index = frame.IndexWindow().Window();
    index->resize(900, 720);
    SortableList& words = index->Words();
    for (int row = 0; row < words.RowCount(); ++row)
        if (words.Text(row, 0) == QStringLiteral("проект") ||
            words.Text(row, 0) == QStringLiteral("встреча"))
            words.SetChecked(row, true);
    Widen(index->Grid());
    index->Grid().SelectRow(0);
    QApplication::processEvents();
    const bool indexSaved = index->grab().save(out + QStringLiteral("/screenshot-index.png"));
    std::printf("%s\n%s\n",
                searchSaved ? "screenshot-search.png" : "screenshot-search.png not written",
                indexSaved ? "screenshot-index.png" : "screenshot-index.png not written");
    return searchSaved && indexSaved ? 0 : 1;
}
