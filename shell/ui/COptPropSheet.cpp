// The options sheet.
#include "shell/ui/COptPropSheet.h"

#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "shell/ui/WindowTexts.h"
#include "widgets/ControlNames.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kelvo {

namespace {

const QString kPlacement = QStringLiteral("OptPropSheet");

} // namespace

OptionsPage::OptionsPage(const char* objectName, QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(objectName));
    auto* layout = new QVBoxLayout(this);
    m_form = new QFormLayout;
    m_form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    layout->addLayout(m_form);
}

void OptionsPage::AddGroup(const char* objectName, const QString& title) {
    auto* group = NameControl(new QGroupBox(title, this), objectName, title);
    m_form = new QFormLayout(group);
    m_form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    static_cast<QVBoxLayout*>(layout())->addWidget(group);
}

QCheckBox* OptionsPage::AddCheck(const char* objectName, const QString& label) {
    auto* box = NameControl(new QCheckBox(label, this), objectName, label);
    m_form->addRow(box);
    return box;
}

QSpinBox* OptionsPage::AddNumber(const char* objectName, const QString& label, int minimum,
                                 int maximum) {
    auto* number = NameControl(new QSpinBox(this), objectName, label);
    number->setRange(minimum, maximum);
    auto* caption = new QLabel(label, this);
    caption->setObjectName(QString::fromLatin1(objectName) + QStringLiteral("Label"));
    caption->setBuddy(number);
    m_form->addRow(caption, number);
    return number;
}

void OptionsPage::Finish() {
    static_cast<QVBoxLayout*>(layout())->addStretch(1);
}

COptPropSheet::COptPropSheet(SettingsStore& settings, UserDialogs& dialogs, QWidget* parent)
    : PropertySheet(dialogs, Tr(otext::Caption), parent), m_settings(settings) {
    setObjectName(QStringLiteral("COptPropSheet"));

    auto* general = new OptionsPage("GeneralPage", this);
    m_recentFiles =
        general->AddNumber("RecentFiles", Tr(otext::RecentFiles), 0, UserOptions::kMaxRecentFiles);
    general->AddGroup("Questions", Tr(otext::Questions));
    m_confirmItemDelete = general->AddCheck("ConfirmItemDelete", Tr(otext::ConfirmItemDelete));
    m_confirmPasswordDelete =
        general->AddCheck("ConfirmPasswordDelete", Tr(otext::ConfirmPasswordDelete));
    general->Finish();
    AddPage(general, Tr(otext::GeneralPage));

    // The protection of what the bank keeps secret: copied passwords, and the settings of
    // protected banks as they come.
    auto* security = new OptionsPage("SecurityPage", this);
    security->AddGroup("Clipboard", Tr(otext::Clipboard));
    m_clipboardSeconds =
        security->AddNumber("ClipboardSeconds", Tr(otext::ClipboardSeconds),
                            UserOptions::kMinClipboardSeconds, UserOptions::kMaxClipboardSeconds);
    security->Finish();
    AddPage(security, Tr(otext::SecurityPage));

    Show(m_settings.Options());
    resize(sizeHint().expandedTo(QSize(440, 0)));
    m_settings.LoadWindowState(*this, kPlacement);
}

COptPropSheet::~COptPropSheet() {
    m_settings.SaveWindowState(*this, kPlacement);
}

void COptPropSheet::Show(const UserOptions& options) {
    m_recentFiles->setValue(options.recentFiles);
    m_confirmItemDelete->setChecked(options.confirmItemDelete);
    m_confirmPasswordDelete->setChecked(options.confirmPasswordDelete);
    m_clipboardSeconds->setValue(options.clipboardSeconds);
}

UserOptions COptPropSheet::Options() const {
    UserOptions o;
    o.recentFiles = m_recentFiles->value();
    o.confirmItemDelete = m_confirmItemDelete->isChecked();
    o.confirmPasswordDelete = m_confirmPasswordDelete->isChecked();
    o.clipboardSeconds = m_clipboardSeconds->value();
    return o;
}

void COptPropSheet::accept() {
    m_settings.SetOptions(Options());
    m_settings.Sync();
    PropertySheet::accept();
}

bool ShowProgramOptions(SettingsStore& settings, UserDialogs& dialogs, QWidget* parent) {
    COptPropSheet sheet(settings, dialogs, parent);
    return sheet.exec() == QDialog::Accepted;
}

} // namespace kelvo
