// The item properties sheet of a record or a password folder: "Общие" (title, UID, size of
// the text, the three times), "Заметки" and "Ключевые слова" with the keyword picker. It holds
// copies; the item changes only after OK.
#pragma once

#include "dialogs/RecordProperties.h"
#include "dialogs/ui/PropertySheet.h"

#include <QDialog>
#include <QWidget>

#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kelvo {

class DialogStateStore;
class UserDialogs;

class CTreeRecPropPage1 : public QWidget {
    Q_OBJECT
public:
    explicit CTreeRecPropPage1(QWidget* parent = nullptr);
    QLineEdit* title;
    QLineEdit* uid;
    QLineEdit* size;
    QLineEdit* created;
    QLineEdit* opened;
    QLineEdit* saved;
};

class CTreeRecPropPage2 : public QWidget {
    Q_OBJECT
public:
    explicit CTreeRecPropPage2(QWidget* parent = nullptr);
    QPlainTextEdit* notes;
};

class CTreeRecPropPage3 : public QWidget {
    Q_OBJECT
public:
    explicit CTreeRecPropPage3(QWidget* parent = nullptr);
    QPlainTextEdit* keywords;
    QPushButton* pick;
};

class CTreeRecPropSheet : public PropertySheet {
    Q_OBJECT
public:
    /// Opens the keyword picker on `keywords`; true (with the new text in `keywords`) on OK.
    using PickerRun = std::function<bool(AnsiString& keywords)>;

    CTreeRecPropSheet(const RecordProperties& fields, UserDialogs& dialogs,
                      QWidget* parent = nullptr);
    ~CTreeRecPropSheet() override;

    void SetPickerRun(PickerRun run) { m_runPicker = std::move(run); }
    /// "Выбор из списка...": the page's keywords go to the picker, its text replaces them.
    void PickKeywords();

    /// The edited title, notes and keywords. False (the user told, the field shown) when one
    /// of them holds characters Windows-1251 cannot hold; `fields` is then unchanged.
    bool TakeFields(RecordProperties& fields);

    CTreeRecPropPage1* GeneralPage() const { return m_page1; }
    CTreeRecPropPage2* NotesPage() const { return m_page2; }
    CTreeRecPropPage3* KeywordsPage() const { return m_page3; }

    void accept() override;

private:
    RecordProperties m_fields;
    PickerRun m_runPicker;
    CTreeRecPropPage1* m_page1;
    CTreeRecPropPage2* m_page2;
    CTreeRecPropPage3* m_page3;
};

/// The item properties command: the sheet for `node` of the tree `kind`, the picker on its
/// keywords page; on OK the node takes the fields and the bank is marked modified. True then.
bool ShowTreeItemProperties(CQuorvellineDoc& doc, TreeKind kind, TreeNode& node,
                            UserDialogs& dialogs, DialogStateStore& store, QWidget* parent);

} // namespace kelvo
