// The chooser of the node a bank search starts at: the whole bank with the record tree and
// the password folder tree under it.
#pragma once

#include "search/StartChoices.h"
#include "search/ui/FindWindows.h"

#include <QDialog>

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace kelvo {

class BankSelectDlg : public QDialog {
    Q_OBJECT
public:
    /// Lists the bank's nodes and selects the one of `startKey` (the bank when it names
    /// none). The position is kept under "BankSelectDlg".
    BankSelectDlg(const FindWindowContext& context, AnsiView startKey, QWidget* parent = nullptr);
    ~BankSelectDlg() override;

    /// The key of the chosen node ("bnk", "rec:...", "pwd:...").
    AnsiString ChosenKey() const;
    /// How the start field names the choice: "Записи: ...", "Папки паролей: ...", or the
    /// bank's "Банк данных: ...".
    QString ChosenText() const;
    QTreeWidget* Tree() const { return m_tree; }

private:
    SettingsStore& m_settings;
    QTreeWidget* m_tree;
    std::vector<StartChoice> m_choices;
    int m_chosen = 0;
};

} // namespace kelvo
