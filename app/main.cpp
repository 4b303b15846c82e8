// Kelvo's entry point.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvelline 2003 Professional"));
    window.resize(900, 640);
    window.show();
    return QApplication::exec();
}
