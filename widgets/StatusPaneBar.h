// A status bar that draws its own indicator panes: each pane has a fixed text, shows it only
// while its indicator is on, and may be filled with a colour while on.
#pragma once

#include <QColor>
#include <QStatusBar>

#include <map>

class QLabel;

namespace kelvo {

class StatusPaneBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPaneBar(QWidget* parent = nullptr);

    /// Adds a pane to the right of the existing ones. `width` 0 sizes the pane to its text;
    /// a highlighted pane is filled with `onColour` while its indicator is on.
    void AddPane(int id, const QString& text, int width = 0, bool highlighted = false);
    /// Turns the indicator on or off: an off pane shows no text.
    void SetPaneOn(int id, bool on);
    bool IsPaneOn(int id) const;
    /// Replaces the text of a pane (for panes whose text changes, such as a position).
    void SetPaneText(int id, const QString& text);
    QString PaneText(int id) const;
    /// The colour an on pane is filled with, when it is highlighted.
    QColor PaneFill(int id) const;
    QLabel* Pane(int id) const;

    void SetHighlightColour(const QColor& colour) { m_onColour = colour; }

private:
    struct PaneData {
        QLabel* label = nullptr;
        QString text;
        bool on = true;
        bool highlighted = false;
    };
    void Apply(PaneData& pane);

    std::map<int, PaneData> m_panes;
    QColor m_onColour{255, 0, 0};
};

} // namespace kelvo
