#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "conversion/Expansion.h"

// Random values that a seed brings back: every value is a function of (seed, slot, step) alone, from a
// counter-based generator built on SplitMix64, so a run gives the same bytes however it is cut into ranges,
// whatever the other slots do and on any machine.
namespace ravolin {

// The slot a seed is mixed with, so that slots sharing a seed draw apart: counters 0-4, arrays 5-13.
inline constexpr std::size_t kFirstArraySlot = kCounterCount;

// SplitMix64's output function: a bijection of 64-bit words in which every input bit moves every output bit.
std::uint64_t mix64(std::uint64_t z);
// The output of SplitMix64 started at `key` for position `index`: mix64(key + (index + 1) x the golden gamma).
std::uint64_t splitMix(std::uint64_t key, std::uint64_t index);
// A keyed Feistel network on the words of `bits` bits (0-63): a bijection of 0 .. 2^bits - 1. Odd widths take
// halves one bit apart, which swap places each round.
std::uint64_t feistel(std::uint64_t key, unsigned bits, std::uint64_t x);

// The key of one slot's draws: the seed and the slot mixed.
std::uint64_t slotKey(std::uint64_t seed, std::size_t slot);
// A value uniform over 0 .. n - 1 (n at least 1) for `step` of the slot keyed `key`: Lemire's multiply and
// shift, which rejects the few words that would favour low values and then draws again from SplitMix64 started
// at the rejected word, so the step's value still depends on nothing else.
std::uint64_t uniformBelow(std::uint64_t key, std::uint64_t step, std::uint64_t n);
// Place `index` (below n) of the permutation of 0 .. n - 1 keyed by `key`: the Feistel network over the least
// power of two not below n, applied again while it leaves the range (cycle walking).
std::uint64_t permuted(std::uint64_t key, std::uint64_t n, std::uint64_t index);

// A seed as stored: an unsigned 64-bit decimal; anything else (also empty) reads as 0.
std::uint64_t readSeed(std::string_view text);
// Whether a slot of this style takes values from its seed: a random or UUID counter, a shuffled or drawn array.
bool drawsFromSeed(const CounterStyle& style);
bool drawsFromSeed(const ArrayStyle& style);
// A seed no one chose, never 0 (which asks for a fresh one): from the system's entropy.
std::uint64_t freshSeed(std::size_t slot);
// Gives every slot that is on (has a token), draws and has no seed (one that reads as 0) a fresh non-zero seed
// from the system's entropy, as decimal text. A run calls it once before it starts, so that every range of it
// draws from the same seeds and the seeds can be shown and kept.
void fillFreshSeeds(ExpansionInput& input);
// Sets every seed of the run from one number: each slot that draws gets a seed mixed from it and the slot.
void setRunSeed(ExpansionInput& input, std::uint64_t runSeed);

// The values of a random integer or UUID counter, step by step.
class RandomCounter {
public:
    // `style` as effectiveStyle gives it; `slot` 0-4.
    RandomCounter(const CounterStyle& style, std::size_t slot);

    bool isUuid() const { return m_uuid; }
    // The random integer of `step`: uniform over minimum..maximum, or with unique, place step mod n of the
    // permutation of round step / n.
    std::int32_t value(std::uint64_t step) const;
    // The UUID of `step` (version 4, variant 10): 36 bytes at `out`, in upper case when asked.
    void writeUuid(std::uint64_t step, bool upper, char* out) const;

    std::int64_t minimum() const { return m_minimum; }
    std::uint64_t count() const { return m_count; }
    bool unique() const { return m_unique; }

private:
    std::uint64_t m_key = 0;
    std::int64_t m_minimum = 0;
    std::uint64_t m_count = 1;
    bool m_unique = false;
    bool m_uuid = false;
};

inline constexpr std::size_t kUuidLength = 36;

// The line an array shows at each line index, its order included. Shuffled and drawn arrays leave out the
// empty last line that a closing CR LF gives; a shuffled one shows, where arrayLine gives place i, place i of
// a permutation of its lines (a new one each round when it cycles, round = index / lines); a drawn one shows,
// wherever arrayLine shows something, a line drawn for that index alone.
class LineOrder {
public:
    // `style` as effectiveStyle gives it; `slot` 0-8; `lineCount` lines as split, the last of them empty when
    // `lastLineEmpty`.
    LineOrder(const ArrayStyle& style, std::size_t slot, std::size_t lineCount, bool lastLineEmpty);

    // The lines that take part: the first lineCount() of the split ones.
    std::size_t lineCount() const { return m_count; }
    std::int32_t order() const { return m_order; }
    std::int32_t end() const { return m_end; }
    std::optional<std::size_t> line(std::uint64_t index) const;

private:
    std::uint64_t m_key = 0;
    std::size_t m_count = 0;
    std::int32_t m_order = kOrderWritten;
    std::int32_t m_end = kEndEmpty;
};

}  // namespace ravolin
