// Painting a subject's pages on a paged device.
#include "print/paint/PageSource.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>

namespace kelvo {

PageGeometry GeometryOf(QPagedPaintDevice& device) {
    PageGeometry g;
    g.dpiX = device.logicalDpiX();
    g.dpiY = device.logicalDpiY();
    const QPageLayout layout = device.pageLayout();
    const int resolution = std::max(device.logicalDpiX(), 1);
    const QRect full = layout.fullRectPixels(resolution);
    g.paper = QSizeF(full.size());
    g.printable = QRectF(layout.paintRectPixels(resolution));
    g.device = &device;
    return g;
}

std::vector<Error> PageSource::TakeMessages() {
    std::vector<Error> messages;
    messages.swap(m_pending);
    return messages;
}

void PageSource::Report(const Error& failure) {
    if (std::find(m_reported.begin(), m_reported.end(), failure.messageId) != m_reported.end())
        return;
    m_reported.push_back(failure.messageId);
    m_pending.push_back(failure);
}

bool PrintPages(PageSource& source, QPagedPaintDevice& device, const std::vector<int>& order) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    bool first = true;
    for (int index : order) {
        if (!first && !device.newPage()) {
            painter.end();
            return false;
        }
        first = false;
        painter.save();
        source.PaintPage(painter, index);
        painter.restore();
    }
    return painter.end();
}

bool PrintAllPages(PageSource& source, QPagedPaintDevice& device) {
    source.Layout(GeometryOf(device));
    std::vector<int> order(static_cast<std::size_t>(source.PageCount()));
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    return PrintPages(source, device, order);
}

Result<int> PrintToPdf(PageSource& source, const QString& path, const QString& title) {
    const auto failed = [&path] {
        return MessageError(hr::WriteFault, msg::PdfWriteFailed, {path.toStdString()});
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed();
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setCreator(QStringLiteral("Kelvo"));
        if (!title.isEmpty())
            writer.setTitle(title);
        painted = PrintAllPages(source, writer);
    } // the writer finishes the document when it goes
    if (!painted || !file.commit())
        return failed();
    return source.PageCount();
}

} // namespace kelvo
