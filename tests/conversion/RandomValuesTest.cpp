#include "conversion/RandomValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "conversion/RangedExpansion.h"
#include "conversion/TextHelpers.h"
#include "tests/conversion/NaiveExpansion.h"

namespace ravolin {
namespace {

CounterInput randomCounter(std::int32_t minimum, std::int32_t maximum, std::int32_t unique, const char* seed) {
    CounterInput counter{"N", 0, 1};
    counter.style.kind = kKindRandom;
    counter.style.minimum = minimum;
    counter.style.maximum = maximum;
    counter.style.unique = unique;
    counter.style.seed = seed;
    return counter;
}

// The values of counter 1 over `passes` passes, one per line.
std::vector<std::string> values(const CounterInput& counter, std::int32_t passes, std::int32_t firstPass = 0) {
    ExpansionInput in;
    in.templateText = "N";
    in.loopCount = passes;
    in.firstPass = firstPass;
    in.counters[0] = counter;
    return SplitLines(ExpandTemplate(in));
}

TEST(RandomValues, seedsReadAsUnsigned64BitDecimalsOrZero) {
    const struct {
        const char* text;
        std::uint64_t seed;
    } cases[] = {
        {"", 0},   {"0", 0},  {"42", 42}, {"007", 7}, {"18446744073709551615", UINT64_MAX}, {"18446744073709551616", 0},
        {"-1", 0}, {" 1", 0}, {"1x", 0},  {"+5", 0}};
    for (const auto& c : cases) EXPECT_EQ(readSeed(c.text), c.seed) << c.text;
}

TEST(RandomValues, integersStayInTheirRange_andUniqueOnesComeOnceARound) {
    const struct {
        std::int32_t minimum, maximum, unique;
        std::int32_t passes;
    } cases[] = {
        {1, 6, 0, 600},
        {6, 1, 0, 600},
        {-3, 3, 1, 70},
        {5, 5, 1, 3},
        {5, 5, 0, 3},
        {INT32_MIN, INT32_MIN + 2, 1, 30},
        {INT32_MAX - 1, INT32_MAX, 0, 50},
        {INT32_MIN, INT32_MAX, 0, 500},
        {0, 999, 1, 3000},
        {100, -100, 1, 402},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.minimum) + ".." + std::to_string(c.maximum));
        const std::int64_t low = std::min(c.minimum, c.maximum);
        const std::int64_t high = std::max(c.minimum, c.maximum);
        const std::vector<std::string> shown = values(randomCounter(c.minimum, c.maximum, c.unique, "12345"), c.passes);
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(c.passes));
        std::vector<std::int64_t> drawn;
        for (const std::string& text : shown) drawn.push_back(std::stoll(text));
        for (const std::int64_t value : drawn) {
            EXPECT_GE(value, low);
            EXPECT_LE(value, high);
        }
        if (c.unique != 1) continue;
        // Every round of n steps holds each value once; the last round may be cut short, without repeats.
        const auto n = static_cast<std::size_t>(high - low + 1);
        for (std::size_t from = 0; from < drawn.size(); from += n) {
            const std::size_t to = std::min(drawn.size(), from + n);
            const std::set<std::int64_t> round(drawn.begin() + static_cast<std::ptrdiff_t>(from),
                                               drawn.begin() + static_cast<std::ptrdiff_t>(to));
            EXPECT_EQ(round.size(), to - from) << "round from step " << from;
        }
        // Two rounds are two permutations, not one repeated.
        if (drawn.size() >= 2 * n && n > 5) {
            EXPECT_FALSE(std::equal(drawn.begin(), drawn.begin() + static_cast<std::ptrdiff_t>(n),
                                    drawn.begin() + static_cast<std::ptrdiff_t>(n)));
        }
    }
}

TEST(RandomValues, theSeedAloneDecides_andFormatsAndWidthsApply) {
    const CounterInput seven = randomCounter(0, 1000000, 0, "7");
    EXPECT_EQ(values(seven, 20), values(seven, 20));
    EXPECT_NE(values(seven, 20), values(randomCounter(0, 1000000, 0, "8"), 20));
    // Seeds that read as 0 are the seed 0.
    EXPECT_EQ(values(randomCounter(0, 1000000, 0, ""), 20), values(randomCounter(0, 1000000, 0, "x"), 20));
    // A later first pass carries on the same steps.
    const std::vector<std::string> all = values(seven, 20);
    EXPECT_EQ(values(seven, 5, 15), std::vector<std::string>(all.begin() + 15, all.end()));
    CounterInput hex = seven;
    hex.style.format = kFormatHexUpper;
    hex.style.width = 8;
    const std::vector<std::string> hexes = values(hex, 20);
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(hexes[i].size(), 8u);
        EXPECT_EQ(std::stoll(hexes[i], nullptr, 16), std::stoll(all[i])) << hexes[i];
    }
}

TEST(RandomValues, uuidsAreVersion4Variant10_inLowerCaseOrUpperCase) {
    CounterInput uuid{"N", 0, 1};
    uuid.style.kind = kKindUuid;
    uuid.style.seed = "99";
    for (const std::int32_t format : {kFormatDecimal, kFormatHexUpper}) {
        uuid.style.format = format;
        const std::vector<std::string> shown = values(uuid, 500);
        EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), shown.size());
        std::map<char, int> variants;
        for (const std::string& text : shown) {
            ASSERT_EQ(text.size(), 36u) << text;
            for (const std::size_t dash : {8, 13, 18, 23}) EXPECT_EQ(text[dash], '-') << text;
            EXPECT_EQ(text[14], '4') << text;
            ++variants[static_cast<char>(std::tolower(text[19]))];
            const char* digits = format == kFormatHexUpper ? "0123456789ABCDEF-" : "0123456789abcdef-";
            EXPECT_EQ(text.find_first_not_of(digits), std::string::npos) << text;
        }
        // The variant's two free bits take all four values: 8, 9, a, b and nothing else.
        EXPECT_EQ(variants.size(), 4u);
        EXPECT_TRUE(variants.count('8') && variants.count('9') && variants.count('a') && variants.count('b'));
    }
}

ArrayInput orderedArray(const char* values, std::int32_t order, std::int32_t end, const char* seed) {
    ArrayInput array{"A", values};
    array.style.order = order;
    array.style.end = end;
    array.style.seed = seed;
    return array;
}

std::vector<std::string> lines(const ArrayInput& array, std::int32_t passes) {
    ExpansionInput in;
    in.templateText = "A";
    in.loopCount = passes;
    in.arrays[0] = array;
    return SplitLines(ExpandTemplate(in));
}

TEST(RandomValues, shuffledListsArePermutationsOfTheirLines_withoutAClosingBreaksEmptyLine) {
    const std::vector<std::string> written = {"a", "b", "c", "d", "e", "f", "g"};
    const struct {
        const char* values;
        std::int32_t end;
    } cases[] = {{"a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng", kEndCycle},
                 {"a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n", kEndCycle},
                 {"a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n", kEndKeepLast},
                 {"a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng", kEndEmpty}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.values) + " end " + std::to_string(c.end));
        const std::vector<std::string> shown = lines(orderedArray(c.values, kOrderShuffled, c.end, "5"), 70);
        std::vector<std::vector<std::string>> rounds;
        for (std::size_t from = 0; from < 70; from += 7) {
            std::vector<std::string> round(shown.begin() + static_cast<std::ptrdiff_t>(from),
                                           shown.begin() + static_cast<std::ptrdiff_t>(from + 7));
            rounds.push_back(round);
            if (from > 0 && c.end != kEndCycle) {
                // Past its lines it keeps the last one shown, or shows nothing.
                EXPECT_EQ(round, std::vector<std::string>(7, c.end == kEndKeepLast ? rounds[0].back() : ""));
                continue;
            }
            std::sort(round.begin(), round.end());
            EXPECT_EQ(round, written) << "round from pass " << from;
        }
        EXPECT_NE(rounds[0], written);
        // Each round a permutation of its own.
        if (c.end == kEndCycle) {
            EXPECT_NE(rounds[0], rounds[1]);
        }
    }
    // Drawn lines never come from the empty line of a closing break, and soon show all the others.
    const std::vector<std::string> drawn = lines(orderedArray("x\r\ny\r\nz\r\n", kOrderDrawn, kEndCycle, "1"), 300);
    EXPECT_EQ(std::set<std::string>(drawn.begin(), drawn.end()), (std::set<std::string>{"x", "y", "z"}));
    // A drawn list that empties still draws only as many lines as it has.
    const std::vector<std::string> few = lines(orderedArray("x\r\ny", kOrderDrawn, kEndEmpty, "1"), 4);
    EXPECT_TRUE(few[0] != "" && few[1] != "" && few[2] == "" && few[3] == "") << few[0] << few[1];
}

// Every kind and order at once, with repeats, periods and a late first pass, runs the same whole, in ranges
// of any size, and by the step-by-step reference; their sizes are measured exactly.
TEST(RandomValues, aRunGivesTheSameBytesHoweverItIsCut) {
    ExpansionInput in;
    in.templateText = "R:U:Q:V:A:B:C:D;";
    in.loopCount = 1200;
    in.firstPass = 77;
    in.counters[0] = randomCounter(-50, 150, 0, "1");
    in.counters[0].style.repeat = 3;
    in.counters[1] = randomCounter(1, 40, 1, "2");
    in.counters[1].token = "U";
    in.counters[1].style.period = 101;
    in.counters[1].style.width = 3;
    in.counters[2] = randomCounter(INT32_MIN, INT32_MAX, 0, "");
    in.counters[2].token = "Q";
    in.counters[2].style.format = kFormatBinary;
    in.counters[3] = {"V", 0, 1};
    in.counters[3].style.kind = kKindUuid;
    in.counters[3].style.seed = "3";
    in.arrays[0] = orderedArray("p\r\nqq\r\nrrr\r\n", kOrderShuffled, kEndCycle, "4");
    in.arrays[0].style.repeat = 7;
    in.arrays[1] = orderedArray("s\r\ntt", kOrderShuffled, kEndKeepLast, "5");
    in.arrays[1].token = "B";
    in.arrays[2] = orderedArray("u\r\nvv\r\n\r\nw", kOrderDrawn, kEndCycle, "6");
    in.arrays[2].token = "C";
    in.arrays[3] = orderedArray("x\r\nyy", kOrderDrawn, kEndEmpty, "7");
    in.arrays[3].token = "D";
    in.arrays[3].style.repeat = 1000;
    const std::string whole = ExpandTemplate(in);
    EXPECT_TRUE(whole == naive::ExpandTemplate(in));
    const auto breaks = static_cast<std::uint64_t>(std::count(whole.begin(), whole.end(), '\n'));
    EXPECT_EQ(measureExpansion(in, kNoOutputLimit), std::optional(ExpansionSize{whole.size(), breaks + 1}));
    for (const std::size_t rangeLimit : {std::size_t{200}, std::size_t{4096}, std::size_t{1} << 20}) {
        std::string pieces;
        const RangedExpansionEnd end = expandInRanges(in, rangeLimit, [&](std::string_view piece) {
            pieces.append(piece);
            return true;
        });
        EXPECT_EQ(end, RangedExpansionEnd::Done);
        EXPECT_TRUE(pieces == whole) << rangeLimit;
    }
}

TEST(RandomValues, sizesOfLongRunsAreReckonedPerRound_orCountedWithinTheWorkBudget) {
    ExpansionInput in;
    in.templateText = "N";
    in.loopCount = INT32_MAX;
    const auto passes = static_cast<std::uint64_t>(INT32_MAX);
    const std::uint64_t joins = (passes - 1) * 2;
    in.counters[0] = {"N", 0, 1};
    in.counters[0].style.kind = kKindUuid;
    constexpr std::size_t kWork = 1 << 20;
    EXPECT_EQ(measureExpansion(in, kNoOutputLimit, kWork).size,
              std::optional(ExpansionSize{passes * 36 + joins, passes}));
    // Without a limit on the bytes, only the work budget bounds a count: values all of one length, or whole unique
    // rounds (9 x 1 + 90 x 2 + 900 x 3 + 1 x 4 bytes each).
    in.counters[0] = randomCounter(1000, 9999, 0, "1");
    EXPECT_EQ(measureExpansion(in, kNoOutputLimit, kWork).size,
              std::optional(ExpansionSize{passes * 4 + joins, passes}));
    in.counters[0] = randomCounter(1, 1000, 1, "1");
    in.loopCount = 2'000'000'000;
    EXPECT_EQ(measureExpansion(in, kNoOutputLimit, kWork).size,
              std::optional(ExpansionSize{2'000'000ull * 2893 + 3'999'999'998ull, 2'000'000'000u}));
    // Values of many lengths drawn independently can only be counted: that runs out of work.
    in.counters[0] = randomCounter(1, 1000, 0, "1");
    const SizeMeasurement counted = measureExpansion(in, kNoOutputLimit, kWork);
    EXPECT_TRUE(!counted.size && counted.outOfWork && !counted.byDates);
    in.counters[0] = {};
    in.arrays[0] = orderedArray("a\r\nbb\r\nccc", kOrderDrawn, kEndCycle, "");
    in.templateText = "A";
    EXPECT_TRUE(measureExpansion(in, kNoOutputLimit, kWork).outOfWork);
    // A shuffled list shows all its lines each round.
    in.arrays[0].style.order = kOrderShuffled;
    in.loopCount = 1'500'000'000;
    EXPECT_EQ(measureExpansion(in, kNoOutputLimit, kWork).size,
              std::optional(ExpansionSize{500'000'000ull * 6 + 2'999'999'998ull, 1'500'000'000u}));
}

// Pearson's chi-square of counts against equal expectations.
double chiSquare(const std::vector<double>& counts) {
    double total = 0;
    for (const double count : counts) total += count;
    const double expected = total / static_cast<double>(counts.size());
    double sum = 0;
    for (const double count : counts) sum += (count - expected) * (count - expected) / expected;
    return sum;
}

// With a fixed seed these are fixed numbers; the bounds are the 0.1 % points of the chi-square distribution, so a
// generator that favours some values (or never draws an end of the range) fails them.
TEST(RandomValues, drawsAreUniformOverTheRange_andUniqueRoundsShowNoOrder) {
    std::vector<double> counts(6, 0);
    for (const std::string& text : values(randomCounter(1, 6, 0, "2026"), 100000)) ++counts.at(std::stoul(text) - 1);
    EXPECT_LT(chiSquare(counts), 20.52) << counts.front() << " ones, " << counts.back() << " sixes";  // 5 df
    // One unique round of 100,000 values: the steps in ten bands against the values in ten bands, which a
    // permutation close to the identity or to a shift would fill unevenly.
    const std::vector<std::string> round = values(randomCounter(0, 99999, 1, "2026"), 100000);
    std::vector<double> cells(100, 0);
    for (std::size_t step = 0; step < round.size(); ++step)
        ++cells[step / 10000 * 10 + std::stoul(round[step]) / 10000];
    // The margins are fixed at 10,000 each, so the table has 81 degrees of freedom.
    EXPECT_LT(chiSquare(cells), 124.84);
    // Short lists shuffled round after round: each of the 120 orders of five lines about as often as another.
    const std::vector<std::string> shuffled =
        lines(orderedArray("a\r\nb\r\nc\r\nd\r\ne", kOrderShuffled, kEndCycle, "3"), 120000);
    std::map<std::string, double> orders;
    for (std::size_t from = 0; from < shuffled.size(); from += 5) {
        ++orders[shuffled[from] + shuffled[from + 1] + shuffled[from + 2] + shuffled[from + 3] + shuffled[from + 4]];
    }
    std::vector<double> orderCounts;
    for (const auto& [order, count] : orders) orderCounts.push_back(count);
    EXPECT_EQ(orderCounts.size(), 120u);
    EXPECT_LT(chiSquare(orderCounts), 172.5);  // 119 df
}

TEST(RandomValues, freshSeedsGoToTheSlotsThatDrawWithoutOne_andARunSeedSetsThemAll) {
    ExpansionInput in;
    in.counters[0] = randomCounter(1, 6, 0, "");
    in.counters[1] = randomCounter(1, 6, 0, "42");
    in.counters[2] = {"I", 0, 1};  // counts, draws nothing
    in.counters[3] = randomCounter(1, 6, 0, "0");
    in.counters[3].token.clear();  // off
    in.counters[4] = {"U", 0, 1};
    in.counters[4].style.kind = kKindUuid;
    in.counters[4].style.seed = "junk";
    in.arrays[0] = orderedArray("a", kOrderShuffled, kEndCycle, "");
    in.arrays[1] = orderedArray("a", kOrderWritten, kEndCycle, "");
    ExpansionInput fresh = in;
    fillFreshSeeds(fresh);
    EXPECT_NE(readSeed(fresh.counters[0].style.seed), 0u);
    EXPECT_EQ(fresh.counters[1].style.seed, "42");
    EXPECT_EQ(fresh.counters[2].style.seed, "");
    EXPECT_EQ(fresh.counters[3].style.seed, "0");
    EXPECT_NE(readSeed(fresh.counters[4].style.seed), 0u);
    EXPECT_NE(readSeed(fresh.arrays[0].style.seed), 0u);
    EXPECT_EQ(fresh.arrays[1].style.seed, "");
    EXPECT_NE(fresh.counters[0].style.seed, fresh.counters[4].style.seed);
    ExpansionInput seeded = in;
    setRunSeed(seeded, 7);
    ExpansionInput again = in;
    setRunSeed(again, 7);
    EXPECT_EQ(seeded.counters[1].style.seed, again.counters[1].style.seed);
    EXPECT_NE(seeded.counters[1].style.seed, "42");
    EXPECT_NE(seeded.counters[0].style.seed, seeded.counters[1].style.seed);
    EXPECT_NE(readSeed(seeded.arrays[0].style.seed), 0u);
    EXPECT_EQ(seeded.counters[2].style.seed, "");
}

}  // namespace
}  // namespace ravolin
