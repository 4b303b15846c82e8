// The texts of the main window and its views.
#include "shell/ShellStrings.h"

namespace kelvo {

QString AppTitle() {
    return QStringLiteral("Quorvelline 2003 Professional");
}

} // namespace kelvo
