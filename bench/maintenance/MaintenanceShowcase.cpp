// Shows the bank maintenance windows, the options sheet and the paragraph dialog over a sample bank
// and saves a picture of each into the folder given (default: the current one), for the screenshots
// of the documentation.
#include "core/QuorvellineDoc.h"
#include "core/UserPropertyInput.h"
#include "maintenance/ui/CBankPropSheet.h"
#include "maintenance/ui/CBankRevisionDlg.h"
#include "maintenance/ui/CImportRecordsDlg.h"
#include "shell/Icons.h"
#include "shell/SettingsStore.h"
#include "shell/UserDialogs.h"
#include "shell/ui/COptPropSheet.h"
#include "shell/ui/CParagraphDlg.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <filesystem>

namespace {

using namespace kelvo;

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

class Host : public MaintenanceHost {
public:
    void SaveEditedBody() override {}
    void RecordsAdded(TreeNode*) override {}
    QIcon RecordImage(int index) const override { return RecordTreeImage(index); }
};

// A bank with records, folders, passwords and properties, saved into `path`.
void FillBank(CQuorvellineDoc& doc, const std::filesystem::path& path) {
    (void)doc.OnNewDocument();
    TreeNode* root = doc.records().first();
    for (const char* title : {"Проекты", "Встречи", "Книги"}) {
        TreeNode* node = doc.AddNode(TreeKind::Records, root, A(title));
        for (int i = 1; i <= 3; ++i)
            doc.AddNode(TreeKind::Records, node, A(title) + " " + std::to_string(i));
    }
    TreeNode* mail = doc.AddNode(TreeKind::Folders, doc.folders().first(), A("Почта"));
    for (const char* title : {"Рабочая почта", "Личная почта"}) {
        auto entry = std::make_unique<PwdItem>();
        entry->title = A(title);
        doc.AddPassword(std::move(entry), mail);
    }
    BankSummary& s = doc.summary();
    s.title = A("Личный банк");
    s.subject = A("Заметки и пароли");
    s.company = A("Дом");
    s.keywords = A("дела, книги, встречи");
    for (auto [name, type, value] :
         {std::tuple{"Телефон", 0, "+7 495 123-45-67"}, std::tuple{"Номер документа", 1, "1024"},
          std::tuple{"Дата записи", 2, "05.12.2026 21:48:47"}, std::tuple{"Проверено", 3, "Да"}}) {
        if (auto p = MakeUserProperty(doc.userProperties(), A(name), type, A(value)))
            doc.userProperties().push_back(std::move(*p));
    }
    (void)doc.SaveAs(path);
    (void)doc.Save();
}

void Save(QWidget& window, const QString& folder, const QString& name) {
    window.show();
    QApplication::processEvents();
    const QString file = QDir(folder).filePath(name);
    if (!window.grab().save(file))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    else
        std::printf("%s\n", qPrintable(file));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    EnsureIconTheme();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir dir;
    SettingsStore settings(dir.path() + QStringLiteral("/settings.ini"));
    QtUserDialogs dialogs;
    Host host;
    CQuorvellineDoc doc;
    FillBank(doc, std::filesystem::path(dir.path().toStdString()) / "Личный банк.Kvb");
    const MaintenanceContext context{doc, settings, dialogs, host};

    {
        CBankPropSheet sheet(context);
        const char* names[] = {"general", "bank", "statistics", "composition", "user"};
        for (int i = 0; i < sheet.Tabs()->count(); ++i) {
            sheet.Tabs()->setCurrentIndex(i);
            Save(sheet, out,
                 QStringLiteral("bank-properties-%1.png").arg(QString::fromLatin1(names[i])));
        }
    }
    {
        // A bank with free space inside: a large body written and deleted again.
        TreeNode* record = doc.records().first()->children.front();
        (void)doc.SaveBody(record, std::string(3u << 20, 'x'));
        (void)doc.RemoveBody(record->item.uid);
        CBankRevisionDlg dialog(context);
        dialog.show();
        QApplication::processEvents();
        if (!dialog.Start())
            std::fprintf(stderr, "the revision failed\n");
        Save(dialog, out, QStringLiteral("bank-revision.png"));
    }
    {
        // The import dialog over a second bank, its tree shown.
        CQuorvellineDoc source;
        const auto sourcePath =
            std::filesystem::path(dir.path().toStdString()) / "Рабочий банк.Kvb";
        FillBank(source, sourcePath);
        CImportRecordsDlg dialog(context);
        dialog.show();
        if (!dialog.LoadSource(QString::fromStdString(sourcePath.string())))
            std::fprintf(stderr, "the source bank did not load\n");
        Save(dialog, out, QStringLiteral("import-records.png"));
    }
    {
        COptPropSheet sheet(settings, dialogs);
        const char* names[] = {"general", "security"};
        for (int i = 0; i < sheet.Pages()->count(); ++i) {
            sheet.Pages()->setCurrentIndex(i);
            Save(sheet, out, QStringLiteral("options-%1.png").arg(QString::fromLatin1(names[i])));
        }
    }
    {
        ParagraphValues values;
        values.left = 567;
        values.first = -283;
        values.after = 120;
        CParagraphDlg dialog(values, &settings);
        Save(dialog, out, QStringLiteral("paragraph.png"));
    }
    return 0;
}
