// Icons of commands, tabs and the password tree, with bundled fallbacks drawn by the program.
#include "shell/Icons.h"

#include "shell/CommandIds.h"
#include "shell/CommandTable.h"

#include <QFile>
#include <QPixmap>

#include <map>

namespace kelvo {

QIcon CommandIcon(int commandId) {
    static std::map<int, QIcon> cache;
    auto it = cache.find(commandId);
    if (it != cache.end())
        return it->second;
    QIcon icon;
    if (const CommandInfo* info = FindCommand(commandId)) {
        const QString bundled = QStringLiteral(":/icons/cmd-%1.png").arg(commandId);
        QIcon fallback;
        if (QFile::exists(bundled))
            fallback = QIcon(bundled);
        else if (commandId >= cmd::TextColourFirst && commandId <= cmd::BackColourLast) {
            const int index = commandId >= cmd::BackColourFirst ? commandId - cmd::BackColourFirst
                                                                : commandId - cmd::TextColourFirst;
            const ColourEntry& entry = ColourTable()[static_cast<std::size_t>(index)];
            if (entry.red >= 0) {
                QPixmap pixmap(16, 16);
                pixmap.fill(QColor(entry.red, entry.green, entry.blue));
                fallback = QIcon(pixmap);
            }
        } else if (*info->themeIcon) {
            QString tip = CommandTip(*info);
            fallback = LetterIcon(tip.left(1).toUpper(), ImageColour(commandId));
        }
        icon = *info->themeIcon ? ThemedIcon(info->themeIcon, fallback) : fallback;
    }
    cache[commandId] = icon;
    return icon;
}

QIcon AppIcon() {
    static QIcon icon;
    if (icon.isNull()) {
        if (QFile::exists(QStringLiteral(":/icons/kelvo-48.png")))
            icon = QIcon(QStringLiteral(":/icons/kelvo-48.png"));
        else
            icon = PasswordIcon(10); // the shield
    }
    return icon;
}

QIcon FrameImage(int index) {
    switch (index) {
    case 0:
        return AppIcon();
    case 1:
        return ThemedIcon("text-x-generic", PageIcon(QColor(0x2e, 0x6d, 0xb4), true));
    case 2:
        return ThemedIcon("accessories-text-editor", PageIcon(QColor(0x2e, 0x6d, 0xb4), true));
    case 3:
        return ThemedIcon("dialog-password", PasswordIcon(0));
    default:
        return PasswordIcon(index - 4);
    }
}

QIcon PasswordTreeImage(int index) {
    static const QColor blue(0x6c, 0x9b, 0xd2);
    switch (index) {
    case 0:
        return ThemedIcon("dialog-password", PasswordIcon(1)); // the padlock
    case 2:
        return ThemedIcon("folder", FolderIcon(false, blue));
    case 3:
        return ThemedIcon("folder-open", FolderIcon(true, blue));
    default:
        return FolderIcon(false, blue);
    }
}

} // namespace kelvo
