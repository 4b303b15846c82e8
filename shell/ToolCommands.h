// The main window's commands that open the bank maintenance windows (bank properties,
// cleanup, revision and import of records), the protection windows (set and remove the
// master password), the options sheet, the key map and the about box. The frame routes them
// here; each opens its window through one call.
#pragma once

#include "maintenance/ui/MaintenanceWindows.h"
#include "platform/crypto/Sealing.h"
#include "shell/CommandTarget.h"

#include <functional>

namespace kelvo {

class CMainFrame;
struct ProtectionContext;

class ToolCommands : public CommandTarget, private MaintenanceHost {
public:
    ToolCommands(CMainFrame& frame, SettingsStore& settings, UserDialogs& dialogs);

    bool UpdateCommand(int id, CommandState& state) override;
    bool RunCommand(int id) override;

private:
    // MaintenanceHost
    void SaveEditedBody() override;
    void ReloadSelectedBody() override;
    void RefillPasswordList() override;
    void RecordsAdded(TreeNode* top) override;
    QIcon RecordImage(int index) const override;

    MaintenanceContext Context();
    ProtectionContext Protection();

    CMainFrame& m_frame;
    SettingsStore& m_settings;
    UserDialogs& m_dialogs;
    std::function<crypto::KdfParams()> m_kdfParams; ///< of a new master password
};

} // namespace kelvo
