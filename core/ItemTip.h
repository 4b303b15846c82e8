// The information tip of a node of either bank tree: its title, keywords, notes, and the size
// of a record's body or the entries of a password folder.
#pragma once

#include "core/QuorvellineDoc.h"

#include <cstddef>

namespace kelvo {

/// The tip text (Windows-1251): "Название: " and the title; "\nКлючевые слова: " and
/// "\nЗаметки: " when not empty; for a record with a non-empty body stream "\nРазмер: " and
/// FormatSize of its size (low 32 bits); for a folder with entries "\nПароли (всего N): "
/// and the titles of the first six joined by ", ", followed by ", ..." when there are six
/// or more. Asking creates no working file and no body stream.
AnsiString GetTreeItemTip(CQuorvellineDoc& doc, TreeKind kind, const TreeNode& node);

/// Fits a tip into a buffer of `bufferChars` characters (its terminating zero included): a
/// text that does not fit is cut to `bufferChars` - 6 characters and "..." appended.
AnsiString FitTipText(AnsiView text, std::size_t bufferChars);

} // namespace kelvo
