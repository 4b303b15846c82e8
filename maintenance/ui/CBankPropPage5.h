// "Свойства пользователя": the bank's user-defined properties, added and deleted at once in
// the document's list.
#pragma once

#include "maintenance/ui/MaintenanceWindows.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace kelvo {

struct UserProperty;

class CBankPropPage5 : public QWidget {
    Q_OBJECT
public:
    CBankPropPage5(const MaintenanceContext& context, QWidget* parent = nullptr);
    /// Fills the lists: the suggested names, the four types, one row per property (the last
    /// of the document's list on top).
    void Fill();

    /// "&Добавить": a new property from the three fields, or the message that says why not.
    void Add();
    /// "&Удалить": the selected row's property, after the question.
    void Delete();

private:
    void RowSelected();
    void RefreshSuggestions();
    void InsertRow(const UserProperty& property);

    MaintenanceContext m_context;
    QLineEdit* m_name = nullptr;
    QListWidget* m_names = nullptr;
    QComboBox* m_type = nullptr;
    QComboBox* m_value = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_delete = nullptr;
    QTreeWidget* m_list = nullptr;
};

} // namespace kelvo
