#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Byte-string helpers shared by the expansion, the settings file and the font description.
// Texts are plain bytes: nothing here interprets an encoding.

namespace ravolin {

// The line break inside multi-line texts, and the separator of their one-line file form.
inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr std::string_view kSeparator = ",";

// Position reported when a search finds nothing.
inline constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Replaces every occurrence of `pattern` (not empty), scanning left to right once; inserted text is
// never searched again, so a replacement that contains the pattern cannot loop.
std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement);

// ReplaceAll with the decimal text of `value` ("-2147483648", "0", "42").
std::string ReplaceAllWithNumber(std::string_view text, std::string_view token, std::int32_t value);

// The piece between the first `open` at or after `start` and the next `close` after it (or the end of
// the text). `closePos`, when given, receives the position of that `close`, or kNone.
std::string ExtractBetween(std::string_view text, std::string_view open, std::string_view close, std::size_t start,
                           std::size_t* closePos = nullptr);

// Every piece found by repeated ExtractBetween; a delimiter that closes one piece opens the next.
std::vector<std::string> SplitBetween(std::string_view text, std::string_view open, std::string_view close);

// The CR LF-separated lines of a text: an empty text is one empty line, a trailing CR LF adds an empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Appends the decimal text of `value`; the building block of ReplaceAllWithNumber and the expansion.
void appendDecimal(std::string& out, std::int32_t value);

}  // namespace ravolin
