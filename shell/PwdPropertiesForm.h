// A simple form for the fields of one password entry, used until the password properties
// sheet exists: title, icon, category, login, password, link and notes.
#pragma once

#include "core/PwdItem.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace kelvo {

class UserDialogs;

class PwdPropertiesForm : public QDialog {
    Q_OBJECT
public:
    PwdPropertiesForm(UserDialogs& dialogs, const std::vector<AnsiString>& categories,
                      QWidget* parent = nullptr);

    void SetEntry(const PwdItem& entry);
    /// The fields as typed, converted for the bank; false (the user told) when one of them
    /// holds characters Windows-1251 cannot hold.
    bool TakeEntry(PwdItem& entry);

    void accept() override;

private:
    UserDialogs& m_dialogs;
    QLineEdit* m_title;
    QComboBox* m_icon;
    QComboBox* m_category;
    QLineEdit* m_login;
    QLineEdit* m_password;
    QLineEdit* m_link;
    QPlainTextEdit* m_notes;
};

} // namespace kelvo
