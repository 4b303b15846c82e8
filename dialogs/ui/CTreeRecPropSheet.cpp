// The item properties sheet.
#include "dialogs/ui/CTreeRecPropSheet.h"

#include "dialogs/ui/DialogTexts.h"
#include "index/ui/BankIndexSelDlg.h"
#include "shell/AnsiInput.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"
#include "widgets/ControlNames.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kelvo {
namespace {

QLineEdit* Field(QFormLayout* form, QWidget* parent, const char* name, const QString& label,
                 bool readOnly) {
    auto* edit = NameControl(new QLineEdit(parent), name, label);
    edit->setReadOnly(readOnly);
    if (readOnly)
        ShowAsReadOnly(edit);
    auto* caption = new QLabel(label, parent);
    caption->setBuddy(edit);
    form->addRow(caption, edit);
    return edit;
}

QPlainTextEdit* GroupedText(QWidget* page, const char* name, const QString& group,
                            QVBoxLayout*& inner) {
    auto* box = new QGroupBox(group, page);
    auto* text = NameControl(new QPlainTextEdit(box), name, group);
    inner = new QVBoxLayout(box);
    inner->addWidget(text);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(box);
    return text;
}

/// A text of the bank in an edit of several lines: CR LF shown as line breaks.
QString MultiLine(AnsiView text) {
    QString shown = FromAnsi(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

/// Line breaks typed in an edit of several lines, as the bank keeps them: CR LF.
QString BankLines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

} // namespace

CTreeRecPropPage1::CTreeRecPropPage1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CTreeRecPropPage1"));
    auto* form = new QFormLayout(this);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    title = Field(form, this, "Title", Tr(dlgtext::HeadingLabel), false);
    uid = Field(form, this, "Uid", Tr(dlgtext::UidLabel), true);
    size = Field(form, this, "Size", Tr(dlgtext::SizeLabel), true);
    created = Field(form, this, "Created", Tr(dlgtext::CreatedLabel), true);
    opened = Field(form, this, "Opened", Tr(dlgtext::OpenedLabel), true);
    saved = Field(form, this, "Saved", Tr(dlgtext::SavedLabel), true);
}

CTreeRecPropPage2::CTreeRecPropPage2(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CTreeRecPropPage2"));
    QVBoxLayout* inner = nullptr;
    notes = GroupedText(this, "Notes", Tr(dlgtext::NotesGroup), inner);
}

CTreeRecPropPage3::CTreeRecPropPage3(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CTreeRecPropPage3"));
    QVBoxLayout* inner = nullptr;
    keywords = GroupedText(this, "Keywords", Tr(dlgtext::KeywordsGroup), inner);
    pick = NameControl(new QPushButton(Tr(dlgtext::PickButton), this), "Pick",
                       Tr(dlgtext::PickButton));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(pick);
    inner->addLayout(row);
}

CTreeRecPropSheet::CTreeRecPropSheet(const RecordProperties& fields, UserDialogs& dialogs,
                                     QWidget* parent)
    : PropertySheet(dialogs, Tr(dlgtext::ItemSheetCaption), parent), m_fields(fields),
      m_page1(new CTreeRecPropPage1(Pages())), m_page2(new CTreeRecPropPage2(Pages())),
      m_page3(new CTreeRecPropPage3(Pages())) {
    setObjectName(QStringLiteral("CTreeRecPropSheet"));
    AddPage(m_page1, Tr(dlgtext::GeneralPage));
    AddPage(m_page2, Tr(dlgtext::NotesPage));
    AddPage(m_page3, Tr(dlgtext::KeywordsPage));

    m_page1->title->setText(FromAnsi(fields.title));
    m_page1->title->setCursorPosition(0);
    m_page1->uid->setText(FromAnsi(fields.uid));
    m_page1->size->setText(FromAnsi(fields.size));
    m_page1->created->setText(FromAnsi(fields.created));
    m_page1->opened->setText(FromAnsi(fields.opened));
    m_page1->saved->setText(FromAnsi(fields.saved));
    m_page2->notes->setPlainText(MultiLine(fields.notes));
    m_page3->keywords->setPlainText(MultiLine(fields.keywords));

    connect(m_page3->pick, &QPushButton::clicked, this, &CTreeRecPropSheet::PickKeywords);
    resize(420, 300);
}

CTreeRecPropSheet::~CTreeRecPropSheet() = default;

void CTreeRecPropSheet::PickKeywords() {
    AnsiString keywords;
    if (!TakeText(m_page3->keywords, BankLines(m_page3->keywords->toPlainText()),
                  Tr(dlgtext::KeywordsField), keywords))
        return;
    if (m_runPicker && m_runPicker(keywords))
        m_page3->keywords->setPlainText(MultiLine(keywords));
}

bool CTreeRecPropSheet::TakeFields(RecordProperties& fields) {
    RecordProperties taken = fields;
    if (!TakeText(m_page1->title, m_page1->title->text(), Tr(dlgtext::HeadingField), taken.title) ||
        !TakeText(m_page2->notes, BankLines(m_page2->notes->toPlainText()), Tr(dlgtext::NotesField),
                  taken.notes) ||
        !TakeText(m_page3->keywords, BankLines(m_page3->keywords->toPlainText()),
                  Tr(dlgtext::KeywordsField), taken.keywords))
        return false;
    fields = std::move(taken);
    return true;
}

void CTreeRecPropSheet::accept() {
    RecordProperties probe;
    if (TakeFields(probe))
        QDialog::accept();
}

bool ShowTreeItemProperties(CQuorvellineDoc& doc, TreeKind kind, TreeNode& node,
                            UserDialogs& dialogs, DialogStateStore& store, QWidget* parent) {
    RecordProperties fields = ReadRecordProperties(doc, kind, node);
    CTreeRecPropSheet sheet(fields, dialogs, parent);
    sheet.SetPickerRun([&](AnsiString& keywords) {
        return RunKeywordPicker(doc, dialogs, store, keywords, false, &sheet);
    });
    if (sheet.exec() != QDialog::Accepted || !sheet.TakeFields(fields))
        return false;
    ApplyRecordProperties(doc, node, fields);
    return true;
}

} // namespace kelvo
