// Helpers of the widget kit and window tests: layout and dialog state stores in memory, pixel
// searches in grabs.
#pragma once

#include "widgets/DialogStateStore.h"
#include "widgets/ListLayout.h"

#include <QImage>
#include <QRect>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <functional>
#include <map>

namespace kelvo::test {

/// Keeps what dialogs remember in memory: layouts, window rectangles and histories.
class MemoryDialogStateStore : public DialogStateStore {
public:
    void SaveListLayout(const QString& name, const ListLayout& layout) override {
        layouts[name] = layout;
    }
    std::optional<ListLayout> LoadListLayout(const QString& name) override {
        const auto it = layouts.find(name);
        if (it == layouts.end())
            return std::nullopt;
        return it->second;
    }
    void SaveWindowState(const QWidget& window, const QString& name) override {
        windows[name] = window.geometry();
    }
    bool LoadWindowState(QWidget& window, const QString& name) override {
        const auto it = windows.find(name);
        if (it == windows.end())
            return false;
        window.setGeometry(it->second);
        return true;
    }
    QStringList LoadHistory(const QString& name) override { return histories[name]; }
    void SaveHistory(const QString& name, const QStringList& entries) override {
        histories[name] = entries;
    }

    std::map<QString, ListLayout> layouts;
    std::map<QString, QRect> windows;
    std::map<QString, QStringList> histories;
};

/// Keeps layouts by name, as the settings store does.
using MemoryLayoutStore = MemoryDialogStateStore;

/// The bounding box of the pixels of `image` within `area` for which `match` holds.
inline QRect InkBox(const QImage& image, const std::function<bool(QColor)>& match,
                    QRect area = {}) {
    if (area.isNull())
        area = image.rect();
    area &= image.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (match(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

inline bool Bluish(QColor c) {
    return c.blue() > 150 && c.red() < 110 && c.green() < 110;
}
inline bool Reddish(QColor c) {
    return c.red() > 150 && c.green() < 110 && c.blue() < 110;
}

} // namespace kelvo::test
