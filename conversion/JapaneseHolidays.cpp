#include "conversion/JapaneseHolidays.h"

#include <algorithm>
#include <iterator>

// The holidays are kept as rows of data, each valid for a span of years; the substitute and citizens'
// holidays follow from them by the two rules of the act, worked out once for every day the rules cover.

namespace ravolin {
namespace {

using namespace std::chrono;

enum class Rule { Fixed, NthMonday, VernalEquinox, AutumnalEquinox };

struct HolidayRow {
    const char* name;
    int fromYear;
    int toYear;
    Rule rule;
    unsigned month;
    unsigned day;  // the day of the month (Fixed), or which Monday (NthMonday)
};

// The named holidays as the act stood over the years; the Olympic years 2020 and 2021 moved three of them,
// which the one-off days below hold.
constexpr HolidayRow kRows[] = {
    {"元日", 1949, 2099, Rule::Fixed, 1, 1},
    {"成人の日", 1949, 1999, Rule::Fixed, 1, 15},
    {"成人の日", 2000, 2099, Rule::NthMonday, 1, 2},
    {"建国記念の日", 1967, 2099, Rule::Fixed, 2, 11},
    {"天皇誕生日", 2020, 2099, Rule::Fixed, 2, 23},
    {"春分の日", 1949, 2099, Rule::VernalEquinox, 3, 0},
    {"天皇誕生日・みどりの日・昭和の日", 1949, 2099, Rule::Fixed, 4, 29},
    {"憲法記念日", 1949, 2099, Rule::Fixed, 5, 3},
    {"みどりの日", 2007, 2099, Rule::Fixed, 5, 4},
    {"こどもの日", 1949, 2099, Rule::Fixed, 5, 5},
    {"海の日", 1996, 2002, Rule::Fixed, 7, 20},
    {"海の日", 2003, 2019, Rule::NthMonday, 7, 3},
    {"海の日", 2022, 2099, Rule::NthMonday, 7, 3},
    {"山の日", 2016, 2019, Rule::Fixed, 8, 11},
    {"山の日", 2022, 2099, Rule::Fixed, 8, 11},
    {"敬老の日", 1966, 2002, Rule::Fixed, 9, 15},
    {"敬老の日", 2003, 2099, Rule::NthMonday, 9, 3},
    {"秋分の日", 1948, 2099, Rule::AutumnalEquinox, 9, 0},
    {"体育の日", 1966, 1999, Rule::Fixed, 10, 10},
    {"体育の日・スポーツの日", 2000, 2019, Rule::NthMonday, 10, 2},
    {"スポーツの日", 2022, 2099, Rule::NthMonday, 10, 2},
    {"文化の日", 1948, 2099, Rule::Fixed, 11, 3},
    {"勤労感謝の日", 1948, 2099, Rule::Fixed, 11, 23},
    {"天皇誕生日", 1989, 2018, Rule::Fixed, 12, 23},
};

// Days made holidays by laws of their own: royal weddings, a funeral, enthronements, and the Olympic moves.
constexpr year_month_day kOneOffDays[] = {
    1959y / April / 10,  1989y / February / 24, 1990y / November / 12, 1993y / June / 9,   2019y / April / 30,
    2019y / May / 1,     2019y / May / 2,       2019y / October / 22,  2020y / July / 23,  2020y / July / 24,
    2020y / August / 10, 2021y / July / 22,     2021y / July / 23,     2021y / August / 8,
};

constexpr year_month_day kSubstitutesFrom = 1973y / April / 12;
constexpr year_month_day kNextFreeDayFrom = 2007y / January / 1;
constexpr year_month_day kCitizensHolidayFrom = 1986y / January / 1;

// The day of the equinox by the standard approximation, in millionths of a day to keep it exact.
unsigned equinoxDay(int year, long long base1980, long long base1900) {
    const long long years = year - 1980;
    const long long leaps = year >= 1980 ? years / 4 : (year - 1983) / 4;  // truncated, as the formula has it
    return static_cast<unsigned>(((year >= 1980 ? base1980 : base1900) + 242194 * years - 1'000'000 * leaps) /
                                 1'000'000);
}

year_month_day dayOf(const HolidayRow& row, int y) {
    const year yr{y};
    switch (row.rule) {
        case Rule::Fixed:
            return yr / month{row.month} / day{row.day};
        case Rule::NthMonday:
            return year_month_day{sys_days{yr / month{row.month} / Monday[row.day]}};
        case Rule::VernalEquinox:
            return yr / March / day{equinoxDay(y, 20'843'100, 20'835'700)};
        case Rule::AutumnalEquinox:
            return yr / September / day{equinoxDay(y, 23'248'800, 23'258'800)};
    }
    return {};
}

class HolidayCalendar {
public:
    HolidayCalendar() : m_first(sys_days{kHolidaysFrom}), m_holiday(dayCount(), false) {
        std::vector<bool> named(dayCount() + 1, false);  // one more, for the day after the last
        const auto mark = [&](year_month_day date) {
            if (date >= kHolidaysFrom && date <= kHolidaysTo) named[index(sys_days{date})] = true;
        };
        for (const HolidayRow& row : kRows) {
            for (int y = row.fromYear; y <= row.toYear; ++y) mark(dayOf(row, y));
        }
        for (const year_month_day date : kOneOffDays) mark(date);
        for (std::size_t i = 0; i < dayCount(); ++i) {
            const sys_days date = m_first + days{i};
            const year_month_day ymd{date};
            bool off = named[i];
            if (!off && ymd >= kSubstitutesFrom) {
                if (ymd < kNextFreeDayFrom) {
                    // A holiday on a Sunday gives the Monday after it.
                    off = i > 0 && named[i - 1] && weekday{date - days{1}} == Sunday;
                } else {
                    // From 2007 the first day after it that is not a holiday itself.
                    for (std::size_t back = i; back > 0 && named[back - 1]; --back) {
                        if (weekday{m_first + days{back - 1}} == Sunday) off = true;
                    }
                }
            }
            // A weekday between two holidays.
            if (!off && ymd >= kCitizensHolidayFrom && i > 0 && named[i - 1] && named[i + 1] && weekday{date} != Sunday)
                off = true;
            m_holiday[i] = off;
        }
    }

    bool holds(sys_days date) const {
        if (date < m_first || date >= m_first + days{dayCount()}) return false;
        return m_holiday[index(date)];
    }

private:
    static std::size_t dayCount() {
        return static_cast<std::size_t>((sys_days{kHolidaysTo} - sys_days{kHolidaysFrom}).count() + 1);
    }
    std::size_t index(sys_days date) const { return static_cast<std::size_t>((date - m_first).count()); }

    sys_days m_first;
    std::vector<bool> m_holiday;
};

const HolidayCalendar& calendar() {
    static const HolidayCalendar instance;
    return instance;
}

}  // namespace

bool isJapaneseHoliday(sys_days day) { return calendar().holds(day); }

std::vector<sys_days> japaneseHolidays(int y) {
    std::vector<sys_days> found;
    for (sys_days d = sys_days{year{y} / January / 1}; d <= sys_days{year{y} / December / 31}; d += days{1}) {
        if (isJapaneseHoliday(d)) found.push_back(d);
    }
    return found;
}

}  // namespace ravolin
