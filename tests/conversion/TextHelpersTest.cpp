#include "conversion/TextHelpers.h"

#include <gtest/gtest.h>

#include <climits>

namespace ravolin {
namespace {

TEST(ReplaceAll, followsLeftToRightScanWithoutRescanning) {
    struct Case {
        std::string text, pattern, replacement, expected;
    };
    const Case cases[] = {
        {"aXb", "X", "XX", "aXXb"},           // inserted text is not searched again
        {"aaa", "aa", "b", "ba"},             // occurrences don't overlap
        {"aXbXc", "X", "", "abc"},            // empty replacement deletes
        {"abc", "z", "y", "abc"},             // no occurrence
        {"", "a", "b", ""},                   // empty text
        {"XX", "X", "XX", "XXXX"},            // adjacent occurrences each replaced once
        {"a\r\nb\r\n", "\r\n", ",", "a,b,"},  // line form to file form
        {"a,,b", ",", "\r\n", "a\r\n\r\nb"},  // and back
        {"ab", "ab", "", ""},                 // whole text
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceAll(c.text, c.pattern, c.replacement), c.expected) << c.text << " / " << c.pattern;
    }
}

TEST(ReplaceAllWithNumber, writesPlainSignedDecimal) {
    struct Case {
        std::int32_t value;
        std::string expected;
    };
    const Case cases[] = {
        {0, "<0>"}, {42, "<42>"}, {-7, "<-7>"}, {INT32_MIN, "<-2147483648>"}, {INT32_MAX, "<2147483647>"}};
    for (const Case& c : cases) EXPECT_EQ(ReplaceAllWithNumber("<N>", "N", c.value), c.expected);
}

TEST(ExtractBetween, reportsPieceAndClosingPosition) {
    struct Case {
        std::string text;
        std::size_t start;
        std::string expected;
        std::size_t closePos;
    };
    const Case cases[] = {
        {",a,b,", 0, "a", 2},     {",a,b,", 2, "b", 4},
        {",a,b,", 4, "", kNone},   // opening delimiter is last: nothing closes it
        {",a,b,", 5, "", kNone},   // start at the end
        {",a,b,", 99, "", kNone},  // start beyond the end
        {"a,b", 0, "b", kNone},    // unclosed piece runs to the end but reports none
        {"abc", 0, "", kNone},     // no opening delimiter
        {",,", 0, "", 1},          // empty piece
    };
    for (const Case& c : cases) {
        std::size_t closePos = 12345;
        EXPECT_EQ(ExtractBetween(c.text, ",", ",", c.start, &closePos), c.expected) << c.text << " @" << c.start;
        EXPECT_EQ(closePos, c.closePos) << c.text << " @" << c.start;
    }
    EXPECT_EQ(ExtractBetween("[x]", "[", "]", 0), "x");  // the position is optional
}

TEST(SplitBetween, dropsTextOutsideTheDelimiters) {
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(SplitBetween(",a,b,", ",", ","), (Pieces{"a", "b"}));
    EXPECT_EQ(SplitBetween("a,b", ",", ","), Pieces{});
    EXPECT_EQ(SplitBetween(",,", ",", ","), Pieces{""});
    EXPECT_EQ(SplitBetween(",a,,b,", ",", ","), (Pieces{"a", "", "b"}));
    EXPECT_EQ(SplitBetween("", ",", ","), Pieces{});
}

TEST(SplitLines, splitsOnlyAtCrLf) {
    using Lines = std::vector<std::string>;
    struct Case {
        std::string text;
        Lines expected;
    };
    const Case cases[] = {
        {"", {""}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b", ""}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"\r\na", {"", "a"}},
        {"a\rb\nc", {"a\rb\nc"}},  // a lone CR or LF is an ordinary byte
        {"\r\n", {"", ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitLines(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace ravolin
