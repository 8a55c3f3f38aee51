#include "platform/core/ControlIntegers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace ravolin {
namespace {

using namespace std::string_literals;

TEST(ReadSignedControlInt, readsOnlyOptionalMinusAndDigitsWithinRange) {
    struct Case {
        std::string text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"-7", -7},
        {"-0", 0},
        {"007", 7},                              // leading zeros are digits like any other
        {"000000000000000000000000000012", 12},  // however many, as long as the value fits
        {"2147483647", 2147483647},              // range ends
        {"-2147483648", INT32_MIN},
        {"2147483648", 0},  // one past either end
        {"-2147483649", 0},
        {"99999999999999999999999", 0},  // far past
        {"  15", 15},                    // surrounding blanks: spaces and tabs
        {"15\t ", 15},
        {"\t -3 \t", -3},
        {"", 0},
        {"   ", 0},
        {"-", 0},
        {"+5", 0},  // only the minus sign is a sign
        {"--5", 0},
        {"- 5", 0},    // the sign belongs to the digits
        {"12abc", 0},  // partly numeric
        {"abc12", 0},
        {"1 2", 0},
        {"1,000", 0},
        {"1.5", 0},
        {"0x1F", 0},
        {"1e3", 0},
        {"\r\n5", 0},  // line breaks are not blanks
        {"5\n", 0},
        {"\v5", 0},
        {"\xEF\xBC\x91\xEF\xBC\x92", 0},  // full-width "１２"
        {"\xE3\x80\x80"
         "5",
         0},          // ideographic space
        {"5\0"s, 0},  // a NUL is neither a blank nor the end
    };
    for (const Case& c : cases) EXPECT_EQ(readSignedControlInt(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ReadUnsignedControlInt, refusesAnySignAndReadsTheFullUnsignedRange) {
    struct Case {
        std::string text;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"0", 0u},
        {"42", 42u},
        {"2147483648", 2147483648u},  // past the signed range, still a value
        {"4294967295", 4294967295u},
        {"4294967296", 0u},            // one past the end
        {"18446744073709551616", 0u},  // past 64 bits too
        {" 8\t", 8u},
        {"-1", 0u},
        {"-0", 0u},
        {"+1", 0u},
        {"", 0u},
        {"3x", 0u},
    };
    for (const Case& c : cases) EXPECT_EQ(readUnsignedControlInt(c.text), c.expected) << '"' << c.text << '"';
}

// One reading for the run, the save and the field's mark.
TEST(ReadLoopField, runReadsUnsignedAsSigned_saveKeepsTheSignedNumber_andTheMarkSaysWhy) {
    constexpr auto fine = LoopCountCheck::Fine, notANumber = LoopCountCheck::NotANumber,
                   over = LoopCountCheck::OverRange;
    struct Case {
        std::string text;
        LoopField expected;
    };
    const Case cases[] = {
        {"10", {10, 10, fine}},
        {"2147483647", {2147483647, 2147483647, fine}},
        {"2147483648", {INT32_MIN, 0, over}},  // the first value that turns negative: no pass
        {"3000000000", {-1294967296, 0, over}},
        {"4294967295", {-1, 0, over}},
        {"4294967296", {0, 0, over}},  // out of the unsigned range: 0, not a wrapped value
        {"99999999999", {0, 0, over}},
        {"-1", {0, -1, notANumber}},  // a minus sign makes the text unreadable to a run, not to a save
        {"-5", {0, -5, notANumber}},
        {" 3 ", {3, 3, fine}},
        {"0003", {3, 3, fine}},
        {"", {0, 0, fine}},
        {"abc", {0, 0, notANumber}},
        {"12x", {0, 0, notANumber}},
        {"+5", {0, 0, notANumber}},
        {"1,000", {0, 0, notANumber}},
        {"１２", {0, 0, notANumber}},  // full-width digits
    };
    for (const Case& c : cases) EXPECT_EQ(readLoopField(c.text), c.expected) << '"' << c.text << '"';
}

}  // namespace
}  // namespace ravolin
