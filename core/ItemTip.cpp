// Building the information tip of a tree node.
#include "core/ItemTip.h"

#include "platform/text/Format.h"

#include <string>

namespace kelvo {

namespace {

AnsiString Label(std::string_view utf8) {
    return Utf8ToAnsiLossy(utf8);
}

constexpr std::size_t kTitlesShown = 6;

} // namespace

AnsiString GetTreeItemTip(CQuorvellineDoc& doc, TreeKind kind, const TreeNode& node) {
    AnsiString tip = Label("Название: ") + node.title;
    if (!node.item.keywords.empty())
        tip += Label("\nКлючевые слова: ") + node.item.keywords;
    if (!node.item.notes.empty())
        tip += Label("\nЗаметки: ") + node.item.notes;

    if (kind == TreeKind::Records) {
        if (auto size = doc.BodySize(node.item.uid)) {
            const std::uint32_t low = static_cast<std::uint32_t>(*size & 0xFFFFFFFFu);
            if (low != 0)
                tip += Label("\nРазмер: ") + FormatSize(low);
        }
        return tip;
    }

    std::size_t count = 0;
    AnsiString titles;
    for (const auto& entry : doc.passwords()) {
        if (entry->folderUid != node.item.uid)
            continue;
        ++count;
        if (count > kTitlesShown)
            continue;
        if (count > 1)
            titles += ", ";
        titles += entry->title;
        if (count == kTitlesShown)
            titles += ", ...";
    }
    if (count > 0)
        tip += Label("\nПароли (всего ") + std::to_string(count) + "): " + titles;
    return tip;
}

AnsiString FitTipText(AnsiView text, std::size_t bufferChars) {
    if (text.size() + 1 <= bufferChars)
        return AnsiString(text);
    const std::size_t keep = bufferChars > 6 ? bufferChars - 6 : 0;
    return AnsiString(text.substr(0, keep)) + "...";
}

} // namespace kelvo
