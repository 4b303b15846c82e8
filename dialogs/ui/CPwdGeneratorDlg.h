// The password generator dialog: the character sets and the other characters of the
// alphabet, the length or the mask, the shuffled alphabet and the drawn password with its
// entropy. Standalone it is a tool (the user copies the password out); embedded in the
// password sheet its OK hands the password back.
#pragma once

#include "dialogs/PasswordGenerator.h"

#include <QDialog>

#include <array>
#include <memory>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kelvo {

class DialogStateStore;
class UserDialogs;

class CPwdGeneratorDlg : public QDialog {
    Q_OBJECT
public:
    /// History names of the mask and of the other characters.
    static inline const char* kMaskHistory = "PwdGeneratorMask";
    static inline const char* kOtherHistory = "PwdGeneratorUserAlpha";

    /// Loads the two histories from `store`; `random` replaces the system's source (tests).
    CPwdGeneratorDlg(UserDialogs& dialogs, DialogStateStore& store, QWidget* parent = nullptr,
                     std::unique_ptr<RandomSource> random = nullptr);
    ~CPwdGeneratorDlg() override;

    /// Set by the opener before the dialog runs: OK hidden, Cancel reads "Закрыть".
    void SetStandalone(bool standalone);
    bool Standalone() const { return m_standalone; }

    /// The generated password (what OK hands back).
    QString Password() const;
    /// "Переставить": reads and checks the fields, builds and shuffles the alphabet.
    bool Shuffle();
    /// "Генерировать": reads and checks the fields, draws the password.
    bool Generate();
    /// "Энтропия: 29,8 бит" for the shown alphabet and the chosen length or mask.
    QString EntropyText() const;
    const PasswordGenerator& Generator() const { return m_generator; }

    /// The tool of the main window's command.
    static void RunStandalone(UserDialogs& dialogs, DialogStateStore& store, QWidget* parent);

    void accept() override;
    /// Every way out (OK, Cancel, "Закрыть", the close box) writes both histories back.
    void done(int result) override;

private:
    bool ReadOptions(PasswordGeneratorOptions& options);
    void ApplyMode();
    void ApplyOther();
    void ShowResults();
    void ShowHistories();
    void UpdateEntropy();

    UserDialogs& m_dialogs;
    DialogStateStore& m_store;
    PasswordGenerator m_generator;
    bool m_standalone = false;
    bool m_historiesSaved = false;

    std::array<QCheckBox*, kPasswordSetCount> m_sets{};
    QCheckBox* m_useOther = nullptr;
    QComboBox* m_other = nullptr;
    QRadioButton* m_byLength = nullptr;
    QRadioButton* m_byMask = nullptr;
    QSpinBox* m_length = nullptr;
    QLabel* m_lengthUnit = nullptr;
    QComboBox* m_mask = nullptr;
    QLabel* m_maskHint = nullptr;
    QLineEdit* m_alphabet = nullptr;
    QLineEdit* m_password = nullptr;
    QLabel* m_entropy = nullptr;
    QPushButton* m_shuffle = nullptr;
    QPushButton* m_generate = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace kelvo
