#include "conversion/TextHelpers.h"

#include <charconv>

namespace ravolin {

std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement) {
    // Built into a fresh string rather than edited in place, so the cost stays linear in the text.
    std::string result;
    std::size_t from = 0;
    std::size_t found = text.find(pattern, from);
    if (found == std::string_view::npos) return std::string(text);
    result.reserve(text.size());
    while (found != std::string_view::npos) {
        result.append(text, from, found - from);
        result.append(replacement);
        from = found + pattern.size();
        found = text.find(pattern, from);
    }
    result.append(text, from, std::string_view::npos);
    return result;
}

void appendDecimal(std::string& out, std::int32_t value) {
    char buffer[12];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec;  // 12 bytes always hold a 32-bit value and its sign
    out.append(buffer, end);
}

std::string ReplaceAllWithNumber(std::string_view text, std::string_view token, std::int32_t value) {
    std::string digits;
    appendDecimal(digits, value);
    return ReplaceAll(text, token, digits);
}

std::string ExtractBetween(std::string_view text, std::string_view open, std::string_view close, std::size_t start,
                           std::size_t* closePos) {
    auto report = [closePos](std::size_t pos) {
        if (closePos) *closePos = pos;
    };
    if (start >= text.size()) {
        report(kNone);
        return {};
    }
    const std::size_t openPos = text.find(open, start);
    if (openPos == std::string_view::npos) {
        report(kNone);
        return {};
    }
    const std::size_t begin = openPos + open.size();
    const std::size_t endPos = text.find(close, begin);
    if (endPos == std::string_view::npos) {
        report(kNone);
        return std::string(text.substr(begin));
    }
    report(endPos);
    return std::string(text.substr(begin, endPos - begin));
}

std::vector<std::string> SplitBetween(std::string_view text, std::string_view open, std::string_view close) {
    std::vector<std::string> pieces;
    std::size_t pos = 0;
    for (;;) {
        std::size_t closePos = kNone;
        std::string piece = ExtractBetween(text, open, close, pos, &closePos);
        if (closePos == kNone) return pieces;
        pieces.push_back(std::move(piece));
        pos = closePos;
    }
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::string wrapped;
    wrapped.reserve(text.size() + 2 * kLineBreak.size());
    wrapped.append(kLineBreak).append(text).append(kLineBreak);
    return SplitBetween(wrapped, kLineBreak, kLineBreak);
}

}  // namespace ravolin
