// The key map (every shortcut the main menu shows), the about box and the list of the
// program's modules with their versions.
#pragma once

#include <QDialog>
#include <QString>

#include <utility>
#include <vector>

class QMenuBar;

namespace kelvo {

class SettingsStore;
class SortableList;

/// One row of the key map: the command without its mnemonic mark and trailing blanks, and
/// its key as the menu shows it.
struct KeyMapRow {
    QString command;
    QString key;
};

/// The rows of the key map: every item of the menu bar and its submenus, by position, that
/// carries a shortcut; items without one are left out.
std::vector<KeyMapRow> KeyMapRows(const QMenuBar& menus);

class KeyMapDlg : public QDialog {
    Q_OBJECT
public:
    /// The list's layout and sort are kept under "KeyMapDlg.ListView" and the window
    /// position under "KeyMapDlg" (`settings` may be null); without a stored layout the list
    /// sorts by command.
    KeyMapDlg(const QMenuBar& menus, SettingsStore* settings, QWidget* parent = nullptr);
    ~KeyMapDlg() override;
    SortableList* List() const { return m_list; }

private:
    SettingsStore* m_settings;
    SortableList* m_list = nullptr;
};

/// A module of the used-files list and its version, or "(Ошибка определения)".
struct ModuleVersion {
    QString name;
    QString version;
};
/// The modules the program runs on, in table order: the program itself, the Qt libraries
/// and the C library, each with the version it reports.
std::vector<ModuleVersion> UsedModules();

class AboutFilesDlg : public QDialog {
    Q_OBJECT
public:
    AboutFilesDlg(SettingsStore* settings, QWidget* parent = nullptr);
    ~AboutFilesDlg() override;
    SortableList* List() const { return m_list; }

private:
    SettingsStore* m_settings;
    SortableList* m_list = nullptr;
};

class AboutDlg : public QDialog {
    Q_OBJECT
public:
    AboutDlg(SettingsStore* settings, QWidget* parent = nullptr);
    ~AboutDlg() override;
    /// "Файлы...": the used-files list, modally.
    void ShowFiles();

private:
    SettingsStore* m_settings;
};

} // namespace kelvo
