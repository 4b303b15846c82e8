// The options sheet: the program's options on pages, taken from the settings store when the
// sheet opens and written back on OK.
#pragma once

#include "dialogs/ui/PropertySheet.h"
#include "shell/UserOptions.h"

#include <QWidget>

class QCheckBox;
class QFormLayout;
class QSpinBox;

namespace kelvo {

class SettingsStore;

/// One page of the sheet: rows of a label and a number, and boxes, in groups. A new option
/// is one more row here.
class OptionsPage : public QWidget {
    Q_OBJECT
public:
    explicit OptionsPage(const char* objectName, QWidget* parent = nullptr);

    /// Starts a titled group; the rows that follow go into it.
    void AddGroup(const char* objectName, const QString& title);
    QCheckBox* AddCheck(const char* objectName, const QString& label);
    QSpinBox* AddNumber(const char* objectName, const QString& label, int minimum, int maximum);
    /// Ends the page: what is left of its height stays below the rows.
    void Finish();

private:
    QFormLayout* m_form = nullptr;
};

class COptPropSheet : public PropertySheet {
    Q_OBJECT
public:
    /// Shows `settings`' options; restores the position saved under "OptPropSheet".
    COptPropSheet(SettingsStore& settings, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~COptPropSheet() override;

    /// The options as the pages show them.
    UserOptions Options() const;
    /// OK: the options go into the settings store.
    void accept() override;

private:
    void Show(const UserOptions& options);

    SettingsStore& m_settings;
    QSpinBox* m_recentFiles = nullptr;
    QCheckBox* m_confirmItemDelete = nullptr;
    QCheckBox* m_confirmPasswordDelete = nullptr;
    QSpinBox* m_clipboardSeconds = nullptr;
};

/// "Параметры программы...": true when the sheet ended with OK (the options may have changed).
bool ShowProgramOptions(SettingsStore& settings, UserDialogs& dialogs, QWidget* parent);

} // namespace kelvo
