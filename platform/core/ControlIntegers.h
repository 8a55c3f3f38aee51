#pragma once

#include <cstdint>
#include <string_view>

// The integer read of a dialog's edit field. A text reads as its number only when it is, apart from
// surrounding blanks (spaces and tabs), a run of decimal digits with an optional minus sign in front (signed
// fields only) and the value fits the field's 32-bit range; every other text reads as 0, without a message.
// So "+5", "12abc", "1 2", "１２" (full-width digits) and a text wrapped in line breaks all read as 0.

namespace ravolin {

// A signed field: -2147483648 to 2147483647.
std::int32_t readSignedControlInt(std::string_view text);

// An unsigned field: 0 to 4294967295; a minus sign makes the text unreadable.
std::uint32_t readUnsignedControlInt(std::string_view text);

// The loop field, read once for every use. A run reads it as an unsigned field taken as a signed 32-bit
// number, so "3000000000" gives a negative count (no pass) and "-1" gives 0; a save stores it as a signed field,
// so a stored "-5" shows again as it was. Both are the Windows program's rules. `check` says whether the
// text is a count the field takes (0 to 2147483647, decimal digits between optional blanks; empty text reads
// as no pass and is fine): a sign, a separator or another character is not a number.
enum class LoopCountCheck { Fine, NotANumber, OverRange };
struct LoopField {
    std::int32_t passes = 0;
    std::int32_t stored = 0;
    LoopCountCheck check = LoopCountCheck::Fine;

    bool operator==(const LoopField&) const = default;
};
LoopField readLoopField(std::string_view text);

}  // namespace ravolin
