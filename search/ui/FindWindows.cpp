// Shared pieces of the search and index windows.
#include "search/ui/FindWindows.h"

#include "core/QuorvellineDoc.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace kelvo {

OpenBank OpenBankOf(CQuorvellineDoc& doc) {
    return {doc.path().string(), doc.ContentsSerial()};
}

void ShowAndActivate(QWidget& window) {
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

namespace {

QIcon DrawnIcon(FindWindowKind kind) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor blue(0x2e, 0x6d, 0xb4);
    if (kind == FindWindowKind::Index) {
        // A card of keyword lines, with a tick in front of the first.
        p.setPen(QPen(blue.darker(150), 1.5));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(4, 3, 24, 26), 3, 3);
        p.setPen(QPen(blue, 2.5));
        for (int y = 10; y <= 24; y += 7)
            p.drawLine(QPointF(13, y), QPointF(24, y));
        p.setPen(QPen(QColor(0x3c, 0x9a, 0x4b), 2.5));
        p.drawLine(QPointF(7, 10), QPointF(9, 12));
        p.drawLine(QPointF(9, 12), QPointF(12, 7));
    } else {
        // A magnifying glass.
        p.setPen(QPen(blue.darker(150), 3));
        p.setBrush(QColor(0xd6, 0xe6, 0xf7));
        p.drawEllipse(QPointF(13, 13), 9, 9);
        p.setPen(QPen(QColor(0x6b, 0x4a, 0x2b), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(20, 20), QPointF(28, 28));
    }
    return QIcon(pixmap);
}

} // namespace

QIcon FindWindowIcon(FindWindowKind kind) {
    const char* themed = kind == FindWindowKind::Search ? "system-search" : "view-list-details";
    return QIcon::fromTheme(QString::fromLatin1(themed), DrawnIcon(kind));
}

} // namespace kelvo
