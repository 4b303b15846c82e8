// The record tree's pictures and the drawn pictures of last resort.
#include "images/TreeImages.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace kelvo {
namespace {

constexpr int kSize = 32; // drawn at 32 px and scaled down, so that both 16 and 32 look right

QPixmap Canvas() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QColor ImageColour(int seed) {
    static const std::array<QColor, 8> palette{QColor(0x2e, 0x6d, 0xb4), QColor(0x3c, 0x9a, 0x4b),
                                               QColor(0xc0, 0x39, 0x2b), QColor(0xd8, 0x8c, 0x1a),
                                               QColor(0x7d, 0x4f, 0xa8), QColor(0x1f, 0x8f, 0x96),
                                               QColor(0x6b, 0x6b, 0x6b), QColor(0xa0, 0x52, 0x2d)};
    return palette[static_cast<std::size_t>(seed) % palette.size()];
}

QIcon LetterIcon(const QString& letters, const QColor& colour) {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(colour.darker(140));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(2, 2, kSize - 4, kSize - 4), 6, 6);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(letters.size() > 1 ? 13 : 18);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(pixmap.rect(), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

QIcon FolderIcon(bool open, const QColor& colour) {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(150), 1.5));
    p.setBrush(colour);
    p.drawRect(QRectF(3, 6, 11, 5));
    p.drawRect(QRectF(3, 9, 26, 18));
    if (open) {
        p.setBrush(colour.lighter(130));
        QPainterPath path;
        path.moveTo(7, 14);
        path.lineTo(31, 14);
        path.lineTo(27, 27);
        path.lineTo(3, 27);
        path.closeSubpath();
        p.drawPath(path);
    }
    return QIcon(pixmap);
}

QIcon PageIcon(const QColor& colour, bool lines) {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(160), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 3, 20, 26));
    if (lines) {
        p.setPen(QPen(colour, 2));
        for (int y = 9; y <= 23; y += 5)
            p.drawLine(QPointF(10, y), QPointF(22, y));
    }
    return QIcon(pixmap);
}

QIcon ThemedIcon(const char* name, const QIcon& fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name), fallback);
}

void EnsureIconTheme() {
    if (!QIcon::themeName().isEmpty() && QIcon::themeName() != QLatin1String("hicolor"))
        return;
    for (const char* theme : {"Adwaita", "breeze", "oxygen", "Tango"})
        if (QDir(QStringLiteral("/usr/share/icons/") + QLatin1String(theme)).exists()) {
            QIcon::setThemeName(QLatin1String(theme));
            return;
        }
}

QIcon RecordTreeImage(int index) {
    static const QColor yellow(0xe0, 0xb0, 0x40);
    switch (index) {
    case 0:
        if (QFile::exists(QStringLiteral(":/icons/kelvo-48.png")))
            return QIcon(QStringLiteral(":/icons/kelvo-48.png"));
        return FolderIcon(false, yellow);
    case 3:
        return ThemedIcon("folder", FolderIcon(false, yellow));
    case 4:
        return ThemedIcon("folder-open", FolderIcon(true, yellow));
    case 5:
        return ThemedIcon("text-x-generic", PageIcon(QColor(0x6b, 0x6b, 0x6b), true));
    case 6:
        return ThemedIcon("accessories-text-editor", PageIcon(QColor(0x2e, 0x6d, 0xb4), true));
    default:
        return PageIcon(QColor(0x6b, 0x6b, 0x6b), false);
    }
}

std::vector<QImage> RecordTreeImageList(int size) {
    std::vector<QImage> images;
    for (int i = 0; i < kRecordTreeImageCount; ++i)
        images.push_back(RecordTreeImage(i).pixmap(size, size).toImage());
    return images;
}

} // namespace kelvo
