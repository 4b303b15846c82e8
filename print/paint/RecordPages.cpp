// A record body laid out in pages and painted.
#include "print/paint/RecordPages.h"

#include "richtext/RtfTextDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace kelvo {

RecordPages::RecordPages(RtfDocument body, QFont font)
    : m_rtf(std::move(body)), m_font(std::move(font)) {}

RecordPages::RecordPages(RtfDocument body) : RecordPages(std::move(body), DefaultBodyFont()) {}

RecordPages::~RecordPages() = default;

void RecordPages::Layout(const PageGeometry& g) {
    // The body is laid out as the editor lays it out, in the screen's units (so that wrapping
    // at the printable width shows the lines as they print), and painted scaled to the device.
    m_doc = std::make_unique<QTextDocument>();
    m_doc->setDefaultFont(m_font);
    m_doc->setUndoRedoEnabled(false);
    const double dpi = DocumentDpi(*m_doc);
    m_scaleX = g.dpiX / dpi;
    m_scaleY = g.dpiY / dpi;

    // The margins are measured from the edges of the sheet; where the device cannot print that
    // far out, its printable area bounds the body instead.
    const double marginX = kRecordMarginTwips * g.dpiX / 1440.0;
    const double marginY = kRecordMarginTwips * g.dpiY / 1440.0;
    QRectF body(marginX, marginY, g.paper.width() - 2 * marginX, g.paper.height() - 2 * marginY);
    body = body.intersected(g.printable);
    if (body.width() < 1 || body.height() < 1)
        body = g.printable;
    m_body = body.translated(-g.printable.topLeft());

    LoadRtfDocument(*m_doc, m_rtf, dpi); // filled before it is laid out
    m_doc->setDocumentMargin(0);
    m_doc->setPageSize(QSizeF(m_body.width() / m_scaleX, m_body.height() / m_scaleY));
}

int RecordPages::PageCount() const {
    return m_doc ? std::max(m_doc->pageCount(), 1) : 1;
}

void RecordPages::PaintPage(QPainter& painter, int index) {
    if (!m_doc || index < 0 || index >= PageCount())
        return;
    const QSizeF page = m_doc->pageSize();
    painter.save();
    painter.translate(m_body.topLeft());
    painter.scale(m_scaleX, m_scaleY);
    const QRectF view(0, index * page.height(), page.width(), page.height());
    painter.setClipRect(QRectF(QPointF(0, 0), page), Qt::IntersectClip);
    painter.translate(0, -view.top());
    // Lines that only touch the page's edges belong to the page before or after: drawn here
    // they would be hidden by the clip but still be in the page's text.
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view.adjusted(0, 0.5, 0, -0.5);
    context.palette.setColor(QPalette::Text, Qt::black);
    m_doc->documentLayout()->draw(&painter, context);
    painter.restore();
}

bool PrintRecordBody(const RtfDocument& body, QPagedPaintDevice& device) {
    RecordPages pages(body);
    return PrintAllPages(pages, device);
}

Result<int> PrintRecordBodyToPdf(const RtfDocument& body, const QString& path) {
    RecordPages pages(body);
    return PrintToPdf(pages, path);
}

} // namespace kelvo
