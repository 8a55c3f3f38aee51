#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/Expansion.h"

// The date and time counters: reading a start and days off as stored, the steps in calendar units and
// business days, and the spreadsheet-style patterns that write them. Civil time throughout: no zones, no
// daylight saving, the Gregorian calendar back to year 1.

namespace ravolin {

// A date and time, in seconds from 1970/01/01 00:00:00.
using DateTime = std::chrono::sys_seconds;

inline constexpr DateTime kFirstDateTime{std::chrono::sys_days{std::chrono::year{1} / 1 / 1}};
inline constexpr DateTime kLastDateTime{std::chrono::sys_days{std::chrono::year{9999} / 12 / 31} +
                                        std::chrono::seconds{86399}};

// `yyyy/mm/dd`, `yyyy/mm/dd hh:mm` or `yyyy/mm/dd hh:mm:ss`, with `-` also between the date's parts and one or
// two digits for everything but the year (1-9999); nullopt for anything else or a day the calendar lacks.
std::optional<DateTime> parseDateTime(std::string_view text);

// A counter's own days off: dates, and days of the month that are off every year.
struct DaysOff {
    std::vector<std::chrono::sys_days> dates;  // sorted
    std::array<bool, 13 * 32> yearly{};        // by month * 32 + day
    std::vector<std::string> unreadable;       // the entries that are neither, as written

    bool holds(std::chrono::sys_days day) const;
};

// Entries between blanks (spaces, tabs, ideographic spaces), each `yyyy/mm/dd` or `mm/dd`.
DaysOff parseDaysOff(std::string_view text);

// Not a Saturday, a Sunday, a Japanese public holiday or one of `own`.
bool isBusinessDay(std::chrono::sys_days day, const DaysOff& own);

// A pattern read once into its codes and literals.
class DatePattern {
public:
    explicit DatePattern(std::string_view pattern);

    // Appends `value` as the pattern writes it.
    void append(DateTime value, std::string& out) const;
    // Every byte the written text can hold.
    std::string possibleBytes() const;
    // Whether every value in the calendar's range is written in the same number of bytes.
    bool writesOneLength() const;

    enum class Code : std::uint8_t;
    struct Element {
        Code code;
        std::string literal;
    };

private:
    std::vector<Element> m_elements;
};

std::string formatDateTime(DateTime value, std::string_view pattern);

// The values of one date counter, step by step (an effective style: see effectiveStyle).
class DateCounter {
public:
    DateCounter(const CounterStyle& style, std::int32_t increment);

    // The start moved on by step x increment units; nullopt outside 0001/01/01 00:00:00 - 9999/12/31 23:59:59.
    std::optional<DateTime> at(std::uint64_t step) const;
    // The text of that step into `out`, padded with blanks before it to the style's width in characters; empty
    // outside the range.
    void text(std::uint64_t step, std::string& out) const;
    std::string possibleBytes() const;
    // The bytes of each text of the steps 0 .. lastStep where they are all alike in length and none is out of
    // range; nullopt where they may differ, or where telling would walk a long way through business days.
    std::optional<std::size_t> oneTextBytes(std::uint64_t lastStep) const;

private:
    std::optional<std::chrono::sys_days> businessDaysFrom(std::int64_t count) const;

    DateTime m_start;
    std::int32_t m_increment;
    std::int32_t m_unit;
    std::size_t m_width;
    DaysOff m_daysOff;
    DatePattern m_pattern;
    std::optional<std::chrono::sys_days> m_firstBusinessDay;
    // Business days are counted by walking the calendar; the last walk's end starts the next.
    mutable std::int64_t m_walked = 0;
    mutable std::chrono::sys_days m_walkedTo{};
    mutable std::optional<std::int64_t> m_outOfRangeFrom;
};

}  // namespace ravolin
