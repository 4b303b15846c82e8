// The bank maintenance windows as the main window opens them: one call per command, each
// running its modal window over the open document.
#pragma once

#include "maintenance/BankCleanup.h"

#include <QIcon>

class QWidget;

namespace kelvo {

class CQuorvellineDoc;
class SettingsStore;
class UserDialogs;
struct TreeNode;

/// What the maintenance windows need of the main window besides the document: the views
/// that show what they changed.
class MaintenanceHost : public CleanupViews {
public:
    /// The record editor writes what it holds, when it holds changes, into the body of the
    /// record it shows.
    virtual void SaveEditedBody() = 0;
    /// A subtree was added under a record (import): the record tree shows it.
    virtual void RecordsAdded(TreeNode* top) = 0;
    /// Image `index` of the record tree (3/4: a record with children, normal and selected;
    /// 5/6: one without).
    virtual QIcon RecordImage(int index) const = 0;
};

struct MaintenanceContext {
    CQuorvellineDoc& doc;
    SettingsStore& settings;
    UserDialogs& dialogs;
    MaintenanceHost& host;
};

/// "Свойства банка...": the properties sheet; true when it ended with OK.
bool ShowBankProperties(const MaintenanceContext& context, QWidget* parent);

} // namespace kelvo
