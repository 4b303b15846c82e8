// The bank search window.
#include "search/ui/BankSearchDlg.h"

#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "search/BankSearch.h"
#include "search/ResultNavigation.h"
#include "search/StartChoices.h"
#include "search/ui/BankSelectDlg.h"
#include "search/ui/ResultGrid.h"
#include "shell/AnsiInput.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <utility>

namespace kelvo {

namespace {

const QString kPlacementName = QStringLiteral("BankSearchDlg");
const QString kGridLayoutName = QStringLiteral("BankSearchDlg.ResultGrid");
const QString kHistoryName = QStringLiteral("SearchBankSearchTexts");

/// A control named for the robots and screen readers by its label (mnemonic marks dropped).
template <class Widget> Widget* Named(Widget* widget, const char* objectName, const char* label) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(Tr(label).remove(QLatin1Char('&')));
    return widget;
}

QCheckBox* CheckBox(QWidget* parent, const char* objectName, const char* label) {
    return Named(new QCheckBox(Tr(label), parent), objectName, label);
}

QPushButton* Button(QWidget* parent, const char* objectName, const char* label) {
    auto* button = Named(new QPushButton(Tr(label), parent), objectName, label);
    button->setAutoDefault(false);
    return button;
}

QString FromAnsiText(AnsiView text) {
    return QString::fromStdString(AnsiToUtf8(text));
}

} // namespace

BankSearchDlg::BankSearchDlg(const FindWindowContext& context, SearchCriteria& kept)
    : QDialog(nullptr, Qt::Window), m_doc(context.doc), m_settings(context.settings),
      m_dialogs(context.dialogs), m_context(context), m_kept(kept),
      m_criteria(CriteriaForNewWindow(kept)), m_bodies(context.doc),
      m_runChooser([](BankSelectDlg& chooser) { return chooser.exec() == QDialog::Accepted; }) {
    setObjectName(kPlacementName);
    setWindowTitle(Tr(text::SearchCaption));
    setWindowIcon(FindWindowIcon(FindWindowKind::Search));
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);
    BuildControls();
    m_progress = std::make_unique<WindowProgress>(m_status, m_bar);
    // What the user does meanwhile (a save, an edit) may need the bank file.
    m_progress->onUserInput = [this] { m_bodies.Release(); };

    // Not below the first size; the last placement and grid layout come back.
    resize(760, 560);
    setMinimumSize(size());
    m_settings.LoadWindowState(*this, kPlacementName);
    if (!m_grid->LoadLayout(m_settings, kGridLayoutName))
        m_grid->SetResultColumns();
    m_settings.LoadComboHistory(*m_text, kHistoryName);
    ShowCriteria(m_criteria);
    m_status->setText(Tr(text::SearchWaiting));
    m_text->setFocus();
}

BankSearchDlg::~BankSearchDlg() = default;

void BankSearchDlg::BuildControls() {
    auto* startLabel = new QLabel(Tr(text::SearchStartLabel), this);
    m_start = Named(new QLineEdit(this), "StartNode", text::SearchStartLabel);
    m_start->setReadOnly(true);
    startLabel->setBuddy(m_start);
    m_browse = Button(this, "Browse", text::SearchBrowse);
    m_nested = CheckBox(this, "Nested", text::SearchNested);

    auto* textLabel = new QLabel(Tr(text::SearchTextLabel), this);
    m_text = Named(new QComboBox(this), "SearchText", text::SearchTextLabel);
    m_text->setEditable(true);
    m_text->setInsertPolicy(QComboBox::NoInsert);
    m_text->setMaxCount(kHistoryLength);
    m_text->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    textLabel->setBuddy(m_text);
    auto* hint = new QLabel(Tr(text::SearchHint), this);
    hint->setObjectName(QStringLiteral("Hint"));

    auto* where = new QGroupBox(Tr(text::SearchWhere), this);
    where->setObjectName(QStringLiteral("SearchWhere"));
    m_inData = CheckBox(where, "InData", text::SearchInData);
    m_inKeywords = CheckBox(where, "InKeywords", text::SearchInKeywords);
    m_inNotes = CheckBox(where, "InNotes", text::SearchInNotes);
    auto* whereLayout = new QVBoxLayout(where);
    whereLayout->addWidget(m_inData);
    whereLayout->addWidget(m_inKeywords);
    whereLayout->addWidget(m_inNotes);

    m_case = CheckBox(this, "CaseSensitive", text::SearchCase);
    m_wholeWords = CheckBox(this, "WholeWords", text::SearchWholeWords);
    m_folderWhole = CheckBox(this, "FolderAsWhole", text::SearchFolderWhole);
    m_sizeFilter = CheckBox(this, "SizeFilter", text::SearchSize);
    m_sizeCompare = Named(new QComboBox(this), "SizeCompare", text::SearchSizeCompare);
    m_sizeCompare->addItems(
        {Tr(text::SearchSizeEqual), Tr(text::SearchSizeLess), Tr(text::SearchSizeGreater)});
    m_sizeValue = Named(new QSpinBox(this), "SizeValue", text::SearchSizeValue);
    m_sizeValue->setRange(kMinSizeValue, kMaxSizeValue);
    m_kb = new QLabel(Tr(text::SearchKb), this);
    m_kb->setObjectName(QStringLiteral("SizeUnit"));
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_sizeFilter);
    sizeRow->addWidget(m_sizeCompare);
    sizeRow->addWidget(m_sizeValue);
    sizeRow->addWidget(m_kb);
    sizeRow->addStretch(1);
    auto* options = new QVBoxLayout;
    options->addWidget(m_case);
    options->addWidget(m_wholeWords);
    options->addWidget(m_folderWhole);
    options->addLayout(sizeRow);
    options->addStretch(1);

    auto* stateLabel = new QLabel(Tr(text::SearchStateLabel), this);
    m_status = Named(new QLabel(this), "Status", text::SearchStateLabel);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    stateLabel->setBuddy(m_status);
    m_bar = Named(new QProgressBar(this), "Progress", text::SearchProgress);
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 1);
    m_bar->setValue(0);

    m_search = Button(this, "Search", text::SearchRun);
    m_search->setDefault(true);
    m_stop = Button(this, "Stop", text::SearchStop);
    m_stop->setEnabled(false);
    m_goTo = Button(this, "GoTo", text::SearchGoTo);
    m_goTo->setEnabled(false);
    m_close = Button(this, "Close", text::SearchClose);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_search, m_stop, m_goTo, m_close})
        buttons->addWidget(button);
    buttons->addStretch(1);

    auto* criteria = new QGridLayout;
    criteria->addWidget(startLabel, 0, 0);
    criteria->addWidget(m_start, 0, 1);
    criteria->addWidget(m_browse, 0, 2);
    criteria->addWidget(m_nested, 1, 1, 1, 2);
    criteria->addWidget(textLabel, 2, 0);
    criteria->addWidget(m_text, 2, 1, 1, 2);
    criteria->addWidget(hint, 3, 1, 1, 2);
    auto* choices = new QHBoxLayout;
    choices->addWidget(where);
    choices->addLayout(options, 1);
    criteria->addLayout(choices, 4, 0, 1, 3);
    criteria->setColumnStretch(1, 1);

    auto* top = new QHBoxLayout;
    top->addLayout(criteria, 1);
    top->addSpacing(8);
    top->addLayout(buttons);

    auto* state = new QHBoxLayout;
    state->addWidget(stateLabel);
    state->addWidget(m_status, 1);

    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("Separator"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    m_grid = new ResultGrid(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(state);
    layout->addWidget(m_bar);
    layout->addWidget(separator);
    layout->addWidget(m_grid, 1);

    // The keyboard reaches every control in reading order.
    QWidget* order[] = {m_start,      m_browse,      m_nested,    m_text,       m_inData,
                        m_inKeywords, m_inNotes,     m_case,      m_wholeWords, m_folderWhole,
                        m_sizeFilter, m_sizeCompare, m_sizeValue, m_search,     m_stop,
                        m_goTo,       m_close,       m_grid};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_search, &QPushButton::clicked, this, [this] { StartSearch(); });
    connect(m_stop, &QPushButton::clicked, this, &BankSearchDlg::StopSearch);
    connect(m_goTo, &QPushButton::clicked, this, [this] { GoToSelected(); });
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_browse, &QPushButton::clicked, this, &BankSearchDlg::Browse);
    connect(m_sizeFilter, &QCheckBox::toggled, this, &BankSearchDlg::SizeFilterToggled);
    // Enter in the search text starts the search, as the default button would.
    connect(m_text->lineEdit(), &QLineEdit::returnPressed, this, [this] { StartSearch(); });
    connect(m_grid, &ReportGrid::SelectedRowChanged, this,
            [this](int row) { m_goTo->setEnabled(!m_searching && row >= 0); });
    connect(m_grid, &ReportGrid::RowActivated, this, [this] { GoToSelected(); });
}

void BankSearchDlg::ShowCriteria(const SearchCriteria& c) {
    m_start->setText(QString::fromStdString(BankChoiceText(m_doc.path().string())));
    m_nested->setChecked(c.nested);
    m_text->setEditText(FromAnsiText(c.text));
    m_inData->setChecked(c.inData);
    m_inKeywords->setChecked(c.inKeywords);
    m_inNotes->setChecked(c.inNotes);
    m_case->setChecked(c.caseSensitive);
    m_wholeWords->setChecked(c.wholeWords);
    m_sizeFilter->setChecked(c.sizeFilter);
    m_sizeCompare->setCurrentIndex(static_cast<int>(c.sizeCompare));
    m_sizeValue->setValue(c.sizeValue);
    m_folderWhole->setChecked(c.folderAsWhole);
    SizeFilterToggled(c.sizeFilter);
}

void BankSearchDlg::SizeFilterToggled(bool on) {
    for (QWidget* widget : {static_cast<QWidget*>(m_sizeCompare),
                            static_cast<QWidget*>(m_sizeValue), static_cast<QWidget*>(m_kb)})
        widget->setEnabled(on);
}

bool BankSearchDlg::ReadCriteria(SearchCriteria& out, bool tell) {
    SearchCriteria c = m_criteria; // the start key is the chooser's
    const QString typed = m_text->currentText();
    if (tell) {
        if (!AcceptAnsiText(m_dialogs, this, typed, Tr(text::SearchTextField), c.text))
            return false;
    } else if (!Utf16ToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(typed.utf16()),
                                                static_cast<std::size_t>(typed.size())),
                            c.text)) {
        c.text = m_criteria.text;
    }
    c.nested = m_nested->isChecked();
    c.inData = m_inData->isChecked();
    c.inKeywords = m_inKeywords->isChecked();
    c.inNotes = m_inNotes->isChecked();
    c.caseSensitive = m_case->isChecked();
    c.wholeWords = m_wholeWords->isChecked();
    c.sizeFilter = m_sizeFilter->isChecked();
    c.sizeCompare = static_cast<SizeCompare>(std::max(0, m_sizeCompare->currentIndex()));
    m_sizeValue->interpretText();
    c.sizeValue = m_sizeValue->value();
    c.folderAsWhole = m_folderWhole->isChecked();
    out = std::move(c);
    return true;
}

bool BankSearchDlg::StartSearch() {
    if (m_searching)
        return false;
    SearchCriteria criteria;
    if (!ReadCriteria(criteria))
        return false;
    if (auto valid = ValidateCriteria(criteria); !valid) {
        m_dialogs.ShowMessage(this, Tr(ErrorText(valid.error())), QMessageBox::Warning,
                              Tr(text::SearchMessageCaption));
        m_text->setFocus();
        return false;
    }
    m_criteria = criteria;
    SettingsStore::AddToComboHistory(*m_text, m_text->currentText(), kHistoryLength);
    // The body being edited is searched as the user sees it.
    m_context.navigator.SaveEditedBody();

    SetSearching(true);
    m_rows.Clear();
    m_grid->RemoveAllRows();
    m_progress->Reset();
    BankSearch search({m_doc.trees(), m_doc.passwords(), m_bodies}, m_rows, m_progress.get());
    search.onRowChanged = [this](std::size_t row, bool added) {
        m_grid->ShowRow(m_rows, row, added);
    };
    search.Run(m_criteria);
    // Between searches the bank file is free for the main window.
    m_bodies.Release();
    m_progress->Show();
    m_grid->SortByColumn(ResultGrid::NumberColumn, Qt::AscendingOrder);
    SetSearching(false);
    // Another bank opened during the walk: its rows would lead to objects of the new bank
    // that merely share their UIDs.
    if (std::exchange(m_replacedWhileSearching, false))
        BankReplaced();
    emit SearchFinished();
    return true;
}

void BankSearchDlg::StopSearch() {
    if (m_searching)
        m_progress->RequestCancel();
}

void BankSearchDlg::SetSearching(bool searching) {
    m_searching = searching;
    m_search->setEnabled(!searching);
    m_close->setEnabled(!searching);
    m_browse->setEnabled(!searching);
    m_stop->setEnabled(searching);
    m_goTo->setEnabled(!searching && m_grid->SelectedRow() >= 0);
    if (searching) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        m_stop->setFocus();
    } else {
        QApplication::restoreOverrideCursor();
        if (m_stop->hasFocus() || !focusWidget())
            m_text->setFocus();
    }
}

bool BankSearchDlg::GoToSelected() {
    const AnsiString key = m_grid->SelectedKey();
    if (key.empty())
        return false;
    return GoToResult(key, m_doc.trees(), m_doc.passwords(), m_context.navigator);
}

void BankSearchDlg::Browse() {
    if (m_searching)
        return;
    BankSelectDlg chooser(m_context, m_criteria.startKey, this);
    if (!m_runChooser(chooser))
        return;
    m_criteria.startKey = chooser.ChosenKey();
    m_start->setText(chooser.ChosenText());
}

void BankSearchDlg::BankReplaced() {
    if (m_searching) {
        // The walk ends at its next object; what it found is of the old bank and goes then.
        m_replacedWhileSearching = true;
        StopSearch();
        return;
    }
    m_criteria.startKey = kBankKey;
    m_start->setText(QString::fromStdString(BankChoiceText(m_doc.path().string())));
    m_grid->RemoveAllRows();
    m_rows.Clear();
    m_status->setText(Tr(text::SearchWaiting));
}

QString BankSearchDlg::StatusText() const {
    return m_status->text();
}

void BankSearchDlg::KeepCriteria() {
    SearchCriteria current;
    if (ReadCriteria(current, false))
        m_kept = current;
}

void BankSearchDlg::closeEvent(QCloseEvent* event) {
    // While the walk runs the window stays: its Close button is disabled, and so is closing.
    if (m_searching) {
        event->ignore();
        return;
    }
    KeepCriteria();
    m_settings.SaveWindowState(*this, kPlacementName);
    m_settings.SaveComboHistory(*m_text, kHistoryName);
    m_grid->SaveLayout(m_settings, kGridLayoutName);
    m_grid->RemoveAllRows();
    m_rows.Clear();
    event->accept();
}

void BankSearchDlg::reject() {
    close(); // Escape closes the window as its Close button does
}

// --- The holder ---------------------------------------------------------------------------

BankSearchWindow::~BankSearchWindow() {
    // Not from inside a search: the main window goes only after its event loop has ended.
    if (m_window)
        m_window->close(); // keeps the placement, the history and the grid layout
    delete m_window.data();
}

BankSearchDlg& BankSearchWindow::Open() {
    if (!m_window) {
        m_window = new BankSearchDlg(m_context, m_criteria);
        m_bank = OpenBankOf(m_context.doc);
    }
    ShowAndActivate(*m_window);
    return *m_window;
}

void BankSearchWindow::Hide() {
    if (m_window)
        m_window->hide();
}

void BankSearchWindow::BankChanged() {
    const OpenBank bank = OpenBankOf(m_context.doc);
    if (!m_window || bank == m_bank)
        return;
    m_bank = bank;
    m_window->BankReplaced();
}

void BankSearchWindow::Close() {
    if (!m_window)
        return;
    if (m_window->Searching()) {
        QObject::connect(m_window, &BankSearchDlg::SearchFinished, m_window, &QWidget::close,
                         Qt::QueuedConnection);
        m_window->StopSearch();
        return;
    }
    m_window->close();
}

} // namespace kelvo
