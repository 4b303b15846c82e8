// What the item properties sheet shows of a record or a password folder, and what its OK
// changes: the texts are made here, free of any window.
#pragma once

#include "core/QuorvellineDoc.h"
#include "platform/text/Ansi.h"
#include "platform/text/OleDateTime.h"

namespace kelvo {

/// The sheet's fields (Windows-1251).
struct RecordProperties {
    AnsiString title;
    AnsiString uid;  ///< HexText of the UID
    AnsiString size; ///< "%s (%d байт)", or "(Недоступно)"
    AnsiString created, opened, saved;
    AnsiString notes;
    AnsiString keywords;
};

/// "(Недоступно)": a password folder has no text, and a record's text cannot be measured
/// while the bank file is held elsewhere.
AnsiString UnavailableSizeText();
/// A time as date and time ("dd.MM.yyyy H:mm:ss"), or "(Неизвестно)" when it is not valid.
AnsiString PropertyTimeText(const OleDateTime& time);

/// The size of a record's text as the sheet shows it. A record whose text stream was never
/// written shows 0 bytes; nothing is created to find that out (neither a stream nor, for a
/// bank never saved, a working file). Folders and an unavailable bank file give
/// UnavailableSizeText().
AnsiString RecordSizeText(CQuorvellineDoc& doc, TreeKind kind, std::uint32_t uid);

/// The fields for `node` of the tree `kind`.
RecordProperties ReadRecordProperties(CQuorvellineDoc& doc, TreeKind kind, const TreeNode& node);

/// OK of the sheet: the node takes the title, notes and keywords, and the bank is marked
/// modified, changed or not.
void ApplyRecordProperties(CQuorvellineDoc& doc, TreeNode& node, const RecordProperties& fields);

} // namespace kelvo
