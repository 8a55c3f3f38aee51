#pragma once

#include <span>

namespace ravolin {

// One image of icon 128, as XPM text (header, colour table, rows).
struct IconImage {
    int size = 0;
    std::span<const char* const> xpm;
};

// Icon 128: a 32 x 32 and a 16 x 16 image, 16 colours each.
std::span<const IconImage> programIcon();

}  // namespace ravolin
