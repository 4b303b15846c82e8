// A printed subject (a record body, the bank's structure) laid out into pages and painted page
// by page with QPainter: on a printer, into a PDF file, or scaled into the preview. Qt Gui only.
#pragma once

#include "core/Messages.h"
#include "platform/base/Result.h"

#include <QRectF>
#include <QSizeF>

#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class QString;

namespace kelvo {

/// The sheets of a device, in its pixels.
struct PageGeometry {
    QSizeF paper;     ///< the whole sheet
    QRectF printable; ///< the area the device prints, in paper coordinates
    double dpiX = 96, dpiY = 96;
    QPaintDevice* device =
        nullptr; ///< lays text out with the device's font metrics; null: the screen's
};

/// The geometry of a printer or a PDF writer as its page layout stands.
PageGeometry GeometryOf(QPagedPaintDevice& device);

class PageSource {
public:
    virtual ~PageSource() = default;
    /// Lays the subject out for sheets of `geometry`; called again when the paper changes.
    virtual void Layout(const PageGeometry& geometry) = 0;
    /// Pages after the last layout (at least 1).
    virtual int PageCount() const = 0;
    /// Paints page `index` (0-based). The painter is in device pixels with its origin at the
    /// top-left corner of the printable area, as a printer's painter is.
    virtual void PaintPage(QPainter& painter, int index) = 0;

    /// The failed steps not yet handed out, each a message of the table, each message once
    /// per subject.
    std::vector<Error> TakeMessages();

protected:
    void Report(const Error& failure);

private:
    std::vector<Error> m_pending;
    std::vector<int> m_reported;
};

/// Paints the pages `order` names (0-based) on `device`, a new sheet before each page but the
/// first. False when the device takes no painting (a printer that is gone, a file that cannot be
/// opened).
bool PrintPages(PageSource& source, QPagedPaintDevice& device, const std::vector<int>& order);

/// Lays `source` out for `device` and paints every page on it.
bool PrintAllPages(PageSource& source, QPagedPaintDevice& device);

/// Prints every page of `source` into a PDF file on A4 paper at 600 pixels per inch, titled
/// `title`. The file is replaced only once the whole document is written, so a failure leaves
/// an existing file as it was. The number of pages, or the message why nothing was written.
Result<int> PrintToPdf(PageSource& source, const QString& path, const QString& title = {});

} // namespace kelvo
