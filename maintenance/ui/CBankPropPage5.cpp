// The user-defined properties page.
#include "maintenance/ui/CBankPropPage5.h"

#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "core/UserPropertyInput.h"
#include "maintenance/ui/MaintenanceStrings.h"
#include "shell/AnsiInput.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"
#include "widgets/ControlNames.h"

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <iterator>

namespace kelvo {

namespace {

constexpr int kNameRole = Qt::UserRole; // the property's name, as the bank holds it

QString TypeName(int type) {
    if (type >= 0 && type < static_cast<int>(std::size(mtext::TypeNames)))
        return Tr(mtext::TypeNames[type]);
    return Tr(StringText(msg::UnknownTime));
}

QByteArray NameBytes(AnsiView name) {
    return QByteArray(name.data(), static_cast<qsizetype>(name.size()));
}

// The pieces of a "~"-ended list; the last "~" gives no empty piece.
QStringList Pieces(const char* list) {
    QStringList pieces = Tr(list).split(QLatin1Char('~'));
    if (!pieces.isEmpty() && pieces.back().isEmpty())
        pieces.removeLast();
    return pieces;
}

} // namespace

CBankPropPage5::CBankPropPage5(const MaintenanceContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
    setObjectName(QStringLiteral("CBankPropPage5"));
    auto* grid = new QGridLayout(this);

    auto* nameLabel = new QLabel(Tr(mtext::PropertyNameLabel), this);
    m_name = NameControl(new QLineEdit(this), "PropertyName", Tr(mtext::PropertyNameLabel));
    m_name->setMaxLength(static_cast<int>(kMaxUserPropertyName));
    nameLabel->setBuddy(m_name);
    // A name box with its list always open below it: picking a suggestion types it.
    m_names = NameControl(new QListWidget(this), "SuggestedNames", Tr(mtext::PropertyNameLabel));
    m_names->setMaximumHeight(96);
    connect(m_names, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (!name.isEmpty())
            m_name->setText(name);
    });

    auto* typeLabel = new QLabel(Tr(mtext::PropertyTypeLabel), this);
    m_type = NameControl(new QComboBox(this), "PropertyType", Tr(mtext::PropertyTypeLabel));
    typeLabel->setBuddy(m_type);
    connect(m_type, &QComboBox::activated, this, &CBankPropPage5::RefreshSuggestions);

    auto* valueLabel = new QLabel(Tr(mtext::PropertyValueLabel), this);
    m_value = NameControl(new QComboBox(this), "PropertyValue", Tr(mtext::PropertyValueLabel));
    m_value->setEditable(true);
    m_value->setInsertPolicy(QComboBox::NoInsert);
    m_value->lineEdit()->setMaxLength(static_cast<int>(kMaxUserPropertyValue));
    valueLabel->setBuddy(m_value);

    m_add =
        NameControl(new QPushButton(Tr(mtext::AddButton), this), "AddButton", Tr(mtext::AddButton));
    m_add->setDefault(true);
    m_add->setAutoDefault(true);
    m_delete = NameControl(new QPushButton(Tr(mtext::DeleteButton), this), "DeleteButton",
                           Tr(mtext::DeleteButton));
    connect(m_add, &QPushButton::clicked, this, &CBankPropPage5::Add);
    connect(m_delete, &QPushButton::clicked, this, &CBankPropPage5::Delete);

    auto* listLabel = new QLabel(Tr(mtext::PropertiesLabel), this);
    m_list = NameControl(new QTreeWidget(this), "PropertyList", Tr(mtext::PropertiesLabel));
    listLabel->setBuddy(m_list);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CBankPropPage5::RowSelected);

    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(m_add, 0, 2);
    grid->addWidget(m_names, 1, 1);
    grid->addWidget(m_delete, 1, 2, Qt::AlignTop);
    grid->addWidget(typeLabel, 2, 0);
    grid->addWidget(m_type, 2, 1);
    grid->addWidget(valueLabel, 3, 0);
    grid->addWidget(m_value, 3, 1);
    grid->addWidget(listLabel, 4, 0, 1, 3);
    grid->addWidget(m_list, 5, 0, 1, 3);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(1, 1);
}

void CBankPropPage5::Fill() {
    m_type->clear();
    m_type->addItems(Pieces(mtext::TypeChoices));
    m_names->clear();
    m_names->addItems(Pieces(mtext::SuggestedNames));
    m_list->clear();
    m_list->setColumnCount(3);
    m_list->setHeaderLabels({Tr(mtext::NameColumn), Tr(mtext::TypeColumn), Tr(mtext::ValueColumn)});
    m_list->setColumnWidth(0, 93);
    m_list->setColumnWidth(1, 75);
    m_list->setColumnWidth(2, 90);
    m_names->setCurrentRow(0);
    m_type->setCurrentIndex(UserProperty::Text);
    for (const UserProperty& property : m_context.doc.userProperties())
        InsertRow(property);
    RefreshSuggestions();
    if (m_list->topLevelItemCount() > 0)
        for (int column = 0; column < 3; ++column)
            m_list->resizeColumnToContents(column);
}

void CBankPropPage5::InsertRow(const UserProperty& property) {
    auto* row = new QTreeWidgetItem(QStringList{FromAnsi(property.name), TypeName(property.type),
                                                FromAnsi(UserPropertyValueText(property))});
    row->setData(0, kNameRole, NameBytes(property.name));
    m_list->insertTopLevelItem(0, row);
}

void CBankPropPage5::RefreshSuggestions() {
    const QString typed = m_value->currentText();
    m_value->clear();
    switch (m_type->currentIndex()) {
    case UserProperty::Text:
    case UserProperty::Number:
        m_value->addItem(QString());
        break;
    case UserProperty::DateTime: {
        const QDateTime now = QDateTime::currentDateTime();
        for (const char* picture : {"dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy", "HH:mm:ss"})
            m_value->addItem(now.toString(QString::fromLatin1(picture)));
        break;
    }
    case UserProperty::YesNo:
        m_value->addItem(Tr(StringText(msg::Yes)));
        m_value->addItem(Tr(StringText(msg::No)));
        break;
    default:
        break;
    }
    m_value->setEditText(typed); // the typed value stays
}

void CBankPropPage5::RowSelected() {
    const QList<QTreeWidgetItem*> rows = m_list->selectedItems();
    if (rows.isEmpty())
        return;
    const QByteArray key = rows.front()->data(0, kNameRole).toByteArray();
    const UserProperty* property =
        FindUserProperty(m_context.doc.userProperties(), AnsiView(key.constData(), key.size()));
    if (!property)
        return;
    const QString name = FromAnsi(property->name);
    const QList<QListWidgetItem*> suggested = m_names->findItems(name, Qt::MatchExactly);
    {
        const QSignalBlocker quiet(m_names);
        if (suggested.isEmpty())
            m_names->clearSelection();
        else
            m_names->setCurrentItem(suggested.front());
    }
    m_name->setText(name);
    if (property->type >= 0 && property->type < m_type->count())
        m_type->setCurrentIndex(property->type);
    m_value->setEditText(FromAnsi(UserPropertyValueText(*property)));
    RefreshSuggestions();
}

void CBankPropPage5::Add() {
    UserDialogs& dialogs = m_context.dialogs;
    AnsiString name, value;
    if (!AcceptAnsiText(dialogs, this, m_name->text(), AccessibleLabel(Tr(mtext::NameColumn)),
                        name) ||
        !AcceptAnsiText(dialogs, this, m_value->currentText(),
                        AccessibleLabel(Tr(mtext::ValueColumn)), value))
        return;
    if (name.empty()) {
        dialogs.ShowMessage(this, Tr(mtext::PropertyNameEmpty));
        m_name->setFocus();
        return;
    }
    std::vector<UserProperty>& list = m_context.doc.userProperties();
    auto made = MakeUserProperty(list, name, m_type->currentIndex(), value);
    if (!made) {
        dialogs.ShowMessage(this, QString::fromStdString(ErrorText(made.error())));
        return;
    }
    InsertRow(*made);
    list.push_back(std::move(*made));
    // The list has changed now, whatever becomes of the sheet: the bank must be saved for it.
    m_context.doc.SetModifiedFlag(true);
}

void CBankPropPage5::Delete() {
    const QList<QTreeWidgetItem*> rows = m_list->selectedItems();
    if (rows.isEmpty())
        return;
    QTreeWidgetItem* row = rows.front();
    const QByteArray key = row->data(0, kNameRole).toByteArray();
    std::vector<UserProperty>& list = m_context.doc.userProperties();
    const UserProperty* property = FindUserProperty(list, AnsiView(key.constData(), key.size()));
    if (!property)
        return;
    if (m_context.dialogs.Ask(this, Tr(mtext::AskDeleteProperty).arg(FromAnsi(property->name)),
                              QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::Warning) != QMessageBox::Yes)
        return;
    list.erase(list.begin() + (property - list.data()));
    delete row;
    m_context.doc.SetModifiedFlag(true);
}

} // namespace kelvo
