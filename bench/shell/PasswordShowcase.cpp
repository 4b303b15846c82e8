// Writes pictures of the password side of the window for the documentation: the password
// list, the entry sheet with the generator beside it, the item properties sheet and the
// keyword picker. Usage: password_showcase [folder] (default: the current folder).
#include "core/QuorvellineDoc.h"
#include "dialogs/ui/CPwdGeneratorDlg.h"
#include "dialogs/ui/CPwdPropSheet.h"
#include "dialogs/ui/CTreeRecPropSheet.h"
#include "index/IndexBuild.h"
#include "index/IndexStorage.h"
#include "index/ui/BankIndexSelDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CPwdView.h"
#include "shell/Icons.h"
#include "shell/SettingsStore.h"
#include "shell/UserDialogs.h"
#include "widgets/IconCombo.h"
#include "widgets/SortableList.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using namespace kelvo;

class SilentDialogs : public UserDialogs {
public:
    void ShowMessage(QWidget*, const QString&, QMessageBox::Icon, const QString&) override {}
    QMessageBox::StandardButton Ask(QWidget*, const QString&, QMessageBox::StandardButtons,
                                    QMessageBox::Icon, const QString&) override {
        return QMessageBox::No;
    }
    QString OpenFileName(QWidget*, const QString&) override { return {}; }
    QString SaveFileName(QWidget*, const QString&, const QString&) override { return {}; }
};

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

void Add(CQuorvellineDoc& doc, TreeNode* folder, const char* title, int icon, const char* category,
         const char* login, const char* password, const char* link, const char* notes = "") {
    auto entry = std::make_unique<PwdItem>();
    entry->title = A(title);
    entry->icon = icon;
    entry->category = A(category);
    entry->login = A(login);
    entry->password = A(password);
    entry->link = A(link);
    entry->notes = A(notes);
    doc.AddPassword(std::move(entry), folder);
}

/// The window's picture under a plain title bar with its caption (the offscreen platform
/// draws no frames).
QImage Grab(QWidget& widget, bool caption = true) {
    widget.show();
    QApplication::processEvents();
    const QImage inner = widget.grab().toImage();
    if (!caption)
        return inner;
    const int bar = 26;
    QImage out(inner.width() + 2, inner.height() + bar + 1, QImage::Format_RGB32);
    out.fill(QColor(0x2f, 0x3d, 0x4f));
    QPainter p(&out);
    p.drawImage(1, bar, inner);
    p.setPen(Qt::white);
    QFont font = widget.font();
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(10, 0, out.width() - 20, bar), Qt::AlignVCenter | Qt::AlignLeft,
               widget.windowTitle());
    return out;
}

bool Save(const QImage& image, const QString& path) {
    const bool ok = image.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

QImage Stacked(const QImage& top, const QImage& bottom) {
    QImage out(std::max(top.width(), bottom.width()), top.height() + bottom.height() + 12,
               QImage::Format_RGB32);
    out.fill(QColor(0x5a, 0x6e, 0x85));
    QPainter p(&out);
    p.drawImage(0, 0, top);
    p.drawImage(0, top.height() + 12, bottom);
    return out;
}

QImage SideBySide(const QImage& left, const QImage& right) {
    QImage out(left.width() + right.width() + 24, std::max(left.height(), right.height()) + 24,
               QImage::Format_RGB32);
    out.fill(QColor(0x5a, 0x6e, 0x85));
    QPainter p(&out);
    p.drawImage(8, 12, left);
    p.drawImage(left.width() + 16, 12, right);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    EnsureIconTheme();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir dir;
    SettingsStore settings(dir.path() + QStringLiteral("/showcase.ini"));
    SilentDialogs dialogs;
    CQuorvellineDoc doc;
    if (!doc.OnNewDocument().ok())
        return 1;
    TreeNode* root = doc.folders().first();
    TreeNode* mail = doc.AddNode(TreeKind::Folders, root, A("Почта"));
    doc.AddNode(TreeKind::Folders, root, A("Банки"));
    doc.AddNode(TreeKind::Folders, root, A("Работа"));
    root->item.keywords = A("пароли, дом");
    mail->item.keywords = A("почта, работа");
    Add(doc, root, "Wi-Fi дача", 8, "Дом", "dacha", "sosny-2023", "", "Роутер в кладовке");
    Add(doc, root, "Библиотека", 5, "Сервисы", "chitatel42", "kniga2024", "https://lib.example.ru");
    Add(doc, root, "Госуслуги", 7, "Сервисы", "+7 900 000-00-00", "Lk8#rT2w",
        "https://gosuslugi.example.ru", "Вход по СМС");
    Add(doc, root, "Домашний роутер", 12, "Дом", "admin", "Zq7-kp3!mV", "http://192.168.1.1");
    Add(doc, root, "Облачный диск", 3, "Сервисы", "ivan.petrov", "Tu5$9wqX",
        "https://disk.example.org");
    Add(doc, root, "Аптека у дома", 20, "Покупки", "ivan", "apt-7781", "https://apteka.example.ru");

    // The index, so that the picker has words with counts.
    {
        KeywordIndex index;
        (void)BuildIndex(index, doc.trees());
        auto working = doc.WorkingStorage();
        if (working)
            (void)SaveIndex(index, *working);
    }

    // The password list.
    CMainFrame frame(doc, settings, dialogs);
    frame.resize(1000, 520);
    frame.SwitchTab(1);
    frame.PwdView().header()->resizeSection(0, 150);
    frame.PwdView().header()->resizeSection(2, 120);
    frame.PwdView().header()->resizeSection(4, 190);
    frame.PwdView().SelectRow(2);
    frame.UpdateCommandUi();
    frame.setWindowTitle(QStringLiteral("Домашний банк - Quorvelline 2003 Professional"));
    Save(Grab(frame), out + QStringLiteral("/passwords-list.png"));
    frame.hide();

    // The entry sheet on its password page, and the generator embedded in it.
    PwdItem entry = *doc.passwords().InFolder(root->item.uid)[2];
    CPwdPropSheet sheet(dialogs, settings, doc.passwords().Categories());
    sheet.SetEntry(entry);
    CPwdGeneratorDlg generator(dialogs, settings);
    generator.findChild<QCheckBox*>(QStringLiteral("Special"))->setChecked(true);
    generator.findChild<QSpinBox*>(QStringLiteral("Length"))->setValue(12);
    generator.Shuffle();
    generator.Generate();
    sheet.PasswordPage()->password->setText(generator.Password());
    sheet.Pages()->setCurrentIndex(1);
    const QImage passwordPage = Grab(sheet);
    sheet.Pages()->setCurrentIndex(0);
    const QImage accountPage = Grab(sheet);
    sheet.hide();
    Save(SideBySide(Stacked(accountPage, passwordPage), Grab(generator)),
         out + QStringLiteral("/password-sheet.png"));
    generator.hide();

    // The item properties sheet of the mail folder and of the root record, with the picker.
    TreeNode* record = doc.records().first();
    (void)doc.SaveBody(record->item, std::string(1536, 'x'));
    record->item.opened = OleDateTime::Now();
    CTreeRecPropSheet recordSheet(ReadRecordProperties(doc, TreeKind::Records, *record), dialogs);
    const QImage general = Grab(recordSheet);
    recordSheet.hide();
    CTreeRecPropSheet folderSheet(ReadRecordProperties(doc, TreeKind::Folders, *mail), dialogs);
    folderSheet.Pages()->setCurrentIndex(2);
    const QImage keywords = Grab(folderSheet);
    folderSheet.hide();
    BankIndexSelDlg picker(doc, dialogs, settings);
    picker.SetKeywordsText(mail->item.keywords);
    picker.Open();
    Save(SideBySide(Stacked(general, keywords), Grab(picker)),
         out + QStringLiteral("/record-properties.png"));
    picker.hide();
    return 0;
}
