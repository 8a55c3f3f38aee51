#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "conversion/Expansion.h"

// Decimal counters: a start and a step read as decimal texts and summed exactly in decimal, so that a step of
// 0.1 never shows binary noise such as 0.30000000000000004.

namespace ravolin {

// A decimal text as read: `units` / 10^`places`.
struct Decimal {
    std::int64_t units = 0;
    std::int32_t places = 0;

    bool operator==(const Decimal&) const = default;
};

inline constexpr std::int32_t kMaxDecimalDigits = 18;
inline constexpr std::int32_t kMaxDecimalPlaces = 9;

// An optional sign, digits, and an optional point followed by digits, at most 18 digits in all: `-1.25`, `0.1`,
// `+3`. Nullopt for anything else (blanks, a bare point, an exponent, more digits).
std::optional<Decimal> parseDecimal(std::string_view text);

// Room for any text a DecimalCounter writes: the width's 64 characters, or a sign, 18 digits, a point and 9.
inline constexpr std::size_t kDecimalTextCapacity = 64;

// The values of one decimal counter, step by step (an effective style: see effectiveStyle).
class DecimalCounter {
public:
    explicit DecimalCounter(const CounterStyle& style);

    // The text of start + step x `step`, rounded half away from zero to the places, "-" before a negative value,
    // padded to the style's width with zeros after the sign or blanks before it; written to `out`, which has room
    // for kDecimalTextCapacity bytes. Returns its length: 0, the empty text, where the integer part of the value
    // shown passes 18 digits.
    std::size_t write(std::uint64_t step, char* out) const;
    // The bytes of the texts of the steps from .. to - 1, in some thousands of steps' work at most.
    std::uint64_t textBytes(std::uint64_t from, std::uint64_t to) const;
    // Whether some step up to `lastStep` could show the empty text.
    bool mayBeEmpty(std::uint64_t lastStep) const;

private:
    __extension__ typedef __int128 Wide;
    __extension__ typedef unsigned __int128 UWide;

    // A value as shown: its magnitude in units of 10^-places, high * 10^18 + low, or past 18 digits before the
    // point (then only the side counts).
    struct Rounded {
        bool negative = false;
        std::uint64_t high = 0;
        std::uint64_t low = 0;
        bool tooLarge = false;
    };
    static constexpr std::int32_t kHalfDigitCount = 18;
    static constexpr std::uint64_t kHalfDigits = 1'000'000'000'000'000'000;
    static constexpr std::int32_t kTooLargeBand = 100;

    Rounded rounded(std::uint64_t step) const;
    // The sign and number of digits of a step's value (more digits, further from 0), and the bytes of the texts
    // of such values.
    std::int32_t band(std::uint64_t step) const;
    std::size_t bandBytes(std::int32_t band) const;

    // Start and step in units of 10^-m_scale.
    Wide m_start = 0;
    Wide m_step = 0;
    std::int32_t m_scale = 0;
    std::int32_t m_places = 0;
    std::size_t m_width = 0;
    bool m_zeroFill = true;
    // 10^(18 + scale), 10^(18 + places), and 10^|places - scale|: the bounds and the factor of every step.
    UWide m_scaledLimit = 0;
    UWide m_shownLimit = 0;
    UWide m_rescale = 1;
};

}  // namespace ravolin
