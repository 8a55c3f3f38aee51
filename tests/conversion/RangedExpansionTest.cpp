#include "conversion/RangedExpansion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "conversion/Escaping.h"
#include "tests/conversion/NaiveExpansion.h"

namespace ravolin {
namespace {

struct Collected {
    std::string text;
    RangedExpansionEnd end;
};

Collected collect(const ExpansionInput& input, std::size_t rangeLimit, std::size_t stopAfterBytes = SIZE_MAX) {
    Collected out;
    std::size_t lastProgress = 0;
    out.end = expandInRanges(
        input, rangeLimit,
        [&](std::string_view piece) {
            out.text.append(piece);
            return out.text.size() < stopAfterBytes;
        },
        [&](std::size_t passesDone) {
            EXPECT_GT(passesDone, lastProgress);  // only forwards
            lastProgress = passesDone;
        });
    if (out.end == RangedExpansionEnd::Done) {
        EXPECT_EQ(lastProgress, static_cast<std::size_t>(std::max(0, input.loopCount)));
    }
    return out;
}

TEST(expandInRanges, piecesJoinToTheWholeExpansionAtAnyRangeSize) {
    ExpansionInput counters;
    counters.templateText = "N:A;";
    counters.loopCount = 3000;  // passes the first range of 256 passes, so counters and lines carry over
    counters.counters[0] = {"N", 2147483000, 7};  // wraps on the way
    counters.arrays[0] = {"A", "x\r\n\r\ny"};
    ExpansionInput simulated = counters;
    simulated.counters[1] = {"1", 0, 1};  // its token occurs in the other counter's digits
    ExpansionInput plain;
    plain.templateText = "same";
    plain.loopCount = 1000;
    // Steps and lines repeated across range edges, a period, formats, and lists that cycle or keep their end.
    ExpansionInput rules = counters;
    rules.templateText = "N:M:A:B:C;";
    rules.counters[0] = {"N", -5, 3, 7, 11, 1, 6, 1};
    rules.counters[1] = {"M", 700, 1, 3, 0, 5, 4, 0};
    rules.arrays[1] = {"B", "p\r\nq\r\nr", 5, 1};
    rules.arrays[2] = {"C", "s\r\nt", 1, 2};
    ExpansionInput rulesSimulated = rules;
    rulesSimulated.counters[2] = {"a", 0, 1};  // letters of "M" can form it
    ExpansionInput later = rules;
    later.firstPass = 1234;
    // Dates carry on too: business days walked from where the last range ended, and minutes with a period.
    ExpansionInput dated = later;
    dated.templateText = "D|E|N;";
    dated.counters[3] = {"D", 0, 1};
    dated.counters[3].style = {.repeat = 30, .kind = kKindDate, .start = "2027/04/28", .unit = kUnitBusinessDay};
    dated.counters[3].style.pattern = "mmdd";
    dated.counters[4] = {"E", 0, 15};
    dated.counters[4].style = {.period = 100, .kind = kKindDate, .start = "2027/12/31 12:00", .unit = kUnitMinute};
    dated.counters[4].style.pattern = "h:mm";
    // Decimals and Japanese numbers go on from the pass a range starts at, periods and repeats included.
    ExpansionInput japanese = later;
    japanese.templateText = "N|M|D;";
    japanese.counters[0].style.format = kFormatKanji;
    japanese.counters[1].style.format = kFormatIroha;
    japanese.counters[3] = {"D", 0, 0};
    japanese.counters[3].style = {.repeat = 3, .period = 1000, .width = 9, .kind = kKindDecimal, .start = "-1.5"};
    japanese.counters[3].style.step = "0.0625";
    japanese.counters[3].style.places = 3;
    // Escapes stay with their arrays in every range: lists that run out (SQL's NULL), cycle shuffled, or repeat.
    ExpansionInput escaped = later;
    escaped.templateText = "A|B|C;";
    escaped.arrays[0] = {"A", "O'Brien\r\n\r\nx", {.escape = kEscapeSqlLiteral}};
    escaped.arrays[1] = {"B", "a,b\r\n\"q\"", {.end = 1, .order = kOrderShuffled, .seed = "5", .escape = kEscapeCsv}};
    escaped.arrays[2] = {"C", "<p>\r\n&", {.repeat = 3, .end = 2, .escape = kEscapeHtml}};
    // The header goes with the first range, the footer with the last, a join with every other range.
    ExpansionInput shaped = counters;
    shaped.shape = {"INSERT\r\n", ",\r\n", ";"};
    ExpansionInput shapedSimulated = simulated;
    shapedSimulated.shape = {"\r", "\n", "\n"};
    ExpansionInput shapedPlain = plain;
    shapedPlain.shape = {"[", "", "]"};
    ExpansionInput shapedNone = shaped;
    shapedNone.loopCount = 0;
    for (const ExpansionInput* input : {&counters, &simulated, &plain, &rules, &rulesSimulated, &later, &dated,
                                        &japanese, &escaped, &shaped, &shapedSimulated, &shapedPlain, &shapedNone}) {
        const std::string whole = ExpandTemplate(*input);
        EXPECT_TRUE(whole == naive::ExpandTemplate(*input)) << input->templateText;
        for (const std::size_t rangeLimit : {std::size_t{32}, std::size_t{4096}, std::size_t{1} << 20}) {
            // Ranges of a pass or two: fewer passes, still past the first range of 256, keep the sanitizer
            // builds quick.
            ExpansionInput cut = *input;
            if (rangeLimit == 32) cut.loopCount = std::min(cut.loopCount, 400);
            const Collected out = collect(cut, rangeLimit);
            EXPECT_EQ(out.end, RangedExpansionEnd::Done) << rangeLimit;
            EXPECT_TRUE(out.text == (cut.loopCount == input->loopCount ? whole : ExpandTemplate(cut)))
                << input->templateText << " at " << rangeLimit;
        }
    }
}

TEST(expandInRanges, stopsWhenTheSinkSaysSoOrAPassCannotFit) {
    ExpansionInput input;
    input.templateText = "0123456789";
    input.loopCount = 100000;
    const Collected stopped = collect(input, 1 << 16, 5000);
    EXPECT_EQ(stopped.end, RangedExpansionEnd::Stopped);
    EXPECT_LT(stopped.text.size(), std::size_t{1} << 16);
    EXPECT_EQ(collect(input, 9).end, RangedExpansionEnd::PassTooLarge);
    input.loopCount = 0;
    const Collected none = collect(input, 9);
    EXPECT_EQ(none.end, RangedExpansionEnd::Done);
    EXPECT_EQ(none.text, "");
}

}  // namespace
}  // namespace ravolin
