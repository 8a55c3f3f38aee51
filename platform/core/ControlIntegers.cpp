#include "platform/core/ControlIntegers.h"

#include <charconv>

namespace ravolin {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// from_chars accepts exactly the wanted form: digits, a leading minus only for signed types, no plus sign,
// no blanks, and it reports a value outside the type's range instead of wrapping.
template <typename Int>
Int readControlInt(std::string_view text) {
    const std::string_view digits = trimBlanks(text);
    Int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size()) return 0;
    return value;
}

}  // namespace

std::int32_t readSignedControlInt(std::string_view text) { return readControlInt<std::int32_t>(text); }

std::uint32_t readUnsignedControlInt(std::string_view text) { return readControlInt<std::uint32_t>(text); }

namespace {

LoopCountCheck checkLoopCountText(std::string_view text) {
    const std::string_view digits = trimBlanks(text);
    if (digits.empty()) return LoopCountCheck::Fine;
    // from_chars would take a minus sign; a count has none.
    if (digits.front() < '0' || digits.front() > '9') return LoopCountCheck::NotANumber;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    // The digits are all taken, in range or not: anything left is not part of a count.
    if (end != digits.data() + digits.size()) return LoopCountCheck::NotANumber;
    return error == std::errc{} ? LoopCountCheck::Fine : LoopCountCheck::OverRange;
}

}  // namespace

LoopField readLoopField(std::string_view text) {
    return {static_cast<std::int32_t>(readUnsignedControlInt(text)), readSignedControlInt(text),
            checkLoopCountText(text)};
}

}  // namespace ravolin
