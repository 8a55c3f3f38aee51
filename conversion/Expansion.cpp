#include "conversion/Expansion.h"

#include <algorithm>
#include <bit>
#include <bitset>
#include <charconv>
#include <cstring>
#include <memory>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "conversion/DateCounter.h"
#include "conversion/DecimalCounter.h"
#include "conversion/Escaping.h"
#include "conversion/ExpansionSize.h"
#include "conversion/JapaneseNumbers.h"
#include "conversion/LineList.h"
#include "conversion/RandomSize.h"
#include "conversion/RandomValues.h"
#include "conversion/TextHelpers.h"

// The straightforward reading of the expansion copies the template for every pass and runs fourteen
// replace-alls over it. Instead, the template is compiled once into literal pieces and slot references
// ("plan"), and each pass only writes literals and values into one output buffer of known size. The plan
// is exact only when no inserted value can take part in a later slot's match; when that cannot be shown,
// the passes are simulated step by step, twice: once to size the output, once to write it. Either way the
// output is allocated once, at its exact size, and a run over the limit allocates nothing.

namespace ravolin {
namespace {

using ByteSet = std::bitset<256>;

ByteSet bytesOf(std::string_view text) {
    ByteSet set;
    for (unsigned char c : text) set.set(c);
    return set;
}

// The bytes of many short texts, marked in a plain table first: a million lines, one set each, cost more than the
// passes that show them.
class ByteTally {
public:
    void add(std::string_view text) {
        for (unsigned char c : text) m_seen[c] = true;
    }
    void add(const ByteTally& other) {
        for (std::size_t c = 0; c < m_seen.size(); ++c) m_seen[c] = m_seen[c] || other.m_seen[c];
    }
    ByteSet set() const {
        ByteSet set;
        for (std::size_t c = 0; c < m_seen.size(); ++c) set.set(c, m_seen[c]);
        return set;
    }

private:
    std::array<bool, 256> m_seen{};
};

struct Slot {
    std::string_view token;
    bool isCounter = false;
    const CounterInput* counter = nullptr;  // where a counter's slot was read from
    std::uint32_t initialValue = 0;         // unsigned so that the steps wrap without overflow
    std::uint32_t increment = 0;
    std::uint64_t firstPass = 0;
    std::uint64_t repeat = 1;  // passes per step (counters) or per line (arrays)
    std::uint64_t period = 0;  // steps before a counter starts over; 0 never
    int format = kFormatDecimal;
    std::size_t width = 0;
    bool zeroFill = true;
    bool plainDecimal = true;  // to_chars of the value, nothing around it
    bool plainSteps = true;    // a new step every pass and, for a counter, never starting over: the common case
    int end = kEndEmpty;
    LineList lines;                              // in the input's values text, or in `escaped`
    std::shared_ptr<const std::string> escaped;  // the lines as an escape writes them, CR LF between them
    std::string nothing;                         // what a pass without a line shows: "" escaped
    std::size_t usedLines = 0;                   // lines that some pass actually shows
    bool mayBeEmpty = false;
    ByteSet valueBytes;  // the bytes values can hold; of a list, CR and LF perhaps too where no token holds them
    std::shared_ptr<const DateCounter> date;        // set for a date counter, which shows its step's date
    std::shared_ptr<const DecimalCounter> decimal;  // set for a decimal counter, likewise
    std::shared_ptr<const RandomCounter> random;    // set for a random or UUID counter
    std::shared_ptr<const LineOrder> order;         // set for a shuffled or drawn array
};

// Where a slot is in its run: the pass within the current step, the step (a counter's, or an array's line)
// and a counter's value at that step.
struct Steps {
    std::uint64_t phase = 0;
    std::uint64_t step = 0;
    std::uint32_t value = 0;
};

// Where a slot is at pass `pass` of the run (its first, by default).
Steps firstSteps(const Slot& slot, std::uint64_t pass = 0) {
    Steps at;
    const std::uint64_t shown = slot.firstPass + pass;
    at.phase = shown % slot.repeat;
    at.step = shown / slot.repeat;
    if (slot.period > 0) at.step %= slot.period;
    at.value = slot.initialValue + static_cast<std::uint32_t>(at.step) * slot.increment;
    return at;
}

// Moves on by one pass; true when the step changed.
bool advance(const Slot& slot, Steps& at) {
    if (++at.phase < slot.repeat) return false;
    at.phase = 0;
    if (++at.step == slot.period) {
        at.step = 0;
        at.value = slot.initialValue;
    } else {
        at.value += slot.increment;
    }
    return true;
}

std::string_view lineAt(const Slot& slot, std::uint64_t index) {
    const std::optional<std::size_t> line =
        slot.order ? slot.order->line(index) : arrayLine(index, slot.lines.size(), slot.end);
    return line ? slot.lines[*line] : std::string_view(slot.nothing);
}

// Room for 64 full-width characters of width, or 32 binary digits and a sign.
using CounterText = std::array<char, std::max(kJapaneseTextCapacity, kDecimalTextCapacity)>;

// Writes the digits of `magnitude` so that they end at `end`; returns where they begin.
char* digitsBefore(char* end, std::uint32_t magnitude, int format) {
    static constexpr char kLower[] = "0123456789abcdef";
    static constexpr char kUpper[] = "0123456789ABCDEF";
    switch (format) {
        case kFormatHexLower:
        case kFormatHexUpper: {
            const char* digits = format == kFormatHexLower ? kLower : kUpper;
            do *--end = digits[magnitude & 15u];
            while ((magnitude >>= 4) != 0);
            return end;
        }
        case kFormatOctal:
            do *--end = kLower[magnitude & 7u];
            while ((magnitude >>= 3) != 0);
            return end;
        case kFormatBinary:
            do *--end = kLower[magnitude & 1u];
            while ((magnitude >>= 1) != 0);
            return end;
        case kFormatLettersLower:
        case kFormatLettersUpper: {
            const char first = format == kFormatLettersLower ? 'a' : 'A';
            for (std::uint64_t n = std::uint64_t{magnitude} + 1; n > 0; n = (n - 1) / 26)
                *--end = static_cast<char>(first + static_cast<char>((n - 1) % 26));
            return end;
        }
        default: {
            char digits[10];
            const char* last = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
            const auto count = static_cast<std::size_t>(last - digits);
            end -= count;
            std::memcpy(end, digits, count);
            return end;
        }
    }
}

// A date counter's text goes to `dateText`, as long as its pattern makes it.
std::string_view counterText(const Slot& slot, const Steps& at, CounterText& text, std::string& dateText);

std::string_view formatCounter(std::uint32_t bits, const Slot& slot, CounterText& text) {
    if (slot.plainDecimal) {
        char* end = std::to_chars(text.data(), text.data() + text.size(), static_cast<std::int32_t>(bits)).ptr;
        return std::string_view(text.data(), static_cast<std::size_t>(end - text.data()));
    }
    if (isJapaneseFormat(slot.format))
        return {text.data(), writeJapaneseNumber(static_cast<std::int32_t>(bits), slot.format, slot.width,
                                                 slot.zeroFill, text.data())};
    const bool negative = static_cast<std::int32_t>(bits) < 0;
    char* const end = text.data() + text.size();
    char* begin = digitsBefore(end, negative ? 0u - bits : bits, slot.format);
    const std::size_t length = static_cast<std::size_t>(end - begin) + (negative ? 1 : 0);
    const std::size_t pad = slot.width > length ? slot.width - length : 0;
    if (slot.zeroFill) {
        begin -= pad;
        std::memset(begin, '0', pad);
    }
    if (negative) *--begin = '-';
    if (!slot.zeroFill) {
        begin -= pad;
        std::memset(begin, ' ', pad);
    }
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

std::string_view counterText(const Slot& slot, const Steps& at, CounterText& text, std::string& dateText) {
    if (slot.random && slot.random->isUuid()) {
        slot.random->writeUuid(at.step, slot.format == kFormatHexUpper, text.data());
        return std::string_view(text.data(), kUuidLength);
    }
    if (slot.random) return formatCounter(static_cast<std::uint32_t>(slot.random->value(at.step)), slot, text);
    if (slot.decimal) return {text.data(), slot.decimal->write(at.step, text.data())};
    if (!slot.date) return formatCounter(at.value, slot, text);
    slot.date->text(at.step, dateText);
    return dateText;
}

ByteSet counterBytes(const Slot& slot) {
    if (slot.date) return bytesOf(slot.date->possibleBytes());
    if (slot.random && slot.random->isUuid())
        return bytesOf(slot.format == kFormatHexUpper ? "0123456789ABCDEF-" : "0123456789abcdef-");
    if (slot.decimal) {
        ByteSet set = bytesOf("0123456789.-");
        if (slot.width > 1) set.set(slot.zeroFill ? '0' : ' ');
        return set;
    }
    if (isJapaneseFormat(slot.format)) return bytesOf(japaneseCharacters(slot.format));
    static constexpr std::string_view kDigits[] = {
        "0123456789", "0123456789abcdef",           "0123456789ABCDEF",          "01234567",
        "01",         "abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"};
    ByteSet set = bytesOf(kDigits[slot.format]);
    set.set('-');
    if (slot.width > 1) set.set(slot.zeroFill ? '0' : ' ');
    return set;
}

// The bytes of `word` that equal `byte`: the high bit of each such byte set, exactly (no borrow crosses from one byte
// to the next), in the order of the text's bytes from the lowest.
inline std::uint64_t bytesEqual(const char* at, unsigned char byte) {
    constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7full;
    std::uint64_t word = 0;
    std::memcpy(&word, at, 8);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    const std::uint64_t x = word ^ (0x0101010101010101ull * byte);  // a zero byte where `byte` was
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// A list's lines as SplitLines gives them, left in their text (arrays can hold a million values, and copying each
// one costs more than the passes that show them), with what the run asks of the first `told` of them, learnt on
// the same way through the text: where the first empty one is, and the bytes of the text from its start to their
// end.
struct ListLines {
    LineList lines;
    std::size_t firstEmpty = 0;  // lines.size() when none is
    ByteSet toldBytes;
};

constexpr std::size_t kNoLine = std::numeric_limits<std::size_t>::max();

// A line break is a CR LF, so an LF ends a line exactly where a CR stands before it: any part of a text can be
// split on its own. Each part's LFs are found eight bytes at a time.
struct TextPart {
    TextPart(std::size_t from, std::size_t to) : begin(from), end(to) {}

    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t breaks = 0;     // the line breaks whose LF is in the part
    std::size_t firstLine = 0;  // the number of line breaks before the part
    std::size_t firstEmpty = kNoLine;
    ByteTally tally;

    // Calls `lineFeed` with the place of each LF in the part, in order, and how far the part has been looked at.
    template <typename LineFeed>
    void forEachLineFeed(std::string_view text, LineFeed&& lineFeed) const {
        const char* const data = text.data();
        std::size_t at = begin;
        for (; at + 8 <= end; at += 8) {
            for (std::uint64_t found = bytesEqual(data + at, '\n'); found != 0; found &= found - 1)
                lineFeed(at + static_cast<std::size_t>(std::countr_zero(found) / 8), at + 8);
        }
        for (; at < end; ++at) {
            if (data[at] == '\n') lineFeed(at, at + 1);
        }
    }

    void countBreaks(std::string_view text) {
        forEachLineFeed(text, [&](std::size_t at, std::size_t) { breaks += at > 0 && text[at - 1] == '\r' ? 1 : 0; });
    }

    // Writes the ends of its lines (where each break's CR is) to `ends`, from the part's first line on; tallies its
    // bytes before the end of line `told` - 1.
    void splitLines(std::string_view text, std::size_t* ends, std::size_t told) {
        std::size_t line = firstLine;
        // Line told - 1 ends at a break in this part, at a later one, or at the text's end.
        std::size_t toldEnd = told <= firstLine ? begin : end;
        std::size_t tallied = begin;
        forEachLineFeed(text, [&](std::size_t at, std::size_t scanned) {
            if (at == 0 || text[at - 1] != '\r') return;
            // A line is empty where its break follows the text's start or another break.
            const std::size_t cr = at - 1;
            if (firstEmpty == kNoLine && (cr == 0 || (cr >= 2 && text[cr - 2] == '\r' && text[cr - 1] == '\n')))
                firstEmpty = line;
            ends[line++] = cr;
            if (line == told) toldEnd = cr;
            // The bytes up to what has been looked at, as far as the told lines go.
            const std::size_t upTo = std::min(scanned, toldEnd);
            if (upTo > tallied) {
                tally.add(text.substr(tallied, upTo - tallied));
                tallied = upTo;
            }
        });
        if (toldEnd > tallied) tally.add(text.substr(tallied, toldEnd - tallied));
    }
};

// Runs `second` on a thread of its own while `first` runs on this one, or both here, one after the other, when no
// thread can be had; what either throws is thrown here, once both have ended.
template <typename First, typename Second>
void runBeside(First&& first, Second&& second) {
    std::exception_ptr secondFailed;
    std::jthread helper;
    try {
        helper = std::jthread([&] {
            try {
                second();
            } catch (...) {
                secondFailed = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        second();
    }
    first();
    if (helper.joinable()) helper.join();
    if (secondFailed) std::rethrow_exception(secondFailed);
}

// Runs `work` on each part, two of them side by side.
template <typename Work>
void onEachPart(std::vector<TextPart>& parts, Work&& work) {
    if (parts.size() == 2) {
        runBeside([&] { work(parts[0]); }, [&] { work(parts[1]); });
        return;
    }
    for (TextPart& part : parts) work(part);
}

// Texts at least this long are split in two halves by two threads.
constexpr std::size_t kTwoThreadSplitBytes = std::size_t{256} << 10;

// The breaks are counted first so that the ends are stored once, in memory that isn't filled first: a pass more
// through megabytes of values, or a search call per line, costs more than the passes that show them.
ListLines splitListLines(std::string_view text, std::size_t told) {
    std::vector<TextPart> parts;
    if (text.size() >= kTwoThreadSplitBytes) {
        parts.emplace_back(0, text.size() / 2);
        parts.emplace_back(text.size() / 2, text.size());
    } else {
        parts.emplace_back(0, text.size());
    }
    onEachPart(parts, [&](TextPart& part) { part.countBreaks(text); });
    std::size_t breaks = 0;
    for (TextPart& part : parts) {
        part.firstLine = breaks;
        breaks += part.breaks;
    }
    auto ends = std::make_unique_for_overwrite<std::size_t[]>(breaks + 1);
    onEachPart(parts, [&](TextPart& part) { part.splitLines(text, ends.get(), told); });
    ends[breaks] = text.size();
    ListLines split;
    split.firstEmpty = breaks + 1;
    ByteTally tally;
    for (const TextPart& part : parts) {
        if (part.firstEmpty != kNoLine) split.firstEmpty = std::min(split.firstEmpty, part.firstEmpty);
        tally.add(part.tally);
    }
    // The last line, after the last break, is empty where the text ends with one (or holds nothing).
    const std::size_t lastStart = breaks == 0 ? 0 : ends[breaks - 1] + kLineBreak.size();
    if (lastStart == text.size()) split.firstEmpty = std::min(split.firstEmpty, breaks);
    split.toldBytes = tally.set();
    split.lines = LineList(text, std::move(ends), breaks + 1);
    return split;
}

}  // namespace

CounterStyle effectiveStyle(const CounterStyle& style) {
    return {.repeat = std::max(1, style.repeat),
            .period = std::max(0, style.period),
            .format = style.format >= kFormatDecimal && style.format <= kFormatAiueo ? style.format : kFormatDecimal,
            .width = std::clamp(style.width, 0, 64),
            .fill = style.fill == 1 ? 1 : 0,
            .kind = style.kind >= kKindInteger && style.kind <= kKindUuid ? style.kind : kKindInteger,
            .start = style.start,
            .unit = style.unit >= kUnitDay && style.unit <= kUnitBusinessDay ? style.unit : kUnitDay,
            .daysOff = style.daysOff,
            .pattern = style.pattern,
            .step = style.step,
            .places = style.places < 0 ? -1 : std::min(style.places, 9),
            .minimum = style.minimum,
            .maximum = style.maximum,
            .seed = style.seed,
            .unique = style.unique == 1 ? 1 : 0};
}

std::optional<std::size_t> arrayLine(std::uint64_t index, std::size_t lineCount, std::int32_t end) {
    if (index < lineCount) return static_cast<std::size_t>(index);
    if (lineCount == 0 || (end != kEndCycle && end != kEndKeepLast)) return std::nullopt;
    const std::size_t restart = end == kEndCycle ? 0 : lineCount - 1;
    return restart + static_cast<std::size_t>((index - lineCount) % (lineCount - restart));
}

ArrayStyle effectiveStyle(const ArrayStyle& style) {
    return {.repeat = std::max(1, style.repeat),
            .end = style.end == kEndCycle || style.end == kEndKeepLast ? style.end : kEndEmpty,
            .order = style.order == kOrderShuffled || style.order == kOrderDrawn ? style.order : kOrderWritten,
            .seed = style.seed,
            .escape = style.escape > kEscapeNone && style.escape < kEscapeCount ? style.escape : kEscapeNone};
}

namespace {

// The bytes of an array's lines that some pass shows. Lines as written are one run of the values text, tallied as
// it was split, CR and LF included, which only a token holding one of them would ask about. Escaped lines, and
// lines where a token holds a line break, are tallied line by line.
ByteSet usedLineBytes(const Slot& slot, const ListLines& split, bool tokensHoldLineBreaks) {
    if (!tokensHoldLineBreaks && !slot.escaped) return split.toldBytes;
    ByteTally tally;
    for (std::size_t i = 0; i < slot.usedLines; ++i) tally.add(slot.lines[i]);
    return tally.set();
}

std::vector<Slot> activeSlots(const ExpansionInput& input) {
    const std::size_t passes = input.loopCount > 0 ? static_cast<std::size_t>(input.loopCount) : 0;
    bool tokensHoldLineBreaks = false;
    for (const CounterInput& counter : input.counters)
        tokensHoldLineBreaks = tokensHoldLineBreaks || counter.token.find_first_of("\r\n") != std::string::npos;
    for (const ArrayInput& array : input.arrays)
        tokensHoldLineBreaks = tokensHoldLineBreaks || array.token.find_first_of("\r\n") != std::string::npos;
    std::vector<Slot> slots;
    for (const CounterInput& counter : input.counters) {
        if (counter.token.empty()) continue;
        Slot slot;
        slot.token = counter.token;
        slot.isCounter = true;
        slot.counter = &counter;
        slot.initialValue = static_cast<std::uint32_t>(counter.initialValue);
        slot.increment = static_cast<std::uint32_t>(counter.increment);
        slot.firstPass = static_cast<std::uint64_t>(std::max(0, input.firstPass));
        const CounterStyle style = effectiveStyle(counter.style);
        slot.repeat = static_cast<std::uint64_t>(style.repeat);
        slot.period = static_cast<std::uint64_t>(style.period);
        slot.format = style.format;
        slot.width = static_cast<std::size_t>(style.width);
        slot.zeroFill = style.fill != 1 && !fillsWithBlanksOnly(slot.format);
        slot.plainDecimal = slot.format == kFormatDecimal && slot.width <= 1;
        slot.plainSteps = slot.repeat == 1 && slot.period == 0;
        if (style.kind == kKindDate) {
            slot.date = std::make_shared<const DateCounter>(style, counter.increment);
            slot.plainDecimal = false;
            slot.mayBeEmpty = true;  // outside the calendar, or by its pattern
        } else if (style.kind == kKindDecimal) {
            slot.decimal = std::make_shared<const DecimalCounter>(style);
            slot.plainDecimal = false;
            std::uint64_t lastStep = passes == 0 ? 0 : (slot.firstPass + passes - 1) / slot.repeat;
            if (slot.period > 0) lastStep = std::min(lastStep, slot.period - 1);
            slot.mayBeEmpty = slot.decimal->mayBeEmpty(lastStep);  // past 18 digits
        }
        if (drawsFromSeed(style)) {
            slot.random =
                std::make_shared<const RandomCounter>(style, static_cast<std::size_t>(&counter - &input.counters[0]));
            slot.plainSteps = false;  // its value is drawn for each step, not added up
        }
        slot.valueBytes = counterBytes(slot);
        slots.push_back(std::move(slot));
    }
    for (const ArrayInput& array : input.arrays) {
        if (array.token.empty()) continue;
        Slot slot;
        slot.token = array.token;
        const ArrayStyle style = effectiveStyle(array.style);
        slot.repeat = static_cast<std::uint64_t>(style.repeat);
        slot.end = style.end;
        slot.plainSteps = slot.repeat == 1;
        const std::size_t shown = passes == 0 ? 0 : static_cast<std::size_t>((passes - 1) / slot.repeat + 1);
        // Any line of a shuffled or drawn array may come first; escaped lines are told on their own.
        const bool drawn = drawsFromSeed(style);
        ListLines split = splitListLines(array.valuesText, style.escape != kEscapeNone ? 0
                                                           : drawn && shown > 0        ? kNoOutputLimit
                                                                                       : shown);
        slot.lines = std::move(split.lines);
        if (drawn) {
            slot.order = std::make_shared<const LineOrder>(style, static_cast<std::size_t>(&array - &input.arrays[0]),
                                                           slot.lines.size(), slot.lines.back().empty());
            slot.lines.keep(slot.order->lineCount());
        }
        // Escaped once here: every pass, the sizes and the rescan then see the escaped text.
        if (style.escape != kEscapeNone) {
            auto escaped = std::make_shared<std::string>();
            auto ends = std::make_unique_for_overwrite<std::size_t[]>(slot.lines.size());
            for (std::size_t i = 0; i < slot.lines.size(); ++i) {
                if (i > 0) escaped->append(kLineBreak);
                escaped->append(escapeValue(slot.lines[i], style.escape));
                ends[i] = escaped->size();
            }
            slot.lines = LineList(*escaped, std::move(ends), slot.lines.size());
            slot.escaped = std::move(escaped);
            slot.nothing = escapeValue("", style.escape);
        }
        slot.usedLines = slot.order && shown > 0 ? slot.lines.size() : std::min(shown, slot.lines.size());
        // An array that starts over after its last line never runs out; then only empty lines leave nothing.
        const bool runsOut = shown > slot.lines.size() && !arrayLine(slot.lines.size(), slot.lines.size(), slot.end);
        slot.mayBeEmpty = runsOut && slot.nothing.empty();
        ByteTally tally;
        if (runsOut) tally.add(slot.nothing);
        if (slot.escaped) {
            for (std::size_t i = 0; i < slot.usedLines; ++i) slot.mayBeEmpty = slot.mayBeEmpty || slot.lines[i].empty();
        } else {
            slot.mayBeEmpty = slot.mayBeEmpty || split.firstEmpty < slot.usedLines;
        }
        slot.valueBytes |= tally.set() | usedLineBytes(slot, split, tokensHoldLineBreaks);
        slots.push_back(std::move(slot));
    }
    return slots;
}

constexpr int kLiteral = -1;

struct Piece {
    int slot = kLiteral;  // index into the active slots, or kLiteral
    std::string_view text;
};

// True when `token` occurs, at any offset, across one of the `joins` of `run`.
bool matchCrossesJoin(const std::string& run, const std::vector<std::size_t>& joins, std::string_view token) {
    if (joins.empty()) return false;
    for (std::size_t at = run.find(token); at != std::string::npos; at = run.find(token, at + 1)) {
        for (std::size_t join : joins) {
            if (at < join && join < at + token.size()) return true;
        }
    }
    return false;
}

// Where the slots before `step` may have left an empty value, the real text joins its neighbours;
// the plan would then miss a match across that join, so such a template is simulated instead.
bool joinsAreSafe(const std::vector<Piece>& pieces, const std::vector<Slot>& slots, std::string_view token) {
    std::string run;
    std::vector<std::size_t> joins;
    for (const Piece& piece : pieces) {
        if (piece.slot == kLiteral) {
            run.append(piece.text);
        } else if (slots[piece.slot].mayBeEmpty) {
            joins.push_back(run.size());
        } else {
            if (matchCrossesJoin(run, joins, token)) return false;
            run.clear();
            joins.clear();
        }
    }
    return !matchCrossesJoin(run, joins, token);
}

// Whether the text in front of piece `index` could end with `tail`, whatever the values of earlier slots.
// A value on the way could supply the tail's last byte only if it can hold that byte; an empty value lets
// the walk go on to the left. Where the answer is unsure it is "could", and the caller falls back.
bool couldEndWith(const std::vector<Piece>& pieces, const std::vector<Slot>& slots, std::size_t index,
                  std::string_view tail) {
    while (!tail.empty()) {
        if (index == 0) return false;
        const Piece& piece = pieces[--index];
        if (piece.slot != kLiteral) {
            const Slot& slot = slots[piece.slot];
            if (slot.valueBytes.test(static_cast<unsigned char>(tail.back()))) return true;
            if (!slot.mayBeEmpty) return false;
            continue;
        }
        if (piece.text.size() >= tail.size()) return piece.text.ends_with(tail);
        if (!tail.ends_with(piece.text)) return false;
        tail.remove_suffix(piece.text.size());
    }
    return true;
}

bool couldStartWith(const std::vector<Piece>& pieces, const std::vector<Slot>& slots, std::size_t index,
                    std::string_view head) {
    for (; !head.empty(); ++index) {
        if (index >= pieces.size()) return false;
        const Piece& piece = pieces[index];
        if (piece.slot != kLiteral) {
            const Slot& slot = slots[piece.slot];
            if (slot.valueBytes.test(static_cast<unsigned char>(head.front()))) return true;
            if (!slot.mayBeEmpty) return false;
            continue;
        }
        if (piece.text.size() >= head.size()) return piece.text.starts_with(head);
        if (!head.starts_with(piece.text)) return false;
        head.remove_prefix(piece.text.size());
    }
    return true;
}

// Whether `token` could match across some byte of an earlier slot's value: token = before + inside + after,
// with `inside` a non-empty run of bytes the value can hold and the neighbours able to supply the rest.
bool valuesAreSafe(const std::vector<Piece>& pieces, const std::vector<Slot>& slots, std::string_view token) {
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        if (pieces[index].slot == kLiteral) continue;
        const ByteSet& valueBytes = slots[pieces[index].slot].valueBytes;
        for (std::size_t begin = 0; begin < token.size(); ++begin) {
            for (std::size_t end = begin; end < token.size() && valueBytes.test(static_cast<unsigned char>(token[end]));
                 ++end) {
                if (couldEndWith(pieces, slots, index, token.substr(0, begin)) &&
                    couldStartWith(pieces, slots, index + 1, token.substr(end + 1))) {
                    return false;
                }
            }
        }
    }
    return true;
}

// Compiles the template into pieces, or returns false when inserted values could interact.
bool compilePlan(std::string_view templateText, const std::vector<Slot>& slots, std::vector<Piece>& pieces) {
    pieces.clear();
    if (!templateText.empty()) pieces.push_back({kLiteral, templateText});
    std::vector<Piece> next;
    for (std::size_t step = 0; step < slots.size(); ++step) {
        const std::string_view token = slots[step].token;
        if (!valuesAreSafe(pieces, slots, token) || !joinsAreSafe(pieces, slots, token)) return false;
        next.clear();
        for (const Piece& piece : pieces) {
            if (piece.slot != kLiteral) {
                next.push_back(piece);
                continue;
            }
            std::size_t from = 0;
            for (std::size_t at = piece.text.find(token); at != std::string_view::npos;
                 at = piece.text.find(token, from)) {
                if (at > from) next.push_back({kLiteral, piece.text.substr(from, at - from)});
                next.push_back({static_cast<int>(step), {}});
                from = at + token.size();
            }
            if (from < piece.text.size()) next.push_back({kLiteral, piece.text.substr(from)});
        }
        pieces.swap(next);
    }
    return true;
}

// Adds with saturation, so that a size beyond any limit stays beyond it instead of wrapping.
std::size_t addSize(std::size_t a, std::size_t b) { return a > kNoOutputLimit - b ? kNoOutputLimit : a + b; }
std::size_t mulSize(std::size_t a, std::size_t b) {
    std::size_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? kNoOutputLimit : product;
}

// What goes before pass `p`: the header before the first, the joiner before every other. With frameBytes, the
// one statement of how the passes are put together, which every writer and every count of the engine asks; the
// footer goes after the last.
std::string_view before(const OutputShape& shape, std::size_t p) {
    return p == 0 ? std::string_view(shape.header) : std::string_view(shape.joiner);
}

// The bytes the shape adds around and between `passes` passes.
std::size_t frameBytes(const OutputShape& shape, std::size_t passes) {
    const std::size_t joins = passes > 0 ? passes - 1 : 0;
    return addSize(addSize(shape.header.size(), shape.footer.size()), mulSize(shape.joiner.size(), joins));
}

// A date's length is known only by writing it: its passes are counted a step at a time, one text for each run
// of passes that shows the same step, while `dateSteps` lasts (nothing once it ran out).
std::optional<std::size_t> dateBytesShown(const Slot& slot, std::size_t passes, std::size_t limit,
                                          std::size_t& dateSteps) {
    if (passes == 0) return 0;
    // Most patterns write every date in the same length: then the steps need not be visited.
    std::uint64_t lastStep = (slot.firstPass + passes - 1) / slot.repeat;
    if (slot.period > 0) lastStep = std::min(lastStep, slot.period - 1);
    if (const std::optional<std::size_t> same = slot.date->oneTextBytes(lastStep)) return mulSize(*same, passes);
    std::size_t bytes = 0;
    Steps at = firstSteps(slot);
    std::string text;
    for (std::size_t done = 0; done < passes && bytes <= limit;) {
        if (dateSteps == 0) return std::nullopt;
        if (dateSteps != kNoOutputLimit) --dateSteps;
        const auto group = static_cast<std::size_t>(std::min<std::uint64_t>(slot.repeat - at.phase, passes - done));
        slot.date->text(at.step, text);
        bytes = addSize(bytes, mulSize(text.size(), group));
        done += group;
        at.phase = slot.repeat - 1;
        advance(slot, at);
    }
    return bytes;
}

// The bytes of the lines at indexes 0 .. count-1, as the end rule maps them: every line once, then the lines
// from where the array starts over to its last, as often as they fit, and the start of that run once more.
std::size_t lineBytes(const Slot& slot, std::size_t count) {
    const std::size_t n = slot.lines.size();
    const auto bytes = [&](std::size_t from, std::size_t to) { return slot.lines.bytes(from, to); };
    if (count <= n) return bytes(0, count);
    const std::optional<std::size_t> restart = arrayLine(n, n, slot.end);
    if (!restart) return addSize(bytes(0, n), mulSize(count - n, slot.nothing.size()));
    const std::size_t run = n - *restart;
    const std::size_t beyond = count - n;
    return addSize(addSize(bytes(0, n), mulSize(beyond / run, bytes(*restart, n))),
                   bytes(*restart, *restart + beyond % run));
}

// An array's bytes over all passes: each line index is shown `repeat` passes, the last one perhaps fewer.
std::size_t arrayBytesShown(const Slot& slot, std::size_t passes) {
    if (passes == 0) return 0;
    const auto indexes = static_cast<std::size_t>((passes - 1) / slot.repeat + 1);
    const std::size_t lastPasses = passes - static_cast<std::size_t>((indexes - 1) * slot.repeat);
    return addSize(mulSize(lineBytes(slot, indexes - 1), static_cast<std::size_t>(slot.repeat)),
                   mulSize(lineAt(slot, indexes - 1).size(), lastPasses));
}

// Decimals and kanji with units don't follow the integer counters' bands of lengths: they are counted on their own.
bool countsByStep(const Slot& slot) {
    return slot.decimal || (slot.isCounter && !slot.date && slot.format == kFormatKanji);
}

// Decimals are counted band by band, kanji with units a step at a time while `steps` lasts.
std::optional<std::size_t> steppedBytesShown(const Slot& slot, std::size_t passes, std::size_t& steps) {
    return steppedTextBytes(
        slot.repeat, slot.period, slot.firstPass, passes,
        [&](std::uint64_t from, std::uint64_t to) -> std::optional<std::uint64_t> {
            if (slot.decimal) return slot.decimal->textBytes(from, to);
            std::uint64_t bytes = 0;
            for (std::uint64_t step = from; step < to; ++step) {
                if (steps == 0) return std::nullopt;
                if (steps != kNoOutputLimit) --steps;
                const std::uint32_t value = slot.initialValue + static_cast<std::uint32_t>(step) * slot.increment;
                bytes += japaneseNumberBytes(static_cast<std::int32_t>(value), slot.format, slot.width);
            }
            return bytes;
        });
}

// The exact output size, or something above `limit` as soon as the size is known to pass it; nothing when the
// dates and kanji took more than `dateSteps` texts to count, with `stoppedBy` set to the slot that did.
std::optional<std::size_t> planOutputSize(const std::vector<Piece>& pieces, const std::vector<Slot>& slots,
                                          const OutputShape& shape, std::size_t passes, std::size_t limit,
                                          std::size_t dateSteps = kNoOutputLimit, const Slot** stoppedBy = nullptr) {
    std::size_t literalBytes = 0;
    std::vector<std::size_t> uses(slots.size(), 0);
    for (const Piece& piece : pieces) {
        if (piece.slot == kLiteral) {
            literalBytes += piece.text.size();
        } else {
            ++uses[piece.slot];
        }
    }
    std::size_t total = addSize(mulSize(literalBytes, passes), frameBytes(shape, passes));
    for (std::size_t i = 0; i < slots.size() && total <= limit; ++i) {
        if (uses[i] == 0) continue;
        std::size_t valueBytes = 0;
        if (slots[i].date) {
            const std::optional<std::size_t> dated = dateBytesShown(slots[i], passes, limit, dateSteps);
            if (!dated) {
                if (stoppedBy) *stoppedBy = &slots[i];
                return std::nullopt;
            }
            valueBytes = *dated;
        } else if (slots[i].random || slots[i].order) {
            const Slot& slot = slots[i];
            const auto textBytes = [&slot](std::int32_t value) {
                CounterText text;
                return formatCounter(static_cast<std::uint32_t>(value), slot, text).size();
            };
            const std::optional<std::size_t> drawn =
                slot.random ? randomCounterBytes(*slot.random, *slot.counter, slot.firstPass, passes, textBytes,
                                                 {dateSteps, limit})
                            : orderedArrayBytes(*slot.order, slot.lines, slot.nothing.size(), passes, slot.repeat,
                                                {dateSteps, limit});
            if (!drawn) {
                if (stoppedBy) *stoppedBy = &slot;
                return std::nullopt;
            }
            valueBytes = *drawn;
        } else if (countsByStep(slots[i])) {
            const std::optional<std::size_t> stepped = steppedBytesShown(slots[i], passes, dateSteps);
            if (!stepped) {
                if (stoppedBy) *stoppedBy = &slots[i];
                return std::nullopt;
            }
            valueBytes = *stepped;
        } else {
            valueBytes = slots[i].isCounter ? counterTextBytes(*slots[i].counter, slots[i].firstPass, passes)
                                            : arrayBytesShown(slots[i], passes);
        }
        total = addSize(total, mulSize(valueBytes, uses[i]));
    }
    return total;
}

// Most pieces are a few bytes long: copying them inline beats a call to memcpy for each.
inline char* put(char* out, std::string_view text) {
    const char* from = text.data();
    const std::size_t n = text.size();
    if (n >= 8 && n <= 16) {
        std::memcpy(out, from, 8);
        std::memcpy(out + n - 8, from + n - 8, 8);
    } else if (n >= 4 && n < 8) {
        std::memcpy(out, from, 4);
        std::memcpy(out + n - 4, from + n - 4, 4);
    } else if (n < 4) {
        for (std::size_t i = 0; i < n; ++i) out[i] = from[i];
    } else {
        std::memcpy(out, from, n);
    }
    return out + n;
}

// Short pieces are copied as one block of this many bytes, whatever their length: the buffers they come from and
// the output have room for the bytes past their end, which the next piece overwrites.
constexpr std::size_t kCopyBlock = 16;
constexpr std::size_t kOutputSlack = kCopyBlock;

// A plain decimal counter stepped in place: its digits, from the start of a buffer that can be read a block at a
// time, moved on by adding the increment's digits while the value stays at or above zero and keeps its length,
// and written anew otherwise (one digit more, a negative value or increment).
class SteppedDecimal {
public:
    SteppedDecimal(std::uint32_t value, std::uint32_t increment)
        : m_value(value), m_increment(increment), m_inPlace(static_cast<std::int32_t>(increment) >= 0) {
        for (std::uint32_t rest = m_inPlace ? increment : 0; rest != 0; rest /= 10)
            m_step[m_stepLength++] = static_cast<unsigned char>(rest % 10);
        write();
    }
    void advance() {
        const std::uint32_t next = m_value + m_increment;
        const bool inPlace =
            m_inPlace && static_cast<std::int32_t>(m_value) >= 0 && static_cast<std::int32_t>(next) >= 0;
        m_value = next;
        if (!inPlace) {
            write();
            return;
        }
        // Most steps only move the last digit: a one-digit increment that doesn't carry.
        char& last = m_digits[m_length - 1];
        if (m_stepLength == 1 && last + m_step[0] <= '9') {
            last = static_cast<char>(last + m_step[0]);
            return;
        }
        if (!addStep()) write();
    }
    std::string_view text() const { return {m_digits.data(), m_length}; }
    const char* buffer() const { return m_digits.data(); }
    static constexpr std::size_t kBufferSize = 2 * kCopyBlock;

private:
    void write() {
        const char* end =
            std::to_chars(m_digits.data(), m_digits.data() + kCopyBlock, static_cast<std::int32_t>(m_value)).ptr;
        m_length = static_cast<std::size_t>(end - m_digits.data());
    }
    // False when the sum needs one digit more; the digits are then written anew.
    bool addStep() {
        unsigned carry = 0;
        for (std::size_t i = 0; i < m_stepLength || carry != 0; ++i) {
            if (i == m_length) return false;
            char& digit = m_digits[m_length - 1 - i];
            const unsigned sum = static_cast<unsigned>(digit - '0') + carry + (i < m_stepLength ? m_step[i] : 0u);
            carry = sum >= 10 ? 1 : 0;
            digit = static_cast<char>('0' + sum - carry * 10);
        }
        return true;
    }

    std::array<char, kBufferSize> m_digits{};
    std::size_t m_length = 0;
    std::array<unsigned char, 10> m_step{};  // the increment's digits, the last one first
    std::size_t m_stepLength = 0;
    std::uint32_t m_value;
    std::uint32_t m_increment;
    bool m_inPlace;
};

// One piece of every pass: a text that stays or a slot's value of the pass, with the buffer it lies in when that
// can be read a whole block from any of its texts' starts.
struct PassPiece {
    const std::string_view* text = nullptr;
    std::uintptr_t buffer = 0;
    std::size_t lastBlock = 0;  // the furthest offset in the buffer a block may be read from
    bool blocks = false;
};

PassPiece blockPiece(const std::string_view* text, const char* buffer, std::size_t bufferSize) {
    PassPiece piece{text};
    if (bufferSize >= kCopyBlock) {
        piece.buffer = reinterpret_cast<std::uintptr_t>(buffer);
        piece.lastBlock = bufferSize - kCopyBlock;
        piece.blocks = true;
    }
    return piece;
}

inline char* putPiece(char* out, const PassPiece& piece) {
    const std::string_view text = *piece.text;
    if (piece.blocks && text.size() <= kCopyBlock &&
        reinterpret_cast<std::uintptr_t>(text.data()) - piece.buffer <= piece.lastBlock) {
        std::memcpy(out, text.data(), kCopyBlock);
        return out + text.size();
    }
    return put(out, text);
}

// Writes every pass (at least one) in its shape into `out`, which has the output's size and kOutputSlack bytes
// more, when every pass is the same text: written once, then doubled.
void writeSamePasses(char* out, const std::vector<Piece>& pieces, const OutputShape& shape, std::size_t passes) {
    char* const first = put(out, before(shape, 0));
    const std::size_t unit = pieces.empty() ? 0 : pieces[0].text.size();
    if (unit) std::memcpy(first, pieces[0].text.data(), unit);
    std::size_t done = 1;
    std::size_t written = unit;
    while (done < passes) {
        const std::size_t take = std::min(done, passes - done);
        const std::string_view join = before(shape, done);
        const std::size_t block = take * unit + (take - 1) * join.size();
        if (!join.empty()) std::memcpy(first + written, join.data(), join.size());
        std::memcpy(first + written + join.size(), first, block);
        written += join.size() + block;
        done += take;
    }
    put(first + written, shape.footer);
}

// The passes of a plan that shows values, laid out once: any range of them can then be written on its own, so
// that two threads can write the two halves of a large output.
class PassWriter {
public:
    PassWriter(const std::vector<Slot>& slots, const std::vector<Piece>& pieces, const OutputShape& shape,
               std::size_t passes)
        : m_slots(slots), m_pieces(pieces), m_shape(shape), m_passes(passes) {
        // The literals before the first value and after the last are written with the joiner as one piece
        // between passes: what ends a pass, the join, what begins the next.
        while (pieces[m_firstValue].slot == kLiteral) ++m_firstValue;
        m_lastValue = pieces.size() - 1;
        while (pieces[m_lastValue].slot == kLiteral) --m_lastValue;
        for (std::size_t i = 0; i < m_firstValue; ++i) m_head.append(pieces[i].text);
        for (std::size_t i = m_lastValue + 1; i < pieces.size(); ++i) m_tail.append(pieces[i].text);
        // Every literal is copied into one buffer with room for a block past each, reserved so that it stays put.
        const std::string between = m_tail + std::string(before(shape, 1)) + m_head;
        std::vector<std::string_view> middle;
        for (std::size_t i = m_firstValue; i <= m_lastValue; ++i) {
            if (pieces[i].slot == kLiteral) middle.push_back(pieces[i].text);
        }
        middle.push_back(between);
        std::size_t literalBytes = 0;
        for (const std::string_view text : middle) literalBytes += text.size() + kCopyBlock;
        m_literals.reserve(literalBytes);
        for (const std::string_view text : middle) {
            m_literalTexts.emplace_back(m_literals.data() + m_literals.size(), text.size());
            m_literals.append(text).append(kCopyBlock, '\0');
        }
        // Only the slots that some piece shows are kept up to date: a token the template doesn't hold (the
        // defaults of unused slots) would otherwise cost a formatting every pass. Each kind in a list of its own.
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const auto showsSlot = [i](const Piece& piece) { return piece.slot == static_cast<int>(i); };
            if (!std::any_of(pieces.begin(), pieces.end(), showsSlot)) continue;
            if (stepsInPlace(slots[i])) {
                m_inPlace.push_back(i);
            } else if (slots[i].plainSteps && !slots[i].isCounter) {
                m_walked.push_back(i);
            } else {
                m_others.push_back(i);
            }
        }
    }

    // Writes passes `from` .. `to`-1 into `out`, from what stands before the first of them (the header, or the join
    // after the pass before) to the end of the last (and the footer after the run's last pass); `out` has room for
    // kOutputSlack bytes past them.
    void write(char* out, std::size_t from, std::size_t to) const {
        const std::vector<Slot>& slots = m_slots;
        std::vector<std::string_view> values(slots.size());
        std::vector<CounterText> texts(slots.size());
        std::vector<std::string> dateTexts(slots.size());
        std::vector<Steps> steps(slots.size());
        std::vector<std::optional<SteppedDecimal>> stepped(slots.size());
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const Slot& slot = slots[i];
            steps[i] = firstSteps(slot, from);
            if (stepsInPlace(slot)) {
                stepped[i].emplace(steps[i].value, slot.increment);
                values[i] = stepped[i]->text();
            } else {
                values[i] =
                    slot.isCounter ? counterText(slot, steps[i], texts[i], dateTexts[i]) : lineAt(slot, steps[i].step);
            }
        }
        std::vector<PassPiece> passPieces;
        std::size_t literal = 0;
        for (std::size_t i = m_firstValue; i <= m_lastValue; ++i) {
            const int slot = m_pieces[i].slot;
            if (slot == kLiteral) {
                passPieces.push_back(blockPiece(&m_literalTexts[literal++], m_literals.data(), m_literals.size()));
            } else if (stepped[slot]) {
                passPieces.push_back(blockPiece(&values[slot], stepped[slot]->buffer(), SteppedDecimal::kBufferSize));
            } else if (slots[slot].isCounter) {
                // A date's text has no room past it; a formatted counter's ends its buffer unless it is long.
                passPieces.push_back(slots[slot].date
                                         ? PassPiece{&values[slot]}
                                         : blockPiece(&values[slot], texts[slot].data(), texts[slot].size()));
            } else {
                const std::string_view text = slots[slot].lines.text();
                passPieces.push_back(blockPiece(&values[slot], text.data(), text.size()));
            }
        }
        const PassPiece join = blockPiece(&m_literalTexts.back(), m_literals.data(), m_literals.size());

        out = put(out, before(m_shape, from));
        out = put(out, m_head);
        for (std::size_t p = from; p < to; ++p) {
            // A value is formatted or looked up again only when its step moves on.
            if (p > from) {
                for (const std::size_t i : m_inPlace) {
                    stepped[i]->advance();
                    values[i] = stepped[i]->text();
                }
                for (const std::size_t i : m_walked) {
                    const Slot& slot = slots[i];
                    values[i] = p < slot.lines.size() && !slot.order ? slot.lines[p] : lineAt(slot, p);
                }
                for (const std::size_t i : m_others) {
                    const Slot& slot = slots[i];
                    if (!advance(slot, steps[i])) continue;
                    values[i] = slot.isCounter ? counterText(slot, steps[i], texts[i], dateTexts[i])
                                               : lineAt(slot, steps[i].step);
                }
            }
            if (p + 1 < to || to == m_passes) {
                for (const PassPiece& piece : passPieces) out = putPiece(out, piece);
            } else {
                // A block would spill past this range's end, into what another thread may have written already.
                for (const PassPiece& piece : passPieces) out = put(out, *piece.text);
            }
            if (p + 1 < to) out = putPiece(out, join);
        }
        out = put(out, m_tail);
        if (to == m_passes) put(out, m_shape.footer);
    }

private:
    static bool stepsInPlace(const Slot& slot) { return slot.isCounter && slot.plainSteps && slot.plainDecimal; }

    const std::vector<Slot>& m_slots;
    const std::vector<Piece>& m_pieces;
    const OutputShape& m_shape;
    std::size_t m_passes;
    std::size_t m_firstValue = 0;
    std::size_t m_lastValue = 0;
    std::string m_head;
    std::string m_tail;
    std::string m_literals;
    std::vector<std::string_view> m_literalTexts;
    std::vector<std::size_t> m_inPlace;
    std::vector<std::size_t> m_walked;
    std::vector<std::size_t> m_others;
};

// Outputs at least this long are written by two threads, a half each: page faults and the passes both take about
// half the time then.
constexpr std::size_t kTwoThreadBytes = std::size_t{1} << 20;

// Writes every pass (at least one) in its shape into `out`, which has the plan's output size (`size`) and
// kOutputSlack bytes more.
void writePasses(char* out, const std::vector<Slot>& slots, const std::vector<Piece>& pieces, const OutputShape& shape,
                 std::size_t passes, std::size_t size) {
    if (pieces.size() <= 1 && (pieces.empty() || pieces[0].slot == kLiteral)) {
        writeSamePasses(out, pieces, shape, passes);
        return;
    }
    const PassWriter writer(slots, pieces, shape, passes);
    if (size < kTwoThreadBytes || passes < 2) {
        writer.write(out, 0, passes);
        return;
    }
    // The second half starts where the first half's passes end: the size of a run of that many, without its footer.
    const std::size_t half = passes / 2;
    const std::size_t firstHalfBytes =
        *planOutputSize(pieces, slots, shape, half, kNoOutputLimit) - shape.footer.size();
    runBeside([&] { writer.write(out, 0, half); }, [&] { writer.write(out + firstHalfBytes, half, passes); });
}

enum class Replaced { None, Done, OverCap, OutOfWork };

// A pass in the making may outgrow the output limit and shrink again (later values can be empty), so its
// own cap is never below this; above it the run is refused rather than risk memory it can't have.
constexpr std::size_t kPassWorkMinCap = std::size_t{256} << 20;

// The work a simulation has done, in units of about a nanosecond at worst on a slow machine: bytes searched
// cost little, places where a token's first byte is found (a text dense in them makes every byte one) and the
// pieces copied cost the most.
struct Work {
    std::size_t searched = 0;
    std::size_t candidates = 0;
    std::size_t written = 0;
    std::size_t pieces = 0;

    // Beyond this the simulation stops, checked every so many candidates and pieces: one replacement in a
    // pass of megabytes can take milliseconds.
    std::size_t budget = kNoOutputLimit;

    std::size_t units() const {
        return addSize(addSize(searched / 16, mulSize(candidates, 12)), addSize(written / 4, mulSize(pieces, 32)));
    }
    bool exhausted() const { return budget != kNoOutputLimit && units() > budget; }
};

constexpr std::size_t kWorkCheckMask = 255;

// Where `token` (not empty) next occurs in `text` at or after `from`, or npos; npos too once the work is
// exhausted.
std::size_t findToken(std::string_view text, std::string_view token, std::size_t from, Work& work) {
    while (from + token.size() <= text.size()) {
        const std::size_t span = text.size() - token.size() + 1 - from;
        const auto* hit = static_cast<const char*>(std::memchr(text.data() + from, token[0], span));
        if (hit == nullptr) {
            work.searched += span;
            return std::string_view::npos;
        }
        const auto at = static_cast<std::size_t>(hit - text.data());
        work.searched += at - from;
        if ((++work.candidates & kWorkCheckMask) == 0 && work.exhausted()) return std::string_view::npos;
        if (std::memcmp(hit + 1, token.data() + 1, token.size() - 1) == 0) return at;
        from = at + 1;
    }
    return std::string_view::npos;
}

// Replaces `token` in `text` by `value` into `scratch`; touches nothing when it doesn't occur. Gives up as soon
// as the result passes `cap` bytes: values holding later tokens can grow one pass beyond any memory.
Replaced replaceInto(const std::string& text, std::string_view token, std::string_view value, std::string& scratch,
                     std::size_t cap, Work& work) {
    ++work.pieces;
    std::size_t at = findToken(text, token, 0, work);
    if (work.exhausted()) return Replaced::OutOfWork;
    if (at == std::string::npos) return Replaced::None;
    scratch.clear();
    std::size_t from = 0;
    for (; at != std::string::npos; at = findToken(text, token, from, work)) {
        if (scratch.size() + (at - from) + value.size() > cap) return Replaced::OverCap;
        scratch.append(text, from, at - from).append(value);
        from = at + token.size();
        work.pieces += 2;
        if ((work.pieces & kWorkCheckMask) < 2 && work.exhausted()) return Replaced::OutOfWork;
    }
    if (work.exhausted()) return Replaced::OutOfWork;
    if (scratch.size() + (text.size() - from) > cap) return Replaced::OverCap;
    scratch.append(text, from, std::string::npos);
    work.written += scratch.size();
    return Replaced::Done;
}

// What a simulation ended with: every pass run (or `emit` stopped it), or a budget reached.
enum class Simulated { Ran, PassTooLarge, OutOfWork };

// Runs the passes one replacement at a time, handing each finished pass to `emit`, which returns false to stop.
// Stops when a pass grows past `cap` bytes on the way, or once the work passes `workBudget`: a pass can grow
// and shrink back to nothing, so neither the output nor the cap bounds the time.
template <typename Emit>
Simulated simulatePasses(const std::string& templateText, const std::vector<Slot>& slots, std::size_t passes,
                         std::size_t cap, std::size_t workBudget, Emit&& emit) {
    std::string work;
    std::string scratch;
    CounterText text;
    Work spent;
    spent.budget = workBudget;
    std::string dateText;
    std::vector<Steps> steps(slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i) steps[i] = firstSteps(slots[i]);
    for (std::size_t p = 0; p < passes; ++p) {
        work.assign(templateText);
        spent.written += work.size();
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const Slot& slot = slots[i];
            if (p > 0) advance(slot, steps[i]);
            const std::string_view value =
                slot.isCounter ? counterText(slot, steps[i], text, dateText) : lineAt(slot, steps[i].step);
            const Replaced replaced = replaceInto(work, slot.token, value, scratch, cap, spent);
            if (replaced == Replaced::OverCap) return Simulated::PassTooLarge;
            if (replaced == Replaced::OutOfWork || spent.exhausted()) return Simulated::OutOfWork;
            if (replaced == Replaced::Done) work.swap(scratch);
        }
        if (!emit(work, p)) return Simulated::Ran;
    }
    return Simulated::Ran;
}

}  // namespace

ExpansionResult ExpandTemplate(const ExpansionInput& input, std::size_t outputLimit) {
    return ExpandTemplate(input, outputLimit, std::max(outputLimit, kPassWorkMinCap));
}

ExpansionResult ExpandTemplate(const ExpansionInput& input, std::size_t outputLimit, std::size_t passWorkCap,
                               std::size_t workBudget) {
    ExpansionResult result;
    const OutputShape& shape = input.shape;
    if (input.loopCount <= 0) {
        if (frameBytes(shape, 0) > outputLimit) {
            result.limitReached = true;
        } else {
            result.text.append(shape.header).append(shape.footer);
        }
        return result;
    }
    const auto passes = static_cast<std::size_t>(input.loopCount);
    std::vector<Slot> slots = activeSlots(input);
    std::vector<Piece> pieces;
    if (compilePlan(input.templateText, slots, pieces)) {
        const std::size_t size = *planOutputSize(pieces, slots, shape, passes, outputLimit);
        if (size > outputLimit) {
            result.limitReached = true;
            return result;
        }
        // The bytes are written as they are made, not filled with zeros first; nothing may throw out of the
        // writing, so what does is carried past it.
        std::exception_ptr failed;
        result.text.resize_and_overwrite(size + kOutputSlack, [&](char* out, std::size_t) noexcept {
            try {
                writePasses(out, slots, pieces, shape, passes, size);
                return size;
            } catch (...) {
                failed = std::current_exception();
                return std::size_t{0};
            }
        });
        if (failed) std::rethrow_exception(failed);
        return result;
    }
    // Sized by a first run, so the output is allocated once at its exact size and a run over the limit
    // allocates nothing.
    std::size_t size = 0;
    const std::size_t workCap = passWorkCap;
    const bool fits = simulatePasses(input.templateText, slots, passes, workCap, workBudget,
                                     [&](const std::string& work, std::size_t p) {
                                         size = addSize(size, addSize(before(shape, p).size(), work.size()));
                                         return size <= outputLimit;
                                     }) == Simulated::Ran;
    size = addSize(size, shape.footer.size());
    if (!fits || size > outputLimit) {
        result.limitReached = true;
        return result;
    }
    result.text.reserve(size);
    simulatePasses(input.templateText, slots, passes, workCap, kNoOutputLimit,
                   [&](const std::string& work, std::size_t p) {
                       result.text.append(before(shape, p)).append(work);
                       return true;
                   });
    result.text.append(shape.footer);
    return result;
}

std::string ExpandTemplate(const ExpansionInput& input) { return ExpandTemplate(input, kNoOutputLimit).text; }

namespace {

std::uint64_t countLineBreaks(std::string_view text) {
    std::uint64_t count = 0;
    for (std::size_t at = text.find(kLineBreak); at != std::string_view::npos; at = text.find(kLineBreak, at + 2))
        ++count;
    return count;
}

bool holdsCrOrLf(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// Counts the bytes and the CR LF of an output handed over piece by piece, a pair split between pieces too.
class LineBreakCounter {
public:
    void add(std::string_view piece) {
        if (piece.empty()) return;
        if (m_pendingCr && piece.front() == '\n') ++m_breaks;
        m_breaks += countLineBreaks(piece);
        m_pendingCr = piece.back() == '\r';
        m_bytes += piece.size();
    }
    std::uint64_t bytes() const { return m_bytes; }
    // Its CR LF, and one more once there is a pass or a byte: a single empty pass is one empty line.
    std::uint64_t lines(std::size_t passes) const { return m_breaks + (passes > 0 || m_bytes > 0 ? 1 : 0); }

private:
    std::uint64_t m_bytes = 0;
    std::uint64_t m_breaks = 0;
    bool m_pendingCr = false;
};

// Whether a CR ending the header or the joiner could meet an LF starting the joiner or the footer, across empty
// passes: a pair no piece holds on its own. (Where lineBreaksAreTheTemplates holds, a pass neither ends with a
// lone CR nor starts with a lone LF, so no other pair can form across pieces.)
bool shapeMayPairLineBreaks(const OutputShape& shape) {
    const auto endsWithCr = [](std::string_view text) { return text.ends_with('\r'); };
    const auto startsWithLf = [](std::string_view text) { return text.starts_with('\n'); };
    return (endsWithCr(shape.header) || endsWithCr(shape.joiner)) &&
           (startsWithLf(shape.joiner) || startsWithLf(shape.footer));
}

// True when every CR LF of the output is one of the template's or a join of passes: the template's CR and LF
// come only in pairs, and no token or value holds either, so none can form, vanish or split.
bool lineBreaksAreTheTemplates(std::string_view templateText, const std::vector<Slot>& slots) {
    if (countLineBreaks(templateText) * 2 !=
        static_cast<std::uint64_t>(std::count(templateText.begin(), templateText.end(), '\r')) +
            static_cast<std::uint64_t>(std::count(templateText.begin(), templateText.end(), '\n')))
        return false;
    for (const Slot& slot : slots) {
        if (holdsCrOrLf(slot.token)) return false;
        if (slot.date && (slot.valueBytes.test('\r') || slot.valueBytes.test('\n'))) return false;
        for (std::size_t i = 0; i < slot.usedLines; ++i) {
            if (holdsCrOrLf(slot.lines[i])) return false;
        }
    }
    return true;
}

}  // namespace

// A date text costs about as much as replacing a short value: what one step of the count takes from a work budget
// (a step of kanji with units costs less, but is counted alike).
constexpr std::size_t kDateTextWork = 32;

SizeMeasurement measureExpansion(const ExpansionInput& input, std::size_t budgetBytes, std::size_t workBudget) {
    const OutputShape& shape = input.shape;
    if (input.loopCount <= 0) {
        LineBreakCounter frame;
        frame.add(shape.header);
        frame.add(shape.footer);
        return {ExpansionSize{frame.bytes(), frame.lines(0)}};
    }
    ExpansionSize size;
    const auto passes = static_cast<std::size_t>(input.loopCount);
    const std::vector<Slot> slots = activeSlots(input);
    std::vector<Piece> pieces;
    if (lineBreaksAreTheTemplates(input.templateText, slots) && !shapeMayPairLineBreaks(shape) &&
        compilePlan(input.templateText, slots, pieces)) {
        // Dates, and random values and lists where their lengths vary, are counted by writing them, within both
        // budgets; kanji with units a step at a time within the work budget; decimals by their runs of steps alike
        // in length and the rest (UUIDs too) in closed form, at any count.
        const bool dated =
            std::any_of(slots.begin(), slots.end(), [](const Slot& slot) { return slot.date != nullptr; });
        const bool drawn = std::any_of(slots.begin(), slots.end(), [](const Slot& slot) {
            return (slot.random && !slot.random->isUuid()) || slot.order;
        });
        const Slot* stopper = nullptr;
        const std::optional<std::size_t> bytes =
            planOutputSize(pieces, slots, shape, passes, dated || drawn ? budgetBytes : kNoOutputLimit,
                           workBudget == kNoOutputLimit ? kNoOutputLimit : workBudget / kDateTextWork, &stopper);
        if (!bytes || ((dated || drawn) && *bytes > budgetBytes)) {
            SizeMeasurement stopped{std::nullopt, !bytes};
            // The slot that ran out of work, or else what counts by writing: what the size line names.
            stopped.byDates = stopper ? stopper->date != nullptr : dated;
            stopped.byRandom = stopper ? stopper->random || stopper->order : !dated;
            stopped.byKanji = stopper && !stopped.byDates && !stopped.byRandom;
            return stopped;
        }
        // No CR LF forms across pieces: the template's, the joins' and the header's and footer's are all there is.
        size.bytes = *bytes;
        size.lines = countLineBreaks(input.templateText) * passes + countLineBreaks(shape.joiner) * (passes - 1) +
                     countLineBreaks(shape.header) + countLineBreaks(shape.footer) + 1;
        return {size};
    }
    LineBreakCounter counted;
    const Simulated simulated = simulatePasses(input.templateText, slots, passes, budgetBytes, workBudget,
                                               [&](const std::string& work, std::size_t p) {
                                                   counted.add(before(shape, p));
                                                   counted.add(work);
                                                   return counted.bytes() <= budgetBytes;
                                               });
    counted.add(shape.footer);
    if (simulated == Simulated::OutOfWork) return {std::nullopt, true};
    if (simulated == Simulated::PassTooLarge || counted.bytes() > budgetBytes) return {};
    return {ExpansionSize{counted.bytes(), counted.lines(passes)}};
}

std::optional<ExpansionSize> measureExpansion(const ExpansionInput& input, std::size_t budgetBytes) {
    return measureExpansion(input, budgetBytes, kNoOutputLimit).size;
}

}  // namespace ravolin
