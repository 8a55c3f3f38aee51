#include "conversion/Expansion.h"

#include <algorithm>
#include <bitset>
#include <charconv>
#include <cstring>
#include <string_view>
#include <vector>

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

struct Slot {
    std::string_view token;
    bool isCounter = false;
    std::uint32_t initialValue = 0;
    std::uint32_t counterValue = 0;  // unsigned so that the per-pass increment wraps without overflow
    std::uint32_t increment = 0;
    std::vector<std::string_view> lines;  // views into the input's values text
    std::size_t usedLines = 0;            // lines that some pass actually shows
    bool mayBeEmpty = false;
    ByteSet valueBytes;
};

// The lines SplitLines gives, as views: arrays can hold a million values, and copying each one costs
// more than the passes that show it.
std::vector<std::string_view> splitLineViews(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t from = 0;
    for (std::size_t at = text.find(kLineBreak); at != std::string_view::npos; at = text.find(kLineBreak, from)) {
        lines.push_back(text.substr(from, at - from));
        from = at + kLineBreak.size();
    }
    lines.push_back(text.substr(from));
    return lines;
}

std::vector<Slot> activeSlots(const ExpansionInput& input) {
    const std::size_t passes = input.loopCount > 0 ? static_cast<std::size_t>(input.loopCount) : 0;
    std::vector<Slot> slots;
    for (const CounterInput& counter : input.counters) {
        if (counter.token.empty()) continue;
        Slot slot;
        slot.token = counter.token;
        slot.isCounter = true;
        slot.initialValue = static_cast<std::uint32_t>(counter.initialValue);
        slot.counterValue = slot.initialValue;
        slot.increment = static_cast<std::uint32_t>(counter.increment);
        slot.valueBytes = bytesOf("-0123456789");
        slots.push_back(std::move(slot));
    }
    for (const ArrayInput& array : input.arrays) {
        if (array.token.empty()) continue;
        Slot slot;
        slot.token = array.token;
        slot.lines = splitLineViews(array.valuesText);
        slot.usedLines = std::min(passes, slot.lines.size());
        slot.mayBeEmpty = passes > slot.lines.size();
        for (std::size_t i = 0; i < slot.usedLines; ++i) {
            slot.mayBeEmpty = slot.mayBeEmpty || slot.lines[i].empty();
            slot.valueBytes |= bytesOf(slot.lines[i]);
        }
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

std::size_t decimalLength(std::uint32_t bits) {
    const bool negative = static_cast<std::int32_t>(bits) < 0;
    const std::uint32_t magnitude = negative ? 0u - bits : bits;
    static constexpr std::uint32_t kPowers[] = {10u,      100u,      1000u,      10000u,     100000u,
                                                1000000u, 10000000u, 100000000u, 1000000000u};
    std::size_t digits = 1;
    while (digits < 10 && magnitude >= kPowers[digits - 1]) ++digits;
    return digits + (negative ? 1 : 0);
}

// Adds with saturation, so that a size beyond any limit stays beyond it instead of wrapping.
std::size_t addSize(std::size_t a, std::size_t b) { return a > kNoOutputLimit - b ? kNoOutputLimit : a + b; }
std::size_t mulSize(std::size_t a, std::size_t b) {
    std::size_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? kNoOutputLimit : product;
}

// The exact output size, or something above `limit` as soon as the size is known to pass it.
std::size_t planOutputSize(const std::vector<Piece>& pieces, const std::vector<Slot>& slots, std::size_t passes,
                           std::size_t limit) {
    std::size_t literalBytes = 0;
    std::vector<std::size_t> uses(slots.size(), 0);
    for (const Piece& piece : pieces) {
        if (piece.slot == kLiteral) {
            literalBytes += piece.text.size();
        } else {
            ++uses[piece.slot];
        }
    }
    std::size_t total = addSize(mulSize(literalBytes, passes), mulSize(kLineBreak.size(), passes - 1));
    for (std::size_t i = 0; i < slots.size() && total <= limit; ++i) {
        if (uses[i] == 0) continue;
        std::size_t valueBytes = 0;
        if (slots[i].isCounter) {
            // Every pass shows at least one digit, so the loop ends soon after the limit is passed.
            std::uint32_t value = slots[i].counterValue;
            for (std::size_t p = 0; p < passes && valueBytes <= limit; ++p, value += slots[i].increment)
                valueBytes += decimalLength(value);
        } else {
            for (std::size_t p = 0; p < slots[i].usedLines; ++p) valueBytes += slots[i].lines[p].size();
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

// Writes every pass into `out`, which already has exactly the plan's output size.
void writePasses(char* out, std::vector<Slot>& slots, const std::vector<Piece>& pieces, std::size_t passes) {
    if (pieces.size() <= 1 && (pieces.empty() || pieces[0].slot == kLiteral)) {
        // Every pass is the same text: write it once, then double what is written.
        const std::size_t unit = pieces.empty() ? 0 : pieces[0].text.size();
        if (unit) std::memcpy(out, pieces[0].text.data(), unit);
        std::size_t done = 1;
        std::size_t written = unit;
        while (done < passes) {
            const std::size_t take = std::min(done, passes - done);
            const std::size_t block = take * unit + (take - 1) * kLineBreak.size();
            std::memcpy(out + written, kLineBreak.data(), kLineBreak.size());
            std::memcpy(out + written + kLineBreak.size(), out, block);
            written += kLineBreak.size() + block;
            done += take;
        }
        return;
    }
    std::vector<std::string_view> values(slots.size());
    std::vector<std::array<char, 12>> digits(slots.size());
    for (std::size_t p = 0; p < passes; ++p) {
        for (std::size_t i = 0; i < slots.size(); ++i) {
            Slot& slot = slots[i];
            if (slot.isCounter) {
                char* begin = digits[i].data();
                char* end = std::to_chars(begin, begin + 12, static_cast<std::int32_t>(slot.counterValue)).ptr;
                values[i] = std::string_view(begin, static_cast<std::size_t>(end - begin));
                slot.counterValue += slot.increment;
            } else {
                values[i] = p < slot.lines.size() ? slot.lines[p] : std::string_view();
            }
        }
        if (p > 0) out = put(out, kLineBreak);
        for (const Piece& piece : pieces) out = put(out, piece.slot == kLiteral ? piece.text : values[piece.slot]);
    }
}

enum class Replaced { None, Done, OverCap };

// A pass in the making may outgrow the output limit and shrink again (later values can be empty), so its
// own cap is never below this; above it the run is refused rather than risk memory it can't have.
constexpr std::size_t kPassWorkMinCap = std::size_t{256} << 20;

// Replaces `token` in `text` by `value` into `scratch`; touches nothing when it doesn't occur. Gives up as soon
// as the result passes `cap` bytes: values holding later tokens can grow one pass beyond any memory.
Replaced replaceInto(const std::string& text, std::string_view token, std::string_view value, std::string& scratch,
                     std::size_t cap) {
    std::size_t at = text.find(token);
    if (at == std::string::npos) return Replaced::None;
    scratch.clear();
    std::size_t from = 0;
    for (; at != std::string::npos; at = text.find(token, from)) {
        if (scratch.size() + (at - from) + value.size() > cap) return Replaced::OverCap;
        scratch.append(text, from, at - from).append(value);
        from = at + token.size();
    }
    if (scratch.size() + (text.size() - from) > cap) return Replaced::OverCap;
    scratch.append(text, from, std::string::npos);
    return Replaced::Done;
}

// Runs the passes one replacement at a time, handing each finished pass to `emit`, which returns false to stop.
// Returns false when a pass grew past `cap` bytes on the way.
template <typename Emit>
bool simulatePasses(const std::string& templateText, std::vector<Slot>& slots, std::size_t passes, std::size_t cap,
                    Emit&& emit) {
    std::string work;
    std::string scratch;
    char digits[12];
    for (Slot& slot : slots) slot.counterValue = slot.initialValue;
    for (std::size_t p = 0; p < passes; ++p) {
        work.assign(templateText);
        for (Slot& slot : slots) {
            std::string_view value;
            if (slot.isCounter) {
                char* end =
                    std::to_chars(digits, digits + sizeof digits, static_cast<std::int32_t>(slot.counterValue)).ptr;
                value = std::string_view(digits, static_cast<std::size_t>(end - digits));
                slot.counterValue += slot.increment;
            } else if (p < slot.lines.size()) {
                value = slot.lines[p];
            }
            const Replaced replaced = replaceInto(work, slot.token, value, scratch, cap);
            if (replaced == Replaced::OverCap) return false;
            if (replaced == Replaced::Done) work.swap(scratch);
        }
        if (!emit(work, p)) return true;
    }
    return true;
}

}  // namespace

ExpansionResult ExpandTemplate(const ExpansionInput& input, std::size_t outputLimit) {
    ExpansionResult result;
    if (input.loopCount <= 0) return result;
    const auto passes = static_cast<std::size_t>(input.loopCount);
    std::vector<Slot> slots = activeSlots(input);
    std::vector<Piece> pieces;
    if (compilePlan(input.templateText, slots, pieces)) {
        const std::size_t size = planOutputSize(pieces, slots, passes, outputLimit);
        if (size > outputLimit) {
            result.limitReached = true;
            return result;
        }
        result.text.resize(size);
        writePasses(result.text.data(), slots, pieces, passes);
        return result;
    }
    // Sized by a first run, so the output is allocated once at its exact size and a run over the limit
    // allocates nothing.
    std::size_t size = 0;
    const std::size_t workCap = std::max(outputLimit, kPassWorkMinCap);
    const bool fits =
        simulatePasses(input.templateText, slots, passes, workCap, [&](const std::string& work, std::size_t p) {
            size = addSize(size, work.size() + (p > 0 ? kLineBreak.size() : 0));
            return size <= outputLimit;
        });
    if (!fits || size > outputLimit) {
        result.limitReached = true;
        return result;
    }
    result.text.reserve(size);
    simulatePasses(input.templateText, slots, passes, workCap, [&](const std::string& work, std::size_t p) {
        if (p > 0) result.text.append(kLineBreak);
        result.text.append(work);
        return true;
    });
    return result;
}

std::string ExpandTemplate(const ExpansionInput& input) { return ExpandTemplate(input, kNoOutputLimit).text; }

}  // namespace ravolin
