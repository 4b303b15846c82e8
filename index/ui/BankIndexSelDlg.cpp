// The keyword picker.
#include "index/ui/BankIndexSelDlg.h"

#include "core/Messages.h"
#include "index/ui/IndexProgressDlg.h"
#include "shell/AnsiInput.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"
#include "widgets/ControlNames.h"
#include "widgets/DialogStateStore.h"
#include "widgets/SortableList.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

BankIndexSelDlg::BankIndexSelDlg(CQuorvellineDoc& doc, UserDialogs& dialogs,
                                 DialogStateStore& store, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_dialogs(dialogs), m_store(store),
      m_list(new SortableList(this)), m_summary(new QLabel(this)),
      m_onlyTicked(new QCheckBox(Tr(text::PickerOnlyTicked), this)),
      m_choose(new QPushButton(Tr(text::PickerChoose), this)),
      m_cancel(new QPushButton(Tr(text::Cancel), this)) {
    setObjectName(QStringLiteral("BankIndexSelDlg"));
    setWindowTitle(Tr(text::PickerCaption));
    auto* label = new QLabel(Tr(text::PickerListLabel), this);
    NameControl(m_list, "KeyWordsList", label->text());
    label->setBuddy(m_list);
    m_list->SetColumns({{Tr(text::IndexWord), 220}, {Tr(text::IndexCount), 80}});
    m_list->SetCheckBoxes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    NameControl(m_summary, "Summary", Tr(text::PickerSummaryName));
    m_summary->setTextFormat(Qt::PlainText); // words are never read as markup
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_summary->setMinimumHeight(m_summary->fontMetrics().lineSpacing() * 3);
    m_summary->setMaximumHeight(m_summary->fontMetrics().lineSpacing() * 5);
    NameControl(m_onlyTicked, "OnlyTicked", m_onlyTicked->text());
    NameControl(m_choose, "OK", m_choose->text());
    NameControl(m_cancel, "Cancel", m_cancel->text());
    m_choose->setDefault(true);
    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_onlyTicked);
    buttons->addStretch(1);
    buttons->addWidget(m_choose);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addWidget(separator);
    layout->addWidget(m_summary);
    layout->addLayout(buttons);
    resize(470, 400);

    connect(m_choose, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_onlyTicked, &QCheckBox::toggled, this, &BankIndexSelDlg::FillList);
    connect(m_list, &SortableList::CheckChanged, this, [this](int row, bool checked) {
        m_picker.SetTicked(m_list->RowData(row).toULongLong(), checked);
        UpdateSummary();
    });
    // The composed text follows the list's order, so a new sort changes it too.
    connect(&m_list->Model(), &QAbstractItemModel::layoutChanged, this,
            &BankIndexSelDlg::UpdateSummary);
}

BankIndexSelDlg::~BankIndexSelDlg() = default;

void BankIndexSelDlg::SetOkCaption(bool on) {
    m_choose->setText(Tr(on ? text::PickerOk : text::PickerChoose));
    m_choose->setAccessibleName(AccessibleLabel(m_choose->text()));
}

void BankIndexSelDlg::Open() {
    if (m_opened)
        return;
    m_opened = true;
    m_store.LoadWindowState(*this, QString::fromLatin1(kWindowName));
    if (!m_list->LoadLayout(m_store, QString::fromLatin1(kListName), true))
        m_list->SortByColumn(0, Qt::AscendingOrder);

    Result<bool> found = false;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        IndexProgressDlg progress(this);
        found = LoadPickerWords(m_doc, m_picker, &progress.progress());
        QApplication::restoreOverrideCursor();
    }
    // Without the words of the index the object's own keywords are still listed.
    if (!found)
        m_dialogs.ShowMessage(this, Tr(ErrorText(found.error())));
    else if (!*found)
        m_dialogs.ShowMessage(this, Tr(StringText(msg::NoIndexForPicker)), QMessageBox::Warning,
                              Tr(StringText(msg::NoIndexCaption)));
    m_picker.AddKeywords(m_keywords);
    FillList();
}

void BankIndexSelDlg::showEvent(QShowEvent* event) {
    Open();
    QDialog::showEvent(event);
}

void BankIndexSelDlg::FillList() {
    std::vector<ListRow> rows;
    const std::vector<std::size_t> shown = m_picker.ShownWords(m_onlyTicked->isChecked());
    rows.reserve(shown.size());
    for (std::size_t i : shown) {
        const PickerWord& word = m_picker.Words()[i];
        ListRow row;
        row.cells = {FromAnsi(word.word), QString::number(word.count)};
        row.data = QVariant::fromValue<qulonglong>(i);
        row.checked = word.ticked;
        rows.push_back(std::move(row));
    }
    m_list->SetRows(std::move(rows));
    m_list->Sort();
    UpdateSummary();
}

AnsiString BankIndexSelDlg::BuildKeywordsText() const {
    std::vector<AnsiView> ticked;
    for (int row : m_list->CheckedRows())
        ticked.push_back(m_picker.Words()[m_list->RowData(row).toULongLong()].word);
    return kelvo::BuildKeywordsText(ticked);
}

void BankIndexSelDlg::UpdateSummary() {
    const AnsiString text = BuildKeywordsText();
    m_summary->setText(
        FromAnsi(PickerSummary(m_list->CheckedRows().size(), m_picker.size(), text)));
}

QString BankIndexSelDlg::SummaryText() const {
    return m_summary->text();
}

void BankIndexSelDlg::done(int result) {
    m_store.SaveWindowState(*this, QString::fromLatin1(kWindowName));
    m_list->SaveLayout(m_store, QString::fromLatin1(kListName), true);
    m_keywords = BuildKeywordsText();
    QDialog::done(result);
}

bool RunKeywordPicker(CQuorvellineDoc& doc, UserDialogs& dialogs, DialogStateStore& store,
                      AnsiString& keywords, bool okCaption, QWidget* parent) {
    BankIndexSelDlg picker(doc, dialogs, store, parent);
    picker.SetKeywordsText(keywords);
    picker.SetOkCaption(okCaption);
    picker.Open();
    if (picker.exec() != QDialog::Accepted)
        return false;
    keywords = picker.KeywordsText();
    return true;
}

} // namespace kelvo
