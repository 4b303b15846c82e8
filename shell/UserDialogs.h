// Message boxes and file dialogs behind a small interface, so that tests can answer them.
#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>

class QWidget;

namespace kelvo {

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    /// A message with an OK button and the exclamation icon, under `caption` (the program's
    /// title when empty).
    virtual void ShowMessage(QWidget* parent, const QString& text,
                             QMessageBox::Icon icon = QMessageBox::Warning,
                             const QString& caption = QString()) = 0;
    /// A question; returns the button pressed (one of `buttons`).
    virtual QMessageBox::StandardButton
    Ask(QWidget* parent, const QString& text,
        QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
        QMessageBox::Icon icon = QMessageBox::Warning, const QString& caption = QString()) = 0;
    /// The path of an existing bank to open; empty when cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& filter) = 0;
    /// The path to save a bank to; empty when cancelled.
    virtual QString SaveFileName(QWidget* parent, const QString& suggested,
                                 const QString& filter) = 0;
    /// A password asked under `caption`, with `text` saying what it is for; nothing when
    /// cancelled. Dialogs that never ask one (benchmarks) give nothing.
    virtual std::optional<QString> AskPassword(QWidget* /*parent*/, const QString& /*text*/,
                                               const QString& /*caption*/) {
        return std::nullopt;
    }
};

/// The real dialogs.
class QtUserDialogs : public UserDialogs {
public:
    void ShowMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                     const QString& caption) override;
    QMessageBox::StandardButton Ask(QWidget* parent, const QString& text,
                                    QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
                                    const QString& caption) override;
    QString OpenFileName(QWidget* parent, const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& suggested, const QString& filter) override;
    /// A small dialog "PasswordDlg": the text, the field "Password" without echo, OK and
    /// Cancel. The field is emptied before the dialog goes.
    std::optional<QString> AskPassword(QWidget* parent, const QString& text,
                                       const QString& caption) override;
};

} // namespace kelvo
