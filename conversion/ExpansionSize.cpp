#include "conversion/ExpansionSize.h"

#include <algorithm>
#include <bit>
#include <tuple>
#include <utility>
#include <vector>

#include "conversion/JapaneseNumbers.h"

// A counter shows initial + step * increment in 32-bit arithmetic, so its values run through an arithmetic
// progression modulo 2^32, and the length of a value's text changes only where its sign or its number of digits
// does: a few dozen bands of values. The bytes of n steps are the number of steps falling in each band times the
// band's length, and the number of terms of such a progression below a bound is a difference of floor sums,
// which Euclid's reduction reckons in some dozens of rounds whatever n is. Repeat and period only regroup the
// steps: a period's bytes times the whole periods, plus the steps left over.

namespace ravolin {
namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr std::uint64_t kModulus = std::uint64_t{1} << 32;
// The magnitude of INT32_MIN, and the first value (as unsigned bits) that shows a sign.
constexpr std::uint64_t kHalf = kModulus / 2;

// The sum of floor((a * i + b) / m) for i from 0 to n - 1.
Wide floorSum(Wide n, Wide m, Wide a, Wide b) {
    Wide sum = 0;
    for (;;) {
        if (a >= m) {
            sum += n * (n - 1) / 2 * (a / m);
            a %= m;
        }
        if (b >= m) {
            sum += n * (b / m);
            b %= m;
        }
        const Wide top = a * n + b;
        if (top < m) return sum;
        n = top / m;
        b = top % m;
        std::swap(m, a);
    }
}

// The values from `first` (as unsigned bits) up to the next band's first all have a text `length` bytes long.
struct Band {
    std::uint64_t first = 0;
    std::uint64_t length = 0;
};

std::uint64_t textLength(std::uint64_t value, std::int32_t format, std::uint64_t width) {
    const bool negative = value >= kHalf;
    const auto magnitude = static_cast<std::uint32_t>(negative ? kModulus - value : value);
    if (isJapaneseFormat(format))
        return japaneseNumberBytes(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)), format, width);
    return std::max<std::uint64_t>(width, counterDigitCount(magnitude, format) + (negative ? 1 : 0));
}

// The bands of all 2^32 values, in order, each with a length other than its neighbours'.
std::vector<Band> lengthBands(std::int32_t format, std::uint64_t width) {
    // The magnitudes that take one digit more than the one before; the count never falls as magnitudes grow.
    // Circled numbers are decimal digits but for the signs of 0-50, which end where 51 starts.
    const std::int32_t digitsOf = format == kFormatCircled ? kFormatDecimal : format;
    std::vector<std::uint64_t> longer;
    if (format == kFormatCircled) longer.push_back(51);
    for (std::uint64_t from = 0;;) {
        const std::size_t digits = counterDigitCount(static_cast<std::uint32_t>(from), digitsOf);
        if (counterDigitCount(static_cast<std::uint32_t>(kHalf), digitsOf) == digits) break;
        std::uint64_t low = from;
        std::uint64_t high = kHalf;
        while (high - low > 1) {
            const std::uint64_t middle = low + (high - low) / 2;
            (counterDigitCount(static_cast<std::uint32_t>(middle), digitsOf) > digits ? high : low) = middle;
        }
        longer.push_back(high);
        from = high;
    }
    // Non-negative values grow from 0, negative ones shrink in magnitude from INT32_MIN: a band starts where
    // a value has one digit more than the one before it, or one fewer than the one after.
    std::vector<std::uint64_t> firsts = {0, kHalf};
    for (const std::uint64_t magnitude : longer) {
        if (magnitude < kHalf) firsts.push_back(magnitude);
        firsts.push_back(kModulus - magnitude + 1);
    }
    std::sort(firsts.begin(), firsts.end());
    std::vector<Band> bands;
    for (const std::uint64_t first : firsts) {
        const std::uint64_t length = textLength(first, format, width);
        if (bands.empty() || bands.back().length != length) bands.push_back({first, length});
    }
    return bands;
}

// The bytes of the texts of the n values a, a + d, a + 2d, ... modulo 2^32.
std::uint64_t progressionBytes(const std::vector<Band>& bands, std::uint32_t a, std::uint32_t d, std::uint64_t n) {
    if (n == 0) return 0;
    // Of the terms a + d*i, those whose remainder lies below c are floor((a + d*i) / 2^32) minus
    // floor((a + d*i + 2^32 - c) / 2^32) plus one each.
    const Wide whole = floorSum(n, kModulus, d, a);
    const auto below = [&](std::uint64_t c) {
        return c == 0 ? Wide{0} : whole - floorSum(n, kModulus, d, Wide{a} + kModulus - c) + n;
    };
    Wide bytes = 0;
    Wide belowFirst = 0;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const Wide belowNext = i + 1 < bands.size() ? below(bands[i + 1].first) : Wide{n};
        bytes += (belowNext - belowFirst) * bands[i].length;
        belowFirst = belowNext;
    }
    return static_cast<std::uint64_t>(bytes);
}

}  // namespace

std::size_t counterDigitCount(std::uint32_t magnitude, std::int32_t format) {
    const auto bits = static_cast<std::size_t>(std::max(1, static_cast<int>(std::bit_width(magnitude))));
    switch (format) {
        case kFormatHexLower:
        case kFormatHexUpper:
            return (bits + 3) / 4;
        case kFormatOctal:
            return (bits + 2) / 3;
        case kFormatBinary:
            return bits;
        case kFormatLettersLower:
        case kFormatLettersUpper: {
            std::size_t count = 0;
            for (std::uint64_t n = std::uint64_t{magnitude} + 1; n > 0; n = (n - 1) / 26) ++count;
            return count;
        }
        case kFormatKanji:
        case kFormatCircled:
        case kFormatIroha:
        case kFormatAiueo:
            return japaneseDigitCount(magnitude, format);
        default: {
            static constexpr std::uint32_t kPowers[] = {10u,      100u,      1000u,      10000u,     100000u,
                                                        1000000u, 10000000u, 100000000u, 1000000000u};
            std::size_t digits = 1;
            while (digits < 10 && magnitude >= kPowers[digits - 1]) ++digits;
            return digits;
        }
    }
}

std::uint64_t counterTextBytes(const CounterInput& counter, std::uint64_t firstPass, std::uint64_t passes) {
    const CounterStyle style = effectiveStyle(counter.style);
    const std::vector<Band> bands = lengthBands(style.format, static_cast<std::uint64_t>(style.width));
    const auto initial = static_cast<std::uint32_t>(counter.initialValue);
    const auto increment = static_cast<std::uint32_t>(counter.increment);
    const auto repeat = static_cast<std::uint64_t>(style.repeat);
    const auto period = static_cast<std::uint64_t>(style.period);

    const auto lengthAt = [&](std::uint64_t step) {
        if (period > 0) step %= period;
        const std::uint32_t value = initial + static_cast<std::uint32_t>(step) * increment;
        const auto after = std::upper_bound(bands.begin(), bands.end(), std::uint64_t{value},
                                            [](std::uint64_t v, const Band& band) { return v < band.first; });
        return std::prev(after)->length;
    };
    // Steps 0 .. count - 1.
    const auto stepBytes = [&](std::uint64_t count) {
        if (period == 0) return progressionBytes(bands, initial, increment, count);
        return count / period * progressionBytes(bands, initial, increment, period) +
               progressionBytes(bands, initial, increment, count % period);
    };
    // Passes 0 .. count - 1: each step is shown for `repeat` passes.
    const auto passBytes = [&](std::uint64_t count) {
        return repeat * stepBytes(count / repeat) + count % repeat * lengthAt(count / repeat);
    };
    return passBytes(firstPass + passes) - passBytes(firstPass);
}

std::optional<std::uint64_t> steppedTextBytes(std::uint64_t repeat, std::uint64_t period, std::uint64_t firstPass,
                                              std::uint64_t passes, const StepsBytes& stepsBytes) {
    if (passes == 0) return 0;
    // Passes first .. end - 1 are the steps from .. to - 1 each shown `repeat` times, less the passes of step
    // `from` before the first, plus those of step `to` before the end.
    const std::uint64_t end = firstPass + passes;
    const std::uint64_t from = firstPass / repeat;
    const std::uint64_t to = end / repeat;
    const auto within = [period](std::uint64_t step) { return period > 0 ? step % period : step; };
    std::optional<std::uint64_t> steps;
    if (period == 0 || from / period == to / period) {
        steps = stepsBytes(within(from), within(from) + (to - from));
    } else {
        // Whole periods, and the steps between where the first starts and where the last ends (a difference
        // that may be negative: the arithmetic wraps back).
        const std::uint64_t a = within(from);
        const std::uint64_t b = within(to);
        const std::optional<std::uint64_t> whole = stepsBytes(0, period);
        const std::optional<std::uint64_t> part = a <= b ? stepsBytes(a, b) : stepsBytes(b, a);
        if (whole && part) steps = (to / period - from / period) * *whole + (a <= b ? *part : 0 - *part);
    }
    if (!steps) return std::nullopt;
    std::uint64_t bytes = repeat * *steps;
    for (const auto& [step, count, sign] : {std::tuple{to, end % repeat, 1}, {from, firstPass % repeat, -1}}) {
        if (count == 0) continue;
        const std::optional<std::uint64_t> one = stepsBytes(within(step), within(step) + 1);
        if (!one) return std::nullopt;
        bytes += sign > 0 ? count * *one : 0 - count * *one;
    }
    return bytes;
}

}  // namespace ravolin
