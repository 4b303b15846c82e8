// A random source for tests that delivers given words in order, then fails.
#pragma once

#include "dialogs/RandomSource.h"

#include <deque>

namespace kelvo::test {

class ScriptedSource : public RandomSource {
public:
    explicit ScriptedSource(std::deque<std::uint32_t> words) : m_words(std::move(words)) {}
    bool NextWord(std::uint32_t& out) override {
        if (m_words.empty())
            return false;
        out = m_words.front();
        m_words.pop_front();
        return true;
    }

private:
    std::deque<std::uint32_t> m_words;
};

} // namespace kelvo::test
