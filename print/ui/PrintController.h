// The print loop of the main window: the application's printer, Page Setup and printer setup,
// printing a subject after the print dialog, and the preview window. The main window opens each
// of them through one call; its message boxes, the remembered preview page count and hiding the
// ruler come in through hooks.
#pragma once

#include "print/paint/PageSource.h"
#include "print/ui/PreviewWindow.h"

#include <QMarginsF>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace kelvo {

struct PrintHooks {
    std::function<void(const QString&)> showMessage;
    std::function<int()> previewPages; ///< the remembered page count (0: none yet)
    std::function<void(int)> setPreviewPages;
    std::function<void(bool)> previewMode; ///< true while a preview is shown
    /// The dialogs; tests answer them. Each returns true for OK. The print dialog is given
    /// the subject's page count for its page range.
    std::function<bool(QPrinter&, int pages, QWidget*)> printDialog;
    std::function<bool(QPrinter&, QWidget*)> pageSetupDialog;
    std::function<bool(QPrinter&, QWidget*)> printerSetupDialog;
};

/// The real dialogs: QPrintDialog (with a PDF file among its printers), QPageSetupDialog.
void AddDefaultPrintDialogs(PrintHooks& hooks);

class PrintController : public QObject {
    Q_OBJECT
public:
    /// The margins Page Setup starts with before any is chosen.
    static constexpr int kDefaultMarginTwips = 720;

    PrintController(QWidget* window, PrintHooks hooks);
    ~PrintController() override;

    QPrinter& Printer() const { return *m_printer; }
    /// Page Setup's margins in twips (left, top, right, bottom); kept for the next Page Setup.
    QMarginsF PageSetupMargins() const { return m_margins; }
    /// The width the editor wraps to in its printer mode: the paper less the print margins.
    int PrintableWidthTwips() const;
    /// The preview page count in use (the remembered one, two when none is).
    int PreviewPages() const;

    /// Page Setup: paper, orientation and margins, in inches.
    void PageSetup();
    /// The printer and its settings, without printing.
    void PrinterSetup();
    /// The print dialog, then the pages chosen in it. False when cancelled or failed.
    bool Print(std::shared_ptr<PageSource> source);
    /// Opens the preview window of the subject; null when it cannot start (message 61705).
    PreviewWindow* Preview(std::shared_ptr<PageSource> source);
    /// The preview window while one is open.
    PreviewWindow* CurrentPreview() const { return m_preview; }

signals:
    /// The paper or the printer changed.
    void PaperChanged();

private:
    void ShowMessages(PageSource& source);
    void Message(const std::string& text);

    QWidget* m_window;
    PrintHooks m_hooks;
    std::unique_ptr<QPrinter> m_printer;
    QMarginsF m_margins;
    QPointer<PreviewWindow> m_preview;
};

} // namespace kelvo
