// The preview window and its bar.
#include "print/ui/PreviewWindow.h"

#include "print/ui/PrintTexts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The bar's controls: the label (its accessible name without the mnemonic) and the tip.
QPushButton* MakeButton(const char* label, const char* name, const char* tip, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(label), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(QString::fromUtf8(label).remove(QLatin1Char('&')));
    button->setToolTip(QString::fromUtf8(tip));
    button->setAutoDefault(false);
    return button;
}

QComboBox* MakeBox(const char* entries, const char* name, const char* accessible, const char* tip,
                   QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(QString::fromUtf8(accessible));
    box->setToolTip(QString::fromUtf8(tip));
    for (const std::string& entry : BoxEntries(entries))
        box->addItem(Text(entry));
    return box;
}

// "150%" -> 1.5.
double Percent(const QString& entry) {
    QString digits = entry;
    digits.remove(QLatin1Char('%'));
    bool ok = false;
    const int value = digits.trimmed().toInt(&ok);
    return ok && value > 0 ? value / 100.0 : 0;
}

} // namespace

PreviewWindow::PreviewWindow(std::shared_ptr<PageSource> source, const PageGeometry& geometry,
                             int pagesShown, QWidget* parent)
    : QWidget(parent, Qt::Window), m_source(std::move(source)) {
    setObjectName(QStringLiteral("PreviewWindow"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("PreviewBar"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(6, 4, 6, 4);
    using namespace printtext;
    m_print = MakeButton(PrintButton, "PreviewPrint", PrintTip, bar);
    m_pages = MakeBox(PagesEntries, "PreviewPages", PagesBoxName, PagesTip, bar);
    m_zoom = MakeBox(ZoomEntries, "PreviewZoom", ZoomBoxName, ZoomTip, bar);
    m_close = MakeButton(CloseButton, "PreviewClose", CloseTip, bar);
    barLayout->addWidget(m_print);
    barLayout->addWidget(m_pages);
    barLayout->addWidget(m_zoom);
    barLayout->addWidget(m_close);
    barLayout->addStretch();

    m_view = new CMultiPagePreviewView(*m_source, geometry, pagesShown, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_view, 1);

    // The box shows the layout in use, also the two pages a first run shows.
    m_pages->setCurrentIndex(PreviewLayoutEntry(m_view->PagesShown()));
    m_zoom->setCurrentIndex(-1);

    connect(m_print, &QPushButton::clicked, this, [this] {
        emit PrintRequested();
        close();
    });
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_pages, &QComboBox::activated, this, &PreviewWindow::ChoosePages);
    connect(m_zoom, &QComboBox::activated, this, &PreviewWindow::ChooseZoom);
    connect(m_view, &CMultiPagePreviewView::ZoomChanged, this, &PreviewWindow::ShowZoomInBox);
    m_view->setFocus();
}

void PreviewWindow::ChoosePages(int entry) {
    const auto layouts = PreviewLayouts();
    if (entry < 0 || entry >= static_cast<int>(layouts.size()))
        return;
    const int count = layouts[static_cast<std::size_t>(entry)].pages;
    m_view->SetPagesShown(count);
    emit PagesShownChosen(count);
}

void PreviewWindow::ChooseZoom(int entry) {
    const double ratio = Percent(m_zoom->itemText(entry));
    if (ratio > 0)
        m_view->ZoomTo(ratio);
}

void PreviewWindow::ShowZoomInBox() {
    if (!m_view->BoxZoom())
        m_zoom->setCurrentIndex(-1);
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kelvo
