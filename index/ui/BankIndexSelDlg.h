// The keyword picker: every word of the bank's stored index with its number of references,
// and the object's own keywords ticked; the ticked words make the keywords text handed back.
#pragma once

#include "index/KeywordPicker.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace kelvo {

class CQuorvellineDoc;
class DialogStateStore;
class SortableList;
class UserDialogs;

class BankIndexSelDlg : public QDialog {
    Q_OBJECT
public:
    static inline const char* kWindowName = "BankIndexSelDlg";
    static inline const char* kListName = "BankIndexSelDlg.KeyWordsList";

    BankIndexSelDlg(CQuorvellineDoc& doc, UserDialogs& dialogs, DialogStateStore& store,
                    QWidget* parent = nullptr);
    ~BankIndexSelDlg() override;

    /// The keywords text: given before the picker opens, composed from the ticks when it
    /// closes.
    void SetKeywordsText(AnsiString text) { m_keywords = std::move(text); }
    const AnsiString& KeywordsText() const { return m_keywords; }
    /// Button 1 reads "OK" instead of "Выбрать".
    void SetOkCaption(bool on);

    /// Loads the stored index and the keywords and fills the list; done once, at the latest
    /// when the picker is first shown. Without an index the user is told so once.
    void Open();

    SortableList& List() const { return *m_list; }
    QCheckBox* OnlyTicked() const { return m_onlyTicked; }
    QString SummaryText() const;
    const KeywordPicker& Picker() const { return m_picker; }
    /// The keywords text of the rows ticked now, in the list's order.
    AnsiString BuildKeywordsText() const;

    /// Both buttons (and the close box) keep the layout and compose the keywords text.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillList();
    void UpdateSummary();

    CQuorvellineDoc& m_doc;
    UserDialogs& m_dialogs;
    DialogStateStore& m_store;
    KeywordPicker m_picker;
    AnsiString m_keywords;
    bool m_opened = false;
    SortableList* m_list;
    QLabel* m_summary;
    QCheckBox* m_onlyTicked;
    QPushButton* m_choose;
    QPushButton* m_cancel;
};

/// Opens the picker on `keywords`; on its OK they become the composed text and the result is
/// true. `okCaption` for the main window's command.
bool RunKeywordPicker(CQuorvellineDoc& doc, UserDialogs& dialogs, DialogStateStore& store,
                      AnsiString& keywords, bool okCaption, QWidget* parent);

} // namespace kelvo
