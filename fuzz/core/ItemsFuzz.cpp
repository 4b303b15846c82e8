// Feeds arbitrary bytes to the loaders of the bank's item streams: the tree loader (the input
// cut into a Struct part and an ObPool part at the first 0xFE byte) and the password entry
// loader (the whole input). The loaded models are saved again to exercise the writers.
#include "core/PwdList.h"
#include "core/RecordTree.h"
#include "platform/base/MemoryStream.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = bytes.find('\xFE');
    kelvo::MemoryStream structStream(bytes.substr(0, cut));
    kelvo::MemoryStream pool(cut == std::string::npos ? std::string() : bytes.substr(cut + 1));
    kelvo::RecordTree tree;
    kelvo::LoadTree(tree, structStream, pool);
    kelvo::MemoryStream s2, p2;
    (void)kelvo::SaveTree(tree, s2, p2);
    for (kelvo::TreeNode* n = tree.first(); n; n = tree.NextPreOrder(n))
        (void)kelvo::RecordTree::Depth(n);

    kelvo::MemoryStream pwd(bytes);
    kelvo::PwdList list;
    kelvo::LoadPwdList(list, pwd);
    kelvo::MemoryStream out;
    (void)kelvo::SavePwdList(list, out);
    (void)list.Categories();
    return 0;
}
