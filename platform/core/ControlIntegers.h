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

// The loop count: read as an unsigned field, then taken as a signed 32-bit number, so "3000000000" gives a
// negative count (no pass) and "-1" gives 0.
std::int32_t readLoopCount(std::string_view text);

// Whether a loop field's text is a count from 0 to 2147483647: decimal digits between optional blanks.
// Empty text is fine (it reads as no pass); a sign, a separator or any other character is not a number.
enum class LoopCountCheck { Fine, NotANumber, OverRange };
LoopCountCheck checkLoopCountText(std::string_view text);

}  // namespace ravolin
