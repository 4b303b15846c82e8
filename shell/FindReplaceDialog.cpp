// Find and replace in the record editor.
#include "shell/FindReplaceDialog.h"
#include "shell/ShellStrings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace kelvo {

FindReplaceDialog::FindReplaceDialog(QTextEdit& editor, QWidget* parent)
    : QDialog(parent), m_editor(editor) {
    setObjectName(QStringLiteral("FindReplaceDlg"));
    auto* grid = new QGridLayout;
    m_pattern = new QLineEdit(this);
    m_pattern->setObjectName(QStringLiteral("FindWhat"));
    m_replacement = new QLineEdit(this);
    m_replacement->setObjectName(QStringLiteral("ReplaceWith"));
    m_replaceLabel = new QLabel(Tr(text::ReplaceWith), this);
    m_replaceLabel->setBuddy(m_replacement);
    auto* patternLabel = new QLabel(Tr(text::FindPattern), this);
    patternLabel->setBuddy(m_pattern);
    grid->addWidget(patternLabel, 0, 0);
    grid->addWidget(m_pattern, 0, 1);
    grid->addWidget(m_replaceLabel, 1, 0);
    grid->addWidget(m_replacement, 1, 1);
    m_wholeWords = new QCheckBox(Tr(text::WholeWord), this);
    m_matchCase = new QCheckBox(Tr(text::MatchCase), this);
    grid->addWidget(m_wholeWords, 2, 0, 1, 2);
    grid->addWidget(m_matchCase, 3, 0, 1, 2);
    auto* direction = new QGroupBox(Tr(text::Direction), this);
    auto* directionLayout = new QHBoxLayout(direction);
    m_up = new QRadioButton(Tr(text::Up), direction);
    m_down = new QRadioButton(Tr(text::Down), direction);
    m_down->setChecked(true);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);
    grid->addWidget(direction, 4, 0, 1, 2);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("FindStatus"));
    grid->addWidget(m_status, 5, 0, 1, 2);

    auto* buttons = new QVBoxLayout;
    auto* findButton = new QPushButton(Tr(text::FindNext), this);
    findButton->setDefault(true);
    m_replaceButton = new QPushButton(Tr(text::Replace), this);
    m_replaceAllButton = new QPushButton(Tr(text::ReplaceAll), this);
    auto* cancel = new QPushButton(Tr(text::Cancel), this);
    buttons->addWidget(findButton);
    buttons->addWidget(m_replaceButton);
    buttons->addWidget(m_replaceAllButton);
    buttons->addWidget(cancel);
    buttons->addStretch();
    connect(findButton, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(m_replaceButton, &QPushButton::clicked, this, [this] { ReplaceCurrent(); });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] { ReplaceAll(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    auto enable = [this, findButton] {
        const bool any = !m_pattern->text().isEmpty();
        findButton->setEnabled(any);
        m_replaceButton->setEnabled(any);
        m_replaceAllButton->setEnabled(any);
    };
    connect(m_pattern, &QLineEdit::textChanged, this, enable);
    enable();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
}

void FindReplaceDialog::Start(bool replace) {
    setWindowTitle(replace ? Tr(text::ReplaceCaption) : Tr(text::FindCaption));
    m_replaceLabel->setVisible(replace);
    m_replacement->setVisible(replace);
    m_replaceButton->setVisible(replace);
    m_replaceAllButton->setVisible(replace);
    const QString selected = m_editor.textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar(0x2029)) && selected.size() < 128)
        m_pattern->setText(selected);
    m_status->clear();
    show();
    raise();
    activateWindow();
    m_pattern->setFocus();
    m_pattern->selectAll();
}

void FindReplaceDialog::SetPattern(const QString& pattern) {
    m_pattern->setText(pattern);
}

void FindReplaceDialog::SetReplacement(const QString& text) {
    m_replacement->setText(text);
}

void FindReplaceDialog::SetOptions(bool wholeWords, bool matchCase, bool backward) {
    m_wholeWords->setChecked(wholeWords);
    m_matchCase->setChecked(matchCase);
    (backward ? m_up : m_down)->setChecked(true);
}

QString FindReplaceDialog::Status() const {
    return m_status->text();
}

QTextDocument::FindFlags FindReplaceDialog::Flags() const {
    QTextDocument::FindFlags flags;
    if (m_wholeWords->isChecked())
        flags |= QTextDocument::FindWholeWords;
    if (m_matchCase->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    if (m_up->isChecked())
        flags |= QTextDocument::FindBackward;
    return flags;
}

void FindReplaceDialog::Report(const QString& text) {
    m_status->setText(text);
}

bool FindReplaceDialog::FindNext() {
    const QString pattern = m_pattern->text();
    if (pattern.isEmpty())
        return false;
    const QTextCursor found = m_editor.document()->find(pattern, m_editor.textCursor(), Flags());
    if (found.isNull()) {
        Report(Tr(text::NotFound).arg(pattern));
        return false;
    }
    Report(QString());
    m_editor.setTextCursor(found);
    m_editor.ensureCursorVisible();
    return true;
}

bool FindReplaceDialog::SelectionMatches() const {
    const QString selected = m_editor.textCursor().selectedText();
    const Qt::CaseSensitivity cs =
        m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return !selected.isEmpty() && selected.compare(m_pattern->text(), cs) == 0;
}

bool FindReplaceDialog::ReplaceCurrent() {
    if (m_editor.isReadOnly())
        return false;
    if (SelectionMatches()) {
        QTextCursor cursor = m_editor.textCursor();
        cursor.insertText(m_replacement->text());
        m_editor.setTextCursor(cursor);
    }
    return FindNext();
}

int FindReplaceDialog::ReplaceAll() {
    const QString pattern = m_pattern->text();
    if (pattern.isEmpty() || m_editor.isReadOnly())
        return 0;
    QTextDocument::FindFlags flags = Flags() & ~QTextDocument::FindBackward;
    QTextDocument* doc = m_editor.document();
    QTextCursor edit(doc);
    edit.beginEditBlock();
    int count = 0;
    QTextCursor found = doc->find(pattern, 0, flags);
    while (!found.isNull()) {
        found.insertText(m_replacement->text()); // each replacement keeps the match's format
        ++count;
        found = doc->find(pattern, found, flags); // continues after the inserted text
    }
    edit.endEditBlock();
    Report(count == 0 ? Tr(text::NotFound).arg(pattern) : Tr(text::Replaced).arg(count));
    return count;
}

} // namespace kelvo
