#include "conversion/Expansion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "tests/conversion/NaiveExpansion.h"

namespace ravolin {
namespace {

ExpansionInput makeInput(std::string templateText, std::int32_t loopCount) {
    ExpansionInput input;
    input.templateText = std::move(templateText);
    input.loopCount = loopCount;
    return input;
}

struct Case {
    const char* name;
    ExpansionInput input;
    std::string expected;
};

std::vector<Case> behaviourCases() {
    std::vector<Case> cases;
    {
        ExpansionInput in = makeInput("NN-AA", 3);
        in.counters[0] = {"NN", 1, 1};
        in.arrays[0] = {"AA", "red\r\nblue"};
        cases.push_back({"counterAndArray_missingLineVanishes", in, "1-red\r\n2-blue\r\n3-"});
    }
    {
        ExpansionInput in = makeInput("N", 4);
        in.counters[0] = {"N", 10, -3};
        cases.push_back({"negativeIncrement", in, "10\r\n7\r\n4\r\n1"});
    }
    {
        ExpansionInput in = makeInput("N", 2);
        in.counters[0] = {"N", INT32_MAX, 1};
        cases.push_back({"counterWrapsAround", in, "2147483647\r\n-2147483648"});
    }
    {
        ExpansionInput in = makeInput("[A]", 4);
        in.arrays[0] = {"A", "a\r\nb\r\n"};
        cases.push_back({"trailingLineBreakGivesEmptyLine", in, "[a]\r\n[b]\r\n[]\r\n[]"});
    }
    {
        ExpansionInput in = makeInput("[A]", 3);
        in.arrays[0] = {"A", "a\r\n\r\nb"};
        cases.push_back({"emptyMiddleLine", in, "[a]\r\n[]\r\n[b]"});
    }
    {
        ExpansionInput in = makeInput("[A]", 2);
        in.arrays[0] = {"A", ""};
        cases.push_back({"emptyValuesRemoveToken", in, "[]\r\n[]"});
    }
    {
        ExpansionInput in = makeInput("aXb", 1);
        in.arrays[0] = {"X", "XX"};
        cases.push_back({"valueContainingItsOwnTokenDoesNotLoop", in, "aXXb"});
    }
    cases.push_back({"templateEndingInLineBreak", makeInput("x\r\n", 2), "x\r\n\r\nx\r\n"});
    cases.push_back({"plainTemplateRepeated", makeInput("abc", 3), "abc\r\nabc\r\nabc"});
    cases.push_back({"emptyTemplate", makeInput("", 3), "\r\n\r\n"});
    cases.push_back({"zeroLoops", makeInput("abc", 0), ""});
    cases.push_back({"negativeLoops", makeInput("abc", -5), ""});
    {
        ExpansionInput in = makeInput("NN NN", 2);
        in.counters[0] = {"NN", 5, 1};
        in.arrays[0] = {"NN", "x\r\ny"};
        cases.push_back({"counterShadowsArrayWithSameToken", in, "5 5\r\n6 6"});
    }
    {
        ExpansionInput in = makeInput("a1", 2);
        in.counters[0] = {"1", 10, 1};
        in.arrays[0] = {"1", "X\r\nY"};
        cases.push_back({"counterValueBringsTokenBack", in, "aX0\r\naYY"});
    }
    {
        ExpansionInput in = makeInput("<B>", 1);
        in.arrays[1] = {"B", "E and <E>"};
        in.arrays[4] = {"E", "e"};
        cases.push_back({"laterArrayExpandsEarlierValue", in, "<e and <e>>"});
    }
    {
        ExpansionInput in = makeInput("<E>", 1);
        in.arrays[1] = {"B", "b"};
        in.arrays[4] = {"E", "B"};
        cases.push_back({"earlierArrayDoesNotSeeLaterValue", in, "<B>"});
    }
    {
        ExpansionInput in = makeInput("x A|xA", 1);
        in.arrays[0] = {"x ", "1"};
        in.arrays[1] = {"A", "2"};
        cases.push_back({"tokensKeepTheirBlanks", in, "12|x2"});
    }
    {
        ExpansionInput in = makeInput("pq", 1);
        in.arrays[0] = {"q", ""};
        in.arrays[1] = {"p", "P"};
        in.arrays[0].token = "";  // an empty token switches the slot off
        cases.push_back({"emptyTokenIsOff", in, "Pq"});
    }
    {
        ExpansionInput in = makeInput("a-E-b", 2);
        in.arrays[0] = {"-E-", "\r\nx"};
        in.arrays[1] = {"ab", "!"};
        cases.push_back({"emptyValueJoinsNeighboursForLaterTokens", in, "!\r\naxb"});
    }
    {
        ExpansionInput in = makeInput("＜置換N＞", 2);
        in.counters[0] = {"N", 1, 1};
        in.counters[1] = {"＜置換2＞", 7, 0};
        cases.push_back({"insertedNumberCompletesLaterToken", in, "＜置換1＞\r\n7"});
    }
    return cases;
}

TEST(ExpandTemplate, producesTheDocumentedResults) {
    for (const Case& c : behaviourCases()) {
        EXPECT_EQ(ExpandTemplate(c.input), c.expected) << c.name;
        EXPECT_EQ(naive::ExpandTemplate(c.input), c.expected) << c.name << " (reference)";
    }
}

// One counter or one array per case, so that each row shows one rule at its boundary.
ExpansionInput counterCase(std::int32_t value, std::int32_t format, std::int32_t width = 0, std::int32_t fill = 0) {
    ExpansionInput in = makeInput("N", 1);
    in.counters[0] = {"N", value, 0, 1, 0, format, width, fill};
    return in;
}

ExpansionInput arrayCase(std::string values, std::int32_t end, std::int32_t repeat, std::int32_t loops) {
    ExpansionInput in = makeInput("A", loops);
    in.arrays[0] = {"A", std::move(values), repeat, end};
    return in;
}

TEST(ExpandTemplate, formatsRepeatsAndListEndsFollowTheirRules) {
    ExpansionInput steps = makeInput("N", 8);
    steps.counters[0] = {"N", 10, 5, 2, 3};
    ExpansionInput negativeRepeat = steps;
    negativeRepeat.counters[0].style.repeat = -4;
    negativeRepeat.counters[0].style.period = -1;
    ExpansionInput later = steps;
    later.firstPass = 5;
    const Case cases[] = {
        {"minDecimal", counterCase(INT32_MIN, 0), "-2147483648"},
        {"minHexLower", counterCase(INT32_MIN, 1), "-80000000"},
        {"minHexUpper", counterCase(INT32_MIN, 2), "-80000000"},
        {"minOctal", counterCase(INT32_MIN, 3), "-20000000000"},
        {"minBinary", counterCase(INT32_MIN, 4), "-1" + std::string(31, '0')},
        {"minLetters", counterCase(INT32_MIN, 5), "-fxshrxy"},
        {"minLettersUpper", counterCase(INT32_MIN, 6), "-FXSHRXY"},
        {"unknownFormatIsDecimal", counterCase(INT32_MIN, kFormatCount, 12), "-02147483648"},
        {"hexDigits", counterCase(0xbeef, 1), "beef"},
        {"hexDigitsUpper", counterCase(-0xbeef, 2, 6, 1), " -BEEF"},
        {"letters25", counterCase(25, 5), "z"},
        {"letters26", counterCase(26, 5), "aa"},
        {"letters701", counterCase(701, 6), "ZZ"},
        {"letters702", counterCase(702, 5), "aaa"},
        {"negativeLetters", counterCase(-27, 5), "-ab"},
        {"lettersPadWithBlanks", counterCase(-1, 5, 4), "  -b"},
        {"zeroFillAfterSign", counterCase(-7, 0, 4), "-007"},
        {"blankFillBeforeSign", counterCase(-7, 0, 4, 1), "  -7"},
        {"widthShorterThanText", counterCase(-123, 3, 2), "-173"},
        {"width64", counterCase(-7, 4, 64), "-" + std::string(60, '0') + "111"},
        {"widthAbove64", counterCase(7, 0, 99, 1), std::string(63, ' ') + "7"},
        {"negativeWidth", counterCase(5, 4, -3), "101"},
        {"repeatAndPeriod", steps, "10\r\n10\r\n15\r\n15\r\n20\r\n20\r\n10\r\n10"},
        {"repeatAndPeriodFromALaterPass", later, "20\r\n10\r\n10\r\n15\r\n15\r\n20\r\n20\r\n10"},
        {"repeatBelowOneAndNoPeriod", negativeRepeat, "10\r\n15\r\n20\r\n25\r\n30\r\n35\r\n40\r\n45"},
        {"endNothingNoLines", arrayCase("", 0, 1, 3), "\r\n\r\n"},
        {"endCycleNoLines", arrayCase("", 1, 1, 3), "\r\n\r\n"},
        {"endKeepNoLines", arrayCase("", 2, 1, 3), "\r\n\r\n"},
        {"endNothingOneLine", arrayCase("x", 0, 2, 3), "x\r\nx\r\n"},
        {"endCycleOneLine", arrayCase("x", 1, 2, 3), "x\r\nx\r\nx"},
        {"endKeepOneLine", arrayCase("x", 2, 1, 3), "x\r\nx\r\nx"},
        {"endNothingManyLines", arrayCase("a\r\nb\r\nc", 0, 2, 8), "a\r\na\r\nb\r\nb\r\nc\r\nc\r\n\r\n"},
        {"endCycleManyLines", arrayCase("a\r\nb\r\nc", 1, 1, 7), "a\r\nb\r\nc\r\na\r\nb\r\nc\r\na"},
        {"endKeepManyLines", arrayCase("a\r\nb\r\nc", 2, 0, 5), "a\r\nb\r\nc\r\nc\r\nc"},
        {"unknownEndIsNothing", arrayCase("a\r\nb", 3, 1, 3), "a\r\nb\r\n"},
        {"cycleTakesTheEmptyLastLine", arrayCase("a\r\n", 1, 1, 5), "a\r\n\r\na\r\n\r\na"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExpandTemplate(c.input), c.expected) << c.name;
        EXPECT_EQ(naive::ExpandTemplate(c.input), c.expected) << c.name << " (reference)";
    }
}

// Small alphabets make tokens, values and numbers collide often, so the differential test reaches the
// interactions between slots (shadowing, values completing later tokens, empty values joining neighbours).
std::string randomText(std::mt19937& rng, const std::string& alphabet, std::size_t maxLength) {
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text;
    for (std::size_t n = length(rng); n > 0; --n) text += alphabet[pick(rng)];
    return text;
}

// Values of one to four lines, half of them empty, so that empty values join their neighbours often.
std::string randomValues(std::mt19937& rng, const std::string& alphabet) {
    std::uniform_int_distribution<int> lines(1, 4);
    std::bernoulli_distribution empty(0.5);
    std::string text;
    for (int n = lines(rng); n > 0; --n) {
        if (!empty(rng)) text += randomText(rng, alphabet, 2);
        if (n > 1) text += "\r\n";
    }
    return text;
}

// A token cut out of `text` (so that it spans a value and its neighbours once earlier slots have run), or
// a random one.
std::string randomToken(std::mt19937& rng, const std::string& text, const std::string& alphabet) {
    std::bernoulli_distribution fromText(0.6);
    if (text.size() < 2 || !fromText(rng)) return randomText(rng, alphabet, 2);
    std::uniform_int_distribution<std::size_t> length(2, std::min<std::size_t>(3, text.size()));
    const std::size_t n = length(rng);
    std::uniform_int_distribution<std::size_t> start(0, text.size() - n);
    return text.substr(start(rng), n);
}

void expectMeasuredSize(const ExpansionInput& in) {
    const std::string out = ExpandTemplate(in);
    std::uint64_t breaks = 0;
    for (std::size_t at = out.find("\r\n"); at != std::string::npos; at = out.find("\r\n", at + 2)) ++breaks;
    const ExpansionSize expected{out.size(), in.loopCount > 0 || !out.empty() ? breaks + 1 : 0};
    EXPECT_EQ(measureExpansion(in, kNoOutputLimit), std::optional(expected)) << in.templateText;
}

TEST(ExpandTemplate, matchesTheStepByStepAlgorithmOnRandomInputs) {
    std::mt19937 rng(20261207);
    // A point and two bytes that the Japanese signs hold (一 ends in 0x80, the full-width digits hold 0xBC), so that
    // tokens match inside decimals and Japanese numbers too.
    const std::string alphabet = "ab1- \r\n.\x80\xbc";
    std::uniform_int_distribution<int> loops(-1, 6);
    std::uniform_int_distribution<int> small(-12, 12);
    std::bernoulli_distribution active(0.4);
    std::bernoulli_distribution plainRules(0.5);
    std::uniform_int_distribution<int> rule(-1, 7);
    std::uniform_int_distribution<int> width(-1, 66);
    std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
    static const char* const seeds[] = {"", "0", "7", "18446744073709551615", "18446744073709551616", "x"};
    std::uniform_int_distribution<std::int32_t> format(-1, static_cast<std::int32_t>(kFormatCount));
    // Half the slots keep the default rules; the others draw repeat, period, format, width and end modes,
    // with values anywhere in the 32-bit range so that signs and long digit runs come up.
    const auto drawRules = [&](CounterInput& counter) {
        if (plainRules(rng)) return;
        counter.style.repeat = rule(rng) / 2;
        counter.style.period = rule(rng) / 2;
        counter.style.format = format(rng);
        counter.style.width = width(rng) % 9 == 0 ? width(rng) : rule(rng);
        counter.style.fill = rule(rng) % 3;
        if (plainRules(rng)) counter.initialValue = any(rng);
        // Two in nine draw random integers (from small ranges, so that values collide with tokens, or from
        // anywhere) or UUIDs, from seeds that read or don't.
        const int kind = rule(rng);
        if (kind == 1 || kind == 2) {
            counter.style.kind = kind == 1 ? kKindRandom : kKindUuid;
            counter.style.minimum = plainRules(rng) ? small(rng) : any(rng);
            counter.style.maximum = plainRules(rng) ? small(rng) : any(rng);
            counter.style.seed = seeds[static_cast<std::size_t>(rule(rng) + 1) % std::size(seeds)];
            counter.style.unique = rule(rng) % 3;
            return;
        }
        // One in nine counts decimals: rounding, places from the texts or set, the 18 digits' edge, unreadable texts.
        if (rule(rng) == 1) {
            static const char* const decimals[] = {"-1.25",
                                                   "0.1",
                                                   "3",
                                                   "+0.005",
                                                   "-0.0049",
                                                   "999999999999999999",
                                                   "1e3",
                                                   ".5",
                                                   "1.",
                                                   "",
                                                   "-12.3456789012345678"};
            std::uniform_int_distribution<std::size_t> pick(0, std::size(decimals) - 1);
            counter.style.kind = kKindDecimal;
            counter.style.start = decimals[pick(rng)];
            counter.style.step = decimals[pick(rng)];
            counter.style.places = rule(rng) + rule(rng) - 2;
            return;
        }
        // One in nine of these counts dates, near the calendar's ends and holidays, in patterns whose text holds
        // the alphabet's bytes.
        if (kind != 0) return;
        static const char* const starts[] = {"2027/04/28", "9999/12/31 23:59:58", "1/1/2", "2024-02-28 23:00", "x"};
        static const char* const patterns[] = {"m-d", "yy", "\"a\"d", "d-aaa", "h", "", "e-s", "\\1ggg", "d\r\"\n\""};
        static const char* const daysOff[] = {"", "04/30", "2027/05/06 bad"};
        std::uniform_int_distribution<std::size_t> pick(0, 8);
        counter.style.kind = kKindDate;
        counter.style.start = starts[pick(rng) % 5];
        counter.style.unit = rule(rng);
        counter.style.pattern = patterns[pick(rng)];
        counter.style.daysOff = daysOff[pick(rng) % 3];
    };
    // Half the arrays take an escape (unknown ones too: none), and half an order (as written, shuffled or drawn)
    // and a seed.
    const auto drawOrder = [&](ArrayInput& array) {
        if (!plainRules(rng)) array.style.escape = rule(rng);
        if (plainRules(rng)) return;
        array.style.order = rule(rng) / 3;
        array.style.seed = seeds[static_cast<std::size_t>(rule(rng) + 1) % std::size(seeds)];
    };
    // Half the rounds put the passes in a shape of their own, drawn apart so the rest of each round stays as drawn.
    std::mt19937 shapeRng(20260426);
    std::bernoulli_distribution shaped(0.5);
    for (int round = 0; round < 20000; ++round) {
        ExpansionInput in = makeInput(randomText(rng, alphabet + "AB", 12), loops(rng));
        if (shaped(shapeRng)) {
            in.shape = {randomText(shapeRng, alphabet + "[", 3), randomText(shapeRng, alphabet + ",", 3),
                        randomText(shapeRng, alphabet + "]", 3)};
        }
        in.firstPass = plainRules(rng) ? 0 : rule(rng);
        for (CounterInput& counter : in.counters) {
            if (active(rng)) counter = {randomText(rng, alphabet + "N", 2), small(rng), small(rng)};
            drawRules(counter);
        }
        for (ArrayInput& array : in.arrays) {
            if (active(rng)) array = {randomText(rng, alphabet + "AB", 2), randomText(rng, alphabet + "AB", 8)};
            if (!plainRules(rng)) array.style.repeat = rule(rng) / 2, array.style.end = rule(rng) / 2;
            drawOrder(array);
        }
        ASSERT_EQ(ExpandTemplate(in), naive::ExpandTemplate(in))
            << "round " << round << " template " << in.templateText;
        // The measured size, also with every CR and LF made a pair, where it is reckoned without a run.
        expectMeasuredSize(in);
        const auto paired = [](std::string& text) {
            text = naive::ReplaceAllInPlace(naive::ReplaceAllInPlace(text, "\r", "\n"), "\n", "\r\n");
        };
        paired(in.templateText);
        for (ArrayInput& array : in.arrays) paired(array.valuesText);
        for (std::string* text : {&in.shape.header, &in.shape.joiner, &in.shape.footer}) paired(*text);
        expectMeasuredSize(in);
    }
    // Tokens spanning values and their neighbours, next to empty values: where the planned path's join rules
    // are tested.
    std::uniform_int_distribution<int> fewLoops(1, 5);
    for (int round = 0; round < 20000; ++round) {
        ExpansionInput in = makeInput(randomText(rng, "abAB-", 10), fewLoops(rng));
        for (CounterInput& counter : in.counters) {
            if (active(rng)) counter = {randomToken(rng, in.templateText, "abAB"), small(rng), small(rng)};
            drawRules(counter);
        }
        for (ArrayInput& array : in.arrays) {
            if (active(rng)) array = {randomToken(rng, in.templateText, "abAB-"), randomValues(rng, "ab")};
            if (!plainRules(rng)) array.style.repeat = rule(rng) / 2, array.style.end = rule(rng) / 2;
            drawOrder(array);
        }
        ASSERT_EQ(ExpandTemplate(in), naive::ExpandTemplate(in))
            << "joining round " << round << " template " << in.templateText;
    }
}

// The output is the header, the passes joined by the joiner, then the footer, whichever way the passes are written
// (planned, the same text every pass, simulated) and at any number of passes; its size counts the same bytes and
// lines, CR LF formed across the pieces included, and the limit holds at that size.
TEST(ExpandTemplate, putsThePassesInTheShape_andMeasuresWhatItWrites) {
    ExpansionInput rows = makeInput("(N, 'A')", 3);
    rows.counters[0] = {"N", 1, 1};
    rows.arrays[0] = {"A", "a\r\nb\r\nc"};
    const OutputShape insert{"INSERT INTO t VALUES\r\n", ",\r\n", ";"};
    ExpansionInput simulated = makeInput("<a>\r", 3);  // a value holding a later token, a lone CR at the end
    simulated.arrays[0] = {"<a>", "<b><b>", {.end = kEndKeepLast}};
    simulated.arrays[1] = {"<b>", "xy", {.end = kEndCycle}};
    ExpansionInput leadingLf = makeInput("\nN", 2);
    leadingLf.counters[0] = {"N", 0, 1};
    struct ShapeCase {
        const char* name;
        ExpansionInput input;
        std::int32_t loops;
        OutputShape shape;
        std::string expected;
    };
    const ShapeCase cases[] = {
        {"rows", rows, 3, insert, "INSERT INTO t VALUES\r\n(1, 'a'),\r\n(2, 'b'),\r\n(3, 'c');"},
        {"one row", rows, 1, insert, "INSERT INTO t VALUES\r\n(1, 'a');"},
        {"no row", rows, 0, insert, "INSERT INTO t VALUES\r\n;"},
        {"a negative count", rows, -1, {"[", ",", "]"}, "[]"},
        {"nothing between", rows, 2, {"", "", ""}, "(1, 'a')(2, 'b')"},
        {"the defaults", rows, 2, {}, "(1, 'a')\r\n(2, 'b')"},
        {"the same pass", makeInput("x", 0), 5, {"<", "--", ">"}, "<x--x--x--x--x>"},
        {"empty passes pair a CR and an LF", makeInput("", 0), 3, {"", "\r", "\n"}, "\r\r\n"},
        {"a header's CR pairs with an empty pass's join", makeInput("", 0), 2, {"\r", "\n", ""}, "\r\n"},
        {"simulated", simulated, 2, {"{", "\n", "}"}, "{xyxy\r\nxyxy\r}"},
        {"a lone LF after the header", leadingLf, 2, {"\r", "\r", ""}, "\r\n0\r\n1"},
    };
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpansionInput in = c.input;
        in.loopCount = c.loops;
        in.shape = c.shape;
        EXPECT_EQ(ExpandTemplate(in), c.expected);
        EXPECT_EQ(naive::ExpandTemplate(in), c.expected) << "reference";
        std::uint64_t breaks = 0;
        for (std::size_t at = c.expected.find("\r\n"); at != std::string::npos; at = c.expected.find("\r\n", at + 2))
            ++breaks;
        const bool anyLine = c.loops > 0 || !c.expected.empty();
        EXPECT_EQ(measureExpansion(in, kNoOutputLimit),
                  std::optional(ExpansionSize{c.expected.size(), breaks + anyLine}));
        EXPECT_EQ(ExpandTemplate(in, c.expected.size()).text, c.expected);
        EXPECT_EQ(ExpandTemplate(in, c.expected.size() - 1).limitReached, !c.expected.empty());
    }
}

// Outputs of a megabyte and more are written by two threads, from the middle pass on by the second: whatever the
// values before it, their lengths, the kinds of counters, the lists' ends, orders and repeats and the shape, the
// halves meet exactly.
TEST(ExpandTemplate, aLargeOutputWrittenInTwoHalvesIsTheStepByStepOne) {
    std::string numbers;
    std::string ragged;  // lines of 0 to 12 bytes, empty ones among them
    for (int i = 0; i < 90'001; ++i) {
        numbers.append(i ? "\r\n" : "").append(std::to_string(i * 7));
        ragged.append(i ? "\r\n" : "").append(static_cast<std::size_t>(i * 5 % 13), static_cast<char>('a' + i % 26));
    }
    ExpansionInput rows = makeInput("row id=N, M: A / B;\t", 130'001);
    rows.counters[0] = {"N", -50'000, 1};
    rows.counters[1] = {"M", 2'147'400'000, 3};  // wraps to negative halfway
    rows.arrays[0] = {"A", numbers};
    rows.arrays[1] = {"B", ragged, {.end = kEndCycle}};
    ExpansionInput styled = makeInput("NAB", 400'001);  // no text before the first value or after the last
    styled.counters[0] = {"N", 0, 1, {.repeat = 3, .period = 1000, .format = kFormatHexUpper, .width = 6}};
    styled.arrays[0] = {"A", ragged, {.repeat = 2, .end = kEndKeepLast}};
    styled.arrays[1] = {"B", numbers};
    styled.shape = {"[\r\n", ",\r\n", "\r\n]"};
    // Values worked out for each step, whose lengths vary: the second half starts from that step on its own.
    ExpansionInput drawn = makeInput("D R X S;", 80'001);
    drawn.counters[0] = {"D", 0, 7, {.kind = kKindDate, .start = "2026/12/09", .pattern = "m/d(aaa)"}};
    drawn.counters[1] = {"R", 0, 0, {.kind = kKindRandom, .minimum = -5, .maximum = 99'999, .seed = "27"}};
    drawn.counters[2] = {"X", 0, 0, {.kind = kKindDecimal, .start = "-3", .step = "0.125", .places = 2}};
    drawn.arrays[0] = {"S", ragged, {.end = kEndCycle, .order = kOrderShuffled, .seed = "9"}};
    struct HalvesCase {
        const char* name;
        ExpansionInput input;
    };
    for (const HalvesCase& c : {HalvesCase{"rows", rows}, HalvesCase{"styled", styled}, HalvesCase{"drawn", drawn}}) {
        SCOPED_TRACE(c.name);
        const std::string expected = naive::ExpandTemplate(c.input);
        ASSERT_GT(expected.size(), std::size_t{1} << 20) << "too small to be written in halves";
        const std::string got = ExpandTemplate(c.input);
        ASSERT_EQ(got.size(), expected.size());
        const auto at =
            static_cast<std::size_t>(std::mismatch(got.begin(), got.end(), expected.begin()).first - got.begin());
        EXPECT_EQ(at, got.size()) << "differs from " << expected.substr(at < 40 ? 0 : at - 40, 80);
    }
}

// Lists of a quarter of a megabyte and more are split by two threads, each half on its own: a line break, an empty
// line or a lone LF across the middle, and the lines a run shows ending before it, across it or past it, give the
// lines and the values' bytes (here a later token in the second half) as one thread does.
TEST(ExpandTemplate, aLongListSplitInHalvesGivesTheSameLines) {
    std::string left;  // 200,000 bytes, then the middle, then 200,000 more: what is written across the middle
    std::string right;
    for (int i = 0; i < 50'000; ++i) left.append("ab\r\n");
    for (int i = 0; i < 40'000; ++i) right.append("\r\n<b>");
    for (const char* middle : {"\r\n", "\r\n\r\n", "x\ny", "\n\r"}) {
        for (const std::int32_t loops : {1'000, 50'001, 50'003, 100'002, 150'000}) {
            SCOPED_TRACE(testing::Message()
                         << "middle " << testing::PrintToString(std::string(middle)) << ", " << loops << " passes");
            ExpansionInput in = makeInput("[A]", loops);
            in.arrays[0] = {"A", left + middle + right, {.end = kEndCycle}};
            in.arrays[1] = {"<b>", "B", {.end = kEndKeepLast}};
            EXPECT_EQ(ExpandTemplate(in), naive::ExpandTemplate(in));
        }
    }
}

TEST(MeasureExpansion, runsThePassesOnlyWithinItsBudget) {
    ExpansionInput in = makeInput("<a>", 1000);
    in.arrays[0] = {"<a>", "<b><b>", 1, kEndKeepLast};  // a value holding a later token: only running tells
    in.arrays[1] = {"<b>", "xyz", 1, kEndCycle};
    const std::uint64_t bytes = 6 * 1000 + 2 * 999;
    EXPECT_EQ(measureExpansion(in, bytes), std::optional(ExpansionSize{bytes, 1000}));
    EXPECT_EQ(measureExpansion(in, bytes - 1), std::nullopt);
    in.arrays[0].valuesText = "plain";  // now the plan tells, whatever the budget
    EXPECT_EQ(measureExpansion(in, 0), std::optional(ExpansionSize{5 * 1000 + 2 * 999, 1000}));
    // A date's length is known by writing it, so a date counter is counted within the budget too.
    ExpansionInput dated = makeInput("N", 3);
    dated.counters[0] = {"N", 0, 1};
    dated.counters[0].style.kind = kKindDate;
    EXPECT_EQ(measureExpansion(dated, 34), std::optional(ExpansionSize{34, 3}));  // 2000/01/01 .. 2000/01/03
    EXPECT_EQ(measureExpansion(dated, 33), std::nullopt);
    // At the largest loop count a date is counted once a step, within the work budget.
    dated.loopCount = INT32_MAX;
    const SizeMeasurement daily = measureExpansion(dated, kNoOutputLimit, std::size_t{16} << 20);
    EXPECT_EQ(daily.size, std::nullopt);
    EXPECT_TRUE(daily.outOfWork);
    EXPECT_FALSE(measureExpansion(dated, 10, std::size_t{16} << 20).outOfWork);
    dated.counters[0].style.repeat = 1 << 20;  // 2048 steps, each a date of ten bytes
    const std::uint64_t passes = INT32_MAX;
    EXPECT_EQ(measureExpansion(dated, kNoOutputLimit, std::size_t{16} << 20).size,
              std::optional(ExpansionSize{10 * passes + 2 * (passes - 1), passes}));
}

// A pattern that writes every date in one length is counted without visiting the steps; one whose length
// varies, or that runs out of the calendar, a step at a time within the work budget, which then names the dates.
TEST(MeasureExpansion, countsDatesOfOneLengthAtOnce_andNamesTheDatesWhereTheyStopTheCount) {
    struct DateCase {
        const char* pattern;
        std::int32_t unit;
        std::int32_t increment;
        std::int32_t period;
        bool counted;
    };
    const DateCase cases[] = {
        {"yyyy/mm/dd(aaa)", kUnitDay, 1, 0, true},
        {"hh:mm:ss aaaa ddd", kUnitSecond, -7, 0, true},
        {"yyyy-mm-dd", kUnitBusinessDay, 1, 1000, true},
        {"m/d", kUnitDay, 1, 0, false},
        {"ggge年", kUnitDay, 1, 0, false},
        {"yyyy/mm/dd", kUnitYear, 1, 0, false},
        {"yyyy-mm-dd", kUnitBusinessDay, 1, 0, true},
    };
    for (const DateCase& c : cases) {
        SCOPED_TRACE(c.pattern);
        ExpansionInput in = makeInput("N;", 20000);  // 20 times the steps the budget below counts one by one
        in.counters[0] = {"N", 0, c.increment};
        in.counters[0].style = {.period = c.period, .width = 12, .kind = kKindDate, .start = "2027/04/28 09:00"};
        in.counters[0].style.unit = c.unit;
        in.counters[0].style.pattern = c.pattern;
        const SizeMeasurement measured = measureExpansion(in, kNoOutputLimit, 32 * 1000);
        if (c.counted) {
            EXPECT_EQ(measured.size, std::optional(ExpansionSize{ExpandTemplate(in).size(), 20000}));
        } else {
            EXPECT_EQ(measured.size, std::nullopt);
            EXPECT_TRUE(measured.outOfWork && measured.byDates);
        }
    }
}

// Kanji with units have no closed form of their bytes: a unique round of them is counted value by value.
TEST(MeasureExpansion, countsAUniqueRoundOfKanjiStepByStep) {
    ExpansionInput in = makeInput("N", 21);
    in.firstPass = 98;
    in.counters[0] = {"N", 0, 1};
    in.counters[0].style = {.format = kFormatKanji, .width = 50, .kind = kKindRandom};
    in.counters[0].style.minimum = -603124476, in.counters[0].style.maximum = -603124470;
    in.counters[0].style.unique = 1, in.counters[0].style.seed = "13";
    const std::string whole = naive::ExpandTemplate(in);
    EXPECT_EQ(ExpandTemplate(in), whole);
    EXPECT_EQ(measureExpansion(in, kNoOutputLimit), std::optional(ExpansionSize{whole.size(), 21}));
}

CounterInput styledCounter(std::int32_t initial, std::int32_t increment, const CounterStyle& style) {
    return {"#", initial, increment, style};
}

// At the largest loop count, decimals are counted by the runs of steps whose texts are alike in length; kanji
// with units a step at a time, so only within the work budget, or a period at a time.
TEST(MeasureExpansion, countsDecimalsAtAnyLoopCount_andKanjiWithinTheWorkBudget) {
    constexpr std::uint64_t passes = INT32_MAX;
    constexpr std::size_t work = std::size_t{16} << 20;
    ExpansionInput in = makeInput("<#>", INT32_MAX);
    // 1000000.0 and on by 0.1: nine characters up to 9999999.9, ten up to 99999999.9, eleven after.
    in.counters[0] = {"<#>", 0, 0, {.kind = kKindDecimal, .start = "1000000.0", .step = "0.1"}};
    const std::uint64_t decimals = 9 * 90'000'000ull + 10 * 900'000'000ull + 11 * (passes - 990'000'000);
    EXPECT_EQ(measureExpansion(in, kNoOutputLimit, work).size,
              std::optional(ExpansionSize{decimals + 2 * (passes - 1), passes}));

    in.counters[0] = {"<#>", 0, 1, {.format = kFormatKanji}};
    const SizeMeasurement kanji = measureExpansion(in, kNoOutputLimit, work);
    EXPECT_EQ(kanji.size, std::nullopt);
    EXPECT_TRUE(kanji.outOfWork && kanji.byKanji);
    EXPECT_FALSE(kanji.byDates);
    // With a period of 1000 steps, 2147483 whole periods and 647 steps.
    in.counters[0].style.period = 1000;
    const auto bytesOf = [&](std::int32_t loops) {
        ExpansionInput few = in;
        few.loopCount = loops;
        return naive::ExpandTemplate(few).size() - 2 * static_cast<std::uint64_t>(loops - 1);
    };
    EXPECT_EQ(measureExpansion(in, kNoOutputLimit, work).size,
              std::optional(ExpansionSize{passes / 1000 * bytesOf(1000) + bytesOf(647) + 2 * (passes - 1), passes}));
}

// The counters' bytes are reckoned without visiting the passes: over runs long enough to cross every sign and
// digit band, wrap past the ends of the 32-bit range, and start periods over, they agree with the output.
TEST(MeasureExpansion, countsStyledCountersExactlyOverLongRuns) {
    struct SizeCase {
        const char* name;
        std::int32_t loops;
        std::int32_t firstPass;
        CounterInput counter;
    };
    const SizeCase cases[] = {
        {"decimalPastInt32Max", 100000, 0, styledCounter(INT32_MAX - 50000, 1, {})},
        {"decimalWrapsTwice", 140000, 0, styledCounter(12345, 65537, {})},
        {"decimalDownThroughZero", 3000, 0, styledCounter(1000, -1, {})},
        {"decimalDownWithZeros", 90000, 0, styledCounter(40000, -1, {.width = 6})},
        {"hexDownZeroFill", 150000, 0, styledCounter(5, -30011, {.format = kFormatHexLower, .width = 5})},
        {"hexUpperBlankFill", 150000, 0, styledCounter(-77, 28657, {.format = kFormatHexUpper, .width = 7, .fill = 1})},
        {"octalWide", 120000, 0, styledCounter(INT32_MIN, 40009, {.format = kFormatOctal, .width = 12, .fill = 1})},
        {"binaryWiderThanAnyValue", 50000, 0, styledCounter(3, 86017, {.format = kFormatBinary, .width = 40})},
        {"binaryNarrow", 50000, 0, styledCounter(0, -86017, {.format = kFormatBinary, .width = 17})},
        {"lettersFromInt32Min", 150000, 0, styledCounter(INT32_MIN, 30011, {.format = kFormatLettersLower})},
        {"lettersUpperRepeatPeriod", 200000, 12345,
         styledCounter(-3000, 997, {.repeat = 3, .period = 1001, .format = kFormatLettersUpper, .width = 4})},
        {"repeatFromALatePass", 200000, INT32_MAX - 100, styledCounter(0, (1 << 20) + 7, {.repeat = 7})},
        {"periodLongerThanTheRun", 5000, 0, styledCounter(INT32_MAX, 1, {.period = 6000})},
        {"periodOne", 1000, 3, styledCounter(-1, 5, {.period = 1})},
        {"zeroIncrement", 1000, 0, styledCounter(-7, 0, {.width = 3})},
        {"alternatingHalves", 1001, 0, styledCounter(0, INT32_MIN, {.width = 3})},
        {"rulesOutOfRange", 5000, 0,
         styledCounter(-5, 999331, {.repeat = -5, .period = -1, .format = 13, .width = 99, .fill = 7})},
        // The Japanese formats: three bytes a sign, a width in characters, circled up to 50 only.
        {"fullWidthThroughZero", 30000, 0, styledCounter(-12000, 1, {.format = kFormatFullWidth, .width = 6})},
        {"fullWidthBlanksWrapping", 30000, 0,
         styledCounter(INT32_MAX - 9, 300113, {.format = kFormatFullWidth, .width = 11, .fill = 1})},
        {"kanjiDigitsWide", 30000, 0, styledCounter(INT32_MIN, 400009, {.format = kFormatKanjiDigits, .width = 12})},
        {"circledAcrossFifty", 400, 0, styledCounter(-120, 1, {.format = kFormatCircled, .width = 2})},
        {"circledWrapping", 30000, 0, styledCounter(7, 262147, {.format = kFormatCircled})},
        {"irohaAcrossSignCounts", 30000, 0, styledCounter(-2300, 17, {.format = kFormatIroha, .width = 3})},
        {"aiueoFromInt32Min", 30000, 0, styledCounter(INT32_MIN, 150011, {.format = kFormatAiueo, .width = 7})},
        // Kanji with units are counted a step at a time, decimals by their runs of steps alike in length: with a
        // period, one period's steps.
        {"kanjiWithUnits", 30000, 0, styledCounter(9990, 1, {.format = kFormatKanji, .width = 5})},
        {"kanjiWithUnitsPeriod", 30000, 777,
         styledCounter(-5, 9, {.repeat = 3, .period = 1001, .format = kFormatKanji})},
        {"decimalsThroughZero", 30000, 5,
         styledCounter(0, 0,
                       {.repeat = 2, .width = 6, .kind = kKindDecimal, .start = "-3.5", .step = "0.001", .places = 2})},
        {"decimalsPeriodPastEighteenDigits", 20000, 0,
         styledCounter(0, 0,
                       {.period = 1003,
                        .width = 21,
                        .fill = 1,
                        .kind = kKindDecimal,
                        .start = "999999999999999900",
                        .step = "0.25",
                        .places = 1})},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpansionInput in = makeInput("<#>", c.loops);
        in.firstPass = c.firstPass;
        in.counters[0] = c.counter;
        // Against the step-by-step form: the expansion sizes its output by the same reckoning.
        const auto passes = static_cast<std::uint64_t>(c.loops);
        EXPECT_EQ(measureExpansion(in, 0), std::optional(ExpansionSize{naive::ExpandTemplate(in).size(), passes}));
    }
}

// The bytes of the counter's texts over the passes, formatted one step at a time the obvious way.
std::uint64_t stepByStepBytes(const CounterInput& counter, std::uint64_t first, std::uint64_t passes) {
    const auto repeat = static_cast<std::uint64_t>(std::max(1, counter.style.repeat));
    std::uint64_t bytes = 0;
    for (std::uint64_t pass = first; pass < first + passes;) {
        const std::uint64_t next = std::min(first + passes, (pass / repeat + 1) * repeat);
        const auto value = naive::CounterValue(counter, static_cast<std::int64_t>(pass));
        bytes += (next - pass) * naive::FormatCounter(counter, value).size();
        pass = next;
    }
    return bytes;
}

TEST(MeasureExpansion, countsTheLargestLoopCountExactly) {
    struct LongCase {
        const char* name;
        std::int32_t firstPass;
        CounterInput counter;
        std::uint64_t bytes;  // of the counters' texts; 0: summed step by step (a repeat keeps the steps few)
    };
    const LongCase cases[] = {
        // Every decimal length from 1 to 2147483647, and every negative one from INT32_MIN up: by hand.
        {"everyPositiveInt32", 0, styledCounter(1, 1, {}), 20363725369},
        {"everyNegativeInt32", 0, styledCounter(INT32_MIN, 1, {}), 22511209025},
        {"decimalWrapping", 0, styledCounter(-9, 8191, {.repeat = 4099}), 0},
        {"lettersPeriodFromTheLastPass", INT32_MAX,
         styledCounter(700, -2, {.repeat = 2053, .period = 1000, .format = kFormatLettersLower}), 0},
        {"binaryBlanks", 0,
         styledCounter(1, -1234567, {.repeat = 8191, .format = kFormatBinary, .width = 20, .fill = 1}), 0},
        {"hexPeriod", 77,
         styledCounter(-70000, 1 << 24, {.repeat = 3001, .period = 77, .format = kFormatHexUpper, .width = 9}), 0},
    };
    for (const LongCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpansionInput in = makeInput("#", INT32_MAX);
        in.firstPass = c.firstPass;
        in.counters[0] = c.counter;
        const std::uint64_t passes = INT32_MAX;
        const std::uint64_t bytes = c.bytes ? c.bytes : stepByStepBytes(c.counter, c.firstPass, passes);
        EXPECT_EQ(measureExpansion(in, 0), std::optional(ExpansionSize{bytes + 2 * (passes - 1), passes}));
    }
}

// Where the passes must be run, the work they cost is bounded too: a pass can grow and shrink back to nothing,
// so the output alone would let the count run for hours.
TEST(MeasureExpansion, givesUpOnceRunningThePassesCostsItsWorkBudget) {
    ExpansionInput holding = makeInput("<a>", 1000);
    holding.arrays[0] = {"<a>", "<b><b>", 1, kEndKeepLast};
    holding.arrays[1] = {"<b>", "xyz", 1, kEndCycle};
    ExpansionInput shrinking = makeInput("<a>", 20);
    shrinking.arrays[0] = {"<a>", std::string(4000, 'C'), 1, kEndKeepLast};
    shrinking.arrays[1] = {"C", ""};
    for (const ExpansionInput* small : {&holding, &shrinking}) {
        SCOPED_TRACE(small->arrays[0].valuesText.substr(0, 6));
        const std::optional<ExpansionSize> exact = measureExpansion(*small, kNoOutputLimit);
        ASSERT_TRUE(exact);
        const SizeMeasurement within = measureExpansion(*small, kNoOutputLimit, std::size_t{16} << 20);
        EXPECT_EQ(within.size, exact);
        EXPECT_FALSE(within.outOfWork);
        EXPECT_EQ(ExpandTemplate(*small, kNoOutputLimit, kNoOutputLimit, std::size_t{16} << 20).text,
                  ExpandTemplate(*small));

        ExpansionInput large = *small;
        large.loopCount = INT32_MAX;
        const SizeMeasurement over = measureExpansion(large, kNoOutputLimit, std::size_t{16} << 20);
        EXPECT_EQ(over.size, std::nullopt);
        EXPECT_TRUE(over.outOfWork);
        // An output budget reached first is told apart.
        const SizeMeasurement outgrown = measureExpansion(large, 10, std::size_t{16} << 20);
        EXPECT_EQ(outgrown.size, std::nullopt);
        EXPECT_FALSE(outgrown.outOfWork);
        EXPECT_TRUE(ExpandTemplate(*small, kNoOutputLimit, kNoOutputLimit, 10000).limitReached);
    }
}

TEST(ExpandTemplate, limitStopsBeforeBuildingTheOutput) {
    ExpansionInput in = makeInput("0123456789", 100);  // 10 * 100 + 2 * 99 = 1198 bytes
    EXPECT_EQ(ExpandTemplate(in, 1198).text.size(), 1198u);
    ExpansionResult over = ExpandTemplate(in, 1197);
    EXPECT_TRUE(over.limitReached);
    EXPECT_TRUE(over.text.empty());

    in.counters[0] = {"1", 0, 1};  // the token occurs in values, so the passes are simulated
    const std::string full = ExpandTemplate(in);
    EXPECT_FALSE(ExpandTemplate(in, full.size()).limitReached);
    EXPECT_TRUE(ExpandTemplate(in, full.size() - 1).limitReached);
}

// Every edge of the limit, in the planned path and in the simulated one (a counter whose token its own
// digits can form forces the simulation).
TEST(ExpandTemplate, limitHoldsAtItsExactEdgesInBothPaths) {
    ExpansionInput planned = makeInput("id=NN;", 12);
    planned.counters[0] = {"NN", 95, 1};  // values grow from 2 to 3 digits on the way
    planned.arrays[0] = {"id", "x\r\n\r\nyy"};
    ExpansionInput simulated = planned;
    simulated.counters[1] = {"9", 0, 1};
    for (const ExpansionInput* in : {&planned, &simulated}) {
        const std::string full = ExpandTemplate(*in);
        ExpansionInput one = *in;
        one.loopCount = 1;
        const std::size_t limits[] = {0,
                                      in->templateText.size(),
                                      ExpandTemplate(one).size(),
                                      full.size(),
                                      full.size() - 1,
                                      full.size() - 2,
                                      full.size() + 1};
        for (const std::size_t limit : limits) {
            const ExpansionResult result = ExpandTemplate(*in, limit);
            EXPECT_EQ(result.limitReached, full.size() > limit) << in->counters[1].token << " limit " << limit;
            EXPECT_EQ(result.text, result.limitReached ? "" : full) << in->counters[1].token << " limit " << limit;
        }
    }
    EXPECT_NE(ExpandTemplate(planned), ExpandTemplate(simulated));
}

TEST(ExpandTemplate, aPassGrowingPastTheLimitIsStoppedBeforeItIsBuilt) {
    // Each slot's value holds 4000 of the next token: one pass would be 4000^4 bytes.
    ExpansionInput in = makeInput(std::string(4000, 'A'), 1);
    in.arrays[0] = {"A", std::string(4000, 'B')};
    in.arrays[1] = {"B", std::string(4000, 'C')};
    in.arrays[2] = {"C", std::string(4000, 'D')};
    const ExpansionResult result = ExpandTemplate(in, std::size_t{32} << 20);
    EXPECT_TRUE(result.limitReached);
    EXPECT_TRUE(result.text.empty());
    // A pass that grows past the caller's work cap is refused, even when it would shrink back within the limit.
    ExpansionInput shrinking = makeInput("AB", 1);
    shrinking.arrays[0] = {"A", std::string(100, 'C')};
    shrinking.arrays[1] = {"C", ""};
    EXPECT_EQ(ExpandTemplate(shrinking, 10, 101).text, "B");  // 100 C and the B on the way
    EXPECT_TRUE(ExpandTemplate(shrinking, 10, 100).limitReached);
}

TEST(ExpandTemplate, hugeLoopCountIsRefusedByTheLimitWithoutAllocating) {
    ExpansionInput in = makeInput("a long line of text that repeats", INT32_MAX);
    in.counters[0] = {"line", 0, 1};
    const ExpansionResult result = ExpandTemplate(in, 1u << 20);
    EXPECT_TRUE(result.limitReached);
    EXPECT_EQ(result.text.capacity() < (1u << 20), true);
}

}  // namespace
}  // namespace ravolin
