// Kelvo's entry point: the application object, start-up from the command line, the event loop.
#include "shell/CKelvoApp.h"
#include "shell/CMainFrame.h"
#include "shell/Icons.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromUtf8(kelvo::SettingsStore::kCompany));
    QApplication::setApplicationName(kelvo::AppTitle());
    QApplication::setDesktopFileName(QStringLiteral("kelvo"));
    QApplication::setQuitOnLastWindowClosed(true);
    // Qt's own dialogs (print, page setup, file and colour dialogs) in Russian, as the program.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
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
