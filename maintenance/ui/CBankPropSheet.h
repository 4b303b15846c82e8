// The bank properties sheet: file facts, the editable descriptive fields, the statistics, the
// bank's composition and the user-defined properties, over the open document.
#pragma once

#include "maintenance/ui/MaintenanceWindows.h"

#include <QDialog>
#include <QWidget>

#include <array>

class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QTreeWidget;

namespace kelvo {

class CBankPropPage5;

/// "Общие": the file facts, filled when first shown.
class CBankPropPage1 : public QWidget {
    Q_OBJECT
public:
    CBankPropPage1(CQuorvellineDoc& doc, QWidget* parent = nullptr);
    void Fill();

private:
    CQuorvellineDoc& m_doc;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_type = nullptr;
    QLineEdit* m_path = nullptr;
    QLineEdit* m_size = nullptr;
    QLineEdit* m_shortName = nullptr;
    QLineEdit* m_created = nullptr;
    QLineEdit* m_modified = nullptr;
    QLineEdit* m_accessed = nullptr;
    std::array<QCheckBox*, 4> m_attributes{};
};

/// "Банк": the eight descriptive fields, copied from the summary when first shown and back
/// into it when the sheet ends with OK.
class CBankPropPage2 : public QWidget {
    Q_OBJECT
public:
    CBankPropPage2(const MaintenanceContext& context, QWidget* parent = nullptr);
    void Fill();
    /// Copies the fields into the summary; false (summary unchanged) when a field holds
    /// characters the bank cannot store (the user has been told which).
    bool Apply();

private:
    QLineEdit* AddLine(const char* objectName, const char* label);

    MaintenanceContext m_context;
    QFormLayout* m_form = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_subject = nullptr;
    QLineEdit* m_author = nullptr;
    QLineEdit* m_manager = nullptr;
    QLineEdit* m_company = nullptr;
    QLineEdit* m_category = nullptr;
    QPlainTextEdit* m_keywords = nullptr;
    QPlainTextEdit* m_comments = nullptr;
    bool m_filled = false;
};

/// "Статистика": dates, counters and the statistics list, read-only.
class CBankPropPage3 : public QWidget {
    Q_OBJECT
public:
    CBankPropPage3(CQuorvellineDoc& doc, QWidget* parent = nullptr);
    void Fill();

private:
    CQuorvellineDoc& m_doc;
    QLineEdit* m_created = nullptr;
    QLineEdit* m_modified = nullptr;
    QLineEdit* m_printed = nullptr;
    QLineEdit* m_lastAuthor = nullptr;
    QLineEdit* m_saveCounter = nullptr;
    QLineEdit* m_editTime = nullptr;
    QTreeWidget* m_list = nullptr;
};

/// "Состав": the titles of the bank, its records, folders and password entries.
class CBankPropPage4 : public QWidget {
    Q_OBJECT
public:
    CBankPropPage4(CQuorvellineDoc& doc, QWidget* parent = nullptr);
    void Fill();

private:
    CQuorvellineDoc& m_doc;
    QListWidget* m_list = nullptr;
};

class CBankPropSheet : public QDialog {
    Q_OBJECT
public:
    /// Restores the window position saved under "BankPropSheet".
    CBankPropSheet(const MaintenanceContext& context, QWidget* parent = nullptr);
    /// Saves the window position.
    ~CBankPropSheet() override;

    QTabWidget* Tabs() const { return m_tabs; }
    /// OK: the "Банк" fields go into the summary (when they can be stored) and the bank is
    /// marked modified, changed or not.
    void accept() override;

private:
    void PageShown(int index);

    MaintenanceContext m_context;
    QTabWidget* m_tabs = nullptr;
    CBankPropPage1* m_page1 = nullptr;
    CBankPropPage2* m_page2 = nullptr;
    CBankPropPage3* m_page3 = nullptr;
    CBankPropPage4* m_page4 = nullptr;
    CBankPropPage5* m_page5 = nullptr;
    std::array<bool, 5> m_built{};
};

} // namespace kelvo
