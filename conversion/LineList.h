#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>

#include "conversion/TextHelpers.h"

namespace ravolin {

// The lines of a list as one text and where each ends: line i runs from the end of line i - 1 and its CR LF to
// ends[i]. A list can hold a million values; an offset a line is half the memory of a view, and the bytes of any
// run of lines are known from its two ends.
class LineList {
public:
    LineList() = default;
    // `ends` holds `count` ends, the last one the text's size.
    LineList(std::string_view text, std::unique_ptr<std::size_t[]> ends, std::size_t count)
        : m_text(text), m_ends(std::move(ends)), m_count(count) {}

    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = start(i);
        return {m_text.data() + begin, m_ends[i] - begin};
    }
    std::string_view back() const { return (*this)[size() - 1]; }
    // Keeps the first `count` lines.
    void keep(std::size_t count) { m_count = std::min(m_count, count); }
    // The bytes of lines from .. to - 1, the line breaks between them left out.
    std::size_t bytes(std::size_t from, std::size_t to) const {
        return from < to ? m_ends[to - 1] - start(from) - kLineBreak.size() * (to - 1 - from) : 0;
    }
    // The text the lines lie in, readable past any line's end to the text's.
    std::string_view text() const { return m_text; }

private:
    std::size_t start(std::size_t i) const { return i == 0 ? 0 : m_ends[i - 1] + kLineBreak.size(); }

    std::string_view m_text;
    std::unique_ptr<std::size_t[]> m_ends;
    std::size_t m_count = 0;
};

}  // namespace ravolin
