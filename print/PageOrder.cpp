// The pages a print job sends.
#include "print/PageOrder.h"

#include <algorithm>

namespace kelvo {

std::vector<int> PageOrder(const PageOrderRequest& r) {
    std::vector<int> order;
    const int from = std::max(r.from > 0 ? r.from : 1, 1);
    const int to = std::min(r.to > 0 ? r.to : r.pageCount, r.pageCount);
    if (from > to)
        return order;
    std::vector<int> range;
    for (int page = from; page <= to; ++page)
        range.push_back(page - 1);
    if (r.lastPageFirst)
        std::reverse(range.begin(), range.end());
    const int copies = r.deviceMakesCopies ? 1 : std::max(r.copies, 1);
    if (r.collate) {
        for (int c = 0; c < copies; ++c)
            order.insert(order.end(), range.begin(), range.end());
    } else {
        for (int page : range)
            order.insert(order.end(), static_cast<std::size_t>(copies), page);
    }
    return order;
}

} // namespace kelvo
