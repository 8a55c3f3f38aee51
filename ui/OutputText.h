#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ravolin {

// The output pane's text: the expansion's UTF-8 bytes as the run made them, never copied, with an index of
// its lines. A line ends at LF, at CR LF (one line end, wherever it falls) or at a CR alone, as the edits
// read their text. The index holds, for each block of bytes, the line ends before it: a few bytes per block
// whatever the lines are like, found again by counting inside one block. Immutable once made, so the run's
// thread builds it and the window only takes it over.
class OutputText {
public:
    static constexpr std::size_t kBlockBytes = 64 * 1024;

    explicit OutputText(std::string bytes, std::size_t blockBytes = kBlockBytes);

    std::string_view bytes() const { return m_bytes; }
    std::size_t size() const { return m_bytes.size(); }
    // At least 1: an empty text is one empty line, and a text ending in a line break has an empty last line.
    std::size_t lineCount() const { return m_breaksBefore.back() + 1; }
    std::size_t lineStart(std::size_t line) const;
    // Where the line's text ends, before its line break.
    std::size_t lineEnd(std::size_t line) const;
    // The line that holds byte `offset` (the last line for the end of the text).
    std::size_t lineOf(std::size_t offset) const;

    // The bytes from `from` to `to`, each line end written as `lineEnd`.
    std::string withLineEnds(std::size_t from, std::size_t to, std::string_view lineEnd) const;

    // Positions a caret can take: the starts of characters, never inside a line end of two bytes. The next
    // and the previous one; an invalid byte counts as one character.
    std::size_t nextPosition(std::size_t offset) const;
    std::size_t previousPosition(std::size_t offset) const;
    // The start of the character that holds `offset` (offset itself when it starts one).
    std::size_t characterStart(std::size_t offset) const;

private:
    // Where the line end with this number (1-based) lies: its last byte.
    std::size_t breakPosition(std::size_t number) const;
    bool isBreakAt(std::size_t offset) const;

    std::string m_bytes;
    std::size_t m_blockBytes;
    // Line ends before each block, and after the last block all of them.
    std::vector<std::uint64_t> m_breaksBefore;
};

using SharedOutputText = std::shared_ptr<const OutputText>;

// Line ends among bytes [from, to) of `text` (a CR counts unless an LF follows it, also past `to`).
std::size_t countLineBreaks(std::string_view text, std::size_t from, std::size_t to);

// The byte length of the UTF-8 character that starts at `offset`, 1 for an invalid byte.
std::size_t utf8Length(std::string_view text, std::size_t offset);

}  // namespace ravolin
