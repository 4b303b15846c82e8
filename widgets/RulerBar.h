// A ruler showing a centimetre scale above the record editor, with the paragraph's indents.
#pragma once

#include <QWidget>

namespace kelvo {

class RulerBar : public QWidget {
    Q_OBJECT
public:
    explicit RulerBar(QWidget* parent = nullptr);

    /// Indents of the current paragraph in twips (1/1440 inch): first line, left, right.
    void SetIndents(int firstLine, int left, int right);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_firstLine = 0, m_left = 0, m_right = 0;
};

} // namespace kelvo
