// The status bar with indicator panes.
#include "widgets/StatusPaneBar.h"

#include <QFontMetrics>
#include <QLabel>

namespace kelvo {

StatusPaneBar::StatusPaneBar(QWidget* parent) : QStatusBar(parent) {}

void StatusPaneBar::AddPane(int id, const QString& text, int width, bool highlighted) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("pane%1").arg(id));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAutoFillBackground(true);
    // Reserve the width of the text so the bar does not jump when an indicator turns on.
    const int textWidth = label->fontMetrics().horizontalAdvance(text) + 10;
    label->setMinimumWidth(width > 0 ? width : textWidth);
    if (width > 0)
        label->setMaximumWidth(width);
    addPermanentWidget(label);
    PaneData& pane = m_panes[id];
    pane.label = label;
    pane.text = text;
    pane.highlighted = highlighted;
    Apply(pane);
}

void StatusPaneBar::SetPaneOn(int id, bool on) {
    auto it = m_panes.find(id);
    if (it == m_panes.end() || it->second.on == on)
        return;
    it->second.on = on;
    Apply(it->second);
}

bool StatusPaneBar::IsPaneOn(int id) const {
    auto it = m_panes.find(id);
    return it != m_panes.end() && it->second.on;
}

void StatusPaneBar::SetPaneText(int id, const QString& text) {
    auto it = m_panes.find(id);
    if (it == m_panes.end() || it->second.text == text)
        return;
    it->second.text = text;
    Apply(it->second);
}

QString StatusPaneBar::PaneText(int id) const {
    auto it = m_panes.find(id);
    return it == m_panes.end() ? QString() : it->second.label->text();
}

QColor StatusPaneBar::PaneFill(int id) const {
    auto it = m_panes.find(id);
    if (it == m_panes.end())
        return {};
    return it->second.label->palette().color(QPalette::Window);
}

QLabel* StatusPaneBar::Pane(int id) const {
    auto it = m_panes.find(id);
    return it == m_panes.end() ? nullptr : it->second.label;
}

void StatusPaneBar::Apply(PaneData& pane) {
    pane.label->setText(pane.on ? pane.text : QString());
    QPalette palette = pane.label->palette();
    const QColor base = palette.color(QPalette::Base);
    palette.setColor(QPalette::Window, pane.highlighted ? (pane.on ? m_onColour : base)
                                                        : this->palette().color(QPalette::Window));
    if (pane.highlighted && pane.on)
        palette.setColor(QPalette::WindowText, Qt::white);
    else
        palette.setColor(QPalette::WindowText, this->palette().color(QPalette::WindowText));
    pane.label->setPalette(palette);
}

} // namespace kelvo
