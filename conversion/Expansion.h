#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace ravolin {

inline constexpr std::size_t kCounterCount = 5;
inline constexpr std::size_t kArrayCount = 9;

// The counter number formats, as stored.
enum CounterFormat : std::int32_t {
    kFormatDecimal,
    kFormatHexLower,
    kFormatHexUpper,
    kFormatOctal,
    kFormatBinary,
    kFormatLettersLower,
    kFormatLettersUpper,
    // Japanese: full-width digits, kanji digit by digit, kanji with units (百二十三), circled numbers, and the
    // signs of イロハ and of アイウエオ counted as the letters are.
    kFormatFullWidth,
    kFormatKanjiDigits,
    kFormatKanji,
    kFormatCircled,
    kFormatIroha,
    kFormatAiueo,
};
// What a counter counts, as stored: integers, dates and times, decimals, random integers, UUIDs.
enum CounterKind : std::int32_t { kKindInteger, kKindDate, kKindDecimal, kKindRandom, kKindUuid };
// The unit a date counter's increment counts, as stored.
enum DateUnit : std::int32_t {
    kUnitDay,
    kUnitWeek,
    kUnitMonth,
    kUnitYear,
    kUnitHour,
    kUnitMinute,
    kUnitSecond,
    kUnitBusinessDay,
};
inline constexpr std::size_t kKindCount = kKindUuid + 1;
inline constexpr std::size_t kUnitCount = kUnitBusinessDay + 1;
// What an array gives once its lines have run out, as stored.
enum ArrayEnd : std::int32_t { kEndEmpty, kEndCycle, kEndKeepLast };
// The order an array shows its lines in, as stored: as written, shuffled by its seed, or each drawn at random.
enum ArrayOrder : std::int32_t { kOrderWritten, kOrderShuffled, kOrderDrawn };
inline constexpr std::size_t kOrderCount = kOrderDrawn + 1;
// How many of each there are: the texts that name them are tied to these.
inline constexpr std::size_t kFormatCount = kFormatAiueo + 1;
inline constexpr std::size_t kEndCount = kEndKeepLast + 1;

// Letters are always padded with blanks, whatever the fill says.
constexpr bool isLetterFormat(std::int32_t format) {
    return format == kFormatLettersLower || format == kFormatLettersUpper;
}
// The formats that are padded with blanks whatever the fill says: the letters and the Japanese signs but the
// full-width digits (which fill with "０" or a full-width blank).
constexpr bool fillsWithBlanksOnly(std::int32_t format) {
    return isLetterFormat(format) || (format >= kFormatKanjiDigits && format <= kFormatAiueo);
}

// The line an array of `lineCount` lines shows at line index `index` (its pass divided by its repeat) under the
// end rule `end`, or nullopt where it shows nothing. Up to its last line it shows each in turn; after it, under
// kEndCycle and kEndKeepLast, it starts over at one line (its first, or its last) and runs to the last again,
// over and over, so the line at index `lineCount` tells where; under kEndEmpty, or with no lines, nothing.
// The one statement of the end rule: the writer, the size measurement and the ranged expansion all ask it.
std::optional<std::size_t> arrayLine(std::uint64_t index, std::size_t lineCount, std::int32_t end);

// How a counter steps and shows its value; the defaults give today's plain decimals, one step a pass.
// Values outside the ranges below are read as the nearest rule (repeat below 1 as 1, an unknown format as
// decimal, an unknown kind as integer, an unknown unit as days), so any stored integer is valid.
struct CounterStyle {
    // Pass p shows step p / repeat, started over every `period` steps (0 or below: never).
    std::int32_t repeat = 1;
    std::int32_t period = 0;
    // A CounterFormat; `width` (0-64) is the least length, filled with zeros after the sign, or with blanks
    // before it when fill is 1.
    std::int32_t format = kFormatDecimal;
    std::int32_t width = 0;
    std::int32_t fill = 0;
    // A CounterKind. A date counter shows `start` moved on by step x increment `unit`s (a DateUnit), written
    // by `pattern`; its width pads with blanks before the text, whatever the fill says. `daysOff` (dates
    // between blanks, yyyy/mm/dd or mm/dd every year) are no business days. The texts are read by
    // conversion/DateCounter.h; an unreadable start is 2000/01/01 00:00:00.
    std::int32_t kind = kKindInteger;
    std::string start = "2000/01/01";
    std::int32_t unit = kUnitDay;
    std::string daysOff{};
    std::string pattern = "yyyy/mm/dd";
    // A decimal counter shows `start` plus step x `step` (decimal texts; unreadable: 0), exactly, rounded half
    // away from zero to `places` digits after the point (below 0: the most that start and step have; 9 at most).
    std::string step{};
    std::int32_t places = -1;
    // A random counter draws from minimum..maximum (swapped when the wrong way round); with `unique` 1 each
    // value once a round. It and a UUID counter draw from `seed`, an unsigned 64-bit decimal (empty, 0 or
    // unreadable: a fresh seed each run).
    std::int32_t minimum = 1;
    std::int32_t maximum = 100;
    std::string seed{};
    std::int32_t unique = 0;

    bool operator==(const CounterStyle&) const = default;
};

// How an array walks its lines: pass p shows line p / repeat; past the last line, an ArrayEnd decides.
struct ArrayStyle {
    std::int32_t repeat = 1;
    std::int32_t end = kEndEmpty;
    // An ArrayOrder, drawn from `seed` as a counter's.
    std::int32_t order = kOrderWritten;
    std::string seed{};
    // A ValueEscape (conversion/Escaping.h) applied to each value before it is inserted, the empty one too.
    std::int32_t escape = 0;

    bool operator==(const ArrayStyle&) const = default;
};

// The rules a stored style stands for: each field out of its range read as the nearest rule.
CounterStyle effectiveStyle(const CounterStyle& style);
ArrayStyle effectiveStyle(const ArrayStyle& style);

// A numeric counter as read from the controls when a run starts. An empty token switches it off.
struct CounterInput {
    std::string token;
    std::int32_t initialValue = 0;
    std::int32_t increment = 0;
    CounterStyle style{};
};

// An array as read from the controls: its values one per line, CR LF between lines.
struct ArrayInput {
    std::string token;
    std::string valuesText;
    ArrayStyle style{};
};

// What stands around and between the passes: the output is `header`, then the passes with `joiner` between
// each two, then `footer` (with no pass, the header and the footer alone). The defaults give the passes joined
// by CR LF and nothing around them.
struct OutputShape {
    std::string header{};
    std::string joiner = "\r\n";
    std::string footer{};

    bool operator==(const OutputShape&) const = default;
};

// Everything one expansion needs; a run gathers it once from what the window shows.
struct ExpansionInput {
    std::string templateText;
    std::int32_t loopCount = 0;
    // The pass the counters count from, so that a run cut into ranges carries its counters on; arrays always
    // start at their first line.
    std::int32_t firstPass = 0;
    std::array<CounterInput, kCounterCount> counters{};
    std::array<ArrayInput, kArrayCount> arrays{};
    OutputShape shape{};
};

struct ExpansionResult {
    std::string text;
    // Set when the output would have grown past the limit; `text` is then empty.
    bool limitReached = false;
};

inline constexpr std::size_t kNoOutputLimit = std::numeric_limits<std::size_t>::max();

// Writes the template once per pass, replacing counter tokens (slots 1-5) then array tokens (slots 1-9)
// in order, and puts the passes into the input's shape (by default: joined by CR LF). With a limit, an output longer
// than `outputLimit` bytes is not built: the result is empty and says so. So is one whose single pass, on its way,
// grows past both the limit and 256 MiB (values holding later tokens multiply).
ExpansionResult ExpandTemplate(const ExpansionInput& input, std::size_t outputLimit);
// The same, with the bytes a pass in the making may reach before the run is refused set by the caller: one
// that must answer quickly whatever the values hold. Where the passes must be run one replacement at a time, a
// run whose passes cost more than `workBudget` (see measureExpansion) is refused too.
ExpansionResult ExpandTemplate(const ExpansionInput& input, std::size_t outputLimit, std::size_t passWorkCap,
                               std::size_t workBudget = kNoOutputLimit);
std::string ExpandTemplate(const ExpansionInput& input);

// The size of the whole output: its bytes, and its lines (the CR LF in it, plus one when it isn't empty or has a
// pass: a single empty pass is one empty line).
struct ExpansionSize {
    std::uint64_t bytes = 0;
    std::uint64_t lines = 0;

    bool operator==(const ExpansionSize&) const = default;
};

// The size ExpandTemplate(input) would have, without building it, in a time that doesn't grow with the loop
// count. Where inserted values can take part in later matches the passes must be run to tell; that stops,
// giving nullopt, once `budgetBytes` of output have passed. So does counting dates, and random values or lines
// whose lengths vary from draw to draw, one by one.
std::optional<ExpansionSize> measureExpansion(const ExpansionInput& input, std::size_t budgetBytes);

struct SizeMeasurement {
    std::optional<ExpansionSize> size;
    // Without a size: the passes ran out of work budget rather than passing the output budget.
    bool outOfWork = false;
    // Without a size: dates written in lengths that vary took more than the budgets to count.
    bool byDates = false;
    // Without a size: kanji with units (whose length follows the zeros inside) took more than the work budget.
    bool byKanji = false;
    // Without a size: random values or lists whose lengths vary took more than the budgets to count.
    bool byRandom = false;
};
// The same, also giving up once running the passes has cost `workBudget`, in units of about a nanosecond on a
// slow machine (bytes searched and written, places a token's first byte is found, pieces copied): what bounds
// the time whatever the template and the values hold.
SizeMeasurement measureExpansion(const ExpansionInput& input, std::size_t budgetBytes, std::size_t workBudget);

}  // namespace ravolin
