// The bank's structure on paper: the visible rows of the record tree as the pane lays them out —
// texts, icons, connecting lines and expand buttons — scaled from the pane's pixels to the
// device's so that a pixel of the pane keeps its physical size, cut into pages at row
// boundaries, the first row of each page at the top of the printable area.
#pragma once

#include "print/StructureLayout.h"
#include "print/paint/PageSource.h"

#include <QFont>
#include <QImage>

#include <functional>
#include <vector>

namespace kelvo {

/// What the tree pane hands to printing.
struct StructureSource {
    std::vector<StructureRow> rows;
    TreeMetrics metrics;
    QFont font;                                  ///< the pane's font
    double screenDpiX = 96, screenDpiY = 96;     ///< the pane's resolution
    std::vector<QImage> images;                  ///< the tree's image list, by index
    std::function<int(const TreeNode&)> imageOf; ///< a node's (normal) image
};

/// The structure as stored in a bank: the rows of its expanded nodes, the default metrics at
/// 96 pixels per inch, the application's font and the record tree's image rules.
StructureSource StoredStructure(const RecordTree& tree, std::vector<QImage> images);

class StructurePages : public PageSource {
public:
    /// Makes the pictures of the job: every image of the list must convert, else message
    /// 61446 is reported and no icons, lines or buttons are drawn (the texts still are).
    explicit StructurePages(StructureSource source);

    void Layout(const PageGeometry& geometry) override;
    int PageCount() const override { return static_cast<int>(m_pages.size()); }
    void PaintPage(QPainter& painter, int index) override;

    const std::vector<StructurePage>& Pages() const { return m_pages; }
    /// False after a picture failed to convert.
    bool DrawsPictures() const { return m_pictures; }

private:
    void PaintRow(QPainter& painter, const StructureRow& row, int top);

    StructureSource m_source;
    std::vector<QImage> m_images; ///< converted for drawing
    bool m_pictures = true;
    std::vector<StructurePage> m_pages{StructurePage{}};
    QFont m_font; ///< the pane's font in pane pixels
    double m_scaleX = 1, m_scaleY = 1;
    QRectF m_printable; ///< in device pixels, relative to its own corner
};

} // namespace kelvo
