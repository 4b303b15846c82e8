// The bank protection windows.
#include "dialogs/ui/CBankProtectDlg.h"

#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "dialogs/PasswordStrength.h"
#include "dialogs/ui/DialogTexts.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"
#include "widgets/ControlNames.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace kelvo {
namespace {

/// UTF-8 of a typed password in locked memory; the intermediate copy is wiped.
crypto::SecretBytes SecretFrom(const QString& text) {
    std::string utf8 = text.toStdString();
    crypto::SecretBytes secret = crypto::SecretBytes::From(utf8);
    crypto::Wipe(utf8);
    return secret;
}

QString ErrorMessage(const Error& error) {
    return QString::fromStdString(ErrorText(error));
}

/// The wait cursor while a key is derived and the bank rewritten.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

/// The bank must be in its file before it is rewritten: a bank never saved and a modified
/// bank are saved once the user agrees. True when the bank may be rewritten now.
bool SaveFirst(const ProtectionContext& context, QWidget* parent, const char* action) {
    CQuorvellineDoc& doc = context.doc;
    QString question;
    if (!doc.hasFile())
        question = Tr(dlgtext::SaveNewBeforeProtection);
    else if (doc.IsModified())
        question = Tr(dlgtext::SaveBeforeProtection).arg(Tr(action));
    else
        return true;
    if (context.dialogs.Ask(parent, question, QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::Question) != QMessageBox::Yes)
        return false;
    return context.saveBank && context.saveBank() && doc.hasFile() && !doc.IsModified();
}

QLineEdit* PasswordField(QWidget* parent, const char* name, const char* label) {
    auto* field = NameControl(new QLineEdit(parent), name, Tr(label));
    field->setEchoMode(QLineEdit::Password);
    field->setMinimumWidth(260);
    return field;
}

} // namespace

CBankProtectDlg::CBankProtectDlg(const ProtectionContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    const bool change = context.doc.isProtected();
    setObjectName(QStringLiteral("CBankProtectDlg"));
    setWindowTitle(Tr(change ? dlgtext::ChangePasswordCaption : dlgtext::ProtectCaption));
    auto* layout = new QVBoxLayout(this);
    auto* description =
        new QLabel(Tr(change ? dlgtext::ChangeDescription : dlgtext::ProtectDescription), this);
    description->setObjectName(QStringLiteral("Description"));
    description->setWordWrap(true);
    layout->addWidget(description);

    auto* form = new QFormLayout;
    auto addRow = [&](const char* label, QWidget* field) {
        auto* text = new QLabel(Tr(label), this);
        text->setBuddy(field);
        form->addRow(text, field);
    };
    if (change) {
        m_old = PasswordField(this, "OldPassword", dlgtext::OldPasswordLabel);
        addRow(dlgtext::OldPasswordLabel, m_old);
    }
    const char* passwordLabel = change ? dlgtext::ChangedPasswordLabel : dlgtext::NewPasswordLabel;
    m_password = PasswordField(this, "Password", passwordLabel);
    addRow(passwordLabel, m_password);
    m_confirmation = PasswordField(this, "Confirmation", dlgtext::ConfirmationLabel);
    addRow(dlgtext::ConfirmationLabel, m_confirmation);

    auto* strength = new QWidget(this);
    auto* strengthLayout = new QHBoxLayout(strength);
    strengthLayout->setContentsMargins(0, 0, 0, 0);
    m_strengthBar =
        NameControl(new QProgressBar(strength), "StrengthBar", Tr(dlgtext::StrengthLabel));
    m_strengthBar->setRange(0, static_cast<int>(PasswordGrade::Strong));
    m_strengthBar->setTextVisible(false);
    m_strengthBar->setMaximumWidth(120);
    m_strengthText = NameControl(new QLabel(strength), "StrengthText", Tr(dlgtext::StrengthLabel));
    strengthLayout->addWidget(m_strengthBar);
    strengthLayout->addWidget(m_strengthText, 1);
    addRow(dlgtext::StrengthLabel, strength);
    layout->addLayout(form);

    m_show = NameControl(new QCheckBox(Tr(dlgtext::ShowPasswordsBox), this), "ShowPasswords",
                         Tr(dlgtext::ShowPasswordsBox));
    layout->addWidget(m_show);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = NameControl(buttons->addButton(Tr(dlgtext::Ok), QDialogButtonBox::AcceptRole),
                       "OkButton", Tr(dlgtext::Ok));
    m_ok->setDefault(true);
    NameControl(buttons->addButton(Tr(dlgtext::Cancel), QDialogButtonBox::RejectRole),
                "CancelButton", Tr(dlgtext::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &CBankProtectDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CBankProtectDlg::reject);
    layout->addWidget(buttons);

    connect(m_password, &QLineEdit::textChanged, this, [this] { UpdateStrength(); });
    connect(m_show, &QCheckBox::toggled, this, [this] { UpdateEcho(); });
    UpdateStrength();
    (m_old ? m_old : m_password)->setFocus();
}

CBankProtectDlg::~CBankProtectDlg() {
    ClearFields();
}

void CBankProtectDlg::ClearFields() {
    for (QLineEdit* field : {m_old, m_password, m_confirmation})
        if (field)
            field->clear();
}

void CBankProtectDlg::UpdateStrength() {
    const PasswordStrength strength = EstimatePasswordStrength(m_password->text().toStdString());
    m_strengthBar->setValue(static_cast<int>(strength.grade));
    const QString grade = QString::fromUtf8(PasswordGradeText(strength.grade));
    m_strengthText->setText(strength.grade == PasswordGrade::Empty
                                ? grade
                                : Tr(dlgtext::StrengthValue)
                                      .arg(grade)
                                      .arg(static_cast<int>(std::lround(strength.bits))));
}

void CBankProtectDlg::UpdateEcho() {
    const auto mode = m_show->isChecked() ? QLineEdit::Normal : QLineEdit::Password;
    for (QLineEdit* field : {m_old, m_password, m_confirmation})
        if (field)
            field->setEchoMode(mode);
}

void CBankProtectDlg::accept() {
    UserDialogs& dialogs = m_context.dialogs;
    if (m_password->text().isEmpty()) {
        dialogs.ShowMessage(this, Tr(StringText(msg::EmptyPassword)));
        m_password->setFocus();
        return;
    }
    if (m_password->text() != m_confirmation->text()) {
        dialogs.ShowMessage(this, Tr(dlgtext::PasswordsDiffer));
        m_confirmation->clear();
        m_confirmation->setFocus();
        return;
    }
    const PasswordStrength strength = EstimatePasswordStrength(m_password->text().toStdString());
    if (strength.grade <= PasswordGrade::Weak &&
        dialogs.Ask(this,
                    Tr(dlgtext::WeakPasswordQuestion)
                        .arg(QString::fromUtf8(PasswordGradeText(strength.grade))),
                    QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning) != QMessageBox::Yes) {
        m_password->setFocus();
        return;
    }

    const crypto::SecretBytes password = SecretFrom(m_password->text());
    const crypto::KdfParams params =
        m_context.kdfParams ? m_context.kdfParams() : crypto::KdfParams::Tuned();
    Result<void> done;
    {
        WaitCursor wait;
        if (m_old) {
            const crypto::SecretBytes old = SecretFrom(m_old->text());
            done = m_context.doc.ChangePassword(old.view(), password.view(), params);
        } else {
            done = m_context.doc.Protect(password.view(), params);
        }
    }
    if (!done) {
        dialogs.ShowMessage(this, ErrorMessage(done.error()));
        if (m_old && done.error().messageId == msg::WrongPassword) {
            m_old->clear();
            m_old->setFocus();
        }
        return;
    }
    ClearFields();
    QDialog::accept();
}

bool ShowSetProtection(const ProtectionContext& context, QWidget* parent) {
    const bool change = context.doc.isProtected();
    if (!SaveFirst(context, parent, change ? dlgtext::ToChangePassword : dlgtext::ToProtect))
        return false;
    CBankProtectDlg dialog(context, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    context.dialogs.ShowMessage(parent,
                                Tr(change ? dlgtext::PasswordChangeDone : dlgtext::ProtectDone),
                                QMessageBox::Information);
    return true;
}

bool ShowRemoveProtection(const ProtectionContext& context, QWidget* parent) {
    CQuorvellineDoc& doc = context.doc;
    if (!doc.isProtected()) {
        context.dialogs.ShowMessage(parent, Tr(StringText(msg::NotProtected)));
        return false;
    }
    if (!SaveFirst(context, parent, dlgtext::ToUnprotect))
        return false;
    const QString prompt =
        Tr(dlgtext::RemoveProtectionPrompt).arg(QString::fromStdU16String(doc.path().u16string()));
    QString text = prompt;
    for (;;) {
        std::optional<QString> typed =
            context.dialogs.AskPassword(parent, text, Tr(dlgtext::RemoveProtectionCaption));
        if (!typed)
            return false;
        const crypto::SecretBytes password = SecretFrom(*typed);
        typed->fill(QChar(0));
        Result<void> done;
        {
            WaitCursor wait;
            done = doc.Unprotect(password.view());
        }
        if (done)
            break;
        if (done.error().messageId != msg::WrongPassword) {
            context.dialogs.ShowMessage(parent, ErrorMessage(done.error()));
            return false;
        }
        text = Tr(StringText(msg::WrongPassword)) + QStringLiteral("\n\n") + prompt;
    }
    context.dialogs.ShowMessage(parent, Tr(dlgtext::UnprotectDone), QMessageBox::Information);
    return true;
}

PasswordPrompt WindowPasswordPrompt(UserDialogs& dialogs, std::function<QWidget*()> parent) {
    return
        [&dialogs, parent = std::move(parent)](const std::filesystem::path& bank,
                                               int attempt) -> std::optional<crypto::SecretBytes> {
            QString text = QString::fromStdString(MessageText(
                msg::PasswordNeeded, {QString::fromStdU16String(bank.u16string()).toStdString()}));
            if (attempt > 0)
                text = Tr(StringText(msg::WrongPassword)) + QStringLiteral("\n\n") + text;
            std::optional<QString> typed = dialogs.AskPassword(parent ? parent() : nullptr, text,
                                                               Tr(dlgtext::OpenPasswordCaption));
            if (!typed)
                return std::nullopt;
            crypto::SecretBytes password = SecretFrom(*typed);
            typed->fill(QChar(0));
            return password;
        };
}

} // namespace kelvo
