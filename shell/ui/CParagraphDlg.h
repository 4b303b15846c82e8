// The paragraph dialog of the record editor: the indents, the spacing before and after and
// the alignment of the selected paragraphs.
#pragma once

#include <QDialog>

#include <array>

class QComboBox;
class QDoubleSpinBox;

namespace kelvo {

class DialogStateStore;

/// A paragraph's layout in twips, as the body's RTF holds it; `first` is relative to `left`.
struct ParagraphValues {
    enum class Align { Left, Center, Right, Justify };
    int left = 0;
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    Align align = Align::Left;

    bool operator==(const ParagraphValues&) const = default;
};

/// What the dialog changed: only these fields go onto the paragraphs, so that paragraphs of
/// a selection keep what differed among them and was left alone.
struct ParagraphChange {
    ParagraphValues values;
    bool left = false, right = false, first = false, before = false, after = false, align = false;
    bool Any() const { return left || right || first || before || after || align; }
};

class CParagraphDlg : public QDialog {
    Q_OBJECT
public:
    /// Shows `values` (those of the first selected paragraph); restores the position saved
    /// under "ParagraphDlg".
    CParagraphDlg(const ParagraphValues& values, DialogStateStore* settings,
                  QWidget* parent = nullptr);
    ~CParagraphDlg() override;

    /// The values as the fields show them, and which of them differ from those shown first.
    ParagraphChange Result() const;

private:
    ParagraphValues m_initial;
    DialogStateStore* m_settings;
    std::array<QDoubleSpinBox*, 5> m_fields{};
    QComboBox* m_align = nullptr;
};

} // namespace kelvo
