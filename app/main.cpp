// Kelvo's entry point: the application object, start-up from the command line, the event loop.
#include "shell/CKelvoApp.h"
#include "shell/CMainFrame.h"
#include "shell/Icons.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromUtf8(kelvo::SettingsStore::kCompany));
    QApplication::setApplicationName(kelvo::AppTitle());
    QApplication::setDesktopFileName(QStringLiteral("kelvo"));
    QApplication::setQuitOnLastWindowClosed(true);
    kelvo::EnsureIconTheme();
    QApplication::setWindowIcon(kelvo::AppIcon());

    kelvo::SettingsStore settings;
    kelvo::QtUserDialogs dialogs;
    kelvo::CKelvoApp kelvoApp(settings, dialogs);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!kelvoApp.Start(arguments))
        return 1;
    return QApplication::exec();
}
