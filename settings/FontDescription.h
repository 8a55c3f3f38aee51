#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ravolin {

// The longest face name the record holds, in CP932 bytes: its 32-byte field with the terminator.
inline constexpr std::size_t kFaceNameMaxBytes = 31;

// The Windows font record (LOGFONTA) as the settings file describes it.
struct LogFont {
    std::int32_t lfHeight = 0;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    std::string lfFaceName;  // UTF-8; its CP932 form fits the record's 32-byte field (31 bytes and a NUL)

    bool operator==(const LogFont&) const = default;
};

// The 14 fields joined by ",": the 13 numbers, then the face name.
std::string FormatFontString(const LogFont& font);

// Reads a font description into `font`. Returns false, leaving `font` untouched, when the text has fewer
// than 14 fields. A face name longer than the field is cut without splitting a character.
bool parseFontDescription(std::string_view description, LogFont& font);

}  // namespace ravolin
