// Shows the protection windows over a small bank and saves a picture of each into the folder
// given (default: the current one), for the screenshots of the documentation: setting the
// master password, changing it, and the password question of Open.
#include "core/QuorvellineDoc.h"
#include "dialogs/ui/CBankProtectDlg.h"
#include "shell/Icons.h"
#include "shell/UserDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <filesystem>

namespace {

using namespace kelvo;

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
    const std::filesystem::path bank =
        std::filesystem::path(dir.path().toStdU16String()) / u"Личный банк.Kvb";
    QtUserDialogs dialogs;
    CQuorvellineDoc doc;
    (void)doc.OnNewDocument();
    (void)doc.SaveAs(bank);
    const ProtectionContext context{doc, dialogs, [] { return true; },
                                    [] { return crypto::KdfParams::Minimum(); }};
    const QString typed = QStringLiteral("Ворона-летит-на-юг-1987");
    {
        CBankProtectDlg dialog(context);
        dialog.Password()->setText(typed);
        dialog.Confirmation()->setText(typed);
        Save(dialog, out, QStringLiteral("protect-set-password.png"));
    }
    (void)doc.Protect(typed.toStdString(), crypto::KdfParams::Minimum());
    {
        CBankProtectDlg dialog(context);
        dialog.OldPassword()->setText(typed);
        dialog.Password()->setText(QStringLiteral("qwerty12"));
        Save(dialog, out, QStringLiteral("protect-change-password.png"));
    }
    // The question of Open, as the real dialogs show it.
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->findChild<QLineEdit*>(QStringLiteral("Password"))->setText(typed);
            Save(*dialog, out, QStringLiteral("protect-open-password.png"));
            dialog->reject();
        }
    });
    (void)WindowPasswordPrompt(dialogs, nullptr)(bank, 1);
    return 0;
}
