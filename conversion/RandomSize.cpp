#include "conversion/RandomSize.h"

#include <algorithm>
#include <initializer_list>

#include "conversion/ExpansionSize.h"

namespace ravolin {
namespace {

using Sum = std::optional<std::size_t>;
// The bytes of steps a .. b - 1 (or line indexes).
using StepSum = std::function<Sum(std::uint64_t a, std::uint64_t b)>;

// Saturating, so that a size beyond any limit stays beyond it; nothing stays nothing.
Sum add(Sum a, Sum b) {
    if (!a || !b) return std::nullopt;
    return *a > kNoOutputLimit - *b ? kNoOutputLimit : *a + *b;
}
Sum mul(Sum a, std::uint64_t n) {
    if (!a) return std::nullopt;
    std::size_t product = 0;
    return __builtin_mul_overflow(*a, n, &product) ? kNoOutputLimit : product;
}

// Steps a .. b - 1 a text at a time.
template <typename Length>
Sum oneByOne(std::uint64_t a, std::uint64_t b, TextBudget& budget, Length&& length) {
    std::size_t sum = 0;
    for (std::uint64_t s = a; s < b; ++s) {
        if (budget.texts == 0) return std::nullopt;
        if (budget.texts != kNoOutputLimit) --budget.texts;
        sum = *add(sum, length(s));
        if (sum > budget.limit) return sum;
    }
    return sum;
}

// Steps a .. b - 1 where every round of n steps (from step 0) brings the same bytes, `round`: whole rounds at
// once, the rest a text at a time.
template <typename Length>
Sum byRounds(std::uint64_t a, std::uint64_t b, std::uint64_t n, std::size_t round, TextBudget& budget,
             Length&& length) {
    Sum sum = 0;
    while (a < b && sum) {
        if (a % n == 0 && b - a >= n) {
            const std::uint64_t rounds = (b - a) / n;
            sum = add(sum, mul(round, rounds));
            a += rounds * n;
            continue;
        }
        const std::uint64_t to = std::min(b, a - a % n + n);
        sum = add(sum, oneByOne(a, to, budget, length));
        a = to;
    }
    return sum;
}

// The bytes of passes first .. first + passes - 1, pass p showing step (p / repeat) mod period (0: never over).
Sum passBytes(std::uint64_t first, std::uint64_t passes, std::uint64_t repeat, std::uint64_t period,
              const StepSum& steps) {
    if (passes == 0) return 0;
    // Steps from .. from + count - 1 before the period wraps them.
    const auto wrapped = [&](std::uint64_t from, std::uint64_t count) -> Sum {
        if (count == 0) return 0;
        if (period == 0) return steps(from, from + count);
        const std::uint64_t a = from % period;
        if (count <= period - a) return steps(a, a + count);
        const std::uint64_t rest = count - (period - a);
        Sum sum = steps(a, period);
        if (rest >= period) sum = add(sum, mul(steps(0, period), rest / period));
        return add(sum, steps(0, rest % period));
    };
    const std::uint64_t end = first + passes;
    const std::uint64_t firstStep = first / repeat;
    const std::uint64_t endStep = end / repeat;
    if (firstStep == endStep) return mul(wrapped(firstStep, 1), passes);
    Sum sum = add(mul(wrapped(firstStep, 1), repeat - first % repeat),
                  mul(wrapped(firstStep + 1, endStep - firstStep - 1), repeat));
    if (end % repeat != 0) sum = add(sum, mul(wrapped(endStep, 1), end % repeat));
    return sum;
}

}  // namespace

std::optional<std::size_t> randomCounterBytes(const RandomCounter& random, const CounterInput& counter,
                                              std::uint64_t firstPass, std::uint64_t passes,
                                              const std::function<std::size_t(std::int32_t)>& textBytes,
                                              TextBudget budget) {
    const CounterStyle style = effectiveStyle(counter.style);
    const auto repeat = static_cast<std::uint64_t>(style.repeat);
    const auto period = static_cast<std::uint64_t>(style.period);
    if (random.isUuid()) return mul(kUuidLength, passes);
    const std::int64_t low = random.minimum();
    const std::int64_t high = low + static_cast<std::int64_t>(random.count()) - 1;
    // Digits, signs and widths grow with the magnitude in these formats: when the extremes of each sign have one
    // length, every value has it.
    std::optional<std::size_t> oneLength;
    if (style.format <= kFormatLettersUpper) {
        std::vector<std::int64_t> extremes;
        if (low < 0) extremes.insert(extremes.end(), {low, std::min<std::int64_t>(high, -1)});
        if (high >= 0) extremes.insert(extremes.end(), {std::max<std::int64_t>(low, 0), high});
        oneLength = textBytes(static_cast<std::int32_t>(extremes.front()));
        for (const std::int64_t value : extremes) {
            if (textBytes(static_cast<std::int32_t>(value)) != *oneLength) oneLength.reset();
            if (!oneLength) break;
        }
    }
    const auto length = [&](std::uint64_t step) { return textBytes(random.value(step)); };
    std::size_t round = 0;
    // Kanji with units have no closed form of their bytes: their unique rounds are counted a step at a time.
    const bool byRound = random.unique() && style.format != kFormatKanji;
    if (byRound && !oneLength) {
        // A unique round shows every value once: the bytes of an integer counter from the minimum, one by one.
        CounterInput ascending;
        ascending.initialValue = static_cast<std::int32_t>(low);
        ascending.increment = 1;
        ascending.style.format = style.format;
        ascending.style.width = style.width;
        ascending.style.fill = style.fill;
        round = counterTextBytes(ascending, 0, random.count());
    }
    const StepSum steps = [&](std::uint64_t a, std::uint64_t b) -> Sum {
        if (oneLength) return mul(*oneLength, b - a);
        if (byRound) return byRounds(a, b, random.count(), round, budget, length);
        return oneByOne(a, b, budget, length);
    };
    return passBytes(firstPass, passes, repeat, period, steps);
}

std::optional<std::size_t> orderedArrayBytes(const LineOrder& order, const LineList& lines, std::size_t nothing,
                                             std::uint64_t passes, std::uint64_t repeat, TextBudget budget) {
    const std::uint64_t n = order.lineCount();
    const std::size_t total = lines.bytes(0, n);
    bool oneLength = true;
    for (std::size_t i = 0; i < n && oneLength; ++i) oneLength = lines[i].size() == lines[0].size();
    const auto length = [&](std::uint64_t index) {
        const std::optional<std::size_t> line = order.line(index);
        return line ? lines[*line].size() : nothing;
    };
    const StepSum steps = [&](std::uint64_t a, std::uint64_t b) -> Sum {
        // Past the lines an array that doesn't start over shows nothing, or (keeping its last) one line.
        const std::uint64_t beyond = b > std::max(a, n) ? b - std::max(a, n) : 0;
        const bool shuffled = order.order() == kOrderShuffled;
        Sum after = 0;
        if (order.end() == kEndKeepLast && shuffled) after = mul(length(n), beyond);
        if (order.end() == kEndEmpty) after = mul(nothing, beyond);
        if (order.end() == kEndEmpty || (order.end() == kEndKeepLast && shuffled)) b = std::min(b, n);
        if (a >= b) return after;
        if (oneLength) return add(after, mul(lines[0].size(), b - a));
        // Every round of a shuffled array shows each line once (there is only the first when it doesn't cycle).
        if (shuffled) return add(after, byRounds(a, b, n, total, budget, length));
        return add(after, oneByOne(a, b, budget, length));
    };
    return passBytes(0, passes, repeat, 0, steps);
}

}  // namespace ravolin
