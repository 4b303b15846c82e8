// Input histories of combo boxes.
#include "dialogs/InputHistory.h"

#include <algorithm>

namespace kelvo {

bool AddToHistory(std::vector<AnsiString>& history, AnsiView text, std::size_t maximum) {
    if (text.empty() || maximum == 0)
        return false;
    if (history.size() > maximum - 1)
        history.resize(maximum - 1);
    auto same = std::find(history.begin(), history.end(), text);
    if (same != history.end())
        history.erase(same);
    history.insert(history.begin(), AnsiString(text));
    return true;
}

} // namespace kelvo
