#pragma once

#include <string>
#include <string_view>

// The settings file is CP932 on disk; everything in memory is UTF-8.

namespace ravolin {

// Bytes CP932 cannot decode become U+FFFD; the rest is kept.
std::string Cp932ToUtf8(std::string_view cp932);

// Characters CP932 lacks become "?" and set `lossy`. Invalid UTF-8 is treated the same way.
std::string Utf8ToCp932(std::string_view utf8, bool* lossy = nullptr);

}  // namespace ravolin
