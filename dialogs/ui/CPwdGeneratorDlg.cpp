// The password generator dialog.
#include "dialogs/ui/CPwdGeneratorDlg.h"

#include "core/Messages.h"
#include "dialogs/ui/DialogTexts.h"
#include "shell/AnsiInput.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"
#include "widgets/ControlNames.h"
#include "widgets/DialogStateStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace kelvo {
namespace {

constexpr const char* kSetNames[kPasswordSetCount] = {
    "UpperLatin", "LowerLatin", "UpperCyrillic", "LowerCyrillic", "Digits", "Special"};

std::vector<AnsiString> HistoryFromStore(DialogStateStore& store, const char* name) {
    // An entry the bank's code page cannot hold (an edited settings file) is left out.
    std::vector<AnsiString> history;
    for (const QString& entry : store.LoadHistory(QString::fromLatin1(name))) {
        AnsiString text;
        if (Utf8ToAnsi(entry.toStdString(), text) && !text.empty())
            history.push_back(std::move(text));
        if (history.size() == kPasswordHistoryMaximum)
            break;
    }
    return history;
}

QStringList HistoryForStore(const std::vector<AnsiString>& history) {
    QStringList entries;
    for (const AnsiString& entry : history)
        entries.append(FromAnsi(entry));
    return entries;
}

/// Shows a history in its combo; `selectTop` makes the newest entry the combo's text (after
/// it was just added), otherwise the typed text stays.
void ShowHistory(QComboBox& combo, const std::vector<AnsiString>& history, bool selectTop) {
    const QString typed = combo.currentText();
    combo.clear();
    for (const AnsiString& entry : history)
        combo.addItem(FromAnsi(entry));
    if (selectTop && combo.count() > 0)
        combo.setCurrentIndex(0);
    else {
        combo.setCurrentIndex(-1);
        combo.setEditText(typed);
    }
}

QString BitsText(double bits) {
    QString number = QString::number(bits, 'f', 1);
    number.replace(QLatin1Char('.'), QLatin1Char(','));
    return Tr(dlgtext::Entropy).arg(number);
}

} // namespace

CPwdGeneratorDlg::CPwdGeneratorDlg(UserDialogs& dialogs, DialogStateStore& store, QWidget* parent,
                                   std::unique_ptr<RandomSource> random)
    : QDialog(parent), m_dialogs(dialogs), m_store(store), m_generator(std::move(random)) {
    setObjectName(QStringLiteral("CPwdGeneratorDlg"));
    setWindowTitle(Tr(dlgtext::GeneratorCaption));

    // Alphabet of the password.
    auto* setsBox = new QGroupBox(Tr(dlgtext::AlphabetGroup), this);
    auto* sets = new QGridLayout(setsBox);
    const PasswordGeneratorOptions defaults;
    for (std::size_t i = 0; i < kPasswordSetCount; ++i) {
        const QString label = QString::fromUtf8(dlgtext::SetLabels[i]);
        m_sets[i] = NameControl(new QCheckBox(label, setsBox), kSetNames[i], label);
        m_sets[i]->setChecked(defaults.useSet[i]);
        // Latin letters and digits on the left, Russian letters and specials on the right.
        static constexpr int kRow[kPasswordSetCount] = {0, 1, 0, 1, 2, 2};
        static constexpr int kColumn[kPasswordSetCount] = {0, 0, 1, 1, 0, 1};
        sets->addWidget(m_sets[i], kRow[i], kColumn[i]);
    }
    m_useOther =
        NameControl(new QCheckBox(Tr(dlgtext::Other), setsBox), "UseOther", Tr(dlgtext::Other));
    m_other = NameControl(new QComboBox(setsBox), "OtherAlphabet", Tr(dlgtext::Other));
    m_other->setEditable(true);
    m_other->setInsertPolicy(QComboBox::NoInsert);
    m_other->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_other->setMinimumContentsLength(20);
    sets->addWidget(m_useOther, 3, 0);
    sets->addWidget(m_other, 4, 0, 1, 2);

    // How the password is drawn.
    auto* modeBox = new QGroupBox(Tr(dlgtext::ModeGroup), this);
    auto* mode = new QGridLayout(modeBox);
    m_byLength = NameControl(new QRadioButton(Tr(dlgtext::ByLength), modeBox), "ByLength",
                             Tr(dlgtext::ByLength));
    m_length = NameControl(new QSpinBox(modeBox), "Length", Tr(dlgtext::ByLength));
    m_length->setRange(kMinPasswordLength, kMaxPasswordLength);
    m_length->setValue(defaults.length);
    m_lengthUnit = NameControl(new QLabel(Tr(dlgtext::LengthUnit), modeBox), "LengthUnit",
                               Tr(dlgtext::LengthUnit));
    m_byMask =
        NameControl(new QRadioButton(Tr(dlgtext::ByMask), modeBox), "ByMask", Tr(dlgtext::ByMask));
    m_mask = NameControl(new QComboBox(modeBox), "Mask", Tr(dlgtext::ByMask));
    m_mask->setEditable(true);
    m_mask->setInsertPolicy(QComboBox::NoInsert);
    m_mask->lineEdit()->setMaxLength(static_cast<int>(kMaxPasswordMaskLength));
    m_maskHint =
        NameControl(new QLabel(Tr(dlgtext::MaskHint), modeBox), "MaskHint", Tr(dlgtext::MaskField));
    m_maskHint->setWordWrap(true);
    m_byLength->setChecked(true);
    mode->addWidget(m_byLength, 0, 0);
    mode->addWidget(m_length, 0, 1);
    mode->addWidget(m_lengthUnit, 0, 2);
    mode->addWidget(m_byMask, 1, 0);
    mode->addWidget(m_mask, 1, 1, 1, 2);
    mode->addWidget(m_maskHint, 2, 0, 1, 3);
    mode->setColumnStretch(2, 1);

    // Results.
    auto* resultBox = new QGroupBox(Tr(dlgtext::ResultsGroup), this);
    auto* results = new QGridLayout(resultBox);
    auto* alphabetLabel = new QLabel(Tr(dlgtext::Alphabet), resultBox);
    m_alphabet = NameControl(new QLineEdit(resultBox), "Alphabet", alphabetLabel->text());
    m_alphabet->setReadOnly(true);
    ShowAsReadOnly(m_alphabet);
    alphabetLabel->setBuddy(m_alphabet);
    auto* passwordLabel = new QLabel(Tr(dlgtext::Password), resultBox);
    m_password = NameControl(new QLineEdit(resultBox), "Password", passwordLabel->text());
    m_password->setReadOnly(true);
    ShowAsReadOnly(m_password);
    QFont mono = m_password->font();
    mono.setFamily(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    m_password->setFont(mono);
    passwordLabel->setBuddy(m_password);
    m_shuffle = NameControl(new QPushButton(Tr(dlgtext::Shuffle), resultBox), "Shuffle",
                            Tr(dlgtext::Shuffle));
    m_generate = NameControl(new QPushButton(Tr(dlgtext::Generate), resultBox), "Generate",
                             Tr(dlgtext::Generate));
    m_entropy = NameControl(new QLabel(resultBox), "Entropy", Tr(dlgtext::EntropyName));
    results->addWidget(alphabetLabel, 0, 0);
    results->addWidget(m_alphabet, 0, 1);
    results->addWidget(m_shuffle, 0, 2);
    results->addWidget(passwordLabel, 1, 0);
    results->addWidget(m_password, 1, 1);
    results->addWidget(m_generate, 1, 2);
    results->addWidget(m_entropy, 2, 1);

    auto* help = NameControl(new QLabel(Tr(dlgtext::Help), this), "Help", Tr(dlgtext::HelpName));
    help->setWordWrap(true);

    m_ok = NameControl(new QPushButton(Tr(dlgtext::Ok), this), "OK", Tr(dlgtext::Ok));
    m_cancel =
        NameControl(new QPushButton(Tr(dlgtext::Cancel), this), "Cancel", Tr(dlgtext::Cancel));
    m_ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* top = new QHBoxLayout;
    top->addWidget(setsBox, 3);
    top->addWidget(modeBox, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(resultBox);
    layout->addWidget(help);
    layout->addLayout(buttons);

    connect(m_shuffle, &QPushButton::clicked, this, &CPwdGeneratorDlg::Shuffle);
    connect(m_generate, &QPushButton::clicked, this, &CPwdGeneratorDlg::Generate);
    connect(m_ok, &QPushButton::clicked, this, &CPwdGeneratorDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CPwdGeneratorDlg::reject);
    connect(m_useOther, &QCheckBox::toggled, this, &CPwdGeneratorDlg::ApplyOther);
    connect(m_byLength, &QRadioButton::toggled, this, [this](bool on) {
        ApplyMode();
        if (on)
            m_length->setFocus();
    });
    connect(m_byMask, &QRadioButton::toggled, this, [this](bool on) {
        ApplyMode();
        if (on)
            m_mask->setFocus();
    });
    connect(m_length, &QSpinBox::valueChanged, this, &CPwdGeneratorDlg::UpdateEntropy);
    connect(m_mask, &QComboBox::editTextChanged, this, &CPwdGeneratorDlg::UpdateEntropy);

    ApplyMode();
    ApplyOther();
    m_generator.MaskHistory() = HistoryFromStore(m_store, kMaskHistory);
    m_generator.OtherHistory() = HistoryFromStore(m_store, kOtherHistory);
    ShowHistories();
    UpdateEntropy();
}

CPwdGeneratorDlg::~CPwdGeneratorDlg() = default;

void CPwdGeneratorDlg::SetStandalone(bool standalone) {
    m_standalone = standalone;
    m_ok->setVisible(!standalone);
    m_ok->setDefault(!standalone);
    m_cancel->setText(standalone ? Tr(dlgtext::Close) : Tr(dlgtext::Cancel));
    m_cancel->setAccessibleName(AccessibleLabel(m_cancel->text()));
}

QString CPwdGeneratorDlg::Password() const {
    return FromAnsi(m_generator.Password());
}

bool CPwdGeneratorDlg::ReadOptions(PasswordGeneratorOptions& options) {
    for (std::size_t i = 0; i < kPasswordSetCount; ++i)
        options.useSet[i] = m_sets[i]->isChecked();
    options.useOther = m_useOther->isChecked();
    if (!AcceptAnsiText(m_dialogs, this, m_other->currentText(), Tr(dlgtext::OtherField),
                        options.other))
        return false;
    // The length is checked in both modes, also while its box is disabled.
    const Result<int> length = ParsePasswordLength(m_length->cleanText().toStdString());
    if (!length) {
        m_dialogs.ShowMessage(this, Tr(ErrorText(length.error())));
        m_length->setFocus();
        return false;
    }
    options.length = *length;
    options.mode = m_byMask->isChecked() ? PasswordMode::ByMask : PasswordMode::ByLength;
    if (!AcceptAnsiText(m_dialogs, this, m_mask->currentText(), Tr(dlgtext::MaskField),
                        options.mask))
        return false;
    if (const Result<void> valid = ValidatePasswordOptions(options); !valid) {
        m_dialogs.ShowMessage(this, Tr(ErrorText(valid.error())));
        return false;
    }
    return true;
}

bool CPwdGeneratorDlg::Shuffle() {
    PasswordGeneratorOptions options;
    if (!ReadOptions(options))
        return false;
    const Result<void> done = m_generator.Shuffle(options);
    if (!done) {
        m_dialogs.ShowMessage(this, Tr(ErrorText(done.error())));
        return false;
    }
    // The other characters just went to the top of their history; the mask list is as it was.
    ShowHistory(*m_other, m_generator.OtherHistory(), !options.other.empty());
    ShowResults();
    return true;
}

bool CPwdGeneratorDlg::Generate() {
    PasswordGeneratorOptions options;
    if (!ReadOptions(options))
        return false;
    if (m_generator.Alphabet().empty())
        return false; // nothing to draw from: the password box keeps its text
    const Result<void> done = m_generator.Generate(options);
    if (!done) {
        m_dialogs.ShowMessage(this, Tr(ErrorText(done.error())));
        return false;
    }
    ShowHistory(*m_mask, m_generator.MaskHistory(), !options.mask.empty());
    ShowResults();
    return true;
}

void CPwdGeneratorDlg::ShowResults() {
    m_alphabet->setText(FromAnsi(m_generator.Alphabet()));
    m_alphabet->setCursorPosition(0);
    m_password->setText(Password());
    UpdateEntropy();
}

void CPwdGeneratorDlg::ShowHistories() {
    ShowHistory(*m_mask, m_generator.MaskHistory(), false);
    ShowHistory(*m_other, m_generator.OtherHistory(), false);
}

QString CPwdGeneratorDlg::EntropyText() const {
    return m_entropy->text();
}

void CPwdGeneratorDlg::UpdateEntropy() {
    // What the chosen length or mask would give from the alphabet now shown; only the count
    // of draws is needed, so the mask is not checked here.
    PasswordGeneratorOptions options;
    options.length = m_length->value();
    options.mode = m_byMask->isChecked() ? PasswordMode::ByMask : PasswordMode::ByLength;
    options.mask = Utf8ToAnsiLossy(m_mask->currentText().toStdString());
    const double bits = PasswordEntropyBits(m_generator.Alphabet(), PasswordDrawCount(options));
    m_entropy->setText(BitsText(bits));
}

void CPwdGeneratorDlg::ApplyMode() {
    const bool byLength = !m_byMask->isChecked();
    m_length->setEnabled(byLength);
    m_lengthUnit->setEnabled(byLength);
    m_mask->setEnabled(!byLength);
    m_maskHint->setEnabled(!byLength);
    UpdateEntropy();
}

void CPwdGeneratorDlg::ApplyOther() {
    m_other->setEnabled(m_useOther->isChecked());
    if (m_useOther->isChecked())
        m_other->setFocus();
}

void CPwdGeneratorDlg::accept() {
    if (m_standalone)
        return; // a tool: only "Закрыть" ends it
    const PasswordAcceptCheck check = m_generator.CheckAccept();
    if (check != PasswordAcceptCheck::Ready) {
        m_dialogs.ShowMessage(this, QString::fromStdString(PasswordAcceptMessage(check)));
        (check == PasswordAcceptCheck::NoAlphabet ? m_shuffle : m_generate)->setFocus();
        return;
    }
    PasswordGeneratorOptions options;
    if (!ReadOptions(options))
        return;
    QDialog::accept();
}

void CPwdGeneratorDlg::done(int result) {
    if (!m_historiesSaved) {
        m_store.SaveHistory(QString::fromLatin1(kMaskHistory),
                            HistoryForStore(m_generator.MaskHistory()));
        m_store.SaveHistory(QString::fromLatin1(kOtherHistory),
                            HistoryForStore(m_generator.OtherHistory()));
        m_historiesSaved = true;
    }
    QDialog::done(result);
}

void CPwdGeneratorDlg::RunStandalone(UserDialogs& dialogs, DialogStateStore& store,
                                     QWidget* parent) {
    CPwdGeneratorDlg dialog(dialogs, store, parent);
    dialog.SetStandalone(true);
    dialog.exec();
}

} // namespace kelvo
