// Icons of commands, trees, tabs and passwords: the desktop's icon theme first, with bundled
// fallbacks drawn by the program so that every command has an icon on any desktop.
#pragma once

#include "images/TreeImages.h"
#include "widgets/PasswordIcons.h"

#include <QIcon>

namespace kelvo {

/// The icon of a command (theme icon, else the bundled one); null for commands without one.
QIcon CommandIcon(int commandId);
/// The frame's image list: 0 program, 1 record, 2 records tab, 3 passwords tab, then the
/// 33 password icons from 4 on.
QIcon FrameImage(int index);
/// Images of the password tree (0 root folder, 2/3 folder); those of the record tree are
/// RecordTreeImage.
QIcon PasswordTreeImage(int index);
/// The program's icon.
QIcon AppIcon();

} // namespace kelvo
