// The revision dialog.
#include "maintenance/ui/CBankRevisionDlg.h"

#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "maintenance/ui/DialogProgress.h"
#include "maintenance/ui/MaintenanceStrings.h"
#include "platform/text/Format.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"
#include "widgets/ControlNames.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kelvo {

namespace {

const QString kPlacement = QStringLiteral("BankRevisionDlg");

QString Size(std::uint64_t bytes) {
    return QString::fromStdString(AnsiToUtf8(FormatSizeWithBytes(bytes)));
}

} // namespace

CBankRevisionDlg::CBankRevisionDlg(const MaintenanceContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("CBankRevisionDlg"));
    setWindowTitle(Tr(mtext::RevisionCaption));
    auto* layout = new QVBoxLayout(this);
    auto* description = new QLabel(Tr(mtext::RevisionDescription), this);
    description->setObjectName(QStringLiteral("Description"));
    description->setWordWrap(true);
    layout->addWidget(description);

    m_status = NameControl(new QLabel(this), "Status", Tr(mtext::StatusName));
    layout->addWidget(m_status);
    m_bar = NameControl(new QProgressBar(this), "Progress", Tr(mtext::ProgressName));
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    layout->addWidget(m_bar);

    m_events = NameControl(new QTreeWidget(this), "Events", Tr(mtext::RevisionEventsName));
    m_events->setRootIsDecorated(false);
    m_events->setColumnCount(2);
    m_events->setHeaderLabels({Tr(mtext::RevisionNumberColumn), Tr(mtext::RevisionEventColumn)});
    m_events->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_events->setColumnWidth(0, 50);
    m_events->setColumnWidth(1, 440);
    m_events->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(m_events, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_start =
        NameControl(buttons->addButton(Tr(mtext::RevisionStart), QDialogButtonBox::ActionRole),
                    "StartButton", Tr(mtext::RevisionStart));
    m_start->setDefault(true);
    m_cancel = NameControl(buttons->addButton(Tr(mtext::Cancel), QDialogButtonBox::RejectRole),
                           "CancelButton", Tr(mtext::Cancel));
    connect(m_start, &QPushButton::clicked, this, [this] { Start(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_running) {
            if (m_progress)
                m_progress->RequestCancel();
        } else {
            reject();
        }
    });
    layout->addWidget(buttons);
    resize(540, 360);
    m_context.settings.LoadWindowState(*this, kPlacement);
}

CBankRevisionDlg::~CBankRevisionDlg() {
    m_context.settings.SaveWindowState(*this, kPlacement);
}

void CBankRevisionDlg::AddEvent(const QString& text) {
    auto* row =
        new QTreeWidgetItem(m_events, {QString::number(m_events->topLevelItemCount() + 1), text});
    m_events->scrollToItem(row);
    m_status->setText(text);
    m_status->repaint();
    m_events->viewport()->repaint();
}

void CBankRevisionDlg::Event(RevisionStep step, const RevisionFigures& figures) {
    switch (step) {
    case RevisionStep::SizeBefore:
        AddEvent(Tr(mtext::RevisionSizeBefore).arg(Size(figures.before)));
        break;
    case RevisionStep::Copying:
        AddEvent(Tr(mtext::RevisionCopying).arg(figures.elements));
        break;
    case RevisionStep::Copied:
        AddEvent(Tr(mtext::RevisionCopied));
        break;
    case RevisionStep::Replaced:
        m_replaced = true;
        AddEvent(Tr(mtext::RevisionReplaced));
        break;
    case RevisionStep::SizeAfter: {
        const std::uint64_t freed =
            figures.before > figures.after ? figures.before - figures.after : 0;
        AddEvent(Tr(mtext::RevisionSizeAfter).arg(Size(figures.after), Size(freed)));
        break;
    }
    case RevisionStep::Reopened:
        AddEvent(Tr(mtext::RevisionReopened));
        break;
    }
}

void CBankRevisionDlg::Busy(bool busy) {
    m_running = busy;
    m_start->setEnabled(!busy);
    m_cancel->setEnabled(true);
}

bool CBankRevisionDlg::Start() {
    if (m_running)
        return false;
    CQuorvellineDoc& doc = m_context.doc;
    UserDialogs& dialogs = m_context.dialogs;
    if (!doc.hasFile()) {
        dialogs.ShowMessage(this, Tr(StringText(msg::RevisionNeverSaved)));
        return false;
    }
    // What the editor holds goes into the bank first; then the bank must be saved, as the
    // revision reopens the bank from its file.
    m_context.host.SaveEditedBody();
    if (doc.IsModified()) {
        if (dialogs.Ask(this, Tr(mtext::RevisionAskSave), QMessageBox::Yes | QMessageBox::No,
                        QMessageBox::Question) != QMessageBox::Yes)
            return false;
        if (auto saved = doc.Save(); !saved) {
            dialogs.ShowMessage(this, QString::fromStdString(ErrorText(saved.error())),
                                QMessageBox::Warning);
            return false;
        }
        AddEvent(Tr(mtext::RevisionSaved));
    }

    Busy(true);
    DialogProgress progress(m_status, m_bar);
    progress.onCancellable = [this](bool cancellable) { m_cancel->setEnabled(cancellable); };
    m_progress = &progress;
    const auto revised =
        ReviseBank(doc, &progress, [this](RevisionStep step, const RevisionFigures& figures) {
            Event(step, figures);
        });
    m_progress = nullptr;
    progress.Show();
    Busy(false);
    if (!revised) {
        if (!m_replaced)
            AddEvent(Tr(mtext::RevisionFailedEvent));
        dialogs.ShowMessage(this, QString::fromStdString(ErrorText(revised.error())),
                            QMessageBox::Warning);
        return false;
    }
    m_start->setEnabled(false); // the bank is compact now
    m_cancel->setText(Tr(mtext::Close));
    m_cancel->setAccessibleName(AccessibleLabel(Tr(mtext::Close)));
    return true;
}

void ShowBankRevision(const MaintenanceContext& context, QWidget* parent) {
    CBankRevisionDlg dialog(context, parent);
    dialog.exec();
}

} // namespace kelvo
