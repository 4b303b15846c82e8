// The item properties sheet's texts.
#include "dialogs/RecordProperties.h"

#include "core/Messages.h"
#include "core/RecordBody.h"
#include "platform/text/Format.h"
#include "platform/text/ItemStream.h"

namespace kelvo {

AnsiString UnavailableSizeText() {
    return AnsiStringText(msg::SizeUnavailable);
}

AnsiString PropertyTimeText(const OleDateTime& time) {
    if (!time.valid)
        return AnsiStringText(msg::UnknownTime);
    return FormatItemDateTime(time);
}

AnsiString RecordSizeText(CQuorvellineDoc& doc, TreeKind kind, std::uint32_t uid) {
    if (kind != TreeKind::Records)
        return UnavailableSizeText();
    // A bank that never had a file or a working file holds no text streams yet.
    if (!doc.HasWorkingStorage())
        return FormatSizeWithBytes(0);
    auto root = doc.WorkingStorage();
    if (!root)
        return UnavailableSizeText();
    return FormatSizeWithBytes(RecordBodySize(*root, uid).value_or(0));
}

RecordProperties ReadRecordProperties(CQuorvellineDoc& doc, TreeKind kind, const TreeNode& node) {
    RecordProperties p;
    p.title = node.title;
    p.uid = HexText(node.item.uid);
    p.size = RecordSizeText(doc, kind, node.item.uid);
    p.created = PropertyTimeText(node.item.created);
    p.opened = PropertyTimeText(node.item.opened);
    p.saved = PropertyTimeText(node.item.saved);
    p.notes = node.item.notes;
    p.keywords = node.item.keywords;
    return p;
}

void ApplyRecordProperties(CQuorvellineDoc& doc, TreeNode& node, const RecordProperties& fields) {
    node.title = fields.title;
    node.item.notes = fields.notes;
    node.item.keywords = fields.keywords;
    doc.SetModifiedFlag(true);
}

} // namespace kelvo
