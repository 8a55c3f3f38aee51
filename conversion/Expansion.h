#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

namespace ravolin {

inline constexpr std::size_t kCounterCount = 5;
inline constexpr std::size_t kArrayCount = 9;

// A numeric counter as read from the controls when a run starts. An empty token switches it off.
struct CounterInput {
    std::string token;
    std::int32_t initialValue = 0;
    std::int32_t increment = 0;
    // Pass p shows step p / repeat, started over every `period` steps (0 or below: never).
    std::int32_t repeat = 1;
    std::int32_t period = 0;
    // 0 decimal, 1 and 2 hexadecimal lower and upper, 3 octal, 4 binary, 5 and 6 letters lower and upper;
    // `width` is the least length, filled with zeros after the sign, or with blanks before it when fill is 1.
    std::int32_t format = 0;
    std::int32_t width = 0;
    std::int32_t fill = 0;
};

// An array as read from the controls: its values one per line, CR LF between lines.
struct ArrayInput {
    std::string token;
    std::string valuesText;
    // Pass p shows line p / repeat; past the last line: 0 nothing, 1 from the first line again, 2 the last line.
    std::int32_t repeat = 1;
    std::int32_t end = 0;
};

// Everything one expansion needs; a run gathers it once from what the window shows.
struct ExpansionInput {
    std::string templateText;
    std::int32_t loopCount = 0;
    // The pass the counters count from, so that a run cut into ranges carries its counters on; arrays always
    // start at their first line.
    std::int32_t firstPass = 0;
    std::array<CounterInput, kCounterCount> counters;
    std::array<ArrayInput, kArrayCount> arrays;
};

struct ExpansionResult {
    std::string text;
    // Set when the output would have grown past the limit; `text` is then empty.
    bool limitReached = false;
};

inline constexpr std::size_t kNoOutputLimit = std::numeric_limits<std::size_t>::max();

// Writes the template once per pass, replacing counter tokens (slots 1-5) then array tokens (slots 1-9)
// in order, and joins the passes with CR LF. With a limit, an output longer than `outputLimit` bytes is
// not built: the result is empty and says so. So is one whose single pass, on its way, grows past both the
// limit and 256 MiB (values holding later tokens multiply).
ExpansionResult ExpandTemplate(const ExpansionInput& input, std::size_t outputLimit);
std::string ExpandTemplate(const ExpansionInput& input);

}  // namespace ravolin
