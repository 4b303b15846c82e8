// The bank properties sheet and its first four pages.
#include "maintenance/ui/CBankPropSheet.h"

#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "maintenance/BankProperties.h"
#include "maintenance/ui/CBankPropPage5.h"
#include "maintenance/ui/MaintenanceStrings.h"
#include "platform/text/Format.h"
#include "shell/AnsiInput.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "widgets/ControlNames.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace kelvo {

namespace {

const QString kPlacement = QStringLiteral("BankPropSheet");

QString UnknownText() {
    return Tr(StringText(msg::UnknownTime));
}

QString PathText(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

QFrame* Rule(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// A value shown beside its label, in a grid of label and value columns: a read-only box
// without a frame, so that long paths scroll instead of widening the sheet, named after the
// label.
QLineEdit* AddValue(QGridLayout* grid, QWidget* parent, const char* objectName, const char* label) {
    auto* value = new QLineEdit(UnknownText(), parent);
    value->setReadOnly(true);
    value->setFrame(false);
    ShowAsReadOnly(value);
    NameControl(value, objectName, Tr(label));
    auto* caption = new QLabel(Tr(label), parent);
    caption->setBuddy(value);
    const int row = grid->rowCount();
    grid->addWidget(caption, row, 0);
    grid->addWidget(value, row, 1);
    return value;
}

void AddRule(QGridLayout* grid, QWidget* parent) {
    grid->addWidget(Rule(parent), grid->rowCount(), 0, 1, grid->columnCount());
}

QGridLayout* MakeGrid() {
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(0, 110);
    return grid;
}

QFormLayout* MakeForm() {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    return form;
}

// The type name of a file as the desktop's MIME database gives it; empty when it knows only
// that the file holds bytes.
QString TypeName(const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    if (!type.isValid() || type.isDefault())
        return {};
    return type.comment();
}

} // namespace

// --- "Общие" -------------------------------------------------------------------------------

CBankPropPage1::CBankPropPage1(CQuorvellineDoc& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("CBankPropPage1"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("DocumentIcon"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(32, 32));
    m_name = NameControl(new QLineEdit(UnknownText(), this), "Name", Tr(mtext::NameLabel));
    m_name->setReadOnly(true);
    ShowAsReadOnly(m_name);
    top->addWidget(icon);
    top->addWidget(m_name, 1);
    layout->addLayout(top);
    layout->addWidget(Rule(this));

    auto* grid = MakeGrid();
    m_type = AddValue(grid, this, "Type", mtext::TypeLabel);
    m_path = AddValue(grid, this, "Path", mtext::PathLabel);
    m_size = AddValue(grid, this, "Size", mtext::SizeLabel);
    m_shortName = AddValue(grid, this, "ShortName", mtext::ShortNameLabel);
    AddRule(grid, this);
    m_created = AddValue(grid, this, "Created", mtext::CreatedLabel);
    m_modified = AddValue(grid, this, "Modified", mtext::ModifiedLabel);
    m_accessed = AddValue(grid, this, "Accessed", mtext::AccessedLabel);
    AddRule(grid, this);
    layout->addLayout(grid);

    auto* attributes = MakeGrid();
    attributes->setColumnStretch(2, 1);
    attributes->addWidget(new QLabel(Tr(mtext::AttributesLabel), this), 0, 0, 2, 1, Qt::AlignTop);
    const std::pair<const char*, const char*> boxes[] = {{"ReadOnly", mtext::ReadOnlyBox},
                                                         {"Hidden", mtext::HiddenBox},
                                                         {"Archive", mtext::ArchiveBox},
                                                         {"System", mtext::SystemBox}};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        auto* box = NameControl(new QCheckBox(Tr(boxes[i].second), this), boxes[i].first,
                                Tr(boxes[i].second));
        box->setEnabled(false); // display only
        m_attributes[i] = box;
        attributes->addWidget(box, static_cast<int>(i / 2), static_cast<int>(1 + i % 2));
    }
    layout->addLayout(attributes);
    layout->addStretch(1);
}

void CBankPropPage1::Fill() {
    const BankFileFacts facts = ReadBankFileFacts(m_doc);
    m_name->setText(Tr(facts.name));
    m_name->setCursorPosition(0);
    if (!facts.folder.empty()) {
        const QString folder = PathText(facts.folder);
        const QString shown = facts.workingFile ? Tr(mtext::WorkingFile).arg(folder) : folder;
        m_path->setText(shown);
        m_path->setCursorPosition(0);
        m_path->setToolTip(shown);
    }
    if (!facts.workingFile && facts.file.found) {
        const FileFacts& file = facts.file;
        m_size->setText(FromAnsi(FormatSizeWithBytes(file.size)));
        m_created->setText(Tr(FileDateText(file.created)));
        m_modified->setText(Tr(FileDateText(file.modified)));
        m_accessed->setText(Tr(FileDateText(file.accessed)));
        const bool states[] = {file.readOnly, file.hidden, file.archive, file.system};
        for (std::size_t i = 0; i < m_attributes.size(); ++i)
            m_attributes[i]->setChecked(states[i]);
        const QString type = TypeName(PathText(m_doc.path()));
        if (!type.isEmpty())
            m_type->setText(type);
    }
    // Linux file systems keep no short (8.3) names: "Имя MS-DOS:" stays unknown.
}

// --- "Банк" --------------------------------------------------------------------------------

CBankPropPage2::CBankPropPage2(const MaintenanceContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
    setObjectName(QStringLiteral("CBankPropPage2"));
    m_form = MakeForm();
    setLayout(m_form);
    m_title = AddLine("Title", mtext::TitleLabel);
    m_subject = AddLine("Subject", mtext::SubjectLabel);
    m_author = AddLine("Author", mtext::AuthorLabel);
    m_manager = AddLine("Manager", mtext::ManagerLabel);
    m_company = AddLine("Company", mtext::CompanyLabel);
    m_category = AddLine("Category", mtext::CategoryLabel);
    for (auto [box, name, label] : {std::tuple{&m_keywords, "Keywords", mtext::KeywordsLabel},
                                    std::tuple{&m_comments, "Comments", mtext::CommentsLabel}}) {
        *box = NameControl(new QPlainTextEdit(this), name, Tr(label));
        (*box)->setTabChangesFocus(true);
        auto* caption = new QLabel(Tr(label), this);
        caption->setBuddy(*box);
        m_form->addRow(caption, *box);
    }
}

QLineEdit* CBankPropPage2::AddLine(const char* objectName, const char* label) {
    auto* line = NameControl(new QLineEdit(this), objectName, Tr(label));
    auto* caption = new QLabel(Tr(label), this);
    caption->setBuddy(line);
    m_form->addRow(caption, line);
    return line;
}

void CBankPropPage2::Fill() {
    const BankSummary& s = m_context.doc.summary();
    m_title->setText(FromAnsi(s.title));
    m_subject->setText(FromAnsi(s.subject));
    m_author->setText(FromAnsi(s.author));
    m_manager->setText(FromAnsi(s.manager));
    m_company->setText(FromAnsi(s.company));
    m_category->setText(FromAnsi(s.category));
    // The bank keeps line breaks as CR LF; the boxes show them as breaks.
    auto multiLine = [](const AnsiString& text) {
        return FromAnsi(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    };
    m_keywords->setPlainText(multiLine(s.keywords));
    m_comments->setPlainText(multiLine(s.comments));
    m_filled = true;
}

bool CBankPropPage2::Apply() {
    // A page never shown holds no values: the summary keeps its own.
    if (!m_filled)
        return true;
    // The line breaks of the two multi-line fields are stored as the system writes them.
    auto multiLine = [](const QPlainTextEdit* box) {
        return box->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    };
    const std::tuple<QString, const char*, AnsiString BankSummary::*> fields[] = {
        {m_title->text(), mtext::TitleLabel, &BankSummary::title},
        {m_subject->text(), mtext::SubjectLabel, &BankSummary::subject},
        {m_author->text(), mtext::AuthorLabel, &BankSummary::author},
        {m_manager->text(), mtext::ManagerLabel, &BankSummary::manager},
        {m_company->text(), mtext::CompanyLabel, &BankSummary::company},
        {m_category->text(), mtext::CategoryLabel, &BankSummary::category},
        {multiLine(m_keywords), mtext::KeywordsLabel, &BankSummary::keywords},
        {multiLine(m_comments), mtext::CommentsLabel, &BankSummary::comments}};
    BankSummary changed = m_context.doc.summary();
    for (const auto& [text, label, field] : fields) {
        if (!AcceptAnsiText(m_context.dialogs, this, text, AccessibleLabel(Tr(label)),
                            changed.*field))
            return false;
    }
    m_context.doc.summary() = changed;
    return true;
}

// --- "Статистика" --------------------------------------------------------------------------

CBankPropPage3::CBankPropPage3(CQuorvellineDoc& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("CBankPropPage3"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = MakeGrid();
    grid->setColumnMinimumWidth(0, 140);
    m_created = AddValue(grid, this, "Created", mtext::CreatedLabel);
    m_modified = AddValue(grid, this, "Modified", mtext::ModifiedLabel);
    m_printed = AddValue(grid, this, "Printed", mtext::PrintedLabel);
    AddRule(grid, this);
    m_lastAuthor = AddValue(grid, this, "LastAuthor", mtext::LastAuthorLabel);
    m_saveCounter = AddValue(grid, this, "SaveCounter", mtext::SaveCounterLabel);
    m_editTime = AddValue(grid, this, "EditTime", mtext::EditTimeLabel);
    m_editTime->clear();
    layout->addLayout(grid);
    auto* caption = new QLabel(Tr(mtext::StatisticsLabel), this);
    m_list = NameControl(new QTreeWidget(this), "StatisticsList", Tr(mtext::StatisticsLabel));
    caption->setBuddy(m_list);
    m_list->setRootIsDecorated(false);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({Tr(mtext::ParameterColumn), Tr(mtext::ValueColumn)});
    m_list->setColumnWidth(0, 120);
    m_list->setColumnWidth(1, 190);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(caption);
    layout->addWidget(m_list, 1);
}

void CBankPropPage3::Fill() {
    const BankSummary& s = m_doc.summary();
    m_created->setText(Tr(SummaryDateText(s.created)));
    m_modified->setText(Tr(SummaryDateText(s.lastSaved)));
    m_printed->setText(Tr(SummaryDateText(s.lastPrinted)));
    m_lastAuthor->setText(FromAnsi(s.lastAuthor));
    m_saveCounter->setText(QString::number(m_doc.RevisionNumber()));
    const auto values = StatisticsValues(s);
    m_list->clear();
    for (std::size_t i = 0; i < values.size(); ++i)
        m_list->addTopLevelItem(
            new QTreeWidgetItem(QStringList{Tr(mtext::StatisticsRows[i]), Tr(values[i])}));
    // The names are wider in this desktop's font than the column's first width allows.
    m_list->resizeColumnToContents(0);
    m_list->setColumnWidth(0, std::max(120, m_list->columnWidth(0) + 8));
}

// --- "Состав" ------------------------------------------------------------------------------

CBankPropPage4::CBankPropPage4(CQuorvellineDoc& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("CBankPropPage4"));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(Tr(mtext::CompositionLabel), this);
    m_list = NameControl(new QListWidget(this), "CompositionList", Tr(mtext::CompositionLabel));
    m_list->setUniformItemSizes(true); // banks of many thousand records fill at once
    caption->setBuddy(m_list);
    layout->addWidget(caption);
    layout->addWidget(m_list, 1);
}

void CBankPropPage4::Fill() {
    const BankComposition c = ReadBankComposition(m_doc);
    QStringList lines;
    lines.reserve(
        static_cast<qsizetype>(4 + 1 + c.records.size() + c.folders.size() + c.passwords.size()));
    const QString tab = QStringLiteral("\t");
    auto section = [&](const char* heading, const std::vector<std::string>& titles) {
        lines.append(Tr(heading));
        for (const std::string& title : titles)
            lines.append(tab + Tr(title));
    };
    section(mtext::CompositionBank, {c.title});
    section(mtext::CompositionRecords, c.records);
    section(mtext::CompositionFolders, c.folders);
    section(mtext::CompositionPasswords, c.passwords);
    m_list->clear();
    m_list->addItems(lines);
}

// --- The sheet -----------------------------------------------------------------------------

CBankPropSheet::CBankPropSheet(const MaintenanceContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("CBankPropSheet"));
    setWindowTitle(Tr(mtext::PropSheetCaption));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Pages"));
    m_page1 = new CBankPropPage1(context.doc, m_tabs);
    m_page2 = new CBankPropPage2(context, m_tabs);
    m_page3 = new CBankPropPage3(context.doc, m_tabs);
    m_page4 = new CBankPropPage4(context.doc, m_tabs);
    m_page5 = new CBankPropPage5(context, m_tabs);
    m_tabs->addTab(m_page1, Tr(mtext::GeneralPage));
    m_tabs->addTab(m_page2, Tr(mtext::BankPage));
    m_tabs->addTab(m_page3, Tr(mtext::StatisticsPage));
    m_tabs->addTab(m_page4, Tr(mtext::CompositionPage));
    m_tabs->addTab(m_page5, Tr(mtext::UserPropertiesPage));
    layout->addWidget(m_tabs, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));
    NameControl(buttons->button(QDialogButtonBox::Ok), "OkButton", Tr(mtext::Ok))
        ->setText(Tr(mtext::Ok));
    NameControl(buttons->button(QDialogButtonBox::Cancel), "CancelButton", Tr(mtext::Cancel))
        ->setText(Tr(mtext::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &CBankPropSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CBankPropSheet::reject);
    layout->addWidget(buttons);
    // Each page is filled when first shown.
    connect(m_tabs, &QTabWidget::currentChanged, this, &CBankPropSheet::PageShown);
    PageShown(0);
    resize(520, 520);
    m_context.settings.LoadWindowState(*this, kPlacement);
}

CBankPropSheet::~CBankPropSheet() {
    m_context.settings.SaveWindowState(*this, kPlacement);
}

void CBankPropSheet::PageShown(int index) {
    if (index < 0 || index >= static_cast<int>(m_built.size()) || m_built[index])
        return;
    m_built[index] = true;
    switch (index) {
    case 0:
        m_page1->Fill();
        break;
    case 1:
        m_page2->Fill();
        break;
    case 2:
        m_page3->Fill();
        break;
    case 3:
        m_page4->Fill();
        break;
    default:
        m_page5->Fill();
        break;
    }
}

void CBankPropSheet::accept() {
    if (!m_page2->Apply()) {
        m_tabs->setCurrentWidget(m_page2);
        return;
    }
    m_context.doc.SetModifiedFlag(true);
    QDialog::accept();
}

bool ShowBankProperties(const MaintenanceContext& context, QWidget* parent) {
    CBankPropSheet sheet(context, parent);
    return sheet.exec() == QDialog::Accepted;
}

} // namespace kelvo
