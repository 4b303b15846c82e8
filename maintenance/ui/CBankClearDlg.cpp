// The cleanup dialog.
#include "maintenance/ui/CBankClearDlg.h"

#include "core/Messages.h"
#include "maintenance/ui/DialogProgress.h"
#include "maintenance/ui/MaintenanceStrings.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"
#include "widgets/ControlNames.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

namespace {

const QString kPlacement = QStringLiteral("BankClearDlg");

} // namespace

CBankClearDlg::CBankClearDlg(const MaintenanceContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("CBankClearDlg"));
    setWindowTitle(Tr(mtext::CleanupCaption));
    auto* layout = new QVBoxLayout(this);
    auto* description = new QLabel(Tr(mtext::CleanupDescription), this);
    description->setObjectName(QStringLiteral("Description"));
    description->setWordWrap(true);
    layout->addWidget(description);
    auto* prompt = new QLabel(Tr(mtext::CleanupPrompt), this);
    prompt->setObjectName(QStringLiteral("Prompt"));
    prompt->setWordWrap(true);
    layout->addWidget(prompt);

    const std::pair<const char*, const char*> boxes[] = {
        {"RecordKeywords", mtext::CleanupRecordKeywords},
        {"RecordNotes", mtext::CleanupRecordNotes},
        {"RecordTexts", mtext::CleanupRecordTexts},
        {"FolderKeywords", mtext::CleanupFolderKeywords},
        {"FolderNotes", mtext::CleanupFolderNotes},
        {"Passwords", mtext::CleanupPasswords}};
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        m_boxes[i] = NameControl(new QCheckBox(Tr(boxes[i].second), this), boxes[i].first,
                                 Tr(boxes[i].second));
        layout->addWidget(m_boxes[i]);
        // The record boxes and the password store's boxes are two groups.
        if (i == 2)
            layout->addSpacing(8);
    }
    layout->addSpacing(8);
    m_status = NameControl(new QLabel(Tr(StringText(msg::CleanupWaiting)), this), "Status",
                           Tr(mtext::StatusName));
    layout->addWidget(m_status);
    m_bar = NameControl(new QProgressBar(this), "Progress", Tr(mtext::ProgressName));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    layout->addWidget(m_bar);

    auto* buttons = new QDialogButtonBox(this);
    m_clear = NameControl(buttons->addButton(Tr(mtext::CleanupButton), QDialogButtonBox::AcceptRole),
                          "ClearButton", Tr(mtext::CleanupButton));
    m_clear->setDefault(true);
    m_cancel = NameControl(buttons->addButton(Tr(mtext::Cancel), QDialogButtonBox::RejectRole),
                           "CancelButton", Tr(mtext::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &CBankClearDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CBankClearDlg::reject);
    layout->addWidget(buttons);
    resize(460, sizeHint().height());
    m_context.settings.LoadWindowState(*this, kPlacement);
}

CBankClearDlg::~CBankClearDlg() {
    m_context.settings.SaveWindowState(*this, kPlacement);
}

CleanupChoices CBankClearDlg::Choices() const {
    CleanupChoices c;
    c.recordKeywords = m_boxes[0]->isChecked();
    c.recordNotes = m_boxes[1]->isChecked();
    c.recordTexts = m_boxes[2]->isChecked();
    c.folderKeywords = m_boxes[3]->isChecked();
    c.folderNotes = m_boxes[4]->isChecked();
    c.passwords = m_boxes[5]->isChecked();
    return c;
}

void CBankClearDlg::accept() {
    UserDialogs& dialogs = m_context.dialogs;
    const CleanupChoices choices = Choices();
    if (!choices.Any()) {
        dialogs.ShowMessage(this, Tr(StringText(msg::CleanupNothingChosen)));
        return;
    }
    if (dialogs.Ask(this, Tr(StringText(msg::CleanupQuestion)), QMessageBox::Yes | QMessageBox::No,
                    QMessageBox::Warning) != QMessageBox::Yes)
        return;
    // What the editor holds is written first: the editor shows the stored body afterwards,
    // and typing not yet saved must not be lost to a cleanup of something else.
    m_context.host.SaveEditedBody();
    for (QCheckBox* box : m_boxes)
        box->setEnabled(false);
    m_clear->setEnabled(false);
    m_cancel->setEnabled(false);
    DialogProgress progress(m_status, m_bar);
    const auto cleaned = RunBankCleanup(m_context.doc, choices, &progress, &m_context.host);
    progress.Show();
    if (!cleaned) {
        for (QCheckBox* box : m_boxes)
            box->setEnabled(true);
        m_clear->setEnabled(true);
        m_cancel->setEnabled(true);
        dialogs.ShowMessage(this, QString::fromStdString(ErrorText(cleaned.error())));
        return;
    }
    dialogs.ShowMessage(this, Tr(StringText(msg::CleanupDone)));
    QDialog::accept();
}

void ShowBankCleanup(const MaintenanceContext& context, QWidget* parent) {
    CBankClearDlg dialog(context, parent);
    dialog.exec();
}

} // namespace kelvo
