// Reads PDF files back with poppler's tools (pdftotext, pdftoppm), independent readers of
// what the painters wrote.
#pragma once

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kelvo::test {

inline bool HavePoppler() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

/// The text of every page, in order (pdftotext separates pages by form feeds).
inline QStringList PdfPages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QChar(u'\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

/// The non-empty lines of a page's text, trimmed.
inline QStringList PdfLines(const QString& pageText) {
    QStringList lines;
    for (const QString& line : pageText.split(QChar(u'\n')))
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    return lines;
}

/// One page rendered at `dpi`.
inline QImage PdfPageImage(const QString& pdf, int page, int dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.path() + QStringLiteral("/page");
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
             QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
             QString::number(page), QStringLiteral("-singlefile"), pdf, prefix});
    p.waitForFinished(30000);
    return QImage(prefix + QStringLiteral(".png"));
}

/// Pixels of an image whose colour is close to `colour`.
inline int CountPixels(const QImage& image, QColor colour, int tolerance = 40) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance &&
                std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    return count;
}

} // namespace kelvo::test
