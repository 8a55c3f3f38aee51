#pragma once

#include <cstddef>
#include <cstdint>

#include "conversion/Expansion.h"

// The size of a counter's text over any number of passes, reckoned without visiting them: the size line of
// the format dialog asks it at two billion passes after every change.
namespace ravolin {

// The digits `magnitude` takes in `format` (a CounterFormat in range), without sign or padding.
std::size_t counterDigitCount(std::uint32_t magnitude, std::int32_t format);

// The bytes `counter`'s text takes over the passes firstPass .. firstPass + passes - 1, summed as the expansion
// writes them (sign, padding, format, repeat and period), in a time that doesn't grow with the passes.
std::uint64_t counterTextBytes(const CounterInput& counter, std::uint64_t firstPass, std::uint64_t passes);

}  // namespace ravolin
