// The password entry sheet: "Учетная запись" (title, icon, category), "Пароль" (login,
// password, link, the generator) and "Заметки". It holds copies of the fields; the opener
// puts an entry in and takes the fields out after OK.
#pragma once

#include "core/PwdItem.h"
#include "dialogs/ui/PropertySheet.h"

#include <QDialog>
#include <QWidget>

#include <functional>
#include <vector>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kelvo {

class CPwdGeneratorDlg;
class DialogStateStore;
class IconCombo;
class UserDialogs;

/// Texts of one line accept this many characters; a longer text that an entry already has is
/// kept whole (it can be shortened, not lengthened).
inline constexpr int kPwdFieldLimit = 100;

class CPwdPropPage1 : public QWidget {
    Q_OBJECT
public:
    CPwdPropPage1(const std::vector<AnsiString>& categories, QWidget* parent = nullptr);
    QLineEdit* title;
    IconCombo* icon;
    QComboBox* category;
};

class CPwdPropPage2 : public QWidget {
    Q_OBJECT
public:
    explicit CPwdPropPage2(QWidget* parent = nullptr);
    QLineEdit* login;
    QLineEdit* password;
    QLineEdit* link;
    QPushButton* generator;
};

class CPwdPropPage3 : public QWidget {
    Q_OBJECT
public:
    explicit CPwdPropPage3(QWidget* parent = nullptr);
    QPlainTextEdit* notes;
};

class CPwdPropSheet : public PropertySheet {
    Q_OBJECT
public:
    /// Runs the embedded generator; true when it ended with OK. The default runs it modally.
    using GeneratorRun = std::function<bool(CPwdGeneratorDlg&)>;

    /// `categories`: the bank's distinct categories, offered sorted in the category box.
    CPwdPropSheet(UserDialogs& dialogs, DialogStateStore& store,
                  const std::vector<AnsiString>& categories, QWidget* parent = nullptr);
    ~CPwdPropSheet() override;

    /// The fields of an entry (an empty sheet shows icon 0 and empty texts).
    void SetEntry(const PwdItem& entry);
    /// The fields as typed, for the bank. False (the user told, the field shown) when one of
    /// them holds characters Windows-1251 cannot hold; `entry` is then unchanged.
    bool TakeEntry(PwdItem& entry);

    void SetGeneratorRun(GeneratorRun run) { m_runGenerator = std::move(run); }
    /// "&Генератор паролей...": on the generator's OK its password replaces the password.
    void RunGenerator();

    CPwdPropPage1* AccountPage() const { return m_page1; }
    CPwdPropPage2* PasswordPage() const { return m_page2; }
    CPwdPropPage3* NotesPage() const { return m_page3; }

    void accept() override;

private:
    DialogStateStore& m_store;
    GeneratorRun m_runGenerator;
    CPwdPropPage1* m_page1;
    CPwdPropPage2* m_page2;
    CPwdPropPage3* m_page3;
};

/// Shows the sheet on `entry` (`isNew`: empty); on OK the entry takes the fields. The
/// categories are those of the bank.
bool EditPasswordEntry(UserDialogs& dialogs, DialogStateStore& store,
                       const std::vector<AnsiString>& categories, PwdItem& entry, bool isNew,
                       QWidget* parent);

} // namespace kelvo
