#include "conversion/JapaneseHolidays.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ravolin {
namespace {

using namespace std::chrono;

std::string monthDay(sys_days day) {
    const year_month_day date{day};
    char text[8];
    std::snprintf(text, sizeof text, "%02u/%02u", unsigned{date.month()}, unsigned{date.day()});
    return text;
}

// The public holidays as announced, substitute holidays (振替休日) and citizens' holidays (国民の休日) included.
TEST(JapaneseHolidays, everyHolidayOf2019To2027) {
    struct Case {
        int year;
        std::vector<std::string> days;
    };
    const Case cases[] = {
        {2019, {"01/01", "01/14", "02/11", "03/21", "04/29", "04/30", "05/01", "05/02", "05/03", "05/04", "05/05",
                "05/06", "07/15", "08/11", "08/12", "09/16", "09/23", "10/14", "10/22", "11/03", "11/04", "11/23"}},
        {2020,
         {"01/01", "01/13", "02/11", "02/23", "02/24", "03/20", "04/29", "05/03", "05/04", "05/05", "05/06", "07/23",
          "07/24", "08/10", "09/21", "09/22", "11/03", "11/23"}},
        {2021,
         {"01/01", "01/11", "02/11", "02/23", "03/20", "04/29", "05/03", "05/04", "05/05", "07/22", "07/23", "08/08",
          "08/09", "09/20", "09/23", "11/03", "11/23"}},
        {2022,
         {"01/01", "01/10", "02/11", "02/23", "03/21", "04/29", "05/03", "05/04", "05/05", "07/18", "08/11", "09/19",
          "09/23", "10/10", "11/03", "11/23"}},
        {2023,
         {"01/01", "01/02", "01/09", "02/11", "02/23", "03/21", "04/29", "05/03", "05/04", "05/05", "07/17", "08/11",
          "09/18", "09/23", "10/09", "11/03", "11/23"}},
        {2024, {"01/01", "01/08", "02/11", "02/12", "02/23", "03/20", "04/29", "05/03", "05/04", "05/05", "05/06",
                "07/15", "08/11", "08/12", "09/16", "09/22", "09/23", "10/14", "11/03", "11/04", "11/23"}},
        {2025,
         {"01/01", "01/13", "02/11", "02/23", "02/24", "03/20", "04/29", "05/03", "05/04", "05/05", "05/06", "07/21",
          "08/11", "09/15", "09/23", "10/13", "11/03", "11/23", "11/24"}},
        {2026,
         {"01/01", "01/12", "02/11", "02/23", "03/20", "04/29", "05/03", "05/04", "05/05", "05/06", "07/20", "08/11",
          "09/21", "09/22", "09/23", "10/12", "11/03", "11/23"}},
        {2027,
         {"01/01", "01/11", "02/11", "02/23", "03/21", "03/22", "04/29", "05/03", "05/04", "05/05", "07/19", "08/11",
          "09/20", "09/23", "10/11", "11/03", "11/23"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> found;
        for (const sys_days day : japaneseHolidays(c.year)) found.push_back(monthDay(day));
        EXPECT_EQ(found, c.days) << c.year;
    }
}

// Older years by sample: each rule at its first and last year, the one-off days, and days that are not
// holidays because a rule did not hold yet or any more.
TEST(JapaneseHolidays, olderYearsFollowTheActAsItStoodThen) {
    struct Case {
        year_month_day day;
        bool holiday;
    };
    const Case cases[] = {
        {1948y / July / 19, false},     {1948y / May / 5, false},       // before the act
        {1948y / September / 23, true}, {1948y / November / 23, true},  // the first holidays under it
        {1949y / January / 1, true},    {1949y / January / 15, true},   {1949y / March / 21, true},
        {1949y / April / 29, true},     {1959y / April / 10, true},     {1966y / September / 15, true},
        {1966y / October / 10, true},   {1967y / February / 11, true},  {1966y / February / 11, false},
        {1972y / January / 17, false},  // 成人の日 on a Sunday, before substitute holidays
        {1973y / April / 30, true},     // the first substitute holiday
        {1979y / September / 24, true}, {1985y / May / 4, false},       {1988y / May / 4, true},  // 国民の休日
        {1989y / February / 24, true},  {1989y / April / 29, true},     {1989y / December / 23, true},
        {1990y / November / 12, true},  {1993y / June / 9, true},       {1996y / July / 20, true},
        {1995y / July / 20, false},     {1999y / January / 15, true},   {2000y / January / 10, true},
        {2000y / January / 15, false},  {2003y / July / 21, true},      {2003y / September / 15, true},
        {2006y / May / 4, true},        {2008y / May / 6, true},  // the first day after that is no holiday
        {2009y / September / 22, true}, {2015y / September / 22, true}, {2016y / August / 11, true},
        {2015y / August / 11, false},   {2018y / December / 24, true},  {2019y / December / 23, false},
        {2099y / December / 23, false}, {2099y / November / 23, true},  {2100y / January / 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isJapaneseHoliday(sys_days{c.day}), c.holiday)
            << int{c.day.year()} << "/" << unsigned{c.day.month()} << "/" << unsigned{c.day.day()};
}

}  // namespace
}  // namespace ravolin
