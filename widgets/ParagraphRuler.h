// The ruler above the record editor: a centimetre scale over the text width with the current
// paragraph's indents and tab stops as markers the user drags.
#pragma once

#include <QWidget>

#include <vector>

namespace kelvo {

class ParagraphRuler : public QWidget {
    Q_OBJECT
public:
    /// A paragraph format in twips (1/1440 inch), as RTF writes it: the first-line indent is
    /// relative to the left indent; tab stops are from the left margin, ascending.
    struct Format {
        int firstIndent = 0;
        int leftIndent = 0;
        int rightIndent = 0;
        std::vector<int> tabs;
        bool operator==(const Format&) const = default;
    };
    static constexpr int kMaxTabs = 32;

    explicit ParagraphRuler(QWidget* parent = nullptr);

    void SetFormat(const Format& format);
    const Format& CurrentFormat() const { return m_format; }
    /// Where the text lies under the ruler: `origin` is the x (in the ruler) of the left
    /// margin, `textWidth` the width of the text in pixels, `dpi` the pixels per inch.
    void SetGeometry(int origin, int textWidth, double dpi);

    /// The x of a position in twips, and the position (rounded to a quarter centimetre when
    /// `snap`) of an x.
    double XOfTwips(int twips) const;
    int TwipsOfX(double x, bool snap) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    /// A marker was dropped or a tab stop added or removed.
    void FormatEdited();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Marker { None, First, Left, LeftBox, Right, Tab };
    Marker HitTest(const QPoint& pos, int* tabIndex) const;

    Format m_format;
    int m_origin = 0;
    int m_textWidth = 600;
    double m_dpi = 96;
    Marker m_drag = Marker::None;
    int m_dragTab = -1;
    bool m_dragOut = false;
};

} // namespace kelvo
