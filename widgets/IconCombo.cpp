// The password icon box.
#include "widgets/IconCombo.h"

#include "widgets/PasswordIcons.h"

#include <QKeyEvent>

namespace kelvo {

IconCombo::IconCombo(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(16, 16));
    for (int i = 0; i < kPasswordIconCount; ++i) {
        addItem(PasswordIcon(i), QString());
        setItemData(i, PasswordIconName(i), Qt::ToolTipRole);
        setItemData(i, PasswordIconName(i), Qt::AccessibleTextRole);
    }
    setCurrentIndex(0);
    setMaxVisibleItems(12);
}

void IconCombo::SetIconNumber(int number) {
    m_kept = number;
    setCurrentIndex(number >= 0 && number < count() ? number : -1);
}

int IconCombo::IconNumber() const {
    return currentIndex() >= 0 ? currentIndex() : m_kept;
}

void IconCombo::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier) {
        showPopup();
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace kelvo
