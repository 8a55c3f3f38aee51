#include "settings/StoredExpansion.h"

#include <gtest/gtest.h>

#include <string>

namespace ravolin {
namespace {

TEST(expansionInputFrom, carriesTheTemplateTheLoopTheShapeAndEverySlotWithItsStyle) {
    Document document;
    WindowSettings& window = document.window;
    window.templateText = "N1-A1\r\nA9";
    window.loopCount = 12;
    window.beep = 1;  // the window's own options take no part
    window.shape = {"[", ",\r\n", "]"};
    Settings& record = document.record;
    for (std::size_t i = 0; i < kCounterCount; ++i) {
        const auto n = static_cast<std::int32_t>(i);
        record.counters[i] = {
            std::string("N").append(std::to_string(i + 1)), 100 * n - 7, 3 - n, {n + 2, n, n + 1, 2 * n, n % 2}};
        record.counters[i].style.kind = n % 2;
        record.counters[i].style.start = std::string("2027/04/0").append(std::to_string(i + 1));
        record.counters[i].style.unit = n;
        record.counters[i].style.daysOff = std::string("12/2").append(std::to_string(i));
        record.counters[i].style.pattern = std::string("yyyy/m/d").append(std::to_string(i));
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        const auto n = static_cast<std::int32_t>(i);
        record.arrays[i] = {std::string("A").append(std::to_string(i + 1)),
                            std::string("x\r\n").append(std::to_string(i)),
                            {n + 1, n % 3}};
    }
    const ExpansionInput input = expansionInputFrom(document);
    EXPECT_EQ(input.templateText, window.templateText);
    EXPECT_EQ(input.loopCount, 12);
    EXPECT_EQ(input.firstPass, 0);
    EXPECT_EQ(input.shape, window.shape);
    for (std::size_t i = 0; i < kCounterCount; ++i) {
        SCOPED_TRACE(std::string("counter ").append(std::to_string(i + 1)));
        const NumericSlot& slot = record.counters[i];
        EXPECT_EQ(input.counters[i].token, slot.token);
        EXPECT_EQ(input.counters[i].initialValue, slot.initialValue);
        EXPECT_EQ(input.counters[i].increment, slot.increment);
        EXPECT_EQ(input.counters[i].style, slot.style);
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        SCOPED_TRACE(std::string("array ").append(std::to_string(i + 1)));
        EXPECT_EQ(input.arrays[i].token, record.arrays[i].token);
        EXPECT_EQ(input.arrays[i].valuesText, record.arrays[i].valuesText);
        EXPECT_EQ(input.arrays[i].style, record.arrays[i].style);
    }
}

}  // namespace
}  // namespace ravolin
