#include "conversion/DecimalCounter.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ravolin {
namespace {

__extension__ typedef __int128 Wide;
__extension__ typedef unsigned __int128 UWide;

// Up to 10^38, which __int128 still holds.
constexpr UWide pow10(std::int32_t n) {
    UWide power = 1;
    while (n-- > 0) power *= 10;
    return power;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<Decimal> parseDecimal(std::string_view text) {
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++at;
    std::int64_t units = 0;
    std::int32_t digits = 0;
    std::int32_t places = 0;
    const auto readDigits = [&](std::int32_t& count) {
        for (; at < text.size() && isDigit(text[at]); ++at, ++count, ++digits) {
            if (digits == kMaxDecimalDigits) return false;
            units = units * 10 + (text[at] - '0');
        }
        return count > 0;
    };
    std::int32_t whole = 0;
    if (!readDigits(whole)) return std::nullopt;
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (!readDigits(places)) return std::nullopt;
    }
    if (at != text.size()) return std::nullopt;
    return Decimal{negative ? -units : units, places};
}

DecimalCounter::DecimalCounter(const CounterStyle& style) {
    const Decimal start = parseDecimal(style.start).value_or(Decimal{});
    const Decimal step = parseDecimal(style.step).value_or(Decimal{});
    m_scale = std::max(start.places, step.places);
    m_start = Wide{start.units} * static_cast<Wide>(pow10(m_scale - start.places));
    m_step = Wide{step.units} * static_cast<Wide>(pow10(m_scale - step.places));
    m_places = std::min(style.places < 0 ? m_scale : style.places, kMaxDecimalPlaces);
    m_width = static_cast<std::size_t>(std::clamp(style.width, 0, 64));
    m_zeroFill = style.fill != 1;
    m_scaledLimit = pow10(kMaxDecimalDigits + m_scale);
    m_shownLimit = pow10(kMaxDecimalDigits + m_places);
    m_rescale = pow10(m_places >= m_scale ? m_places - m_scale : m_scale - m_places);
}

DecimalCounter::Rounded DecimalCounter::rounded(std::uint64_t step) const {
    Wide value = 0;
    if (__builtin_mul_overflow(m_step, static_cast<Wide>(step), &value) ||
        __builtin_add_overflow(value, m_start, &value))
        return {m_step < 0, 0, 0, true};  // beyond any 18 digits, on the side the steps go
    const bool negative = value < 0;
    UWide magnitude = negative ? UWide{0} - static_cast<UWide>(value) : static_cast<UWide>(value);
    // Now in units of 10^-places, rounded half away from zero; past 18 digits before the point, nothing.
    if (m_places >= m_scale) {
        if (magnitude >= m_scaledLimit) return {negative, 0, 0, true};
        magnitude *= m_rescale;
    } else if (magnitude >> 64 == 0) {
        // Most values fit 64 bits, whose division is a multiplication.
        const auto small = static_cast<std::uint64_t>(magnitude);
        const auto unit = static_cast<std::uint64_t>(m_rescale);
        const std::uint64_t rest = small % unit;
        magnitude = small / unit + (rest >= unit - rest ? 1 : 0);
    } else {
        const UWide whole = magnitude / m_rescale;
        const UWide rest = magnitude - whole * m_rescale;
        magnitude = whole + (rest >= m_rescale - rest ? 1 : 0);
    }
    if (magnitude >= m_shownLimit) return {negative, 0, 0, true};
    // No "-0.00": a value that rounds to zero has no sign.
    if (magnitude < kHalfDigits) return {negative && magnitude != 0, 0, static_cast<std::uint64_t>(magnitude), false};
    return {negative, static_cast<std::uint64_t>(magnitude / kHalfDigits),
            static_cast<std::uint64_t>(magnitude % kHalfDigits), false};
}

std::size_t DecimalCounter::write(std::uint64_t step, char* out) const {
    const Rounded value = rounded(step);
    if (value.tooLarge) return 0;
    // The digits of high and low, the point `places` digits from the end, at least one digit before it.
    char digits[kMaxDecimalDigits + kMaxDecimalPlaces + 2];
    char* const end = digits + sizeof digits;
    char* begin = end;
    std::uint64_t low = value.low;
    std::uint64_t high = value.high;
    for (std::int32_t written = 0; high != 0 || low != 0 || written <= m_places; ++written) {
        if (written == m_places && m_places > 0) *--begin = '.';
        *--begin = static_cast<char>('0' + low % 10);
        low /= 10;
        if (written == kHalfDigitCount - 1) low = std::exchange(high, 0);
    }
    const auto length = static_cast<std::size_t>(end - begin);
    const std::size_t shown = length + (value.negative ? 1 : 0);
    const std::size_t pad = m_width > shown ? m_width - shown : 0;
    char* at = out;
    if (!m_zeroFill) at = std::fill_n(at, pad, ' ');
    if (value.negative) *at++ = '-';
    if (m_zeroFill) at = std::fill_n(at, pad, '0');
    std::memcpy(at, begin, length);
    return static_cast<std::size_t>(at - out) + length;
}

std::int32_t DecimalCounter::band(std::uint64_t step) const {
    const Rounded value = rounded(step);
    if (value.tooLarge) return value.negative ? -kTooLargeBand : kTooLargeBand;
    std::int32_t digits = value.high != 0 ? kHalfDigitCount : 0;
    for (std::uint64_t n = value.high != 0 ? value.high : value.low; n != 0; n /= 10) ++digits;
    return value.negative ? -digits : digits;
}

std::size_t DecimalCounter::bandBytes(std::int32_t band) const {
    if (band == kTooLargeBand || band == -kTooLargeBand) return 0;
    const auto digits = static_cast<std::size_t>(std::max(band < 0 ? -band : band, m_places + 1));
    const std::size_t shown = digits + (m_places > 0 ? 1 : 0) + (band < 0 ? 1 : 0);
    return std::max(shown, m_width);
}

std::uint64_t DecimalCounter::textBytes(std::uint64_t from, std::uint64_t to) const {
    // The rounded value moves one way as the steps go, so its band (sign and number of digits, or past 18 of
    // them) does too: each band is one run of steps, whose end a binary search finds.
    std::uint64_t bytes = 0;
    while (from < to) {
        const std::int32_t at = band(from);
        std::uint64_t low = from;
        std::uint64_t high = to;
        while (high - low > 1) {
            const std::uint64_t middle = low + (high - low) / 2;
            (band(middle) == at ? low : high) = middle;
        }
        bytes += (high - from) * bandBytes(at);
        from = high;
    }
    return bytes;
}

bool DecimalCounter::mayBeEmpty(std::uint64_t lastStep) const {
    // The values run straight from the start, so the largest magnitude is at one end; rounding adds less than
    // a unit of the scale.
    const Wide start = m_start < 0 ? -m_start : m_start;
    const Wide step = m_step < 0 ? -m_step : m_step;
    Wide largest = 0;
    if (__builtin_mul_overflow(step, static_cast<Wide>(lastStep), &largest) ||
        __builtin_add_overflow(largest, start, &largest))
        return true;
    return static_cast<UWide>(largest) + pow10(m_scale) >= pow10(kMaxDecimalDigits + m_scale);
}

}  // namespace ravolin
