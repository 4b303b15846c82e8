// The paragraph dialog.
#include "shell/ui/CParagraphDlg.h"

#include "shell/ShellStrings.h"
#include "shell/ui/WindowTexts.h"
#include "widgets/ControlNames.h"
#include "widgets/DialogStateStore.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace kelvo {

namespace {

const QString kPlacement = QStringLiteral("ParagraphDlg");
constexpr double kTwipsPerCm = 1440.0 / 2.54;
constexpr double kTwipsPerPoint = 20.0;
// Indents within ±55 cm and spacing up to 1584 points, as RTF readers take them.
constexpr double kMaxIndentCm = 55.0;
constexpr double kMaxSpacingPt = 1584.0;

} // namespace

CParagraphDlg::CParagraphDlg(const ParagraphValues& values, DialogStateStore* settings,
                             QWidget* parent)
    : QDialog(parent), m_initial(values), m_settings(settings) {
    setObjectName(QStringLiteral("CParagraphDlg"));
    setWindowTitle(Tr(ptext::Caption));
    auto* layout = new QVBoxLayout(this);

    struct Field {
        const char* name;
        const char* label;
        int twips;
        bool indent;
    };
    const Field fields[] = {{"LeftIndent", ptext::Left, values.left, true},
                            {"RightIndent", ptext::Right, values.right, true},
                            {"FirstIndent", ptext::First, values.first, true},
                            {"SpaceBefore", ptext::Before, values.before, false},
                            {"SpaceAfter", ptext::After, values.after, false}};
    QFormLayout* form = nullptr;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const Field& field = fields[i];
        if (i == 0 || i == 3) {
            const char* title = i == 0 ? ptext::Indents : ptext::Spacing;
            auto* group = NameControl(new QGroupBox(Tr(title), this),
                                      i == 0 ? "Indents" : "Spacing", Tr(title));
            form = new QFormLayout(group);
            form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
            layout->addWidget(group);
        }
        auto* box = NameControl(new QDoubleSpinBox(this), field.name, Tr(field.label));
        if (field.indent) {
            box->setDecimals(2);
            box->setSingleStep(0.25);
            box->setRange(-kMaxIndentCm, kMaxIndentCm);
            box->setSuffix(Tr(ptext::Centimetres));
            box->setValue(field.twips / kTwipsPerCm);
        } else {
            box->setDecimals(1);
            box->setSingleStep(1);
            box->setRange(0, kMaxSpacingPt);
            box->setSuffix(Tr(ptext::Points));
            box->setValue(field.twips / kTwipsPerPoint);
        }
        auto* label = new QLabel(Tr(field.label), this);
        label->setObjectName(QString::fromLatin1(field.name) + QStringLiteral("Label"));
        label->setBuddy(box);
        form->addRow(label, box);
        m_fields[i] = box;
    }

    auto* alignRow = new QFormLayout;
    m_align = NameControl(new QComboBox(this), "Alignment", Tr(ptext::Alignment));
    for (const char* item :
         {ptext::AlignLeft, ptext::AlignCenter, ptext::AlignRight, ptext::AlignJustify})
        m_align->addItem(Tr(item));
    m_align->setCurrentIndex(static_cast<int>(values.align));
    auto* alignLabel = new QLabel(Tr(ptext::Alignment), this);
    alignLabel->setObjectName(QStringLiteral("AlignmentLabel"));
    alignLabel->setBuddy(m_align);
    alignRow->addRow(alignLabel, m_align);
    layout->addLayout(alignRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    NameControl(buttons->button(QDialogButtonBox::Ok), "OK", Tr(ptext::Ok))->setText(Tr(ptext::Ok));
    NameControl(buttons->button(QDialogButtonBox::Cancel), "Cancel", Tr(ptext::Cancel))
        ->setText(Tr(ptext::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (m_settings)
        m_settings->LoadWindowState(*this, kPlacement);
}

CParagraphDlg::~CParagraphDlg() {
    if (m_settings)
        m_settings->SaveWindowState(*this, kPlacement);
}

ParagraphChange CParagraphDlg::Result() const {
    ParagraphChange change;
    ParagraphValues& v = change.values;
    // A field the user left shows what it was given, rounded: it counts as unchanged.
    auto take = [this](int index, int initial, double perUnit, bool& changed) {
        QDoubleSpinBox* box = m_fields[static_cast<std::size_t>(index)];
        const double shown = QString::number(initial / perUnit, 'f', box->decimals()).toDouble();
        if (std::abs(box->value() - shown) < 1e-9)
            return initial;
        changed = true;
        return static_cast<int>(std::lround(box->value() * perUnit));
    };
    v.left = take(0, m_initial.left, kTwipsPerCm, change.left);
    v.right = take(1, m_initial.right, kTwipsPerCm, change.right);
    v.first = take(2, m_initial.first, kTwipsPerCm, change.first);
    v.before = take(3, m_initial.before, kTwipsPerPoint, change.before);
    v.after = take(4, m_initial.after, kTwipsPerPoint, change.after);
    v.align = static_cast<ParagraphValues::Align>(m_align->currentIndex());
    change.align = v.align != m_initial.align;
    return change;
}

} // namespace kelvo
