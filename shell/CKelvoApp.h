// The application: start-up from the command line, the one document and the main window, and
// the document commands (New, Open, Save, Save As, recent banks, Exit) with the question to
// save a changed bank.
#pragma once

#include "core/QuorvellineDoc.h"
#include "shell/CommandTarget.h"
#include "shell/RecordViewPort.h"

#include <QStringList>

#include <memory>

namespace kelvo {

class CMainFrame;
class SettingsStore;
class UserDialogs;

class CKelvoApp : public CommandTarget {
public:
    CKelvoApp(SettingsStore& settings, UserDialogs& dialogs,
              std::unique_ptr<RecordViewPort> recordView = nullptr);
    ~CKelvoApp() override;

    /// Start-up with the program's arguments (without the program name): a bank path opens
    /// that bank, none starts a new one. False when the bank cannot be opened (its message has
    /// been shown): the program then ends. `show` shows the main window.
    bool Start(const QStringList& arguments, bool show = true);

    CMainFrame& Frame() const { return *m_frame; }
    CQuorvellineDoc& Document() { return m_doc; }

    bool NewBank();
    /// Opens a bank (after asking to save a changed one, unless `ask` is false).
    bool OpenBank(const QString& path, bool ask = true);
    bool SaveBank();
    bool SaveBankAs();
    /// Asks 61699 for a changed bank: true when the action may go on.
    bool SaveModified();

    bool UpdateCommand(int id, CommandState& state) override;
    bool RunCommand(int id) override;

private:
    bool SaveTo(const QString& path, bool saveAs);
    void AddRecent(const QString& path);
    void ShowError(const Error& error);
    /// The streams of a protected bank that failed authentication while it opened.
    void ReportDamagedElements();

    SettingsStore& m_settings;
    UserDialogs& m_dialogs;
    CQuorvellineDoc m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

} // namespace kelvo
