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

// The same for a counter whose text's length is known only by writing it: `lengthOf(step)` is asked once for
// each step the passes show (with a period, for each step of one period at most, which then repeats), each
// taking one of `steps` (kNoOutputLimit: no end); nullopt once they ran out. Pass p shows step p / repeat, started
// over every `period` steps (0: never).
std::optional<std::uint64_t> steppedTextBytes(std::uint64_t repeat, std::uint64_t period, std::uint64_t firstPass,
                                              std::uint64_t passes, std::size_t& steps,
                                              const std::function<std::size_t(std::uint64_t step)>& lengthOf);

}  // namespace ravolin
