// The editor's find and replace dialog: modeless, searching the record editor's text.
#pragma once

#include <QDialog>
#include <QTextDocument>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace kelvo {

class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    FindReplaceDialog(QTextEdit& editor, QWidget* parent = nullptr);

    /// Shows the find form or the replace form, with the selection as the pattern.
    void Start(bool replace);

    void SetPattern(const QString& pattern);
    void SetReplacement(const QString& text);
    void SetOptions(bool wholeWords, bool matchCase, bool backward = false);

    /// Selects the next match after (or before) the selection; false at the end of the text.
    bool FindNext();
    /// Replaces the selection when it is a match, then finds the next one.
    bool ReplaceCurrent();
    /// Replaces every match in the text as one undo step; the number replaced.
    int ReplaceAll();
    /// What the last operation reported ("Не найдено..."), empty when it found something.
    QString Status() const;

private:
    QTextDocument::FindFlags Flags() const;
    bool SelectionMatches() const;
    void Report(const QString& text);

    QTextEdit& m_editor;
    QLineEdit* m_pattern = nullptr;
    QLineEdit* m_replacement = nullptr;
    QLabel* m_replaceLabel = nullptr;
    QCheckBox* m_wholeWords = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QRadioButton* m_up = nullptr;
    QRadioButton* m_down = nullptr;
    QPushButton* m_replaceButton = nullptr;
    QPushButton* m_replaceAllButton = nullptr;
    QLabel* m_status = nullptr;
};

} // namespace kelvo
