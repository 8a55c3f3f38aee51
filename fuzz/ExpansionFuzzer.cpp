// The expansion on any input, in any shape: equal to the step-by-step form, the output limit holds at every size, and
// the measured size (also over a longer run, and within a work budget) and the expansion in ranges agree with it.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <string>

#include "conversion/Expansion.h"
#include "conversion/RangedExpansion.h"
#include "fuzz/FuzzCheck.h"
#include "tests/conversion/NaiveExpansion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    ravolin::ExpansionInput input;
    input.loopCount = in.ConsumeIntegralInRange<std::int32_t>(-1, 24);
    input.templateText = in.ConsumeRandomLengthString(48);
    input.firstPass = in.ConsumeIntegralInRange<std::int32_t>(-1, 100);
    for (ravolin::CounterInput& counter : input.counters) {
        if (!in.ConsumeBool()) continue;
        counter.token = in.ConsumeRandomLengthString(4);
        counter.initialValue = in.ConsumeIntegral<std::int32_t>();
        counter.increment = in.ConsumeIntegral<std::int32_t>();
        counter.style.repeat = in.ConsumeIntegralInRange<std::int32_t>(-1, 4);
        counter.style.period = in.ConsumeIntegralInRange<std::int32_t>(-1, 5);
        counter.style.format = in.ConsumeIntegralInRange<std::int32_t>(-1, 13);
        counter.style.width = in.ConsumeIntegralInRange<std::int32_t>(-1, 66);
        counter.style.fill = in.ConsumeIntegralInRange<std::int32_t>(0, 2);
        const int kind = in.ConsumeIntegralInRange(0, 3);
        if (kind == 0) continue;
        if (kind == 3) {
            // A random integer or UUID counter, over any range, from any seed.
            counter.style.kind = in.ConsumeBool() ? ravolin::kKindRandom : ravolin::kKindUuid;
            counter.style.minimum = in.ConsumeIntegral<std::int32_t>();
            // Often a few values only, so that unique rounds end and start over.
            const std::int64_t near = std::int64_t{counter.style.minimum} + in.ConsumeIntegralInRange(0, 9);
            counter.style.maximum = in.ConsumeBool()
                                        ? in.ConsumeIntegral<std::int32_t>()
                                        : static_cast<std::int32_t>(std::min<std::int64_t>(near, INT32_MAX));
            counter.style.unique = in.ConsumeIntegralInRange<std::int32_t>(0, 2);
            counter.style.seed = in.ConsumeRandomLengthString(21);
            continue;
        }
        if (kind == 2) {
            // A decimal counter, its texts mostly of the bytes a decimal is written with.
            counter.style.kind = ravolin::kKindDecimal;
            for (std::string* text : {&counter.style.start, &counter.style.step}) {
                *text = in.ConsumeRandomLengthString(22);
                for (char& c : *text) c = "0123456789.-+0123456789"[static_cast<unsigned char>(c) % 24];
            }
            counter.style.places = in.ConsumeIntegralInRange<std::int32_t>(-2, 11);
            continue;
        }
        // A date counter, near the calendar's ends or at a start the bytes write.
        counter.style.kind = ravolin::kKindDate;
        counter.style.unit = in.ConsumeIntegralInRange<std::int32_t>(-1, 8);
        counter.style.start = in.ConsumeBool() ? in.ConsumeRandomLengthString(20) : "9999/12/31 23:59:50";
        counter.style.daysOff = in.ConsumeRandomLengthString(16);
        counter.style.pattern = in.ConsumeRandomLengthString(12);
        // Business days are walked a day at a time, by both forms: keep the walks short.
        if (counter.style.unit == ravolin::kUnitBusinessDay) counter.increment %= 1000;
    }
    for (ravolin::ArrayInput& array : input.arrays) {
        if (!in.ConsumeBool()) continue;
        array.token = in.ConsumeRandomLengthString(4);
        array.valuesText = in.ConsumeRandomLengthString(32);
        array.style.repeat = in.ConsumeIntegralInRange<std::int32_t>(-1, 4);
        array.style.end = in.ConsumeIntegralInRange<std::int32_t>(-1, 3);
        array.style.order = in.ConsumeIntegralInRange<std::int32_t>(-1, 3);
        array.style.seed = in.ConsumeRandomLengthString(21);
    }
    if (in.ConsumeBool()) {
        input.shape = {in.ConsumeRandomLengthString(8), in.ConsumeRandomLengthString(8),
                       in.ConsumeRandomLengthString(8)};
    }
    const std::size_t probe = in.ConsumeIntegral<std::size_t>();
    const std::int32_t longerLoop = in.ConsumeIntegralInRange<std::int32_t>(0, 1024);

    // Values holding later tokens can multiply a pass past any memory; the naive form runs only on what
    // the limit lets through.
    constexpr std::size_t kCap = std::size_t{1} << 20;
    const ravolin::ExpansionResult capped = ravolin::ExpandTemplate(input, kCap);
    if (capped.limitReached) {
        FUZZ_CHECK(capped.text.empty());
        return 0;
    }
    const std::string& full = capped.text;
    FUZZ_CHECK(full == ravolin::naive::ExpandTemplate(input));
    const std::size_t limit = probe % (full.size() + 3);
    const ravolin::ExpansionResult limited = ravolin::ExpandTemplate(input, limit);
    FUZZ_CHECK(limited.limitReached == (full.size() > limit));
    FUZZ_CHECK(limited.text == (limited.limitReached ? std::string() : full));

    const std::optional<ravolin::ExpansionSize> measured = ravolin::measureExpansion(input, kCap);
    if (measured) {
        std::uint64_t breaks = 0;
        for (std::size_t at = full.find("\r\n"); at != std::string::npos; at = full.find("\r\n", at + 2)) ++breaks;
        FUZZ_CHECK(measured->bytes == full.size());
        FUZZ_CHECK(measured->lines == (input.loopCount > 0 || !full.empty() ? breaks + 1 : 0));
    }
    // The counters' bytes come from a closed form: over a longer run too, where steps cross digit bands, wrap
    // and start periods over, they must agree with the output. With a work budget, a size given is the same.
    ravolin::ExpansionInput longer = input;
    longer.loopCount = longerLoop;
    const ravolin::ExpansionResult longOutput = ravolin::ExpandTemplate(longer, kCap);
    const std::optional<ravolin::ExpansionSize> longMeasured = ravolin::measureExpansion(longer, kCap);
    if (!longOutput.limitReached && longMeasured) FUZZ_CHECK(longMeasured->bytes == longOutput.text.size());
    constexpr std::size_t kWork = std::size_t{1} << 16;
    const ravolin::SizeMeasurement bounded = ravolin::measureExpansion(longer, kCap, kWork);
    FUZZ_CHECK(bounded.outOfWork ? !bounded.size : bounded.size == longMeasured);
    const ravolin::ExpansionResult boundedOutput = ravolin::ExpandTemplate(longer, kCap, kCap, kWork);
    FUZZ_CHECK(boundedOutput.limitReached || boundedOutput.text == longOutput.text);

    std::string pieces;
    const ravolin::RangedExpansionEnd end = ravolin::expandInRanges(input, limit + 1, [&](std::string_view piece) {
        pieces.append(piece);
        return true;
    });
    FUZZ_CHECK(end == ravolin::RangedExpansionEnd::PassTooLarge || pieces == full);
    return 0;
}
