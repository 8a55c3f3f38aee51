#include "conversion/DateCounter.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "conversion/Expansion.h"
#include "tests/conversion/NaiveExpansion.h"

namespace ravolin {
namespace {

using namespace std::chrono;

// A date counter "N" alone in the template; the passes are written with "|" between them.
struct DateRun {
    const char* start;
    std::int32_t unit;
    std::int32_t increment;
    std::int32_t loops;
    const char* pattern = "yyyy/mm/dd";
    const char* daysOff = "";
    std::int32_t repeat = 1;
    std::int32_t period = 0;
    std::int32_t firstPass = 0;
};

ExpansionInput dateInput(const DateRun& run) {
    ExpansionInput in;
    in.templateText = "N";
    in.loopCount = run.loops;
    in.firstPass = run.firstPass;
    in.counters[0] = {"N", 0, run.increment};
    CounterStyle& style = in.counters[0].style;
    style = {.repeat = run.repeat, .period = run.period, .kind = kKindDate, .start = run.start, .unit = run.unit};
    style.daysOff = run.daysOff;
    style.pattern = run.pattern;
    return in;
}

std::string passes(const ExpansionInput& in) {
    const std::string text = ExpandTemplate(in);
    std::string joined;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool lineBreak = text.compare(at, 2, "\r\n") == 0;
        joined.push_back(lineBreak ? '|' : text[at]);
        at += lineBreak ? 1 : 0;
    }
    return joined;
}

struct Case {
    const char* name;
    DateRun run;
    std::string expected;
};

void expectRuns(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c) {
        const ExpansionInput in = dateInput(c->run);
        EXPECT_EQ(passes(in), c->expected) << c->name;
        EXPECT_EQ(naive::ExpandTemplate(in), ExpandTemplate(in)) << c->name << " (reference)";
    }
}

TEST(DateCounter, eachUnitStepsAcrossMonthEndsLeapYearsAndTheCalendarsEnds) {
    const char* time = "yyyy/mm/dd hh:mm:ss";
    const Case cases[] = {
        {"dayLeap2024", {"2024/02/27", kUnitDay, 1, 4}, "2024/02/27|2024/02/28|2024/02/29|2024/03/01"},
        {"day1900NotLeap", {"1900/02/28", kUnitDay, 1, 2}, "1900/02/28|1900/03/01"},
        {"day2000Leap", {"2000-2-28", kUnitDay, 1, 3}, "2000/02/28|2000/02/29|2000/03/01"},
        {"weekAcrossTheYear", {"2027/12/20", kUnitWeek, 1, 3}, "2027/12/20|2027/12/27|2028/01/03"},
        {"monthKeepsTheStartsDay", {"2027/01/31", kUnitMonth, 1, 4}, "2027/01/31|2027/02/28|2027/03/31|2027/04/30"},
        {"monthLeap", {"2024/01/31", kUnitMonth, 1, 2}, "2024/01/31|2024/02/29"},
        {"monthBackwards", {"2027/03/31", kUnitMonth, -1, 3}, "2027/03/31|2027/02/28|2027/01/31"},
        {"yearFromLeapDay", {"2024/02/29", kUnitYear, 1, 3}, "2024/02/29|2025/02/28|2026/02/28"},
        {"yearsOf4Across1900", {"1896/02/29", kUnitYear, 4, 3}, "1896/02/29|1900/02/28|1904/02/29"},
        {"hourKeepsGoing",
         {"2027/03/31 22:00", kUnitHour, 1, 3, time},
         "2027/03/31 22:00:00|2027/03/31 23:00:00|2027/04/01 00:00:00"},
        {"quarterHours",
         {"2027/12/31 23:45", kUnitMinute, 15, 3, time},
         "2027/12/31 23:45:00|2028/01/01 00:00:00|2028/01/01 00:15:00"},
        {"lastSecondThenNothing",
         {"9999/12/31 23:59:58", kUnitSecond, 1, 3, time},
         "9999/12/31 23:59:58|9999/12/31 23:59:59|"},
        {"firstDayThenNothing", {"1/1/2", kUnitDay, -1, 3}, "0001/01/02|0001/01/01|"},
        {"lastMonthThenNothing", {"9999/11/30", kUnitMonth, 1, 3}, "9999/11/30|9999/12/30|"},
        {"secondsFarAhead", {"2000/01/01", kUnitSecond, INT32_MAX, 2, time}, "2000/01/01 00:00:00|2068/01/19 03:14:07"},
        {"daysFarBeyond", {"2000/01/01", kUnitDay, INT32_MIN, 3}, "2000/01/01||"},
        {"repeatAndPeriod", {"2027/04/01", kUnitDay, 1, 6, "mm/dd", "", 2, 2}, "04/01|04/01|04/02|04/02|04/01|04/01"},
        {"fromALaterPass", {"2027/04/01", kUnitDay, 1, 6, "mm/dd", "", 2, 2, 3}, "04/02|04/01|04/01|04/02|04/02|04/01"},
        {"unknownUnitIsDays", {"2027/01/01", 8, 1, 2}, "2027/01/01|2027/01/02"},
        {"unreadableStartIs2000", {"2027/02/30", kUnitDay, 1, 2}, "2000/01/01|2000/01/02"},
        {"noIncrement", {"2027/01/01 12:00", kUnitMonth, 0, 2, time}, "2027/01/01 12:00:00|2027/01/01 12:00:00"},
    };
    expectRuns(std::begin(cases), std::end(cases));
}

TEST(DateCounter, businessDaysSkipWeekendsHolidaysAndTheCountersOwnDaysOff) {
    const char* yearEnd = "12/29 12/30 12/31 01/02 01/03";
    const Case cases[] = {
        {"goldenWeek2027",
         {"2027/04/28", kUnitBusinessDay, 1, 5},
         "2027/04/28|2027/04/30|2027/05/06|2027/05/07|2027/05/10"},
        {"startOnAHolidayMovesOn", {"2027/05/03", kUnitBusinessDay, 1, 2}, "2027/05/06|2027/05/07"},
        {"backwardsStartsOnOrBefore", {"2027/05/05", kUnitBusinessDay, -1, 3}, "2027/04/30|2027/04/28|2027/04/27"},
        {"twoAStep", {"2027/04/28", kUnitBusinessDay, 2, 3}, "2027/04/28|2027/05/06|2027/05/10"},
        {"newYearWithOwnDaysOff",
         {"2027/12/27", kUnitBusinessDay, 1, 4, "yyyy/mm/dd", yearEnd},
         "2027/12/27|2027/12/28|2028/01/04|2028/01/05"},
        {"ownDatedDayOff",
         {"2027/12/27", kUnitBusinessDay, 1, 4, "yyyy/mm/dd", "2028/01/04 12/28 bad"},
         "2027/12/27|2027/12/29|2027/12/30|2027/12/31"},
        {"timeOfDayKept", {"2027/04/29 09:30", kUnitBusinessDay, 1, 2, "mm/dd hh:mm"}, "04/30 09:30|05/06 09:30"},
        {"period", {"2027/04/28", kUnitBusinessDay, 1, 4, "mm/dd", "", 1, 2}, "04/28|04/30|04/28|04/30"},
        {"fromALaterPass", {"2027/04/28", kUnitBusinessDay, 1, 2, "mm/dd", "", 1, 0, 3}, "05/07|05/10"},
        {"pastTheLastDay", {"9999/12/30", kUnitBusinessDay, 1, 3}, "9999/12/30|9999/12/31|"},
    };
    expectRuns(std::begin(cases), std::end(cases));
}

TEST(DatePattern, everyCodeLiteralsAndTheMinuteRule) {
    struct Pattern {
        const char* pattern;
        std::string expected;
    };
    // A Monday.
    const DateTime value = sys_days{2027y / April / 5} + hours{9} + minutes{7} + seconds{3};
    const Pattern cases[] = {
        {"yyyy", "2027"},
        {"yy", "27"},
        {"m", "4"},
        {"mm", "04"},
        {"d", "5"},
        {"dd", "05"},
        {"aaa", "月"},
        {"aaaa", "月曜日"},
        {"ddd", "Mon"},
        {"dddd", "Monday"},
        {"h", "9"},
        {"hh", "09"},
        {"s", "3"},
        {"ss", "03"},
        {"h:m", "9:7"},
        {"hh:mm", "09:07"},
        {"h時mm分", "9時07分"},
        {"mm:ss", "07:03"},
        {"m\"分\"ss", "7分03"},
        {"m/d h:mm", "4/5 9:07"},
        {"yyyy/m/d m", "2027/4/5 4"},    // no hour before, no second after: a month
        {"hh:mm:ss mm", "09:07:03 04"},  // the nearest code before is the second
        {"ggg", "令和"},
        {"gg", "令"},
        {"g", "R"},
        {"e", "9"},
        {"ee", "09"},
        {"ggge年m月d日(aaa)", "令和9年4月5日(月)"},
        {"\"yyyy\"yyyy", "yyyy2027"},
        {"\\yyy", "y27"},
        {"\\年", "年"},
        {"yyyyy a aa", "2027y a aa"},
        {"\"open", "open"},
        {"x\\", "x\\"},
        {"Q-yyyy", "Q-2027"},
        {"", ""},
    };
    for (const Pattern& c : cases) {
        EXPECT_EQ(formatDateTime(value, c.pattern), c.expected) << c.pattern;
        EXPECT_EQ(naive::FormatDate(value, c.pattern), c.expected) << c.pattern << " (reference)";
    }
}

TEST(DatePattern, erasChangeOnTheirFirstDay) {
    struct Era {
        year_month_day day;
        std::string expected;
    };
    const Era cases[] = {
        {1868y / September / 7, ",,,1868,1868"},
        {1868y / September / 8, "明治,明,M,1,01"},
        {1912y / July / 29, "明治,明,M,45,45"},
        {1912y / July / 30, "大正,大,T,1,01"},
        {1926y / December / 24, "大正,大,T,15,15"},
        {1926y / December / 25, "昭和,昭,S,1,01"},
        {1989y / January / 7, "昭和,昭,S,64,64"},
        {1989y / January / 8, "平成,平,H,1,01"},
        {2019y / April / 30, "平成,平,H,31,31"},
        {2019y / May / 1, "令和,令,R,1,01"},
        {1y / January / 1, ",,,1,01"},
    };
    for (const Era& c : cases) {
        EXPECT_EQ(formatDateTime(DateTime{sys_days{c.day}}, "ggg,gg,g,e,ee"), c.expected) << c.expected;
        EXPECT_EQ(naive::FormatDate(DateTime{sys_days{c.day}}, "ggg,gg,g,e,ee"), c.expected) << c.expected;
    }
}

TEST(DateCounter, widthPadsTheWholeTextWithBlanksByCharacters) {
    ExpansionInput in = dateInput({"2027/04/05", kUnitDay, 1, 1, "m月d日"});
    in.counters[0].style.width = 6;
    EXPECT_EQ(ExpandTemplate(in), "  4月5日");
    in.counters[0].style.width = 3;
    EXPECT_EQ(ExpandTemplate(in), "4月5日");
    in.counters[0].style = dateInput({"9999/12/31", kUnitDay, 1, 2, "yyyy"}).counters[0].style;
    in.counters[0].style.width = 70;  // read as 64; nothing at all past the calendar
    in.loopCount = 2;
    EXPECT_EQ(ExpandTemplate(in), std::string(60, ' ') + "9999\r\n");
    EXPECT_EQ(naive::ExpandTemplate(in), ExpandTemplate(in));
}

TEST(parseDateTime, readsTheWrittenFormsOnly) {
    struct Text {
        const char* text;
        std::string asRead;  // "" for unreadable
    };
    const Text cases[] = {
        {"2027/4/1", "2027/04/01 00:00:00"},
        {"2027-04-01 9:05", "2027/04/01 09:05:00"},
        {" 2027/04/01  09:05:07 ", "2027/04/01 09:05:07"},
        {"1/1/1", "0001/01/01 00:00:00"},
        {"9999/12/31 23:59:59", "9999/12/31 23:59:59"},
        {"2024/02/29", "2024/02/29 00:00:00"},
        {"2027/02/29", ""},
        {"2027/13/01", ""},
        {"2027/04/01 24:00", ""},
        {"2027/04/01 09:60", ""},
        {"2027/04/01 9", ""},
        {"0/01/01", ""},
        {"10000/01/01", ""},
        {"2027/004/01", ""},
        {"2027/04/01T09:00", ""},
        {"", ""},
    };
    for (const Text& c : cases) {
        const std::optional<DateTime> read = parseDateTime(c.text);
        EXPECT_EQ(read ? formatDateTime(*read, "yyyy/mm/dd hh:mm:ss") : "", c.asRead) << c.text;
    }
}

TEST(parseDaysOff, takesDatesAndYearlyDaysAndSetsTheRestAside) {
    const DaysOff off = parseDaysOff(
        "12/29 2028-01-05  x\t13/01 02/29\xE3\x80\x80"
        "1/3 2027/02/29");
    EXPECT_EQ(off.dates, std::vector<sys_days>{sys_days{2028y / January / 5}});
    EXPECT_EQ(off.unreadable, (std::vector<std::string>{"x", "13/01", "2027/02/29"}));
    struct Day {
        year_month_day day;
        bool off;
    };
    const Day cases[] = {{2030y / December / 29, true}, {2024y / February / 29, true}, {2031y / January / 3, true},
                         {2028y / January / 5, true},   {2029y / January / 5, false},  {2030y / December / 28, false}};
    for (const Day& c : cases) EXPECT_EQ(off.holds(sys_days{c.day}), c.off) << int{c.day.year()};
}

}  // namespace
}  // namespace ravolin
