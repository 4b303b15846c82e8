// The index window.
#include "index/ui/BankIndexDlg.h"

#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "index/BankIndex.h"
#include "index/ui/IndexProgressDlg.h"
#include "search/IndexQuery.h"
#include "search/ResultNavigation.h"
#include "search/ui/ResultGrid.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"
#include "widgets/SortableList.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <utility>

namespace kelvo {

namespace {

const QString kPlacementName = QStringLiteral("BankIndexDlg");
const QString kGridLayoutName = QStringLiteral("BankIndexDlg.ResultGrid");
const QString kWordsLayoutName = QStringLiteral("BankIndexDlg.KeyWordsList");

QPushButton* Button(QWidget* parent, const char* objectName, const char* label) {
    auto* button = new QPushButton(Tr(label), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAccessibleName(Tr(label));
    button->setAutoDefault(false);
    return button;
}

QString YesNo(bool yes) {
    return Tr(StringText(yes ? msg::Yes : msg::No));
}

} // namespace

BankIndexDlg::BankIndexDlg(const FindWindowContext& context)
    : QDialog(nullptr, Qt::Window), m_context(context), m_bodies(context.doc) {
    setObjectName(kPlacementName);
    setWindowTitle(Tr(text::IndexCaption));
    setWindowIcon(FindWindowIcon(FindWindowKind::Index));
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);
    BuildControls();
    resize(720, 600);
    setMinimumSize(size());
    SettingsStore& settings = m_context.settings;
    settings.LoadWindowState(*this, kPlacementName);
    if (!m_grid->LoadLayout(settings, kGridLayoutName))
        m_grid->SetResultColumns();
    // Without a stored layout the list sorts by the word, ascending.
    m_words->LoadLayout(settings, kWordsLayoutName, true);
}

BankIndexDlg::~BankIndexDlg() = default;

void BankIndexDlg::BuildControls() {
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("Panel"));

    auto* showFor = new QLabel(Tr(text::IndexShowFor), m_panel);
    m_filter = new QButtonGroup(this);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(showFor);
    const std::pair<KeywordFilter, const char*> filters[] = {
        {KeywordFilter::Records, text::IndexForRecords},
        {KeywordFilter::Folders, text::IndexForFolders},
        {KeywordFilter::All, text::IndexForAll}};
    const char* names[] = {"ForRecords", "ForFolders", "ForAll"};
    for (std::size_t i = 0; i < std::size(filters); ++i) {
        auto* radio = new QRadioButton(Tr(filters[i].second), m_panel);
        radio->setObjectName(QString::fromLatin1(names[i]));
        radio->setAccessibleName(Tr(filters[i].second));
        m_filter->addButton(radio, static_cast<int>(filters[i].first));
        filterRow->addWidget(radio);
    }
    filterRow->addStretch(1);
    m_filter->button(static_cast<int>(KeywordFilter::All))->setChecked(true);

    auto* wordsLabel = new QLabel(Tr(text::IndexWordsLabel), m_panel);
    m_words = new SortableList(m_panel);
    m_words->setObjectName(QStringLiteral("KeyWordsList"));
    m_words->setAccessibleName(Tr(text::IndexWordsLabel).remove(QLatin1Char(':')));
    m_words->SetColumns({{Tr(text::IndexWord), 310},
                         {Tr(text::IndexCount), 55},
                         {Tr(text::IndexRecords), 50},
                         {Tr(text::IndexFolders), 50}});
    m_words->SetCheckBoxes(true);
    m_words->SetSortOnHeaderClick(true);
    wordsLabel->setBuddy(m_words);

    m_find = Button(m_panel, "Find", text::IndexFind);
    m_find->setDefault(true);
    m_goTo = Button(m_panel, "GoTo", text::IndexGoTo);
    m_goTo->setEnabled(false);
    m_reset = Button(m_panel, "Reset", text::IndexReset);
    m_rebuild = Button(m_panel, "Rebuild", text::IndexRebuild);
    m_close = Button(m_panel, "Close", text::IndexClose);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_find, m_goTo, m_reset, m_rebuild})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(m_close);

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_words, 1);
    listRow->addLayout(buttons);

    m_status = new QLabel(m_panel);
    m_status->setObjectName(QStringLiteral("Status"));
    m_status->setAccessibleName(Tr(text::IndexState));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* separator = new QFrame(m_panel);
    separator->setObjectName(QStringLiteral("Separator"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    auto* top = new QWidget(m_panel);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addLayout(filterRow);
    topLayout->addWidget(wordsLabel);
    topLayout->addLayout(listRow, 1);
    topLayout->addWidget(m_status);
    topLayout->addWidget(separator);

    m_grid = new ResultGrid(m_panel);
    // The user shares the height between the words and the results.
    auto* split = new QSplitter(Qt::Vertical, m_panel);
    split->setObjectName(QStringLiteral("Split"));
    split->setChildrenCollapsible(false);
    split->addWidget(top);
    split->addWidget(m_grid);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);

    auto* panelLayout = new QVBoxLayout(m_panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(split);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_panel);

    QWidget* order[] = {m_filter->button(0),
                        m_filter->button(1),
                        m_filter->button(2),
                        m_words,
                        m_find,
                        m_goTo,
                        m_reset,
                        m_rebuild,
                        m_close,
                        m_grid};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_filter, &QButtonGroup::idClicked, this, [this] { FillKeywordList(); });
    connect(m_words, &SortableList::CheckChanged, this, [this] {
        if (!m_suppressQueries)
            QueryIndex();
    });
    connect(m_find, &QPushButton::clicked, this, &BankIndexDlg::QueryIndex);
    connect(m_goTo, &QPushButton::clicked, this, [this] { GoToSelected(); });
    connect(m_reset, &QPushButton::clicked, this, &BankIndexDlg::ResetTicks);
    connect(m_rebuild, &QPushButton::clicked, this, &BankIndexDlg::Rebuild);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_grid, &ReportGrid::SelectedRowChanged, this,
            [this](int row) { m_goTo->setEnabled(row >= 0); });
    connect(m_grid, &ReportGrid::RowActivated, this, [this] { GoToSelected(); });
}

KeywordFilter BankIndexDlg::Filter() const {
    const int id = m_filter->checkedId();
    return id < 0 ? KeywordFilter::All : static_cast<KeywordFilter>(id);
}

void BankIndexDlg::SetFilter(KeywordFilter filter) {
    m_filter->button(static_cast<int>(filter))->setChecked(true);
    FillKeywordList();
}

QString BankIndexDlg::StatusText() const {
    return m_status->text();
}

template <class Operation>
BankIndexDlg::Outcome BankIndexDlg::RunIndexOperation(Operation&& operation) {
    m_busy = true;
    auto* progress = new IndexProgressDlg(m_panel);
    progress->SetPumpInterval(m_pumpInterval);
    m_progress = progress;
    const Result<void> done = operation(progress->progress());
    delete progress;
    m_busy = false;
    emit OperationFinished();
    if (m_closeWhenDone) {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return done ? Outcome::Done : Outcome::Failed;
    }
    if (std::exchange(m_replacedWhileBusy, false)) {
        // Another bank was opened while the progress window handled events: what the
        // operation read or built is of the old one. The new bank's index loads next.
        m_index.Clear();
        QMetaObject::invokeMethod(this, &BankIndexDlg::BankReplaced, Qt::QueuedConnection);
        return Outcome::BankReplaced;
    }
    if (!done && done.error().code != hr::Abort)
        m_context.dialogs.ShowMessage(this, Tr(ErrorText(done.error())), QMessageBox::Warning,
                                      Tr(text::IndexMessageCaption));
    return done ? Outcome::Done : Outcome::Failed;
}

void BankIndexDlg::LoadOnOpen() {
    m_suppressQueries = true;
    bool stored = false;
    const Outcome load = RunIndexOperation([&](Progress& progress) -> Result<void> {
        auto loaded = LoadBankIndex(m_index, m_context.doc, &progress);
        stored = loaded && *loaded;
        return {}; // an index that cannot be read is offered a build, as a missing one is
    });
    if (load == Outcome::BankReplaced)
        return;
    if (!stored && !m_closeWhenDone &&
        m_context.dialogs.Ask(this, Tr(text::AskBuildIndex), QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::Warning,
                              Tr(text::IndexMessageCaption)) == QMessageBox::Yes) {
        if (RunIndexOperation([&](Progress& progress) {
                return RebuildBankIndex(m_index, m_context.doc, FailedBuild::Clear, &progress);
            }) == Outcome::BankReplaced)
            return;
    }
    QueryIndex();
    FillKeywordList();
    m_suppressQueries = false;
}

void BankIndexDlg::BankReplaced() {
    if (m_busy) {
        // A build ends at its next node; then this runs again for the new bank.
        m_replacedWhileBusy = true;
        if (m_progress)
            m_progress->Cancel();
        return;
    }
    m_grid->RemoveAllRows();
    m_rows.Clear();
    m_index.Clear();
    LoadOnOpen();
}

void BankIndexDlg::FillKeywordList() {
    const std::vector<KeywordRow> rows = KeywordRows(m_index, Filter());
    std::vector<ListRow> listed;
    listed.reserve(rows.size());
    for (const KeywordRow& row : rows) {
        ListRow item;
        item.cells = {QString::fromStdString(AnsiToUtf8(row.item->word)),
                      QString::number(row.count), YesNo(row.records), YesNo(row.folders)};
        item.data =
            QByteArray(row.item->word.data(), static_cast<qsizetype>(row.item->word.size()));
        listed.push_back(std::move(item));
    }
    const bool suppressed = m_suppressQueries;
    m_suppressQueries = true;
    m_words->SetRows(std::move(listed));
    m_words->Sort();
    m_suppressQueries = suppressed;
    m_status->setText(QString::fromStdString(KeywordListStatus(rows.size())));
}

void BankIndexDlg::QueryIndex() {
    m_status->setText(Tr(text::IndexQuerying));
    m_grid->RemoveAllRows();
    m_goTo->setEnabled(false);
    std::vector<AnsiString> ticked;
    for (int row : m_words->CheckedRows()) {
        const QByteArray word = m_words->RowData(row).toByteArray();
        ticked.emplace_back(word.constData(), static_cast<std::size_t>(word.size()));
    }
    // The record being edited counts with the text the user sees.
    m_context.navigator.SaveEditedBody();
    CQuorvellineDoc& doc = m_context.doc;
    const std::string status =
        kelvo::QueryIndex(m_index, ticked, Filter(), static_cast<std::size_t>(m_words->RowCount()),
                          {doc.trees(), doc.passwords(), m_bodies}, m_rows);
    m_bodies.Release();
    m_grid->ShowRows(m_rows);
    m_grid->SortByColumn(ResultGrid::NumberColumn, Qt::AscendingOrder);
    m_status->setText(QString::fromStdString(status));
}

void BankIndexDlg::ResetTicks() {
    m_suppressQueries = true;
    for (int row : m_words->CheckedRows())
        m_words->SetChecked(row, false);
    m_suppressQueries = false;
    QueryIndex();
}

void BankIndexDlg::Rebuild() {
    if (m_busy)
        return;
    if (m_context.dialogs.Ask(this, Tr(text::AskRebuildIndex), QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::Question,
                              Tr(text::IndexMessageCaption)) != QMessageBox::Yes)
        return;
    if (RunIndexOperation([&](Progress& progress) {
            return RebuildBankIndex(m_index, m_context.doc, FailedBuild::Reload, &progress);
        }) != Outcome::BankReplaced)
        FillKeywordList();
}

bool BankIndexDlg::GoToSelected() {
    const AnsiString key = m_grid->SelectedKey();
    if (key.empty())
        return false;
    CQuorvellineDoc& doc = m_context.doc;
    return GoToResult(key, doc.trees(), doc.passwords(), m_context.navigator);
}

void BankIndexDlg::closeEvent(QCloseEvent* event) {
    if (m_busy) {
        // The operation is cancelled (a build) or runs to its end (a load, a save); then the
        // window closes.
        m_closeWhenDone = true;
        if (m_progress)
            m_progress->Cancel();
        event->ignore();
        return;
    }
    m_suppressQueries = true;
    SettingsStore& settings = m_context.settings;
    settings.SaveWindowState(*this, kPlacementName);
    m_words->SaveLayout(settings, kWordsLayoutName, true);
    m_grid->SaveLayout(settings, kGridLayoutName);
    m_grid->RemoveAllRows();
    m_rows.Clear();
    m_index.Clear();
    event->accept();
}

void BankIndexDlg::reject() {
    close();
}

// --- The holder ---------------------------------------------------------------------------

BankIndexWindow::~BankIndexWindow() {
    if (m_window)
        m_window->close();
    delete m_window.data();
}

BankIndexDlg* BankIndexWindow::Open() {
    if (!m_window) {
        m_window = new BankIndexDlg(m_context);
        m_bank = OpenBankOf(m_context.doc);
        ShowAndActivate(*m_window);
        m_window->LoadOnOpen();
        if (!m_window || !m_window->isVisible())
            return nullptr; // closed while it loaded
    }
    ShowAndActivate(*m_window);
    return m_window;
}

void BankIndexWindow::Hide() {
    if (m_window)
        m_window->hide();
}

void BankIndexWindow::BankChanged() {
    const OpenBank bank = OpenBankOf(m_context.doc);
    if (!m_window || bank == m_bank)
        return;
    m_bank = bank;
    // After the opening of the bank has finished: loading may ask whether to build.
    QMetaObject::invokeMethod(m_window, &BankIndexDlg::BankReplaced, Qt::QueuedConnection);
}

void BankIndexWindow::Close() {
    if (m_window)
        m_window->close();
}

} // namespace kelvo
