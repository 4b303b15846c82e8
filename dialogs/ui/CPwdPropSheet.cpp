// The password entry sheet.
#include "dialogs/ui/CPwdPropSheet.h"

#include "dialogs/ui/CPwdGeneratorDlg.h"
#include "dialogs/ui/DialogTexts.h"
#include "shell/AnsiInput.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"
#include "widgets/ControlNames.h"
#include "widgets/IconCombo.h"
#include "widgets/RowOrder.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvo {
namespace {

QLineEdit* LimitedEdit(QWidget* parent, const char* name, const QString& label) {
    auto* edit = NameControl(new QLineEdit(parent), name, label);
    edit->setMaxLength(kPwdFieldLimit);
    return edit;
}

/// Shows a text in a limited edit without cutting it: the limit stops typing, never loses
/// what the entry already holds.
void SetLimitedText(QLineEdit* edit, const QString& text) {
    edit->setMaxLength(std::max<int>(kPwdFieldLimit, static_cast<int>(text.size())));
    edit->setText(text);
    edit->setCursorPosition(0);
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

CPwdPropPage1::CPwdPropPage1(const std::vector<AnsiString>& categories, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("CPwdPropPage1"));
    title = LimitedEdit(this, "Title", Tr(dlgtext::TitleLabel));
    icon = NameControl(new IconCombo(this), "Icon", Tr(dlgtext::IconLabel));
    icon->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    category = NameControl(new QComboBox(this), "Category", Tr(dlgtext::CategoryLabel));
    category->setEditable(true);
    category->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    category->setInsertPolicy(QComboBox::NoInsert);
    category->lineEdit()->setMaxLength(kPwdFieldLimit);
    // The list is sorted as the user reads it; texts differing only in case stay apart.
    std::vector<QString> sorted;
    for (const AnsiString& text : categories)
        sorted.push_back(FromAnsi(text));
    const RowOrder order;
    std::stable_sort(sorted.begin(), sorted.end(), [&order](const QString& a, const QString& b) {
        return order.Compare(a, b) < 0;
    });
    for (const QString& text : sorted)
        category->addItem(text);
    category->setCurrentIndex(-1);
    category->setEditText(QString());

    auto* form = new QFormLayout(this);
    form->addRow(BuddyLabel(Tr(dlgtext::TitleLabel), title, this), title);
    form->addRow(BuddyLabel(Tr(dlgtext::IconLabel), icon, this), icon);
    form->addRow(BuddyLabel(Tr(dlgtext::CategoryLabel), category, this), category);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
}

CPwdPropPage2::CPwdPropPage2(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CPwdPropPage2"));
    login = LimitedEdit(this, "Login", Tr(dlgtext::LoginLabel));
    password = LimitedEdit(this, "Password", Tr(dlgtext::PasswordLabel));
    link = LimitedEdit(this, "Link", Tr(dlgtext::LinkLabel));
    generator = NameControl(new QPushButton(Tr(dlgtext::GeneratorButton), this), "Generator",
                            Tr(dlgtext::GeneratorButton));
    auto* form = new QFormLayout(this);
    form->addRow(BuddyLabel(Tr(dlgtext::LoginLabel), login, this), login);
    form->addRow(BuddyLabel(Tr(dlgtext::PasswordLabel), password, this), password);
    form->addRow(BuddyLabel(Tr(dlgtext::LinkLabel), link, this), link);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(generator);
    form->addRow(buttonRow);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
}

CPwdPropPage3::CPwdPropPage3(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CPwdPropPage3"));
    notes = NameControl(new QPlainTextEdit(this), "Notes", Tr(dlgtext::NotesField));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notes);
}

CPwdPropSheet::CPwdPropSheet(UserDialogs& dialogs, DialogStateStore& store,
                             const std::vector<AnsiString>& categories, QWidget* parent)
    : PropertySheet(dialogs, Tr(dlgtext::PwdSheetCaption), parent), m_store(store),
      m_page1(new CPwdPropPage1(categories, Pages())), m_page2(new CPwdPropPage2(Pages())),
      m_page3(new CPwdPropPage3(Pages())) {
    setObjectName(QStringLiteral("CPwdPropSheet"));
    AddPage(m_page1, Tr(dlgtext::AccountPage));
    AddPage(m_page2, Tr(dlgtext::PasswordPage));
    AddPage(m_page3, Tr(dlgtext::NotesPage));
    connect(m_page2->generator, &QPushButton::clicked, this, &CPwdPropSheet::RunGenerator);
    resize(400, 260);
    m_page1->title->setFocus();
}

CPwdPropSheet::~CPwdPropSheet() = default;

void CPwdPropSheet::SetEntry(const PwdItem& entry) {
    SetLimitedText(m_page1->title, FromAnsi(entry.title));
    m_page1->icon->SetIconNumber(entry.icon);
    const QString category = FromAnsi(entry.category);
    m_page1->category->lineEdit()->setMaxLength(
        std::max<int>(kPwdFieldLimit, static_cast<int>(category.size())));
    m_page1->category->setEditText(category);
    SetLimitedText(m_page2->login, FromAnsi(entry.login));
    SetLimitedText(m_page2->password, FromAnsi(entry.password));
    SetLimitedText(m_page2->link, FromAnsi(entry.link));
    QString notes = FromAnsi(entry.notes);
    notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_page3->notes->setPlainText(notes);
}

bool CPwdPropSheet::TakeEntry(PwdItem& entry) {
    PwdItem taken = entry;
    // Line breaks of the notes are kept as the bank keeps them, CR LF.
    QString notes = m_page3->notes->toPlainText();
    notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    notes.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (!TakeText(m_page1->title, m_page1->title->text(), Tr(dlgtext::TitleField), taken.title) ||
        !TakeText(m_page1->category, m_page1->category->currentText(), Tr(dlgtext::CategoryField),
                  taken.category) ||
        !TakeText(m_page2->login, m_page2->login->text(), Tr(dlgtext::LoginField), taken.login) ||
        !TakeText(m_page2->password, m_page2->password->text(), Tr(dlgtext::PasswordField),
                  taken.password) ||
        !TakeText(m_page2->link, m_page2->link->text(), Tr(dlgtext::LinkField), taken.link) ||
        !TakeText(m_page3->notes, notes, Tr(dlgtext::NotesField), taken.notes))
        return false;
    taken.icon = m_page1->icon->IconNumber();
    entry = std::move(taken);
    return true;
}

void CPwdPropSheet::RunGenerator() {
    CPwdGeneratorDlg generator(Dialogs(), m_store, this);
    const bool accepted =
        m_runGenerator ? m_runGenerator(generator) : generator.exec() == QDialog::Accepted;
    if (accepted)
        SetLimitedText(m_page2->password, generator.Password());
}

void CPwdPropSheet::accept() {
    // Refused input keeps the sheet open with everything the user typed.
    PwdItem probe;
    if (TakeEntry(probe))
        QDialog::accept();
}

bool EditPasswordEntry(UserDialogs& dialogs, DialogStateStore& store,
                       const std::vector<AnsiString>& categories, PwdItem& entry, bool isNew,
                       QWidget* parent) {
    CPwdPropSheet sheet(dialogs, store, categories, parent);
    if (!isNew)
        sheet.SetEntry(entry);
    if (sheet.exec() != QDialog::Accepted)
        return false;
    return sheet.TakeEntry(entry);
}

} // namespace kelvo
