#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The settings file is CP932 on disk; everything in memory is UTF-8.

namespace ravolin {

// Bytes CP932 cannot decode become U+FFFD; the rest is kept.
std::string cp932ToUtf8(std::string_view cp932);

// A table file's text: UTF-8 (without its byte order mark) where the bytes are valid UTF-8, otherwise CP932,
// as Japanese spreadsheets save CSV, decoded as cp932ToUtf8 does.
std::string tableFileText(std::string_view bytes);

// Characters CP932 lacks become "?" and set `lossy`. Invalid UTF-8 is treated the same way.
std::string utf8ToCp932(std::string_view utf8, bool* lossy = nullptr);
// The same, appended to `out`, so that text converted piece by piece can reuse one buffer. `replaced`, when
// given, receives the number of "?" this piece got for what CP932 lacks.
void appendUtf8AsCp932(std::string& out, std::string_view utf8, std::size_t* replaced = nullptr);

// Bytes taken by the CP932 character that `cp932` starts with: 2 for a lead byte followed by a trail byte,
// otherwise 1 (0 for an empty text).
std::size_t cp932CharLength(std::string_view cp932);

// The length of the longest prefix of `cp932` that holds at most `maxBytes` bytes and ends on a character
// boundary.
std::size_t cp932PrefixLength(std::string_view cp932, std::size_t maxBytes);

// The length, in UTF-8 bytes, of the longest prefix of `utf8` whose CP932 form (with "?" for what CP932
// lacks) takes at most `maxBytes` bytes.
std::size_t utf8PrefixForCp932Bytes(std::string_view utf8, std::size_t maxBytes);

}  // namespace ravolin
