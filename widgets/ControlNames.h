// Names of dialog controls: an object name for tests and robots, and the control's label as
// its accessible name, so that screen readers and GUI test tools find every control.
#pragma once

#include <QPalette>
#include <QString>
#include <QWidget>

namespace kelvo {

/// The label as it reads: without the mnemonic mark ("&&" stays one "&"), the ellipsis or
/// the closing colon.
inline QString AccessibleLabel(QString label) {
    QString out;
    out.reserve(label.size());
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == QLatin1Char('&') && i + 1 < label.size()) {
            ++i;
            if (label[i] != QLatin1Char('&')) {
                out += label[i];
                continue;
            }
        }
        out += label[i];
    }
    if (out.endsWith(QStringLiteral("...")))
        out.chop(3);
    if (out.endsWith(QLatin1Char(':')))
        out.chop(1);
    return out.trimmed();
}

/// Gives `control` its object name and `label` (as shown) as its accessible name.
template <class W> W* NameControl(W* control, const char* objectName, const QString& label) {
    control->setObjectName(QString::fromLatin1(objectName));
    control->setAccessibleName(AccessibleLabel(label));
    return control;
}

/// A read-only box looks like one: the window's colour behind its text, as the desktop
/// shows boxes that cannot be edited.
inline void ShowAsReadOnly(QWidget* box) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
}

} // namespace kelvo
