// The real message boxes and file dialogs.
#include "shell/UserDialogs.h"

#include "shell/ShellStrings.h"

#include <QFileDialog>

namespace kelvo {

void QtUserDialogs::ShowMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                const QString& caption) {
    QMessageBox box(icon, caption.isEmpty() ? AppTitle() : caption, text, QMessageBox::Ok, parent);
    box.exec();
}

QMessageBox::StandardButton QtUserDialogs::Ask(QWidget* parent, const QString& text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::Icon icon, const QString& caption) {
    QMessageBox box(icon, caption.isEmpty() ? AppTitle() : caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString QtUserDialogs::OpenFileName(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString QtUserDialogs::SaveFileName(QWidget* parent, const QString& suggested,
                                    const QString& filter) {
    QFileDialog dialog(parent, QString(), suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("Kvb"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

} // namespace kelvo
