// Opens the preview of the bank's structure in the main window, shows four pages, then zooms
// into the first page (the third zoom state), and saves both views as PNG files for the docs:
// preview_showcase OUT_DIR (preview-4-pages.png, preview-zoomed.png).
#include "core/QuorvellineDoc.h"
#include "print/ui/PrintController.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/Icons.h"
#include "shell/SettingsStore.h"
#include "shell/UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

using namespace kelvo;

namespace {

const char* const kTopics[] = {"Дом",    "Работа", "Здоровье", "Финансы",  "Путешествия", "Рецепты",
                               "Книги",  "Учёба",  "Машина",   "Сад",      "Спорт",       "Друзья",
                               "Музыка", "Кино",   "Дети",     "Праздники"};
const char* const kItems[] = {"Планы",   "Адреса и телефоны", "Покупки", "Счета",  "Документы",
                              "Заметки", "Встречи",           "Идеи",    "Архив",  "Контакты",
                              "Расходы", "Фотографии",        "Письма",  "Ссылки", "Пароли сайтов"};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    EnsureIconTheme();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QTemporaryDir dir;
    SettingsStore settings(dir.path() + QStringLiteral("/showcase.ini"));
    QtUserDialogs dialogs;
    CQuorvellineDoc doc;
    CMainFrame frame(doc, settings, dialogs);
    if (!doc.OnNewDocument().ok())
        return 1;
    TreeNode* root = doc.records().first();
    int n = 0;
    for (const char* topic : kTopics) {
        TreeNode* folder = doc.AddNode(TreeKind::Records, root, Utf8ToAnsiLossy(topic));
        folder->expanded = (n++ % 4) != 2;
        for (const char* item : kItems) {
            TreeNode* record = doc.AddNode(TreeKind::Records, folder, Utf8ToAnsiLossy(item));
            if (std::string(item) == "Документы")
                for (const char* sub : {"Паспорт", "Договоры", "Страховка"})
                    doc.AddNode(TreeKind::Records, record, Utf8ToAnsiLossy(sub));
            record->expanded = std::string(item) == "Документы" && n % 2 == 1;
        }
    }
    root->expanded = true;
    frame.RefreshTrees();
    frame.resize(1280, 800);
    frame.show();
    QApplication::processEvents();

    frame.ExecuteCommand(cmd::PreviewStructure);
    PreviewWindow* preview = frame.Printing().CurrentPreview();
    if (!preview)
        return 1;
    QApplication::processEvents();
    preview->PagesBox().setCurrentIndex(3);
    emit preview->PagesBox().activated(3);
    QApplication::processEvents();
    const bool four = preview->grab().save(out + QStringLiteral("/preview-4-pages.png"));

    // Three clicks on the first page, near its top left: one and a half times the paper's
    // size.
    for (int click = 0; click < 3; ++click) {
        const QRect page = preview->View().PageRects().front();
        preview->View().ClickAt(page.topLeft() + QPoint(page.width() / 4, page.height() / 6));
    }
    QApplication::processEvents();
    const bool zoomed = preview->grab().save(out + QStringLiteral("/preview-zoomed.png"));
    preview->close();
    return four && zoomed ? 0 : 1;
}
