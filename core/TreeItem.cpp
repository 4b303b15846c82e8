// Writing and reading the TreeItem block of a tree's ObPool stream.
#include "core/TreeItem.h"

namespace kelvo {

AnsiString TreeItemKeyLine(const TreeItem& item) {
    AnsiString line = HexText(item.uid);
    line += '#';
    line += FormatItemDateTime(item.created);
    line += '#';
    line += FormatItemDateTime(item.saved);
    line += '#';
    line += FormatItemDateTime(item.opened);
    return line;
}

bool WriteTreeItemBlock(LineWriter& out, const TreeItem& item, AnsiView title) {
    return out.WriteLine(BlockBegin(kTreeItemBlock)) && out.WriteLine(TreeItemKeyLine(item)) &&
           out.WriteLine(EscapeText(title)) && out.WriteLine(EscapeText(item.keywords)) &&
           out.WriteLine(EscapeText(item.notes)) && out.WriteLine(BlockEnd(kTreeItemBlock));
}

void ReadTreeItemBlock(LineReader& in, TreeItem& item, AnsiString& title) {
    in.ReadLine(); // begin obj(TreeItem)
    const std::vector<AnsiString> pieces = SplitList(in.ReadLine(), "#", true);
    item.uid = static_cast<std::uint32_t>(HexValue(pieces.empty() ? AnsiView{} : pieces[0]));
    if (pieces.size() == 4) {
        item.created = ParseItemDateTime(pieces[1]);
        item.saved = ParseItemDateTime(pieces[2]);
        item.opened = ParseItemDateTime(pieces[3]);
    } else {
        item.created = item.saved = item.opened = OleDateTime::Invalid();
    }
    title = UnescapeText(in.ReadLine());
    item.keywords = UnescapeText(in.ReadLine());
    item.notes = UnescapeText(in.ReadLine());
    in.ReadLine(); // end obj(TreeItem)
}

} // namespace kelvo
