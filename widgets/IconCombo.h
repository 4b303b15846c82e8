// The icon box of the password entry sheet: a drop-down list of the 33 password pictures
// without text, where the selected position is the entry's icon number.
#pragma once

#include <QComboBox>

namespace kelvo {

class IconCombo : public QComboBox {
    Q_OBJECT
public:
    explicit IconCombo(QWidget* parent = nullptr);

    /// Selects picture `number`. A number that is no position of the list (from a damaged or
    /// foreign bank) selects nothing and is kept as it is until the user picks a picture.
    void SetIconNumber(int number);
    /// The selected position, or the number kept by SetIconNumber while nothing is selected.
    int IconNumber() const;

protected:
    /// The down-arrow key opens the list.
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_kept = 0;
};

} // namespace kelvo
