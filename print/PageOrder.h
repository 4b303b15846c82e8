// Which pages a print job sends, in which order: a page range, copies collated or not, the
// last page first, and copies the device makes itself.
#pragma once

#include <vector>

namespace kelvo {

struct PageOrderRequest {
    int pageCount = 0; ///< pages of the subject
    int from = 0;      ///< first page asked for (1-based); 0: from the first
    int to = 0;        ///< last page asked for; 0: to the last
    int copies = 1;
    bool collate = true; ///< whole copies one after another, else each page n times
    bool lastPageFirst = false;
    bool deviceMakesCopies = false; ///< the printer repeats the job itself: send one copy
};

/// The 0-based page indexes to print, in order. A range outside the subject is cut to it;
/// nothing is left when it does not meet the subject.
std::vector<int> PageOrder(const PageOrderRequest& request);

} // namespace kelvo
