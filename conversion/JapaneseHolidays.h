#pragma once

#include <chrono>
#include <vector>

namespace ravolin {

// The first and last days the holiday rules cover: the day the Act on National Holidays took effect, and the
// end of the years its rules are written out for. Outside them no day is a public holiday.
inline constexpr std::chrono::year_month_day kHolidaysFrom{std::chrono::year{1948}, std::chrono::July,
                                                           std::chrono::day{20}};
inline constexpr std::chrono::year_month_day kHolidaysTo{std::chrono::year{2099}, std::chrono::December,
                                                         std::chrono::day{31}};

// Whether `day` is a Japanese public holiday as the act stood on that day: a named holiday, a one-off day, a
// substitute holiday (振替休日) or a citizens' holiday (国民の休日).
bool isJapaneseHoliday(std::chrono::sys_days day);

// Every such day of `year`, in order.
std::vector<std::chrono::sys_days> japaneseHolidays(int year);

}  // namespace ravolin
