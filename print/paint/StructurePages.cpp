// The bank's structure laid out in pages and painted.
#include "print/paint/StructurePages.h"

#include "core/TreeOperations.h"

#include <QGuiApplication>
#include <QPainter>

#include <cmath>

namespace kelvo {
namespace {

// The code reported when a picture cannot be made and the failing step gives none.
constexpr int kPictureFailureCode = 1003;

const QColor kLineColour(128, 128, 128);

} // namespace

StructureSource StoredStructure(const RecordTree& tree, std::vector<QImage> images) {
    StructureSource source;
    source.rows = VisibleRows(tree);
    source.font = QGuiApplication::font();
    source.images = std::move(images);
    source.imageOf = [&tree](const TreeNode& node) {
        return TreeImageIndex(tree, TreeKind::Records, node, false);
    };
    return source;
}

StructurePages::StructurePages(StructureSource source) : m_source(std::move(source)) {
    for (const QImage& image : m_source.images) {
        QImage picture =
            image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (picture.isNull()) {
            Report(MessageError(hr::Fail, msg::PictureConversionFailed,
                               {std::to_string(kPictureFailureCode)}));
            m_pictures = false;
            m_images.clear();
            break;
        }
        m_images.push_back(std::move(picture));
    }
    // The font keeps its size in the pane's pixels; the painter's scale then makes it the
    // same physical size as on screen.
    m_font = m_source.font;
    if (m_font.pointSizeF() > 0)
        m_font.setPixelSize(std::max(
            1, static_cast<int>(std::lround(m_font.pointSizeF() * m_source.screenDpiY / 72.0))));
}

void StructurePages::Layout(const PageGeometry& g) {
    m_scaleX = g.dpiX / (m_source.screenDpiX > 0 ? m_source.screenDpiX : 96.0);
    m_scaleY = g.dpiY / (m_source.screenDpiY > 0 ? m_source.screenDpiY : 96.0);
    m_printable = QRectF(QPointF(0, 0), g.printable.size());
    const double usable = m_printable.height() / m_scaleY;
    m_pages = PaginateStructure(m_source.rows.size(), m_source.metrics.rowHeight, usable);
}

void StructurePages::PaintPage(QPainter& painter, int index) {
    if (index < 0 || index >= PageCount())
        return;
    const StructurePage& page = m_pages[static_cast<std::size_t>(index)];
    painter.save();
    painter.setClipRect(m_printable, Qt::IntersectClip);
    painter.scale(m_scaleX, m_scaleY);
    painter.setFont(m_font);
    for (std::size_t i = 0; i < page.rowCount; ++i)
        PaintRow(painter, m_source.rows[page.firstRow + i],
                 static_cast<int>(i) * m_source.metrics.rowHeight);
    painter.restore();
}

void StructurePages::PaintRow(QPainter& painter, const StructureRow& row, int top) {
    const TreeMetrics& m = m_source.metrics;
    const RowDrawing d = LayRow(row, m);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(d.textLeft, top, 1e6, m.rowHeight),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::fromStdString(AnsiToUtf8(row.node->title)));
    if (!m_pictures)
        return;
    const int image = m_source.imageOf ? m_source.imageOf(*row.node) : -1;
    if (image >= 0 && image < static_cast<int>(m_images.size()))
        painter.drawImage(QRectF(d.icon.x, top + d.icon.y, d.icon.width, d.icon.height),
                          m_images[static_cast<std::size_t>(image)]);
    else
        Report(MessageError(hr::Fail, msg::PictureDrawFailed));

    QPen dotted(kLineColour, 1, Qt::DotLine, Qt::FlatCap);
    painter.setPen(dotted);
    for (const PixelLine& line : d.lines)
        painter.drawLine(
            QLineF(line.x1 + 0.5, top + line.y1 + 0.5, line.x2 + 0.5, top + line.y2 + 0.5));
    if (d.hasButton) {
        const QRectF box(d.button.x + 0.5, top + d.button.y + 0.5, d.button.width - 1,
                         d.button.height - 1);
        painter.setPen(QPen(kLineColour, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(box);
        painter.setPen(QPen(Qt::black, 1));
        const QPointF c = box.center();
        const double arm = (d.button.width - 1) / 2.0 - 2;
        painter.drawLine(QLineF(c.x() - arm, c.y(), c.x() + arm, c.y()));
        if (!d.expanded)
            painter.drawLine(QLineF(c.x(), c.y() - arm, c.x(), c.y() + arm));
        painter.setBrush(Qt::NoBrush);
    }
}

} // namespace kelvo
