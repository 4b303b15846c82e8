// Bookkeeping of the identifiers handed out within one tree or one list: lookup of the
// objects that carry a UID, and the smallest free UID, without scanning every object.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <unordered_map>
#include <vector>

namespace kelvo {

/// Maps UIDs to the objects that carry them (more than one only in a damaged bank) and keeps
/// the used UIDs as maximal runs, so that NextFreeUid, Add and Remove cost O(log n).
template <class T> class UidIndex {
public:
    /// Registers `object` under `uid` (after the objects already holding it).
    void Add(std::uint32_t uid, T* object) {
        auto& holders = m_holders[uid];
        holders.push_back(object);
        if (holders.size() == 1)
            MarkUsed(uid);
    }

    /// Unregisters `object` from `uid`; nothing happens when it is not registered there.
    void Remove(std::uint32_t uid, T* object) {
        auto it = m_holders.find(uid);
        if (it == m_holders.end())
            return;
        auto& holders = it->second;
        auto pos = std::find(holders.begin(), holders.end(), object);
        if (pos == holders.end())
            return;
        holders.erase(pos);
        if (holders.empty()) {
            m_holders.erase(it);
            MarkFree(uid);
        }
    }

    /// The first registered object carrying `uid`, or null.
    T* Find(std::uint32_t uid) const {
        auto it = m_holders.find(uid);
        return it == m_holders.end() ? nullptr : it->second.front();
    }

    /// The smallest n >= 1 that no object carries.
    std::uint32_t NextFreeUid() const {
        auto first = m_runs.begin();
        if (first == m_runs.end() || first->first > 1)
            return 1;
        // The run starting at 0 or 1 ends at `second`; the next number is free.
        return first->second + 1;
    }

    void Clear() {
        m_holders.clear();
        m_runs.clear();
    }

private:
    // Runs of used UIDs: start -> last, disjoint and not adjacent.
    void MarkUsed(std::uint32_t uid) {
        auto next = m_runs.upper_bound(uid);
        if (next != m_runs.begin()) {
            auto prev = std::prev(next);
            if (prev->second >= uid)
                return; // already inside a run (cannot happen: holders were empty)
            if (prev->second + 1 == uid) {
                prev->second = uid;
                if (next != m_runs.end() && next->first == uid + 1) {
                    prev->second = next->second;
                    m_runs.erase(next);
                }
                return;
            }
        }
        if (next != m_runs.end() && uid != UINT32_MAX && next->first == uid + 1) {
            const std::uint32_t last = next->second;
            m_runs.erase(next);
            m_runs.emplace(uid, last);
            return;
        }
        m_runs.emplace(uid, uid);
    }

    void MarkFree(std::uint32_t uid) {
        auto next = m_runs.upper_bound(uid);
        if (next == m_runs.begin())
            return;
        auto run = std::prev(next);
        const std::uint32_t start = run->first, last = run->second;
        if (last < uid)
            return;
        m_runs.erase(run);
        if (start < uid)
            m_runs.emplace(start, uid - 1);
        if (uid < last)
            m_runs.emplace(uid + 1, last);
    }

    std::unordered_map<std::uint32_t, std::vector<T*>> m_holders;
    std::map<std::uint32_t, std::uint32_t> m_runs;
};

} // namespace kelvo
