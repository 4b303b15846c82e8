// The print loop of the main window.
#include "print/ui/PrintController.h"

#include "print/PageOrder.h"
#include "print/PreviewGeometry.h"
#include "print/ui/PreviewWindow.h"
#include "print/ui/PrintTexts.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace kelvo {

void AddDefaultPrintDialogs(PrintHooks& hooks) {
    if (!hooks.printDialog)
        hooks.printDialog = [](QPrinter& printer, int pages, QWidget* parent) {
            QPrintDialog dialog(&printer, parent);
            dialog.setWindowTitle(QString::fromUtf8(printtext::PrintDialog));
            dialog.setOptions(
                QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
            dialog.setMinMax(1, std::max(pages, 1));
            return dialog.exec() == QDialog::Accepted;
        };
    if (!hooks.pageSetupDialog)
        hooks.pageSetupDialog = [](QPrinter& printer, QWidget* parent) {
            QPageSetupDialog dialog(&printer, parent);
            dialog.setWindowTitle(QString::fromUtf8(printtext::PageSetupDialog));
            return dialog.exec() == QDialog::Accepted;
        };
    if (!hooks.printerSetupDialog)
        hooks.printerSetupDialog = [](QPrinter& printer, QWidget* parent) {
            QPrintDialog dialog(&printer, parent);
            dialog.setWindowTitle(QString::fromUtf8(printtext::PrinterSetupDialog));
            dialog.setOptions(QAbstractPrintDialog::PrintToFile |
                              QAbstractPrintDialog::PrintShowPageSize);
            return dialog.exec() == QDialog::Accepted;
        };
}

PrintController::PrintController(QWidget* window, PrintHooks hooks)
    : QObject(window), m_window(window), m_hooks(std::move(hooks)),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_margins(kDefaultMarginTwips, kDefaultMarginTwips, kDefaultMarginTwips,
                kDefaultMarginTwips) {
    AddDefaultPrintDialogs(m_hooks);
    // Without a printer the dialog offers a PDF file: name one, where a folder alone would fail.
    if (m_printer->outputFormat() == QPrinter::PdfFormat && m_printer->outputFileName().isEmpty())
        m_printer->setOutputFileName(
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
            QStringLiteral("/Kelvo.pdf"));
}

PrintController::~PrintController() {
    // The window that owns both is going: the preview closes without telling it.
    if (m_preview) {
        m_preview->disconnect(this);
        delete m_preview.data();
    }
}

int PrintController::PrintableWidthTwips() const {
    const double paper = m_printer->pageLayout().fullRect(QPageLayout::Point).width() * 20.0;
    return std::max(1440, static_cast<int>(std::lround(paper)) - 2 * 720);
}

int PrintController::PreviewPages() const {
    return PreviewLayoutFor(m_hooks.previewPages ? m_hooks.previewPages() : 0).pages;
}

void PrintController::Message(const std::string& text) {
    if (m_hooks.showMessage)
        m_hooks.showMessage(QString::fromStdString(text));
}

void PrintController::ShowMessages(PageSource& source) {
    for (const Error& failure : source.TakeMessages())
        Message(ErrorText(failure));
}

void PrintController::PageSetup() {
    QPrinter& printer = *m_printer;
    const QPageLayout before = printer.pageLayout();
    // The dialog works in inches, on the margins chosen last time.
    QPageLayout edited = before;
    edited.setUnits(QPageLayout::Inch);
    edited.setMargins(m_margins / 1440.0);
    printer.setPageLayout(edited);
    if (!m_hooks.pageSetupDialog(printer, m_window)) {
        printer.setPageLayout(before);
        return;
    }
    m_margins = printer.pageLayout().margins(QPageLayout::Inch) * 1440.0;
    // The paper and its orientation are the printer's from now on; the margins only wait for
    // the next Page Setup: records print with their own, the structure on the printable area.
    QPageLayout chosen = printer.pageLayout();
    chosen.setUnits(before.units());
    chosen.setMargins(before.margins());
    printer.setPageLayout(chosen);
    emit PaperChanged();
}

void PrintController::PrinterSetup() {
    if (m_hooks.printerSetupDialog(*m_printer, m_window))
        emit PaperChanged();
}

bool PrintController::Print(std::shared_ptr<PageSource> source) {
    if (!source)
        return false;
    QPrinter& printer = *m_printer;
    source->Layout(GeometryOf(printer));
    if (!m_hooks.printDialog(printer, source->PageCount(), m_window))
        return false;
    source->Layout(GeometryOf(printer)); // the dialog may have changed the paper
    PageOrderRequest request;
    request.pageCount = source->PageCount();
    if (printer.printRange() == QPrinter::PageRange) {
        request.from = printer.fromPage();
        request.to = printer.toPage();
    }
    request.copies = printer.copyCount();
    request.collate = printer.collateCopies();
    request.lastPageFirst = printer.pageOrder() == QPrinter::LastPageFirst;
    request.deviceMakesCopies = printer.supportsMultipleCopies();
    const std::vector<int> order = PageOrder(request);
    if (order.empty())
        return false;
    const bool printed = PrintPages(*source, printer, order);
    ShowMessages(*source);
    if (!printed)
        Message(std::string(StringText(msg::PrintFailed)));
    emit PaperChanged();
    return printed;
}

PreviewWindow* PrintController::Preview(std::shared_ptr<PageSource> source) {
    if (!source || !m_printer->isValid()) {
        Message(std::string(StringText(msg::CommandFailed)));
        return nullptr;
    }
    if (m_preview)
        m_preview->close();
    const PageGeometry geometry = GeometryOf(*m_printer);
    source->Layout(geometry);
    auto* window = new PreviewWindow(source, geometry, PreviewPages(), m_window);
    window->setWindowModality(Qt::ApplicationModal);
    if (m_window) {
        window->setWindowTitle(m_window->windowTitle());
        window->setGeometry(m_window->geometry());
    } else {
        window->resize(900, 700);
    }
    connect(window, &PreviewWindow::PagesShownChosen, this, [this](int count) {
        if (m_hooks.setPreviewPages)
            m_hooks.setPreviewPages(count);
    });
    connect(window, &PreviewWindow::PrintRequested, this, [this, window] {
        // Printing starts once the preview is gone.
        std::shared_ptr<PageSource> subject = window->SharedSource();
        QTimer::singleShot(0, this, [this, subject] { Print(subject); });
    });
    connect(window, &QObject::destroyed, this, [this, source] {
        ShowMessages(*source);
        if (m_hooks.previewMode)
            m_hooks.previewMode(false);
    });
    if (m_hooks.previewMode)
        m_hooks.previewMode(true);
    m_preview = window;
    window->show();
    ShowMessages(*source);
    return window;
}

} // namespace kelvo
