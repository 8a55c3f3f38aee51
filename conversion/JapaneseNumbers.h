#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "conversion/Expansion.h"

// Integer counters written the Japanese ways: full-width digits (１２３), kanji digit by digit (二〇二七), kanji
// with units (百二十三), circled numbers (①), and the signs of イロハ and of アイウエオ counted as the letters are.
// Every sign is three bytes of UTF-8; a width counts characters.

namespace ravolin {

constexpr bool isJapaneseFormat(std::int32_t format) { return format >= kFormatFullWidth && format <= kFormatAiueo; }

// Room for any text writeJapaneseNumber writes: 64 full-width characters.
inline constexpr std::size_t kJapaneseTextCapacity = 64 * 3;

// Writes `value` in `format` (a Japanese one) to `out`, which has room for kJapaneseTextCapacity bytes, with a
// "-" before a negative value ("－" for full-width digits), padded to `width` characters: full-width digits
// with "０" after the sign when `zeroFill`, or with full-width blanks before it; the others with blanks before it.
// Returns the bytes written.
std::size_t writeJapaneseNumber(std::int32_t value, std::int32_t format, std::size_t width, bool zeroFill, char* out);

// The bytes of that text, without writing it.
std::size_t japaneseNumberBytes(std::int32_t value, std::int32_t format, std::size_t width);

// The characters the signs of `magnitude` take in `format`, sign and padding left out.
std::size_t japaneseDigitCount(std::uint32_t magnitude, std::int32_t format);

// Every character a text in `format` can hold, signs and padding included.
std::string japaneseCharacters(std::int32_t format);

}  // namespace ravolin
