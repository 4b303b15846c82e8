// The preview window: the preview's bar ("&Печать...", the pages box, the zoom box,
// "&Закрыть") over the multi-page preview view of one printed subject.
#pragma once

#include "print/ui/CMultiPagePreviewView.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QPushButton;

namespace kelvo {

class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    /// Shows `source` (laid out for `geometry`) `pagesShown` pages at a time; a count that
    /// is none of the box's shows two pages.
    PreviewWindow(std::shared_ptr<PageSource> source, const PageGeometry& geometry, int pagesShown,
                  QWidget* parent = nullptr);

    CMultiPagePreviewView& View() const { return *m_view; }
    PageSource& Source() const { return *m_source; }
    std::shared_ptr<PageSource> SharedSource() const { return m_source; }
    QComboBox& PagesBox() const { return *m_pages; }
    QComboBox& ZoomBox() const { return *m_zoom; }

signals:
    /// "&Печать..." was pressed: the subject is to be printed (the window closes).
    void PrintRequested();
    /// A page count was chosen in the pages box.
    void PagesShownChosen(int count);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ChoosePages(int entry);
    void ChooseZoom(int entry);
    void ShowZoomInBox();

    std::shared_ptr<PageSource> m_source;
    CMultiPagePreviewView* m_view = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_close = nullptr;
    QComboBox* m_pages = nullptr;
    QComboBox* m_zoom = nullptr;
};

} // namespace kelvo
