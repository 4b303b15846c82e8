// A simple form for the fields of one password entry.
#include "shell/PwdPropertiesForm.h"

#include "shell/AnsiInput.h"
#include "shell/Icons.h"
#include "shell/ShellStrings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

PwdPropertiesForm::PwdPropertiesForm(UserDialogs& dialogs,
                                     const std::vector<AnsiString>& categories, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_title(new QLineEdit(this)),
      m_icon(new QComboBox(this)), m_category(new QComboBox(this)), m_login(new QLineEdit(this)),
      m_password(new QLineEdit(this)), m_link(new QLineEdit(this)),
      m_notes(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("PwdPropertiesForm"));
    setWindowTitle(Tr(text::PasswordPropertiesCaption));
    m_title->setObjectName(QStringLiteral("Title"));
    m_icon->setObjectName(QStringLiteral("Icon"));
    m_category->setObjectName(QStringLiteral("Category"));
    m_login->setObjectName(QStringLiteral("Login"));
    m_password->setObjectName(QStringLiteral("Password"));
    m_link->setObjectName(QStringLiteral("Link"));
    m_notes->setObjectName(QStringLiteral("Notes"));
    for (int i = 0; i < kPasswordIconCount; ++i)
        m_icon->addItem(PasswordIcon(i), QString::number(i));
    m_category->setEditable(true);
    for (const AnsiString& category : categories)
        m_category->addItem(FromAnsi(category));
    m_category->setCurrentText(QString());

    auto* form = new QFormLayout;
    form->addRow(Tr(text::TitleLabel), m_title);
    form->addRow(Tr(text::IconLabel), m_icon);
    form->addRow(Tr(text::CategoryLabel), m_category);
    form->addRow(Tr(text::LoginLabel), m_login);
    form->addRow(Tr(text::PasswordLabel), m_password);
    form->addRow(Tr(text::LinkLabel), m_link);
    form->addRow(Tr(text::NotesLabel), m_notes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(Tr(text::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(420, 380);
}

void PwdPropertiesForm::SetEntry(const PwdItem& entry) {
    m_title->setText(FromAnsi(entry.title));
    m_icon->setCurrentIndex(entry.icon >= 0 && entry.icon < kPasswordIconCount ? entry.icon : 0);
    m_category->setCurrentText(FromAnsi(entry.category));
    m_login->setText(FromAnsi(entry.login));
    m_password->setText(FromAnsi(entry.password));
    m_link->setText(FromAnsi(entry.link));
    m_notes->setPlainText(FromAnsi(entry.notes));
}

bool PwdPropertiesForm::TakeEntry(PwdItem& entry) {
    PwdItem taken = entry;
    // Line breaks of the notes are kept as the bank keeps them, CR LF.
    QString notes = m_notes->toPlainText();
    notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    notes.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (!AcceptAnsiText(m_dialogs, this, m_title->text(), Tr(text::TitleField), taken.title) ||
        !AcceptAnsiText(m_dialogs, this, m_category->currentText(), Tr(text::CategoryField),
                        taken.category) ||
        !AcceptAnsiText(m_dialogs, this, m_login->text(), Tr(text::LoginField), taken.login) ||
        !AcceptAnsiText(m_dialogs, this, m_password->text(), Tr(text::PasswordField),
                        taken.password) ||
        !AcceptAnsiText(m_dialogs, this, m_link->text(), Tr(text::LinkField), taken.link) ||
        !AcceptAnsiText(m_dialogs, this, notes, Tr(text::NotesField), taken.notes))
        return false;
    taken.icon = m_icon->currentIndex() < 0 ? 0 : m_icon->currentIndex();
    entry = std::move(taken);
    return true;
}

void PwdPropertiesForm::accept() {
    // Refused input keeps the form open with everything the user typed.
    PwdItem probe;
    if (TakeEntry(probe))
        QDialog::accept();
}

} // namespace kelvo
