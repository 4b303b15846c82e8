// The windows of bank protection: the dialog that sets a master password (twice, with its
// estimated strength) or, on a protected bank, changes it (the old password first); the
// removal of protection after the password; and the password question of Open.
#pragma once

#include "core/BankProtection.h"
#include "platform/crypto/Sealing.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kelvo {

class CQuorvellineDoc;
class UserDialogs;

struct ProtectionContext {
    CQuorvellineDoc& doc;
    UserDialogs& dialogs;
    /// Saves the bank (under a path the user chooses when it has none); true when the bank
    /// then has a file and no unsaved changes.
    std::function<bool()> saveBank;
    /// The key derivation parameters of a new password.
    std::function<crypto::KdfParams()> kdfParams;
};

class CBankProtectDlg : public QDialog {
    Q_OBJECT
public:
    /// A plain bank gets a password; a protected one a new password after its old one.
    CBankProtectDlg(const ProtectionContext& context, QWidget* parent = nullptr);
    ~CBankProtectDlg() override;

    /// OK: the new password must be given twice alike (a weak one only when the user insists);
    /// then the bank is rewritten. A failure is shown and the dialog stays open, the bank as
    /// it was; a wrong old password empties that field.
    void accept() override;

    bool ChangesPassword() const { return m_old != nullptr; }
    QLineEdit* OldPassword() const { return m_old; }
    QLineEdit* Password() const { return m_password; }
    QLineEdit* Confirmation() const { return m_confirmation; }
    QProgressBar* StrengthBar() const { return m_strengthBar; }
    QLabel* StrengthText() const { return m_strengthText; }
    QCheckBox* ShowPasswords() const { return m_show; }

private:
    void UpdateStrength();
    void UpdateEcho();
    void ClearFields();

    ProtectionContext m_context;
    QLineEdit* m_old = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_confirmation = nullptr;
    QProgressBar* m_strengthBar = nullptr;
    QLabel* m_strengthText = nullptr;
    QCheckBox* m_show = nullptr;
    QPushButton* m_ok = nullptr;
};

/// "Установить защиту...": saves the bank first where needed (after asking), then runs the
/// dialog. True when the bank was protected or got its new password.
bool ShowSetProtection(const ProtectionContext& context, QWidget* parent);
/// "Снять защиту...": saves the bank first where needed (after asking), asks the password
/// (again after a wrong one) and writes the bank plain. True when it is plain now.
bool ShowRemoveProtection(const ProtectionContext& context, QWidget* parent);

/// The document's password question for Open, through `dialogs`; after a wrong password it
/// says so and asks again, until the user gives up. `parent` gives the window to ask over.
PasswordPrompt WindowPasswordPrompt(UserDialogs& dialogs, std::function<QWidget*()> parent);

} // namespace kelvo
