#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "conversion/DateCounter.h"
#include "conversion/Escaping.h"
#include "conversion/Expansion.h"
#include "conversion/RandomValues.h"
#include "conversion/TextHelpers.h"

// The expansion written the slow, obvious way: a fresh copy of the template per pass, and replace-alls that
// edit in place and move the tail at every occurrence. Tests compare the real expansion against it;
// the benchmark measures it as the baseline.
namespace ravolin::naive {

inline std::string ReplaceAllInPlace(std::string text, const std::string& pattern, const std::string& replacement) {
    std::size_t pos = 0;
    while ((pos = text.find(pattern, pos)) != std::string::npos) {
        text.replace(pos, pattern.size(), replacement);
        pos += replacement.size();
    }
    return text;
}

inline std::int32_t CounterValue(const CounterInput& counter, std::int64_t pass) {
    std::int64_t step = pass / std::max(1, counter.style.repeat);
    if (counter.style.period > 0) step %= counter.style.period;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(counter.initialValue) +
                                     static_cast<std::uint32_t>(step) * static_cast<std::uint32_t>(counter.increment));
}

// Japanese numbers: the signs cut out of lists, kanji with units spelled out group by group.
inline std::vector<std::string> Signs(const std::string& list) {
    std::vector<std::string> signs;
    for (std::size_t i = 0; i < list.size(); i += 3) signs.push_back(list.substr(i, 3));
    return signs;
}

inline std::string KanjiWithUnits(std::int64_t n) {
    const std::vector<std::string> digits = Signs("〇一二三四五六七八九");
    if (n == 0) return digits[0];
    const std::vector<std::pair<std::int64_t, std::string>> large = {
        {10'000'000'000'000'000, "京"}, {1'000'000'000'000, "兆"}, {100'000'000, "億"}, {10'000, "万"}};
    for (const auto& [size, name] : large) {
        if (n >= size) return KanjiWithUnits(n / size) + name + (n % size ? KanjiWithUnits(n % size) : "");
    }
    std::string text;
    const std::vector<std::pair<std::int64_t, std::string>> small = {{1000, "千"}, {100, "百"}, {10, "十"}};
    for (const auto& [size, name] : small) {
        if (n >= size) text += (n / size > 1 ? digits[n / size] : "") + name;
        n %= size;
    }
    return n ? text + digits[n] : text;
}

inline std::string JapaneseDigits(std::int64_t magnitude, bool negative, int format) {
    const std::string decimal = std::to_string(magnitude);
    std::string text;
    if (format == 7 || format == 8) {
        const std::vector<std::string> signs = Signs(format == 7 ? "０１２３４５６７８９" : "〇一二三四五六七八九");
        for (const char c : decimal) text += signs[c - '0'];
        return text;
    }
    if (format == 9) return KanjiWithUnits(magnitude);
    if (format == 10) {
        const std::vector<std::string> circled =
            Signs("⓪①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮⑯⑰⑱⑲⑳㉑㉒㉓㉔㉕㉖㉗㉘㉙㉚㉛㉜㉝㉞㉟㊱㊲㊳㊴㊵㊶㊷㊸㊹㊺㊻㊼㊽㊾㊿");
        return !negative && magnitude < 51 ? circled[magnitude] : decimal;
    }
    const std::vector<std::string> signs = Signs(
        format == 11 ? "イロハニホヘトチリヌルヲワカヨタレソツネナラムウヰノオクヤマケフコエテアサキユメミシヱヒモセス"
                     : "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン");
    const auto base = static_cast<std::int64_t>(signs.size());
    for (std::int64_t n = magnitude + 1; n > 0; n = (n - 1) / base) text.insert(0, signs[(n - 1) % base]);
    return text;
}

inline std::size_t Characters(const std::string& text) {
    std::size_t characters = 0;
    for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return characters;
}

inline std::string Repeated(const std::string& text, std::size_t times) {
    std::string out;
    while (times-- > 0) out += text;
    return out;
}

inline std::string FormatCounter(const CounterInput& counter, std::int32_t value) {
    const int format = counter.style.format >= 0 && counter.style.format <= 12 ? counter.style.format : 0;
    if (format >= 7) {
        const std::int64_t magnitude = value < 0 ? -std::int64_t{value} : value;
        const std::string digits = JapaneseDigits(magnitude, value < 0, format);
        const std::string sign = value >= 0 ? "" : format == 7 ? "－" : "-";
        const auto width = static_cast<std::size_t>(std::clamp(counter.style.width, 0, 64));
        const std::size_t length = Characters(sign + digits);
        const std::size_t pad = width > length ? width - length : 0;
        if (format != 7) return std::string(pad, ' ') + sign + digits;
        if (counter.style.fill == 1) return Repeated("　", pad) + sign + digits;
        return sign + Repeated("０", pad) + digits;
    }
    const bool letters = format >= 5;
    const std::int64_t magnitude = value < 0 ? -std::int64_t{value} : value;
    std::string digits;
    if (letters) {
        for (std::int64_t n = magnitude + 1; n > 0; n = (n - 1) / 26)
            digits.insert(digits.begin(), static_cast<char>((format == 5 ? 'a' : 'A') + (n - 1) % 26));
    } else {
        const int bases[] = {10, 16, 16, 8, 2};
        const char* symbols = format == 2 ? "0123456789ABCDEF" : "0123456789abcdef";
        std::int64_t n = magnitude;
        do digits.insert(digits.begin(), symbols[n % bases[format]]);
        while ((n /= bases[format]) > 0);
    }
    const std::string sign = value < 0 ? "-" : "";
    const auto width = static_cast<std::size_t>(std::clamp(counter.style.width, 0, 64));
    const std::size_t length = sign.size() + digits.size();
    if (length >= width) return sign + digits;
    if (counter.style.fill == 1 || letters) return std::string(width - length, ' ') + sign + digits;
    return sign + std::string(width - length, '0') + digits;
}

// Dates: the start, the days off and the calendar as the engine reads them (their own tests pin them down),
// the steps and the pattern worked out again the obvious way.
inline std::optional<DateTime> DateValue(const CounterInput& counter, std::int64_t step) {
    using namespace std::chrono;
    const DateTime start = parseDateTime(counter.style.start).value_or(DateTime{sys_days{year{2000} / 1 / 1}});
    std::int64_t n = 0;
    if (__builtin_mul_overflow(step, std::int64_t{counter.increment}, &n) || n > 4'000'000'000'000 ||
        n < -4'000'000'000'000)
        return std::nullopt;
    const sys_days startDay = floor<days>(start);
    const seconds time = start - startDay;
    const std::int32_t unit = counter.style.unit >= 0 && counter.style.unit <= 7 ? counter.style.unit : 0;
    const std::int64_t secondsPer[] = {86400, 7 * 86400, 0, 0, 3600, 60, 1};
    DateTime value = start;
    if (unit == kUnitMonth || unit == kUnitYear) {
        const year_month_day ymd{startDay};
        const long long moved = n * (unit == kUnitYear ? 12 : 1);
        if (moved > 200'000 || moved < -200'000) return std::nullopt;
        const year_month ym = ymd.year() / ymd.month() + months{moved};
        if (!ym.ok() || ym.year() < year{1} || ym.year() > year{9999}) return std::nullopt;
        value = sys_days{ym / std::min(ymd.day(), (ym / last).day())} + time;
    } else if (unit == kUnitBusinessDay) {
        const DaysOff off = parseDaysOff(counter.style.daysOff);
        const int direction = counter.increment < 0 ? -1 : 1;
        const sys_days first = sys_days{year{1} / 1 / 1};
        const sys_days lastDay = sys_days{year{9999} / 12 / 31};
        sys_days d = startDay;
        while (!isBusinessDay(d, off)) {
            d += days{direction};
            if (d < first || d > lastDay) return std::nullopt;
        }
        if (n > 4'000'000 || n < -4'000'000) return std::nullopt;
        for (std::int64_t left = n < 0 ? -n : n; left > 0;) {
            d += days{n < 0 ? -1 : 1};
            if (d < first || d > lastDay) return std::nullopt;
            if (isBusinessDay(d, off)) --left;
        }
        value = d + time;
    } else {
        if (n > 400'000'000'000 || n < -400'000'000'000) return std::nullopt;
        value = start + seconds{n * secondsPer[unit]};
    }
    if (value < kFirstDateTime || value > kLastDateTime) return std::nullopt;
    return value;
}

inline std::string FormatDate(DateTime value, const std::string& pattern) {
    using namespace std::chrono;
    // Runs of one code letter, cut greedily into the lengths that letter has.
    const std::string letters = "ymdahsge";
    const std::vector<std::vector<std::size_t>> lengths = {{4, 2}, {2, 1}, {4, 3, 2, 1}, {4, 3},
                                                           {2, 1}, {2, 1}, {3, 2, 1},    {2, 1}};
    std::vector<std::pair<std::string, std::string>> parts;  // a code, or "" and a literal
    for (std::size_t i = 0; i < pattern.size();) {
        if (pattern[i] == '"') {
            const std::size_t close = pattern.find('"', i + 1);
            parts.push_back(
                {"", pattern.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1)});
            i = close == std::string::npos ? pattern.size() : close + 1;
        } else if (pattern[i] == '\\' && i + 1 < pattern.size()) {
            std::size_t n = 1;
            while (i + 1 + n < pattern.size() && (static_cast<unsigned char>(pattern[i + 1 + n]) & 0xC0) == 0x80) ++n;
            parts.push_back({"", pattern.substr(i + 1, n)});
            i += 1 + n;
        } else if (const std::size_t which = letters.find(pattern[i]); which != std::string::npos) {
            std::size_t run = 0;
            while (i + run < pattern.size() && pattern[i + run] == pattern[i]) ++run;
            while (run > 0) {
                const auto fits = std::find_if(lengths[which].begin(), lengths[which].end(),
                                               [run](std::size_t n) { return n <= run; });
                const std::size_t n = fits == lengths[which].end() ? 1 : *fits;
                parts.push_back(
                    {fits == lengths[which].end() ? "" : std::string(n, pattern[i]), std::string(n, pattern[i])});
                run -= n;
                i += n;
            }
        } else {
            parts.push_back({"", pattern.substr(i, 1)});
            ++i;
        }
    }
    const sys_days date = floor<days>(value);
    const year_month_day ymd{date};
    const hh_mm_ss<seconds> time{value - date};
    const int y = int{ymd.year()};
    const unsigned w = weekday{date}.c_encoding();
    const char* ja[] = {"日", "月", "火", "水", "木", "金", "土"};
    const char* en[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    struct Era {
        year_month_day from;
        const char *name, *first, *initial;
    };
    const Era eras[] = {{year{2019} / 5 / 1, "令和", "令", "R"},
                        {year{1989} / 1 / 8, "平成", "平", "H"},
                        {year{1926} / 12 / 25, "昭和", "昭", "S"},
                        {year{1912} / 7 / 30, "大正", "大", "T"},
                        {year{1868} / 9 / 8, "明治", "明", "M"}};
    const Era* era = nullptr;
    for (const Era& e : eras) {
        if (!era && ymd >= e.from) era = &e;
    }
    const auto padded = [](long long v, std::size_t digits) {
        std::string text = std::to_string(v);
        return text.size() < digits ? std::string(digits - text.size(), '0') + text : text;
    };
    const auto codeNear = [&parts](std::size_t i, int step) {
        for (auto j = static_cast<long>(i) + step; j >= 0 && j < static_cast<long>(parts.size()); j += step) {
            if (!parts[static_cast<std::size_t>(j)].first.empty()) return parts[static_cast<std::size_t>(j)].first;
        }
        return std::string();
    };
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& code = parts[i].first;
        if (code.empty()) {
            out += parts[i].second;
        } else if (code[0] == 'y') {
            out += code.size() == 4 ? padded(y, 4) : padded(y % 100, 2);
        } else if (code[0] == 'm') {
            const std::string before = codeNear(i, -1);
            const std::string after = codeNear(i, 1);
            const bool minute = (!before.empty() && before[0] == 'h') || (!after.empty() && after[0] == 's');
            out += padded(minute ? time.minutes().count() : unsigned{ymd.month()}, code.size());
        } else if (code == "d" || code == "dd") {
            out += padded(unsigned{ymd.day()}, code.size());
        } else if (code[0] == 'd') {
            out += code.size() == 4 ? std::string(en[w]) : std::string(en[w]).substr(0, 3);
        } else if (code[0] == 'a') {
            out += std::string(ja[w]) + (code.size() == 4 ? "曜日" : "");
        } else if (code[0] == 'h') {
            out += padded(time.hours().count(), code.size());
        } else if (code[0] == 's') {
            out += padded(time.seconds().count(), code.size());
        } else if (code[0] == 'g') {
            if (era) out += code.size() == 3 ? era->name : code.size() == 2 ? era->first : era->initial;
        } else {
            out += padded(era ? y - int{era->from.year()} + 1 : y, code.size());
        }
    }
    return out;
}

inline std::string DateText(const CounterInput& counter, std::int64_t step) {
    const std::optional<DateTime> value = DateValue(counter, step);
    if (!value) return std::string();
    std::string text = FormatDate(*value, counter.style.pattern);
    std::size_t characters = 0;
    for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    const auto width = static_cast<std::size_t>(std::clamp(counter.style.width, 0, 64));
    return characters < width ? std::string(width - characters, ' ') + text : text;
}

// Decimals worked out on digit strings, the way one does it on paper: magnitudes as strings of digits, most
// significant first.
inline std::string StripZeros(const std::string& digits) {
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

inline bool LessThan(const std::string& a, const std::string& b) {
    const std::string x = StripZeros(a);
    const std::string y = StripZeros(b);
    return x.size() != y.size() ? x.size() < y.size() : x < y;
}

inline std::string AddDigits(std::string a, std::string b) {
    if (a.size() < b.size()) std::swap(a, b);
    b.insert(0, a.size() - b.size(), '0');
    int carry = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        const int sum = (a[i] - '0') + (b[i] - '0') + carry;
        a[i] = static_cast<char>('0' + sum % 10);
        carry = sum / 10;
    }
    return carry ? "1" + a : a;
}

// a - b, where b is not larger (either may come with leading zeros).
inline std::string SubtractDigits(std::string a, std::string b) {
    a = StripZeros(a);
    b = StripZeros(b);
    b.insert(0, a.size() - b.size(), '0');
    int borrow = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        int difference = (a[i] - '0') - (b[i] - '0') - borrow;
        borrow = difference < 0;
        a[i] = static_cast<char>('0' + (difference + 10) % 10);
    }
    return StripZeros(a);
}

inline std::string TimesDigits(const std::string& a, std::uint64_t times) {
    std::string product = "0";
    std::string power = a;  // a x 2^k
    for (; times > 0; times >>= 1, power = AddDigits(power, power)) {
        if (times & 1) product = AddDigits(product, power);
    }
    return product;
}

struct NaiveDecimal {
    bool negative = false;
    std::string digits = "0";  // the value times 10^places
    int places = 0;
};

inline NaiveDecimal ReadDecimal(const std::string& text) {
    static const std::regex form(R"(([+-]?)([0-9]+)(?:\.([0-9]+))?)");
    std::smatch match;
    if (!std::regex_match(text, match, form) || match[2].length() + match[3].length() > 18) return {};
    return {match[1] == "-", match[2].str() + match[3].str(), static_cast<int>(match[3].length())};
}

inline std::string DecimalText(const CounterInput& counter, std::uint64_t step) {
    NaiveDecimal start = ReadDecimal(counter.style.start);
    NaiveDecimal by = ReadDecimal(counter.style.step);
    const int places = std::max(start.places, by.places);
    start.digits += std::string(static_cast<std::size_t>(places - start.places), '0');
    by.digits = TimesDigits(by.digits + std::string(static_cast<std::size_t>(places - by.places), '0'), step);
    NaiveDecimal sum{start.negative, AddDigits(start.digits, by.digits), places};
    if (start.negative != by.negative) {
        const bool byIsLarger = LessThan(start.digits, by.digits);
        sum.negative = byIsLarger ? by.negative : start.negative;
        sum.digits = byIsLarger ? SubtractDigits(by.digits, start.digits) : SubtractDigits(start.digits, by.digits);
    }
    const int shown = counter.style.places < 0 ? std::min(places, 9) : std::min(counter.style.places, 9);
    std::string digits = sum.digits;
    if (shown >= places) {
        digits += std::string(static_cast<std::size_t>(shown - places), '0');
    } else {
        const std::size_t cut = static_cast<std::size_t>(places - shown);
        digits.insert(0, cut + 1, '0');
        const bool up = digits[digits.size() - cut] >= '5';
        digits = digits.substr(0, digits.size() - cut);
        if (up) digits = AddDigits(digits, "1");
    }
    digits = StripZeros(digits);
    if (digits.size() <= static_cast<std::size_t>(shown))
        digits.insert(0, static_cast<std::size_t>(shown) + 1 - digits.size(), '0');
    if (digits.size() - static_cast<std::size_t>(shown) > 18) return std::string();
    if (shown > 0) digits.insert(digits.size() - static_cast<std::size_t>(shown), ".");
    const std::string sign = sum.negative && digits.find_first_of("123456789") != std::string::npos ? "-" : "";
    const auto width = static_cast<std::size_t>(std::clamp(counter.style.width, 0, 64));
    const std::size_t pad = width > sign.size() + digits.size() ? width - sign.size() - digits.size() : 0;
    if (counter.style.fill == 1) return std::string(pad, ' ') + sign + digits;
    return sign + std::string(pad, '0') + digits;
}

// Random values: the generator's mixing function and Feistel network are taken as they are, the rest worked
// out again: the key of a slot, Lemire's acceptance written as the remainder it stands for, cycle walking.
__extension__ typedef unsigned __int128 Wide;

inline std::uint64_t SeedKey(const std::string& seed, std::size_t slot) {
    Wide value = 0;
    bool digits = !seed.empty();
    for (const char c : seed) {
        digits = digits && c >= '0' && c <= '9';
        if (digits) value = value * 10 + static_cast<unsigned>(c - '0');
        digits = digits && value <= UINT64_MAX;
    }
    return splitMix(mix64(digits ? static_cast<std::uint64_t>(value) : 0), slot);
}

inline std::uint64_t Uniform(std::uint64_t key, std::uint64_t step, std::uint64_t n) {
    const auto rejectedBelow = static_cast<std::uint64_t>((static_cast<Wide>(1) << 64) % n);
    std::uint64_t word = splitMix(key, step);
    for (std::uint64_t attempt = 1;; word = splitMix(word, attempt++)) {
        const Wide product = static_cast<Wide>(word) * n;
        if (static_cast<std::uint64_t>(product) >= rejectedBelow) return static_cast<std::uint64_t>(product >> 64);
    }
}

inline std::uint64_t Shuffled(std::uint64_t key, std::uint64_t n, std::uint64_t place) {
    unsigned bits = 0;
    while ((std::uint64_t{1} << bits) < n) ++bits;
    std::uint64_t x = place;
    do x = feistel(key, bits, x);
    while (x >= n);
    return x;
}

inline std::string RandomText(const CounterInput& counter, std::size_t slot, std::int64_t step) {
    const std::uint64_t key = SeedKey(counter.style.seed, slot);
    if (counter.style.kind == kKindUuid) {
        const std::uint64_t high = (splitMix(key, step) & ~std::uint64_t{0xF000}) | 0x4000;
        const std::uint64_t low = (splitMix(splitMix(key, step), 1) >> 2) | (std::uint64_t{1} << 63);
        char text[40];
        std::snprintf(
            text, sizeof text,
            counter.style.format == 2 ? "%08llX-%04llX-%04llX-%04llX-%012llX" : "%08llx-%04llx-%04llx-%04llx-%012llx",
            static_cast<unsigned long long>(high >> 32), static_cast<unsigned long long>(high >> 16 & 0xFFFF),
            static_cast<unsigned long long>(high & 0xFFFF), static_cast<unsigned long long>(low >> 48),
            static_cast<unsigned long long>(low & 0xFFFFFFFFFFFF));
        return text;
    }
    const std::int64_t low = std::min(counter.style.minimum, counter.style.maximum);
    const auto n = static_cast<std::uint64_t>(std::max(counter.style.minimum, counter.style.maximum) - low + 1);
    const auto s = static_cast<std::uint64_t>(step);
    const std::uint64_t offset =
        counter.style.unique == 1 ? Shuffled(splitMix(key, s / n), n, s % n) : Uniform(key, s, n);
    return FormatCounter(counter, static_cast<std::int32_t>(low + static_cast<std::int64_t>(offset)));
}

inline std::string ArrayValue(const ArrayInput& array, const std::vector<std::string>& lines, std::int64_t pass,
                              std::size_t slot) {
    const auto i = static_cast<std::size_t>(pass / std::max(1, array.style.repeat));
    if (array.style.order == kOrderShuffled || array.style.order == kOrderDrawn) {
        // A closing line break's empty line takes no part.
        const std::size_t n = lines.size() - (lines.size() > 1 && lines.back().empty() ? 1 : 0);
        std::size_t place = i;
        if (i >= n && array.style.end == 1) place = i % n;
        if (i >= n && array.style.end == 2) place = n - 1;
        if (i >= n && array.style.end != 1 && array.style.end != 2) return std::string();
        const std::uint64_t key = SeedKey(array.style.seed, kCounterCount + slot);
        if (array.style.order == kOrderDrawn) return lines[Uniform(key, i, n)];
        return lines[Shuffled(splitMix(key, array.style.end == 1 ? i / n : 0), n, place)];
    }
    if (i < lines.size()) return lines[i];
    if (array.style.end == 1) return lines[i % lines.size()];
    if (array.style.end == 2) return lines.back();
    return std::string();
}

inline std::string ExpandTemplate(const ExpansionInput& input) {
    std::vector<std::vector<std::string>> lines;
    for (const ArrayInput& array : input.arrays) lines.push_back(SplitLines(array.valuesText));
    std::string output = input.shape.header;
    for (std::int32_t pass = 0; pass < input.loopCount; ++pass) {
        std::string work = input.templateText;
        for (const CounterInput& counter : input.counters) {
            if (counter.token.empty()) continue;
            const std::int64_t counted = std::int64_t{std::max(0, input.firstPass)} + pass;
            if (counter.style.kind == kKindRandom || counter.style.kind == kKindUuid) {
                std::int64_t step = counted / std::max(1, counter.style.repeat);
                if (counter.style.period > 0) step %= counter.style.period;
                const auto slot = static_cast<std::size_t>(&counter - &input.counters[0]);
                work = ReplaceAllInPlace(work, counter.token, RandomText(counter, slot, step));
                continue;
            }
            if (counter.style.kind == kKindDate || counter.style.kind == kKindDecimal) {
                std::int64_t step = counted / std::max(1, counter.style.repeat);
                if (counter.style.period > 0) step %= counter.style.period;
                const std::string text = counter.style.kind == kKindDate
                                             ? DateText(counter, step)
                                             : DecimalText(counter, static_cast<std::uint64_t>(step));
                work = ReplaceAllInPlace(work, counter.token, text);
                continue;
            }
            work = ReplaceAllInPlace(work, counter.token, FormatCounter(counter, CounterValue(counter, counted)));
        }
        for (std::size_t i = 0; i < kArrayCount; ++i) {
            if (!input.arrays[i].token.empty())
                // The escapes are pinned on their own; here they only have to come before the insertion.
                work = ReplaceAllInPlace(
                    work, input.arrays[i].token,
                    escapeValue(ArrayValue(input.arrays[i], lines[i], pass, i), input.arrays[i].style.escape));
        }
        if (pass > 0) output += input.shape.joiner;
        output += work;
    }
    return output + input.shape.footer;
}

}  // namespace ravolin::naive
