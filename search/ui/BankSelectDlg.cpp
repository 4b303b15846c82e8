// The start node chooser.
#include "search/ui/BankSelectDlg.h"

#include "core/QuorvellineDoc.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kelvo {

namespace {
constexpr int kChoiceRole = Qt::UserRole + 1;
const QString kPlacementName = QStringLiteral("BankSelectDlg");
} // namespace

BankSelectDlg::BankSelectDlg(const FindWindowContext& context, AnsiView startKey, QWidget* parent)
    : QDialog(parent), m_settings(context.settings), m_tree(new QTreeWidget(this)) {
    setObjectName(kPlacementName);
    setWindowTitle(Tr(text::SelectCaption));
    m_tree->setObjectName(QStringLiteral("BankTree"));
    m_tree->setAccessibleName(Tr(text::LeftBar));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_tree->setIconSize(QSize(16, 16));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* choose = buttons->addButton(Tr(text::SelectChoose), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(Tr(text::Cancel), QDialogButtonBox::RejectRole);
    choose->setObjectName(QStringLiteral("Choose"));
    choose->setAccessibleName(Tr(text::SelectChoose));
    choose->setDefault(true);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setAccessibleName(Tr(text::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(buttons);
    resize(560, 360);
    m_settings.LoadWindowState(*this, kPlacementName);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    CQuorvellineDoc& doc = context.doc;
    m_choices = StartChoices(doc.trees(), doc.path().string());
    std::vector<QTreeWidgetItem*> items;
    items.reserve(m_choices.size());
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        const StartChoice& choice = m_choices[i];
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(choice.text));
        item->setData(0, kChoiceRole, static_cast<int>(i));
        if (!choice.tree)
            item->setIcon(0, QApplication::windowIcon());
        else if (context.nodeIcon && choice.node)
            item->setIcon(0, context.nodeIcon(*choice.tree, *choice.node));
        if (choice.parent < 0)
            m_tree->addTopLevelItem(item);
        else
            items[static_cast<std::size_t>(choice.parent)]->addChild(item);
        items.push_back(item);
    }
    QTreeWidgetItem* root = items.front();
    root->setExpanded(true);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            m_chosen = item->data(0, kChoiceRole).toInt();
    });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item && item->childCount() == 0)
            accept();
    });
    const int start = FindStartChoice(m_choices, startKey);
    m_tree->setCurrentItem(items[static_cast<std::size_t>(std::max(0, start))]);
    m_tree->scrollToItem(m_tree->currentItem());
    QApplication::restoreOverrideCursor();
}

BankSelectDlg::~BankSelectDlg() {
    m_settings.SaveWindowState(*this, kPlacementName);
}

AnsiString BankSelectDlg::ChosenKey() const {
    return m_choices[static_cast<std::size_t>(m_chosen)].key;
}

QString BankSelectDlg::ChosenText() const {
    const StartChoice& choice = m_choices[static_cast<std::size_t>(m_chosen)];
    return QString::fromStdString(StartChoiceDisplay(choice.key, choice.text));
}

} // namespace kelvo
