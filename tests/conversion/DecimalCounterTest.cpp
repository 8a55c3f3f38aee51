#include "conversion/DecimalCounter.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/conversion/NaiveExpansion.h"

namespace ravolin {
namespace {

// One decimal counter at step `step`: start + step x step, rounded to the places and padded.
TEST(DecimalCounter, showsExactDecimalsRoundedHalfAwayFromZero) {
    struct Case {
        const char* start;
        const char* step;
        std::int32_t places;
        std::int32_t at;  // the step shown
        const char* expected;
        std::int32_t width = 0;
        std::int32_t fill = 0;
        std::int32_t format = kFormatDecimal;
    };
    const Case cases[] = {
        // No binary noise: 0.1 three times is 0.3; the places are the most of start and step.
        {"0", "0.1", -1, 3, "0.3"},
        {"1", "0.1", -1, 2, "1.2"},
        {"1.5", "0.25", -1, 1, "1.75"},
        {"-1.25", "0.5", -1, 5, "1.25"},
        {"3", "-2", -1, 2, "-1"},
        // Half away from zero, on both sides, and no "-0".
        {"0.125", "0", 2, 0, "0.13"},
        {"-0.125", "0", 2, 0, "-0.13"},
        {"0.124999", "0", 2, 0, "0.12"},
        {"-0.005", "0", 2, 0, "-0.01"},
        {"-0.004", "0", 2, 0, "0.00"},
        {"2.5", "0", 0, 0, "3"},
        {"-2.5", "0", 0, 0, "-3"},
        {"0.49", "0", 0, 0, "0"},
        {"0", "0.25", 0, 6, "2"},
        {"0", "-0.25", 0, 2, "-1"},
        // Places 0 and 9, set or taken from the texts, shown in full; above 9 as 9.
        {"1.5", "0", 3, 0, "1.500"},
        {"0.1", "0", 9, 0, "0.100000000"},
        {"0.1", "0", 12, 0, "0.100000000"},
        {"0.00000000000000001", "0", -1, 0, "0.000000000"},
        {"0.0000000005", "0", -1, 0, "0.000000001"},
        {"7", "0", 9, 0, "7.000000000"},
        // Texts: a sign, digits, a point and digits, at most 18 digits; anything else reads as 0.
        {"+2", "0", -1, 0, "2"},
        {"999999999999999999", "0", -1, 0, "999999999999999999"},
        {"-12345678901234567.8", "0", -1, 0, "-12345678901234567.8"},
        {"1000000000000000000", "1", -1, 4, "4"},
        {"999999999999999999.4", "1", -1, 4, "4"},
        {"-00.5", "1", -1, 1, "0.5"},  // leading zeros, and the sign changing on the way
        {"1e3", "1", -1, 4, "4"},
        {".5", "1", -1, 4, "4"},
        {"1.", "1", -1, 4, "4"},
        {" 1", "1", -1, 4, "4"},
        {"--1", "1", -1, 4, "4"},
        // Past 18 digits before the point, after rounding too, the empty text.
        {"999999999999999999", "1", -1, 1, ""},
        {"-999999999999999999", "-1", -1, 1, ""},
        {"999999999999999999", "0.5", -1, 1, "999999999999999999.5"},
        {"999999999999999999", "0.5", 0, 1, ""},
        {"0", "999999999999999999", -1, INT_MAX, ""},
        {"0.00000000000000001", "999999999999999999", -1, INT_MAX, ""},
        {"0", "0.00000000000000001", 9, INT_MAX, "0.000000021"},
        // Width and fill as for integers; the format is not used.
        {"-1.5", "0", -1, 0, "-0001.5", 7},
        {"-1.5", "0", -1, 0, "   -1.5", 7, 1},
        {"1.5", "0", -1, 0, "001.5", 5, 0, kFormatLettersLower},
        {"1.5", "0", -1, 0, "  1.5", 5, 1, kFormatKanji},
    };
    for (const Case& c : cases) {
        ExpansionInput in{.templateText = "N", .loopCount = 1, .firstPass = c.at};
        in.counters[0] = {"N",
                          0,
                          0,
                          {.format = c.format,
                           .width = c.width,
                           .fill = c.fill,
                           .kind = kKindDecimal,
                           .start = c.start,
                           .step = c.step,
                           .places = c.places}};
        EXPECT_EQ(ExpandTemplate(in), c.expected) << c.start << " + " << c.at << " x " << c.step;
        EXPECT_EQ(naive::ExpandTemplate(in), c.expected)
            << "reference: " << c.start << " + " << c.at << " x " << c.step;
    }
}

}  // namespace
}  // namespace ravolin
