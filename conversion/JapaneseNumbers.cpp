#include "conversion/JapaneseNumbers.h"

#include <charconv>
#include <cstring>
#include <string_view>

namespace ravolin {
namespace {

// Each sign of these strings is three bytes of UTF-8: the n-th starts at byte 3n.
constexpr std::string_view kFullWidthDigits = "０１２３４５６７８９";
constexpr std::string_view kKanjiDigits = "〇一二三四五六七八九";
constexpr std::string_view kSmallUnits = "十百千";    // of 10, 100, 1000 within a group of four digits
constexpr std::string_view kLargeUnits = "万億兆京";  // of each group of four digits above the first
constexpr std::string_view kIroha =
    "イロハニホヘトチリヌルヲワカヨタレソツネナラムウヰノオクヤマケフコエテアサキユメミシヱヒモセス";
constexpr std::string_view kAiueo =
    "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン";
constexpr std::string_view kFullWidthMinus = "－";
constexpr std::string_view kFullWidthBlank = "　";
constexpr std::size_t kSignBytes = 3;
constexpr std::uint32_t kLastCircled = 50;

static_assert(kIroha.size() == 47 * kSignBytes && kAiueo.size() == 46 * kSignBytes);

char* putSign(char* out, std::string_view signs, std::size_t n) {
    std::memcpy(out, signs.data() + n * kSignBytes, kSignBytes);
    return out + kSignBytes;
}

// ⓪, ①-⑳, ㉑-㉟ and ㊱-㊿ lie in three runs of code points, all three bytes long in UTF-8.
char* putCircled(char* out, std::uint32_t n) {
    const std::uint32_t code = n == 0 ? 0x24EA : n <= 20 ? 0x2460 + n - 1 : n <= 35 ? 0x3251 + n - 21 : 0x32B1 + n - 36;
    *out++ = static_cast<char>(0xE0 | (code >> 12));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
    return out;
}

// 一 is written before 万 and the larger units, but 十, 百 and 千 stand alone for one of them: 一万千十 is 11010.
char* putKanji(char* out, std::uint64_t magnitude) {
    if (magnitude == 0) return putSign(out, kKanjiDigits, 0);
    std::uint64_t groupSize = 1;
    std::size_t groups = 1;
    while (groups < kLargeUnits.size() / kSignBytes + 1 && magnitude / groupSize >= 10000) {
        groupSize *= 10000;
        ++groups;
    }
    for (std::size_t g = groups; g-- > 0; groupSize /= 10000) {
        const auto group = static_cast<std::uint32_t>(magnitude / groupSize % 10000);
        if (group == 0) continue;
        std::uint32_t place = 1000;
        for (std::size_t unit = 3; unit-- > 0; place /= 10) {
            const std::uint32_t digit = group / place % 10;
            if (digit == 0) continue;
            if (digit > 1) out = putSign(out, kKanjiDigits, digit);
            out = putSign(out, kSmallUnits, unit);
        }
        if (group % 10 != 0) out = putSign(out, kKanjiDigits, group % 10);
        if (g > 0) out = putSign(out, kLargeUnits, g - 1);
    }
    return out;
}

// The signs counted as spreadsheet columns are: 0 is the first sign, one past the last sign two first signs.
char* putCounted(char* out, std::uint32_t magnitude, std::string_view signs) {
    const std::size_t base = signs.size() / kSignBytes;
    char reversed[16];
    std::size_t count = 0;
    for (std::uint64_t n = std::uint64_t{magnitude} + 1; n > 0; n = (n - 1) / base)
        reversed[count++] = static_cast<char>((n - 1) % base);
    while (count > 0) out = putSign(out, signs, static_cast<unsigned char>(reversed[--count]));
    return out;
}

// The digits of `magnitude` from `out` on; returns their end.
char* putDigits(char* out, std::uint32_t magnitude, std::int32_t format, bool negative) {
    switch (format) {
        case kFormatFullWidth:
        case kFormatKanjiDigits: {
            char ascii[10];
            const char* end = std::to_chars(ascii, ascii + sizeof ascii, magnitude).ptr;
            const std::string_view signs = format == kFormatFullWidth ? kFullWidthDigits : kKanjiDigits;
            for (const char* c = ascii; c != end; ++c) out = putSign(out, signs, static_cast<std::size_t>(*c - '0'));
            return out;
        }
        case kFormatKanji:
            return putKanji(out, magnitude);
        case kFormatCircled:
            if (!negative && magnitude <= kLastCircled) return putCircled(out, magnitude);
            return std::to_chars(out, out + 10, magnitude).ptr;
        case kFormatIroha:
            return putCounted(out, magnitude, kIroha);
        default:
            return putCounted(out, magnitude, kAiueo);
    }
}

std::size_t decimalDigitCount(std::uint32_t magnitude) {
    std::size_t digits = 1;
    while (magnitude >= 10) {
        magnitude /= 10;
        ++digits;
    }
    return digits;
}

std::uint32_t magnitudeOf(std::int32_t value) {
    return value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
}

}  // namespace

std::size_t writeJapaneseNumber(std::int32_t value, std::int32_t format, std::size_t width, bool zeroFill, char* out) {
    const bool negative = value < 0;
    char digits[64];
    const char* digitsEnd = putDigits(digits, magnitudeOf(value), format, negative);
    const auto digitBytes = static_cast<std::size_t>(digitsEnd - digits);
    std::size_t characters = 0;
    for (const char* c = digits; c != digitsEnd; ++c) characters += (static_cast<unsigned char>(*c) & 0xC0) != 0x80;
    characters += negative ? 1 : 0;
    const std::size_t pad = width > characters ? width - characters : 0;
    const bool fullWidth = format == kFormatFullWidth;
    char* at = out;
    if (!fullWidth || !zeroFill) {
        for (std::size_t i = 0; i < pad; ++i) at = fullWidth ? putSign(at, kFullWidthBlank, 0) : (*at = ' ', at + 1);
    }
    if (negative) at = fullWidth ? putSign(at, kFullWidthMinus, 0) : (*at = '-', at + 1);
    if (fullWidth && zeroFill) {
        for (std::size_t i = 0; i < pad; ++i) at = putSign(at, kFullWidthDigits, 0);
    }
    std::memcpy(at, digits, digitBytes);
    return static_cast<std::size_t>(at - out) + digitBytes;
}

std::size_t japaneseNumberBytes(std::int32_t value, std::int32_t format, std::size_t width) {
    const bool negative = value < 0;
    const std::uint32_t magnitude = magnitudeOf(value);
    // Circled numbers outside their range are plain digits of one byte each; every other sign takes three.
    const bool plain = format == kFormatCircled && (negative || magnitude > kLastCircled);
    const std::size_t characters = plain ? decimalDigitCount(magnitude) : japaneseDigitCount(magnitude, format);
    const std::size_t shown = characters + (negative ? 1 : 0);
    const std::size_t pad = width > shown ? width - shown : 0;
    if (format == kFormatFullWidth) return (shown + pad) * kSignBytes;
    return (plain ? characters : characters * kSignBytes) + (negative ? 1 : 0) + pad;
}

std::size_t japaneseDigitCount(std::uint32_t magnitude, std::int32_t format) {
    switch (format) {
        case kFormatKanji: {
            char digits[64];
            return static_cast<std::size_t>(putKanji(digits, magnitude) - digits) / kSignBytes;
        }
        case kFormatCircled:
            return magnitude <= kLastCircled ? 1 : decimalDigitCount(magnitude);
        case kFormatIroha:
        case kFormatAiueo: {
            const std::uint64_t base = format == kFormatIroha ? 47 : 46;
            std::size_t count = 0;
            for (std::uint64_t n = std::uint64_t{magnitude} + 1; n > 0; n = (n - 1) / base) ++count;
            return count;
        }
        default:
            return decimalDigitCount(magnitude);
    }
}

std::string japaneseCharacters(std::int32_t format) {
    switch (format) {
        case kFormatFullWidth:
            return std::string(kFullWidthDigits).append(kFullWidthMinus).append(kFullWidthBlank);
        case kFormatKanjiDigits:
            return std::string(kKanjiDigits).append("- ");
        case kFormatKanji:
            return std::string(kKanjiDigits).append(kSmallUnits).append(kLargeUnits).append("- ");
        case kFormatCircled: {
            std::string text = "0123456789- ";
            char sign[kSignBytes];
            for (std::uint32_t n = 0; n <= kLastCircled; ++n) text.append(sign, putCircled(sign, n));
            return text;
        }
        case kFormatIroha:
            return std::string(kIroha).append("- ");
        default:
            return std::string(kAiueo).append("- ");
    }
}

}  // namespace ravolin
