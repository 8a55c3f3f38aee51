#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "conversion/LineList.h"
#include "conversion/RandomValues.h"

// The bytes that random values take over many passes. What is the same every round is reckoned at once: a
// UUID's 36 bytes, values whose texts are all one length, a unique round (every value once), a shuffled round
// (every line once); the rest is counted a text at a time, within a budget.
namespace ravolin {

// What counting texts one at a time may spend: `texts` left (kNoOutputLimit: no end), and the bytes past which
// the exact count no longer matters (a count that passes them stops with what it has, already above them).
struct TextBudget {
    std::size_t& texts;
    std::size_t limit = kNoOutputLimit;
};

// The bytes of a random or UUID counter's text over passes firstPass .. firstPass + passes - 1, pass p showing
// step (p / repeat) mod period as an integer counter does; `textBytes` gives a value's text length. Nothing once
// the budget's texts ran out.
std::optional<std::size_t> randomCounterBytes(const RandomCounter& random, const CounterInput& counter,
                                              std::uint64_t firstPass, std::uint64_t passes,
                                              const std::function<std::size_t(std::int32_t)>& textBytes,
                                              TextBudget budget);

// The bytes a shuffled or drawn array shows over passes 0 .. passes - 1, each line index `repeat` passes;
// `lines` are the lines that take part, `nothing` the bytes a pass shows once they have run out.
std::optional<std::size_t> orderedArrayBytes(const LineOrder& order, const LineList& lines, std::size_t nothing,
                                             std::uint64_t passes, std::uint64_t repeat, TextBudget budget);

}  // namespace ravolin
