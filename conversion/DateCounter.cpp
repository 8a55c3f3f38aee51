#include "conversion/DateCounter.h"

#include <algorithm>
#include <charconv>

#include "conversion/JapaneseHolidays.h"

namespace ravolin {

using namespace std::chrono;

namespace {

constexpr sys_days kFirstDay = sys_days{year{1} / 1 / 1};
constexpr sys_days kLastDay = sys_days{year{9999} / 12 / 31};

// Reads one to `maxDigits` digits at `at`, moving past them.
std::optional<int> digits(std::string_view text, std::size_t& at, std::size_t maxDigits) {
    std::size_t end = at;
    while (end < text.size() && end - at < maxDigits && text[end] >= '0' && text[end] <= '9') ++end;
    if (end == at || (end < text.size() && text[end] >= '0' && text[end] <= '9')) return std::nullopt;
    int value = 0;
    std::from_chars(text.data() + at, text.data() + end, value);
    at = end;
    return value;
}

bool skip(std::string_view text, std::size_t& at, std::string_view separators) {
    if (at >= text.size() || separators.find(text[at]) == std::string_view::npos) return false;
    ++at;
    return true;
}

std::optional<year_month_day> dateAt(std::string_view text, std::size_t& at) {
    const auto y = digits(text, at, 4);
    if (!y || *y < 1 || !skip(text, at, "/-")) return std::nullopt;
    const auto m = digits(text, at, 2);
    if (!m || !skip(text, at, "/-")) return std::nullopt;
    const auto d = digits(text, at, 2);
    if (!d) return std::nullopt;
    const year_month_day date{year{*y}, month{static_cast<unsigned>(*m)}, day{static_cast<unsigned>(*d)}};
    return date.ok() ? std::optional(date) : std::nullopt;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

}  // namespace

std::optional<DateTime> parseDateTime(std::string_view input) {
    const std::string_view text = trimmed(input);
    std::size_t at = 0;
    const std::optional<year_month_day> date = dateAt(text, at);
    if (!date) return std::nullopt;
    if (at == text.size()) return DateTime{sys_days{*date}};
    if (!skip(text, at, " ")) return std::nullopt;
    while (skip(text, at, " ")) {
    }
    const auto h = digits(text, at, 2);
    if (!h || *h > 23 || !skip(text, at, ":")) return std::nullopt;
    const auto m = digits(text, at, 2);
    if (!m || *m > 59) return std::nullopt;
    int s = 0;
    if (skip(text, at, ":")) {
        const auto read = digits(text, at, 2);
        if (!read || *read > 59) return std::nullopt;
        s = *read;
    }
    if (at != text.size()) return std::nullopt;
    return DateTime{sys_days{*date}} + hours{*h} + minutes{*m} + seconds{s};
}

bool DaysOff::holds(sys_days day) const {
    const year_month_day date{day};
    return yearly[unsigned{date.month()} * 32 + unsigned{date.day()}] ||
           std::binary_search(dates.begin(), dates.end(), day);
}

DaysOff parseDaysOff(std::string_view text) {
    DaysOff off;
    // Every blank made a space, so that the entries lie between spaces.
    std::string blanked;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text.substr(at).starts_with(kIdeographicSpace)) {
            blanked.push_back(' ');
            at += kIdeographicSpace.size() - 1;
        } else {
            blanked.push_back(text[at] == '\t' ? ' ' : text[at]);
        }
    }
    std::size_t from = 0;
    while (from < blanked.size()) {
        const std::size_t end = std::min(blanked.find(' ', from), blanked.size());
        const std::string_view entry = std::string_view(blanked).substr(from, end - from);
        from = end + 1;
        if (entry.empty()) continue;
        std::size_t at = 0;
        if (const auto date = dateAt(entry, at); date && at == entry.size()) {
            off.dates.push_back(sys_days{*date});
            continue;
        }
        at = 0;
        const auto m = digits(entry, at, 2);
        const bool slash = m && skip(entry, at, "/-");
        const auto d = slash ? digits(entry, at, 2) : std::nullopt;
        // Any year that has the day: 02/29 is off in the leap years.
        if (d && at == entry.size() &&
            (year{2000} / month(static_cast<unsigned>(*m)) / day(static_cast<unsigned>(*d))).ok()) {
            off.yearly[static_cast<std::size_t>(*m * 32 + *d)] = true;
            continue;
        }
        off.unreadable.emplace_back(entry);
    }
    std::sort(off.dates.begin(), off.dates.end());
    return off;
}

bool isBusinessDay(sys_days day, const DaysOff& own) {
    const weekday w{day};
    return w != Saturday && w != Sunday && !isJapaneseHoliday(day) && !own.holds(day);
}

// The pattern's codes: the longest code that matches at a place is taken; `m` and `mm` are minutes or months
// once the codes around them are known.
enum class DatePattern::Code : std::uint8_t {
    Literal,
    Year4,
    Year2,
    Month,
    Month2,
    Minute,
    Minute2,
    Day,
    Day2,
    WeekdayJa,
    WeekdayJaLong,
    WeekdayEn,
    WeekdayEnLong,
    Hour,
    Hour2,
    Second,
    Second2,
    EraName,
    EraFirst,
    EraInitial,
    EraYear,
    EraYear2,
};

namespace {

using Code = DatePattern::Code;

struct CodeText {
    std::string_view text;
    Code code;
};
constexpr CodeText kCodes[] = {
    {"yyyy", Code::Year4},         {"yy", Code::Year2},      {"mm", Code::Month2},   {"m", Code::Month},
    {"dddd", Code::WeekdayEnLong}, {"ddd", Code::WeekdayEn}, {"dd", Code::Day2},     {"d", Code::Day},
    {"aaaa", Code::WeekdayJaLong}, {"aaa", Code::WeekdayJa}, {"hh", Code::Hour2},    {"h", Code::Hour},
    {"ss", Code::Second2},         {"s", Code::Second},      {"ggg", Code::EraName}, {"gg", Code::EraFirst},
    {"g", Code::EraInitial},       {"ee", Code::EraYear2},   {"e", Code::EraYear},
};

struct Era {
    year_month_day from;
    std::string_view name;
    std::string_view first;
    std::string_view initial;
};
constexpr Era kEras[] = {
    {year{1868} / 9 / 8, "明治", "明", "M"},   {year{1912} / 7 / 30, "大正", "大", "T"},
    {year{1926} / 12 / 25, "昭和", "昭", "S"}, {year{1989} / 1 / 8, "平成", "平", "H"},
    {year{2019} / 5 / 1, "令和", "令", "R"},
};

constexpr std::string_view kWeekdaysJa[] = {"日", "月", "火", "水", "木", "金", "土"};
constexpr std::string_view kWeekdaysEn[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};

bool isMinuteNeighbour(Code code, bool before) {
    return before ? code == Code::Hour || code == Code::Hour2 : code == Code::Second || code == Code::Second2;
}

std::size_t utf8Length(std::string_view text) {
    if (text.empty()) return 0;
    const auto c = static_cast<unsigned char>(text[0]);
    const std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return std::min(length, text.size());
}

void appendNumber(std::string& out, long long value, int minDigits) {
    char buffer[24];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    const auto count = static_cast<int>(end - buffer);
    if (count < minDigits) out.append(static_cast<std::size_t>(minDigits - count), '0');
    out.append(buffer, static_cast<std::size_t>(end - buffer));
}

}  // namespace

DatePattern::DatePattern(std::string_view pattern) {
    const auto literal = [this](std::string_view text) {
        if (m_elements.empty() || m_elements.back().code != Code::Literal) m_elements.push_back({Code::Literal, {}});
        m_elements.back().literal.append(text);
    };
    for (std::size_t at = 0; at < pattern.size();) {
        if (pattern[at] == '"') {
            const std::size_t close = pattern.find('"', at + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            literal(pattern.substr(at + 1, end - at - 1));
            at = close == std::string_view::npos ? end : end + 1;
            continue;
        }
        if (pattern[at] == '\\' && at + 1 < pattern.size()) {
            const std::size_t length = utf8Length(pattern.substr(at + 1));
            literal(pattern.substr(at + 1, length));
            at += 1 + length;
            continue;
        }
        const auto* found = std::find_if(std::begin(kCodes), std::end(kCodes),
                                         [&](const CodeText& c) { return pattern.substr(at).starts_with(c.text); });
        if (found == std::end(kCodes)) {
            literal(pattern.substr(at, 1));
            ++at;
            continue;
        }
        m_elements.push_back({found->code, {}});
        at += found->text.size();
    }
    // Minutes where the nearest code before is an hour or the nearest code after is a second.
    const auto nearest = [this](std::size_t i, int direction) {
        for (auto j = static_cast<std::ptrdiff_t>(i) + direction;
             j >= 0 && j < static_cast<std::ptrdiff_t>(m_elements.size()); j += direction) {
            if (m_elements[static_cast<std::size_t>(j)].code != Code::Literal)
                return m_elements[static_cast<std::size_t>(j)].code;
        }
        return Code::Literal;
    };
    std::vector<bool> minutes(m_elements.size(), false);
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        const Code code = m_elements[i].code;
        if (code == Code::Month || code == Code::Month2)
            minutes[i] = isMinuteNeighbour(nearest(i, -1), true) || isMinuteNeighbour(nearest(i, 1), false);
    }
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        if (minutes[i]) m_elements[i].code = m_elements[i].code == Code::Month ? Code::Minute : Code::Minute2;
    }
}

bool DatePattern::writesOneLength() const {
    return std::all_of(m_elements.begin(), m_elements.end(), [](const Element& element) {
        switch (element.code) {
            case Code::Literal:
            case Code::Year4:  // years 1-9999, padded to four digits
            case Code::Year2:
            case Code::Month2:
            case Code::Day2:
            case Code::Minute2:
            case Code::Hour2:
            case Code::Second2:
            case Code::WeekdayJa:
            case Code::WeekdayJaLong:
            case Code::WeekdayEn:
                return true;
            default:  // a digit more or less, a longer name, an era that begins or is missing
                return false;
        }
    });
}

void DatePattern::append(DateTime value, std::string& out) const {
    const sys_days date = floor<days>(value);
    const year_month_day ymd{date};
    const hh_mm_ss<seconds> time{value - date};
    const auto weekdayIndex = weekday{date}.c_encoding();
    const int y = int{ymd.year()};
    const Era* era = nullptr;
    for (const Era& candidate : kEras) {
        if (ymd >= candidate.from) era = &candidate;
    }
    const int eraYear = era ? y - int{era->from.year()} + 1 : y;
    for (const Element& element : m_elements) {
        switch (element.code) {
            case Code::Literal:
                out.append(element.literal);
                break;
            case Code::Year4:
                appendNumber(out, y, 4);
                break;
            case Code::Year2:
                appendNumber(out, y % 100, 2);
                break;
            case Code::Month:
            case Code::Month2:
                appendNumber(out, unsigned{ymd.month()}, element.code == Code::Month2 ? 2 : 1);
                break;
            case Code::Day:
            case Code::Day2:
                appendNumber(out, unsigned{ymd.day()}, element.code == Code::Day2 ? 2 : 1);
                break;
            case Code::Minute:
            case Code::Minute2:
                appendNumber(out, time.minutes().count(), element.code == Code::Minute2 ? 2 : 1);
                break;
            case Code::Hour:
            case Code::Hour2:
                appendNumber(out, time.hours().count(), element.code == Code::Hour2 ? 2 : 1);
                break;
            case Code::Second:
            case Code::Second2:
                appendNumber(out, time.seconds().count(), element.code == Code::Second2 ? 2 : 1);
                break;
            case Code::WeekdayJa:
                out.append(kWeekdaysJa[weekdayIndex]);
                break;
            case Code::WeekdayJaLong:
                out.append(kWeekdaysJa[weekdayIndex]).append("曜日");
                break;
            case Code::WeekdayEn:
                out.append(kWeekdaysEn[weekdayIndex].substr(0, 3));
                break;
            case Code::WeekdayEnLong:
                out.append(kWeekdaysEn[weekdayIndex]);
                break;
            case Code::EraName:
                if (era) out.append(era->name);
                break;
            case Code::EraFirst:
                if (era) out.append(era->first);
                break;
            case Code::EraInitial:
                if (era) out.append(era->initial);
                break;
            case Code::EraYear:
            case Code::EraYear2:
                appendNumber(out, eraYear, element.code == Code::EraYear2 ? 2 : 1);
                break;
        }
    }
}

std::string DatePattern::possibleBytes() const {
    std::string bytes = "0123456789";
    for (const Element& element : m_elements) {
        switch (element.code) {
            case Code::Literal:
                bytes += element.literal;
                break;
            case Code::WeekdayJa:
            case Code::WeekdayJaLong:
                for (const std::string_view name : kWeekdaysJa) bytes += name;
                bytes += "曜日";
                break;
            case Code::WeekdayEn:
            case Code::WeekdayEnLong:
                for (const std::string_view name : kWeekdaysEn) bytes += name;
                break;
            case Code::EraName:
            case Code::EraFirst:
            case Code::EraInitial:
                for (const Era& era : kEras) bytes.append(era.name).append(era.initial);
                break;
            default:
                break;
        }
    }
    return bytes;
}

std::string formatDateTime(DateTime value, std::string_view pattern) {
    std::string out;
    DatePattern(pattern).append(value, out);
    return out;
}

DateCounter::DateCounter(const CounterStyle& style, std::int32_t increment)
    : m_start(parseDateTime(style.start).value_or(DateTime{sys_days{year{2000} / 1 / 1}})),
      m_increment(increment),
      m_unit(style.unit),
      m_width(static_cast<std::size_t>(style.width)),
      m_daysOff(parseDaysOff(style.daysOff)),
      m_pattern(style.pattern) {
    if (m_unit != kUnitBusinessDay) return;
    const int direction = increment < 0 ? -1 : 1;
    for (sys_days d = floor<days>(m_start); d >= kFirstDay && d <= kLastDay; d += days{direction}) {
        if (isBusinessDay(d, m_daysOff)) {
            m_firstBusinessDay = d;
            m_walkedTo = d;
            break;
        }
    }
}

std::optional<sys_days> DateCounter::businessDaysFrom(std::int64_t count) const {
    if (!m_firstBusinessDay) return std::nullopt;
    const auto beyond = [](std::int64_t a, std::int64_t b) { return (a < 0) == (b < 0) && (a < 0 ? a <= b : a >= b); };
    if (m_outOfRangeFrom && beyond(count, *m_outOfRangeFrom)) return std::nullopt;
    // From the last walk's end where it lies on the way, else from the first business day.
    if (!((m_walked < 0) == (count < 0) && (count < 0 ? count <= m_walked : count >= m_walked))) {
        m_walked = 0;
        m_walkedTo = *m_firstBusinessDay;
    }
    const int direction = count < 0 ? -1 : 1;
    while (m_walked != count) {
        m_walkedTo += days{direction};
        if (m_walkedTo < kFirstDay || m_walkedTo > kLastDay) {
            m_outOfRangeFrom = count;
            m_walked = 0;
            m_walkedTo = *m_firstBusinessDay;
            return std::nullopt;
        }
        if (isBusinessDay(m_walkedTo, m_daysOff)) m_walked += direction;
    }
    return m_walkedTo;
}

std::optional<DateTime> DateCounter::at(std::uint64_t step) const {
    // Far beyond any unit's count over ten thousand years, so the arithmetic below cannot overflow.
    constexpr std::int64_t kMaxUnits = 400'000'000'000;
    std::int64_t n = 0;
    if (step > std::uint64_t{1} << 40 ||
        __builtin_mul_overflow(static_cast<std::int64_t>(step), std::int64_t{m_increment}, &n) || n > kMaxUnits ||
        n < -kMaxUnits)
        return std::nullopt;
    const sys_days startDay = floor<days>(m_start);
    const seconds timeOfDay = m_start - startDay;
    DateTime value;
    switch (m_unit) {
        case kUnitWeek:
            value = m_start + days{n * 7};
            break;
        case kUnitMonth:
        case kUnitYear: {
            const year_month_day ymd{startDay};
            const std::int64_t index =
                std::int64_t{int{ymd.year()}} * 12 + (unsigned{ymd.month()} - 1) + n * (m_unit == kUnitYear ? 12 : 1);
            if (index < 12 || index >= 10000 * 12) return std::nullopt;
            const year y{static_cast<int>(index / 12)};
            const month m{static_cast<unsigned>(index % 12 + 1)};
            const day d = std::min(ymd.day(), year_month_day_last{y / m / last}.day());
            value = sys_days{y / m / d} + timeOfDay;
            break;
        }
        case kUnitHour:
            value = m_start + hours{n};
            break;
        case kUnitMinute:
            value = m_start + minutes{n};
            break;
        case kUnitSecond:
            value = m_start + seconds{n};
            break;
        case kUnitBusinessDay: {
            const std::optional<sys_days> day = businessDaysFrom(n);
            if (!day) return std::nullopt;
            value = *day + timeOfDay;
            break;
        }
        default:
            value = m_start + days{n};
            break;
    }
    if (value < kFirstDateTime || value > kLastDateTime) return std::nullopt;
    return value;
}

void DateCounter::text(std::uint64_t step, std::string& out) const {
    out.clear();
    const std::optional<DateTime> value = at(step);
    if (!value) return;
    m_pattern.append(*value, out);
    if (m_width == 0) return;
    const auto characters = static_cast<std::size_t>(
        std::count_if(out.begin(), out.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    if (characters < m_width) out.insert(0, m_width - characters, ' ');
}

std::string DateCounter::possibleBytes() const { return m_pattern.possibleBytes() + " "; }

std::optional<std::size_t> DateCounter::oneTextBytes(std::uint64_t lastStep) const {
    if (!m_pattern.writesOneLength()) return std::nullopt;
    // A business day is at least a day on: the walk to the last step covers at least this many days.
    constexpr std::uint64_t kLongestWalk = std::uint64_t{1} << 19;
    const auto perStep = static_cast<std::uint64_t>(m_increment < 0 ? -std::int64_t{m_increment} : m_increment);
    if (m_unit == kUnitBusinessDay && perStep > 0 && lastStep > kLongestWalk / perStep) return std::nullopt;
    // The value moves one way with the step, and the first step is in the calendar wherever the counter has a
    // first day at all: the last in range puts every step in range. Only the last is written, so that a run
    // cut into ranges walks its business days on from where the last range left them.
    if (m_unit == kUnitBusinessDay && !m_firstBusinessDay) return std::nullopt;
    std::string last;
    text(lastStep, last);
    if (last.empty()) return std::nullopt;
    return last.size();
}

}  // namespace ravolin
