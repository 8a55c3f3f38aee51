#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "conversion/Expansion.h"

namespace ravolin {

// A token field holds at most this many CP932 bytes (a 16-byte field with its terminator).
inline constexpr std::size_t kTokenMaxBytes = 15;

struct NumericSlot {
    std::string token;  // UTF-8
    std::int32_t initialValue = 0;
    std::int32_t increment = 0;
    CounterStyle style;  // keys of ours; the defaults when the file has none

    bool operator==(const NumericSlot&) const = default;
};

struct ArraySlot {
    std::string token;       // UTF-8
    std::string valuesText;  // line form: CR LF between values
    ArrayStyle style;        // keys of ours; the defaults when the file has none

    bool operator==(const ArraySlot&) const = default;
};

// The counters and arrays the pages show and the restore command brings back.
struct Settings {
    std::array<NumericSlot, kCounterCount> counters;
    std::array<ArraySlot, kArrayCount> arrays;

    bool operator==(const Settings&) const = default;
};

// The values the main window keeps for itself (its persisted members).
struct WindowSettings {
    std::int32_t loopCount = 0;
    std::int32_t beep = 0;
    std::int32_t tray = 0;
    std::int32_t autoSave = 0;
    std::string templateText;  // line form
    std::string font;          // font description, as stored
    OutputShape shape;         // keys of ours: the header, the joiner of the passes and the footer

    bool operator==(const WindowSettings&) const = default;
};

// Everything a job is: what the settings file stores, what the window shows and what a run expands. Each
// setting of a slot lives once, in its slot.
struct Document {
    WindowSettings window;
    Settings record;

    bool operator==(const Document&) const = default;
};

}  // namespace ravolin
