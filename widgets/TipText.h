// Fitting an information tip into the room a tip window offers.
#pragma once

#include <QString>

namespace kelvo {

/// A tip of `text` for a buffer of `bufferChars` characters (the terminating zero included):
/// when the text with its zero does not fit, it is cut to bufferChars - 6 characters and "..."
/// is appended; otherwise it is returned unchanged.
QString FitTipText(const QString& text, int bufferChars);

/// The room a tip window offers, in characters (the size the list and tree tips use).
inline constexpr int kTipBufferChars = 1024;

} // namespace kelvo
