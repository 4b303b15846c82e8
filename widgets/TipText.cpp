// Fitting an information tip into the room a tip window offers.
#include "widgets/TipText.h"

namespace kelvo {

QString FitTipText(const QString& text, int bufferChars) {
    if (text.size() + 1 <= bufferChars)
        return text;
    const int keep = bufferChars > 6 ? bufferChars - 6 : 0;
    return text.left(keep) + QStringLiteral("...");
}

} // namespace kelvo
