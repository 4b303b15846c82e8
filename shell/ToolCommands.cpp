// The maintenance commands of the main window.
#include "shell/ToolCommands.h"

#include "dialogs/ui/CBankProtectDlg.h"
#include "maintenance/ui/CBankClearDlg.h"
#include "maintenance/ui/CBankRevisionDlg.h"
#include "maintenance/ui/CImportRecordsDlg.h"

#include "shell/AboutDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CPwdView.h"
#include "shell/CommandIds.h"
#include "shell/Icons.h"
#include "shell/SettingsStore.h"
#include "shell/ui/COptPropSheet.h"

namespace kelvo {

ToolCommands::ToolCommands(CMainFrame& frame, SettingsStore& settings, UserDialogs& dialogs)
    : m_frame(frame), m_settings(settings), m_dialogs(dialogs),
      m_kdfParams([] { return crypto::KdfParams::Tuned(); }) {}

MaintenanceContext ToolCommands::Context() {
    return {m_frame.Document(), m_settings, m_dialogs, *this};
}

ProtectionContext ToolCommands::Protection() {
    // What the editor holds counts as a change of the bank, to be saved before the rewrite.
    m_frame.UpdateCommandUi();
    CQuorvellineDoc& doc = m_frame.Document();
    return {doc, m_dialogs,
            [this, &doc] {
                m_frame.ExecuteCommand(cmd::FileSave);
                return doc.hasFile() && !doc.IsModified();
            },
            m_kdfParams};
}

bool ToolCommands::UpdateCommand(int id, CommandState& state) {
    switch (id) {
    case cmd::BankProperties:
    case cmd::BankCleanup:
    case cmd::BankRevision:
    case cmd::KeyMap:
    case cmd::AppAbout:
    case cmd::ProgramOptions:
        state.enabled = true;
        return true;
    case cmd::SetProtection:
        state.enabled = true;
        return true;
    case cmd::RemoveProtection:
        state.enabled = m_frame.Document().isProtected();
        return true;
    case cmd::ImportRecords:
        // A command of the record side: the records go under the selected record.
        state.enabled = m_frame.CurrentTab() == 0 && m_frame.Document().records().selected();
        return true;
    default:
        return false;
    }
}

bool ToolCommands::RunCommand(int id) {
    switch (id) {
    case cmd::BankProperties:
        ShowBankProperties(Context(), &m_frame);
        break;
    case cmd::BankCleanup:
        ShowBankCleanup(Context(), &m_frame);
        break;
    case cmd::BankRevision:
        ShowBankRevision(Context(), &m_frame);
        break;
    case cmd::ImportRecords:
        ShowImportRecords(Context(), &m_frame);
        break;
    case cmd::SetProtection:
        ShowSetProtection(Protection(), &m_frame);
        break;
    case cmd::RemoveProtection:
        ShowRemoveProtection(Protection(), &m_frame);
        break;
    case cmd::ProgramOptions:
        if (ShowProgramOptions(m_settings, m_dialogs, &m_frame))
            m_frame.RebuildRecentMenu(m_settings.RecentFiles());
        break;
    case cmd::KeyMap: {
        KeyMapDlg dialog(*m_frame.menuBar(), &m_settings, &m_frame);
        dialog.exec();
        break;
    }
    case cmd::AppAbout: {
        AboutDlg dialog(&m_settings, &m_frame);
        dialog.exec();
        break;
    }
    default:
        return false;
    }
    m_frame.UpdateCommandUi();
    return true;
}

void ToolCommands::SaveEditedBody() {
    if (m_frame.CurrentTab() == 0 && m_frame.RecordView().IsModified())
        m_frame.OnSaveCurrentBody();
}

void ToolCommands::ReloadSelectedBody() {
    TreeNode* node = m_frame.Document().records().selected();
    m_frame.RecordView().LoadRecordBody(node ? &node->item : nullptr);
}

void ToolCommands::RefillPasswordList() {
    m_frame.PwdView().FillFromFolder();
}

void ToolCommands::RecordsAdded(TreeNode* top) {
    if (top && top->parent)
        top->parent->expanded = true; // the new subtree is in sight
    m_frame.RecordTreeCtrl().Refresh();
    m_frame.RecordTreeCtrl().RefreshImages();
}

QIcon ToolCommands::RecordImage(int index) const {
    return RecordTreeImage(index);
}

} // namespace kelvo
