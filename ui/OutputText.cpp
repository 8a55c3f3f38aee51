#include "ui/OutputText.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ravolin {
namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0u) == 0x80u; }

// Whether the byte at `i` ends a line: an LF, or a CR that no LF follows.
bool endsLine(std::string_view text, std::size_t i) {
    const char byte = text[i];
    return byte == '\n' || (byte == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
}

#if defined(__SSE2__)
// The line ends among the 16 bytes at `i`, one bit each; `i + 16` must lie inside the text.
unsigned breakMask(const char* data, std::size_t i) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 1));
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i lone = _mm_andnot_si128(_mm_cmpeq_epi8(next, lf), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), lone)));
}
#endif

}  // namespace

std::size_t countLineBreaks(std::string_view text, std::size_t from, std::size_t to) {
    std::size_t count = 0;
    std::size_t i = from;
#if defined(__SSE2__)
    // The mask reads one byte past its sixteen: the last byte of the text is counted below.
    for (; i + 16 <= to && i + 16 < text.size(); i += 16)
        count += static_cast<std::size_t>(__builtin_popcount(breakMask(text.data(), i)));
#endif
    for (; i < to; ++i) count += endsLine(text, i);
    return count;
}

std::size_t utf8Length(std::string_view text, std::size_t offset) {
    const auto lead = static_cast<unsigned char>(text[offset]);
    const std::size_t length = lead < 0x80u                     ? 1
                               : lead >= 0xC2u && lead <= 0xDFu ? 2
                               : lead >= 0xE0u && lead <= 0xEFu ? 3
                               : lead >= 0xF0u && lead <= 0xF4u ? 4
                                                                : 1;
    if (offset + length > text.size()) return 1;
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuation(static_cast<unsigned char>(text[offset + k]))) return 1;
    }
    return length;
}

OutputText::OutputText(std::string bytes, std::size_t blockBytes)
    : m_bytes(std::move(bytes)), m_blockBytes(std::max<std::size_t>(blockBytes, 1)) {
    const std::size_t blocks = (m_bytes.size() + m_blockBytes - 1) / m_blockBytes;
    m_breaksBefore.reserve(blocks + 1);
    std::uint64_t breaks = 0;
    for (std::size_t block = 0; block < blocks; ++block) {
        m_breaksBefore.push_back(breaks);
        const std::size_t from = block * m_blockBytes;
        breaks += countLineBreaks(m_bytes, from, std::min(from + m_blockBytes, m_bytes.size()));
    }
    m_breaksBefore.push_back(breaks);
}

bool OutputText::isBreakAt(std::size_t offset) const { return endsLine(m_bytes, offset); }

std::size_t OutputText::breakPosition(std::size_t number) const {
    // The block in which the count reaches `number`: the last one with fewer breaks before it.
    const auto after = std::lower_bound(m_breaksBefore.begin(), m_breaksBefore.end() - 1, number);
    const auto block = static_cast<std::size_t>(after - m_breaksBefore.begin()) - 1;
    std::size_t left = number - static_cast<std::size_t>(m_breaksBefore[block]);
    std::size_t i = block * m_blockBytes;
    const std::size_t end = std::min(i + m_blockBytes, m_bytes.size());
#if defined(__SSE2__)
    for (; i + 16 < end; i += 16) {
        const auto found = static_cast<std::size_t>(__builtin_popcount(breakMask(m_bytes.data(), i)));
        if (found >= left) break;
        left -= found;
    }
#endif
    for (; i < end; ++i) {
        if (isBreakAt(i) && --left == 0) return i;
    }
    return m_bytes.size();  // not reached while the index holds
}

std::size_t OutputText::lineStart(std::size_t line) const {
    if (line == 0) return 0;
    if (line >= lineCount()) return m_bytes.size();
    return breakPosition(line) + 1;
}

std::size_t OutputText::lineEnd(std::size_t line) const {
    if (line + 1 >= lineCount()) return m_bytes.size();
    const std::size_t end = breakPosition(line + 1);
    // The CR of a CR LF is part of the line end; it can't be the line's first byte, which follows a line end.
    return m_bytes[end] == '\n' && end > 0 && m_bytes[end - 1] == '\r' ? end - 1 : end;
}

std::size_t OutputText::lineOf(std::size_t offset) const {
    offset = std::min(offset, m_bytes.size());
    const std::size_t block = std::min(offset / m_blockBytes, m_breaksBefore.size() - 1);
    return static_cast<std::size_t>(m_breaksBefore[block]) + countLineBreaks(m_bytes, block * m_blockBytes, offset);
}

std::string OutputText::withLineEnds(std::size_t from, std::size_t to, std::string_view lineEnd) const {
    to = std::min(to, m_bytes.size());
    std::string text;
    if (from >= to) return text;
    text.reserve(to - from);
    const char* const data = m_bytes.data();
    std::size_t i = from;
    while (i < to) {
        const auto* lf = static_cast<const char*>(std::memchr(data + i, '\n', to - i));
        const std::size_t lfAt = lf ? static_cast<std::size_t>(lf - data) : to;
        const auto* cr = static_cast<const char*>(std::memchr(data + i, '\r', lfAt - i));
        const std::size_t stop = cr ? static_cast<std::size_t>(cr - data) : lfAt;
        text.append(data + i, stop - i);
        if (stop == to) break;
        text.append(lineEnd);
        i = stop + (data[stop] == '\r' && stop + 1 < m_bytes.size() && data[stop + 1] == '\n' ? 2 : 1);
    }
    return text;
}

std::size_t OutputText::characterStart(std::size_t offset) const {
    if (offset >= m_bytes.size()) return m_bytes.size();
    if (offset > 0 && m_bytes[offset] == '\n' && m_bytes[offset - 1] == '\r') return offset - 1;
    std::size_t lead = offset;
    while (lead > 0 && offset - lead < 3 && isContinuation(static_cast<unsigned char>(m_bytes[lead]))) --lead;
    return lead + utf8Length(m_bytes, lead) > offset ? lead : offset;
}

std::size_t OutputText::nextPosition(std::size_t offset) const {
    if (offset >= m_bytes.size()) return m_bytes.size();
    if (m_bytes[offset] == '\r' && offset + 1 < m_bytes.size() && m_bytes[offset + 1] == '\n') return offset + 2;
    return offset + utf8Length(m_bytes, offset);
}

std::size_t OutputText::previousPosition(std::size_t offset) const {
    if (offset == 0) return 0;
    offset = std::min(offset, m_bytes.size());
    if (offset >= 2 && m_bytes[offset - 1] == '\n' && m_bytes[offset - 2] == '\r') return offset - 2;
    return characterStart(offset - 1);
}

}  // namespace ravolin
