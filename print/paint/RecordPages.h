// A record body on paper: the body laid out as the editor lays it out and scaled to the device,
// inside print margins of 720 twips on every side of the sheet, cut into pages between lines;
// pictures and formatting as on screen.
#pragma once

#include "platform/base/Result.h"
#include "platform/rtf/RtfDocument.h"
#include "print/paint/PageSource.h"

#include <QFont>

#include <memory>

class QString;
class QTextDocument;

namespace kelvo {

/// The print margins of a record body, on every side of the sheet.
inline constexpr int kRecordMarginTwips = 720;

class RecordPages : public PageSource {
public:
    /// `font` is the font of text that names none (the editor's).
    explicit RecordPages(RtfDocument body, QFont font);
    explicit RecordPages(RtfDocument body);
    ~RecordPages() override;

    void Layout(const PageGeometry& geometry) override;
    int PageCount() const override;
    void PaintPage(QPainter& painter, int index) override;

    /// The body's area on a page, relative to the printable area's corner (device pixels).
    QRectF BodyRect() const { return m_body; }

private:
    RtfDocument m_rtf;
    QFont m_font;
    std::unique_ptr<QTextDocument> m_doc;
    QRectF m_body;
    double m_scaleX = 1, m_scaleY = 1; ///< device pixels per document pixel
};

/// Prints a record body on a paged device (a printer or a QPdfWriter) whose page layout is
/// already set. False when the device takes no painting.
bool PrintRecordBody(const RtfDocument& body, QPagedPaintDevice& device);

/// Prints a record body into a PDF file on A4 paper; the file is replaced only once the whole
/// document is written. The number of pages, or the message why the file was not written.
Result<int> PrintRecordBodyToPdf(const RtfDocument& body, const QString& path);

} // namespace kelvo
