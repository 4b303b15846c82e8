// The real message boxes and file dialogs.
#include "shell/UserDialogs.h"

#include "shell/ShellStrings.h"
#include "widgets/ControlNames.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

std::optional<QString> QtUserDialogs::AskPassword(QWidget* parent, const QString& text,
                                                  const QString& caption) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("PasswordDlg"));
    dialog.setWindowTitle(caption.isEmpty() ? AppTitle() : caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* message = new QLabel(text, &dialog);
    message->setObjectName(QStringLiteral("Message"));
    message->setWordWrap(true);
    message->setTextFormat(Qt::PlainText);
    layout->addWidget(message);
    auto* form = new QFormLayout;
    auto* field = NameControl(new QLineEdit(&dialog), "Password", Tr(text::PasswordLabel));
    field->setEchoMode(QLineEdit::Password);
    field->setMinimumWidth(280);
    auto* label = new QLabel(Tr(text::PasswordLabel), &dialog);
    label->setBuddy(field);
    form->addRow(label, field);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(&dialog);
    auto* ok = NameControl(buttons->addButton(Tr(text::PasswordOk), QDialogButtonBox::AcceptRole),
                           "OkButton", Tr(text::PasswordOk));
    ok->setDefault(true);
    NameControl(buttons->addButton(Tr(text::PasswordCancel), QDialogButtonBox::RejectRole),
                "CancelButton", Tr(text::PasswordCancel));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    field->setFocus();
    const bool accepted = dialog.exec() == QDialog::Accepted;
    QString password = field->text();
    field->clear();
    if (!accepted)
        return std::nullopt;
    return password;
}

} // namespace kelvo
