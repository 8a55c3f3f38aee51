#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "conversion/Expansion.h"

// The size of a counter's text over any number of passes, reckoned without visiting them: the size line of
// the format dialog asks it at two billion passes after every change.
namespace ravolin {

// The digits `magnitude` takes in `format` (a CounterFormat in range), without sign or padding; for the Japanese
// formats, characters.
std::size_t counterDigitCount(std::uint32_t magnitude, std::int32_t format);

// The bytes `counter`'s text takes over the passes firstPass .. firstPass + passes - 1, summed as the expansion
// writes them (sign, padding, format, repeat and period), in a time that doesn't grow with the passes. Not for
// kanji with units (kFormatKanji), whose length follows the zeros inside the number: see steppedTextBytes.
std::uint64_t counterTextBytes(const CounterInput& counter, std::uint64_t firstPass, std::uint64_t passes);

// The same for a counter whose text's length is known only by writing it: `stepsBytes(from, to)` gives the bytes
// of the steps from .. to - 1 shown once each (within one period, where there is one), or nullopt where it
// gives up. Pass p shows step p / repeat, started over every `period` steps (0: never).
using StepsBytes = std::function<std::optional<std::uint64_t>(std::uint64_t from, std::uint64_t to)>;
std::optional<std::uint64_t> steppedTextBytes(std::uint64_t repeat, std::uint64_t period, std::uint64_t firstPass,
                                              std::uint64_t passes, const StepsBytes& stepsBytes);

}  // namespace ravolin
