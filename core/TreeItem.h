// One node's data in the record tree or the password folder tree, and its block in the
// tree's ObPool stream.
#pragma once

#include "platform/base/ByteStream.h"
#include "platform/text/Ansi.h"
#include "platform/text/ItemStream.h"
#include "platform/text/OleDateTime.h"

#include <cstdint>

namespace kelvo {

/// Not yet placed in a tree.
inline constexpr std::uint32_t kNoUid = 0xFFFFFFFF;

/// The item of a tree node. The title is not here: it is the node's text (TreeNode::title).
struct TreeNode;

class TreeItem {
public:
    TreeItem() : created(OleDateTime::Now()) {}
    virtual ~TreeItem() = default;
    TreeItem(const TreeItem&) = default;
    TreeItem& operator=(const TreeItem&) = default;

    TreeNode* node = nullptr; ///< the node this item describes; set when the node is inserted
    std::uint32_t uid = kNoUid;
    AnsiString keywords; ///< comma-separated, as typed
    AnsiString notes;
    OleDateTime created; ///< when the item was made
    OleDateTime saved;   ///< last body save (records) or last entry added (folders)
    OleDateTime opened;  ///< last selection
};

/// The block name of a tree item: "TreeItem".
inline constexpr AnsiView kTreeItemBlock = "TreeItem";

/// The second line of a block: HexText(uid) "#" created "#" saved "#" opened, an invalid time
/// written as an empty text.
AnsiString TreeItemKeyLine(const TreeItem& item);

/// Writes the block of one item with its title. Stops at the first line that fails and
/// returns false; the caller goes on with the next item.
bool WriteTreeItemBlock(LineWriter& out, const TreeItem& item, AnsiView title);

/// Reads one block by position (the begin and end lines are read and dropped). A stream that
/// ends early gives empty lines: UID 0, invalid times, empty texts.
void ReadTreeItemBlock(LineReader& in, TreeItem& item, AnsiString& title);

} // namespace kelvo
