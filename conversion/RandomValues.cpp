#include "conversion/RandomValues.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <chrono>
#include <exception>
#include <random>
#include <string>
#include <utility>

namespace ravolin {
namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr std::uint64_t kGamma = 0x9e3779b97f4a7c15u;
// Rounds enough that every permutation comes out about as often as any other: the halves of a small domain
// have few round functions to choose from, so it needs more of them (with 8 rounds, 5 places favoured some
// orders twice over; 32 rounds at up to 3 bits and 16 up to 6 bits pass a chi-square test of them).
constexpr unsigned feistelRounds(unsigned bits) { return bits <= 3 ? 32 : bits <= 6 ? 16 : 8; }

// Below 64 bits: the networks work on at most 63.
constexpr std::uint64_t lowBits(unsigned bits) { return (std::uint64_t{1} << bits) - 1; }

template <typename Give>
void giveSeeds(ExpansionInput& input, Give&& give) {
    for (std::size_t i = 0; i < input.counters.size(); ++i) {
        CounterInput& counter = input.counters[i];
        if (!counter.token.empty() && drawsFromSeed(counter.style)) give(counter.style.seed, i);
    }
    for (std::size_t i = 0; i < input.arrays.size(); ++i) {
        ArrayInput& array = input.arrays[i];
        if (!array.token.empty() && drawsFromSeed(array.style)) give(array.style.seed, kFirstArraySlot + i);
    }
}

}  // namespace

// Where a confined process has no source of entropy, the clock mixed with the slot: a fresh seed needs only to
// differ from run to run and from slot to slot.
std::uint64_t freshSeed(std::size_t slot) {
    for (;;) {
        std::uint64_t seed = 0;
        try {
            std::random_device device;
            seed = (std::uint64_t{device()} << 32) ^ device();
        } catch (const std::exception&) {
            const auto now = std::chrono::system_clock::now().time_since_epoch().count();
            seed = splitMix(static_cast<std::uint64_t>(now), slot);
        }
        if (seed != 0) return seed;
    }
}

std::uint64_t mix64(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
}

std::uint64_t splitMix(std::uint64_t key, std::uint64_t index) { return mix64(key + (index + 1) * kGamma); }

std::uint64_t feistel(std::uint64_t key, unsigned bits, std::uint64_t x) {
    // x = left << rightBits | right; a round makes it right << leftBits | (left ^ F(right)), which undoes itself
    // given the round key, so each round, and the network, is a bijection.
    unsigned leftBits = bits / 2;
    unsigned rightBits = bits - leftBits;
    const unsigned rounds = feistelRounds(bits);
    for (unsigned round = 0; round < rounds; ++round) {
        const std::uint64_t left = x >> rightBits;
        const std::uint64_t right = x & lowBits(rightBits);
        const std::uint64_t f = mix64((key + (round + 1) * kGamma) ^ right);
        x = (right << leftBits) | ((left ^ f) & lowBits(leftBits));
        std::swap(leftBits, rightBits);
    }
    return x;
}

std::uint64_t slotKey(std::uint64_t seed, std::size_t slot) { return splitMix(mix64(seed), slot); }

std::uint64_t uniformBelow(std::uint64_t key, std::uint64_t step, std::uint64_t n) {
    std::uint64_t word = splitMix(key, step);
    Wide product = Wide{word} * n;
    auto low = static_cast<std::uint64_t>(product);
    if (low < n) {
        const std::uint64_t threshold = (0 - n) % n;  // 2^64 mod n
        for (std::uint64_t attempt = 1; low < threshold; ++attempt) {
            word = splitMix(word, attempt);
            product = Wide{word} * n;
            low = static_cast<std::uint64_t>(product);
        }
    }
    return static_cast<std::uint64_t>(product >> 64);
}

std::uint64_t permuted(std::uint64_t key, std::uint64_t n, std::uint64_t index) {
    const auto bits = static_cast<unsigned>(std::bit_width(n - 1));
    std::uint64_t x = feistel(key, bits, index);
    while (x >= n) x = feistel(key, bits, x);
    return x;
}

std::uint64_t readSeed(std::string_view text) {
    std::uint64_t seed = 0;
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return 0;
    if (std::from_chars(text.data(), text.data() + text.size(), seed).ec != std::errc()) return 0;
    return seed;
}

bool drawsFromSeed(const CounterStyle& style) {
    const std::int32_t kind = effectiveStyle(style).kind;
    return kind == kKindRandom || kind == kKindUuid;
}

bool drawsFromSeed(const ArrayStyle& style) { return effectiveStyle(style).order != kOrderWritten; }

void fillFreshSeeds(ExpansionInput& input) {
    giveSeeds(input, [](std::string& seed, std::size_t slot) {
        if (readSeed(seed) == 0) seed = std::to_string(freshSeed(slot));
    });
}

void setRunSeed(ExpansionInput& input, std::uint64_t runSeed) {
    giveSeeds(input, [&](std::string& seed, std::size_t slot) { seed = std::to_string(splitMix(runSeed, slot)); });
}

RandomCounter::RandomCounter(const CounterStyle& style, std::size_t slot)
    : m_key(slotKey(readSeed(style.seed), slot)),
      m_minimum(std::min(style.minimum, style.maximum)),
      m_count(static_cast<std::uint64_t>(std::int64_t{std::max(style.minimum, style.maximum)} - m_minimum + 1)),
      m_unique(style.unique == 1),
      m_uuid(style.kind == kKindUuid) {}

std::int32_t RandomCounter::value(std::uint64_t step) const {
    const std::uint64_t offset = m_unique ? permuted(splitMix(m_key, step / m_count), m_count, step % m_count)
                                          : uniformBelow(m_key, step, m_count);
    return static_cast<std::int32_t>(m_minimum + static_cast<std::int64_t>(offset));
}

void RandomCounter::writeUuid(std::uint64_t step, bool upper, char* out) const {
    const std::uint64_t high = splitMix(m_key, step);
    const std::uint64_t low = splitMix(high, 1);
    // The version nibble 4 in place of bits 48-51, the variant 10 in the top bits of the second half.
    const std::uint64_t words[2] = {(high & ~std::uint64_t{0xF000}) | 0x4000, (low >> 2) | (std::uint64_t{1} << 63)};
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::size_t at = 0;
    for (std::size_t nibble = 0; nibble < 32; ++nibble) {
        if (nibble == 8 || nibble == 12 || nibble == 16 || nibble == 20) out[at++] = '-';
        const std::uint64_t word = words[nibble / 16];
        out[at++] = digits[(word >> (60 - 4 * (nibble % 16))) & 15u];
    }
}

LineOrder::LineOrder(const ArrayStyle& style, std::size_t slot, std::size_t lineCount, bool lastLineEmpty)
    : m_key(slotKey(readSeed(style.seed), kFirstArraySlot + slot)),
      m_count(lineCount),
      m_order(style.order),
      m_end(style.end) {
    if (m_order != kOrderWritten && lineCount >= 2 && lastLineEmpty) --m_count;
}

std::optional<std::size_t> LineOrder::line(std::uint64_t index) const {
    const std::optional<std::size_t> place = arrayLine(index, m_count, m_end);
    if (!place || m_order == kOrderWritten) return place;
    if (m_order == kOrderDrawn) return static_cast<std::size_t>(uniformBelow(m_key, index, m_count));
    const std::uint64_t round = m_end == kEndCycle ? index / m_count : 0;
    return static_cast<std::size_t>(permuted(splitMix(m_key, round), m_count, *place));
}

}  // namespace ravolin
