#include "settings/FontDescription.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "conversion/TextHelpers.h"
#include "platform/core/Codec.h"

namespace ravolin {
namespace {

constexpr std::size_t kFieldCount = 14;

// The C library's atol on the Windows program's side: blanks, an optional sign, digits up to the first
// other character; a field without digits is 0. A value beyond the 32-bit range saturates, as atol does
// there.
std::int32_t atolField(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || (field[i] >= '\t' && field[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        magnitude = std::min(kLimit, magnitude * 10 + (field[i] - '0'));
    }
    if (negative) return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(std::min(magnitude, kLimit - 1));
}

std::uint8_t lowByte(std::int32_t value) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

}  // namespace

std::string FormatFontString(const LogFont& font) {
    std::string text;
    for (std::int32_t value : {font.lfHeight, font.lfWidth, font.lfEscapement, font.lfOrientation, font.lfWeight}) {
        if (!text.empty()) text.append(kSeparator);
        appendDecimal(text, value);
    }
    for (std::uint8_t value : {font.lfItalic, font.lfUnderline, font.lfStrikeOut, font.lfCharSet, font.lfOutPrecision,
                               font.lfClipPrecision, font.lfQuality, font.lfPitchAndFamily}) {
        text.append(kSeparator);
        appendDecimal(text, value);
    }
    text.append(kSeparator).append(font.lfFaceName);
    return text;
}

bool parseFontDescription(std::string_view description, LogFont& font) {
    std::string wrapped;
    wrapped.reserve(description.size() + 2);
    wrapped.append(kSeparator).append(description).append(kSeparator);
    const std::vector<std::string> fields = SplitBetween(wrapped, kSeparator, kSeparator);
    if (fields.size() < kFieldCount) return false;

    LogFont parsed;
    std::int32_t* const numbers[] = {&parsed.lfHeight, &parsed.lfWidth, &parsed.lfEscapement, &parsed.lfOrientation,
                                     &parsed.lfWeight};
    std::uint8_t* const bytes[] = {&parsed.lfItalic,  &parsed.lfUnderline,     &parsed.lfStrikeOut,
                                   &parsed.lfCharSet, &parsed.lfOutPrecision,  &parsed.lfClipPrecision,
                                   &parsed.lfQuality, &parsed.lfPitchAndFamily};
    std::size_t field = 0;
    for (std::int32_t* number : numbers) *number = atolField(fields[field++]);
    for (std::uint8_t* byte : bytes) *byte = lowByte(atolField(fields[field++]));
    const std::string& face = fields[field];
    parsed.lfFaceName = face.substr(0, utf8PrefixForCp932Bytes(face, kFaceNameMaxBytes));
    font = std::move(parsed);
    return true;
}

}  // namespace ravolin
