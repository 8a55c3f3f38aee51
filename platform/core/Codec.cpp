#include "platform/core/Codec.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

namespace ravolin {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// Single bytes iconv's table leaves out but Windows reads as characters (0x80 as a C1 control, the
// rest into the private use area); keeping them lets such a text survive a load and a save.
struct WindowsExtra {
    unsigned char byte;
    std::string_view utf8;
};
constexpr WindowsExtra kWindowsExtras[] = {
    {0x80, "\xC2\x80"},      // U+0080
    {0xA0, "\xEF\xA3\xB0"},  // U+F8F0
    {0xFD, "\xEF\xA3\xB1"},  // U+F8F1
    {0xFE, "\xEF\xA3\xB2"},  // U+F8F2
    {0xFF, "\xEF\xA3\xB3"},  // U+F8F3
};

bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// One conversion descriptor per call keeps the functions safe to use from any thread.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of `in` as it can into `out`; returns false when it stopped at input it can't
    // convert (a bad or incomplete sequence), which is left at the front of `in`.
    bool run(std::string_view& in, std::string& out) {
        if (!valid()) return copyAscii(in, out);
        for (;;) {
            const std::size_t used = out.size();
            out.resize(used + in.size() * 3 + 4);  // CP932 to UTF-8 grows at most threefold; the reverse shrinks
            char* inPtr = const_cast<char*>(in.data());
            std::size_t inLeft = in.size();
            char* outPtr = out.data() + used;
            std::size_t outLeft = out.size() - used;
            const std::size_t result = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            out.resize(out.size() - outLeft);
            in.remove_prefix(in.size() - inLeft);
            if (result != static_cast<std::size_t>(-1)) return true;
            if (error != E2BIG) {
                iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // a clean state for the next input
                return false;
            }
        }
    }

private:
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Without the converter module only ASCII, which both encodings share, can pass.
    static bool copyAscii(std::string_view& in, std::string& out) {
        std::size_t n = 0;
        while (n < in.size() && static_cast<unsigned char>(in[n]) < 0x80) ++n;
        out.append(in.substr(0, n));
        in.remove_prefix(n);
        return in.empty();
    }

    iconv_t m_cd;
};

// Checks the UTF-8 character at the front of `utf8`. Returns its length when valid; otherwise 0, with
// `badLength` set to the bytes of the broken sequence (the lead byte and the continuation bytes that fit),
// which are replaced as one character.
std::size_t scanUtf8(std::string_view utf8, std::size_t& badLength) {
    badLength = 1;
    if (utf8.empty()) return 0;
    const auto b0 = static_cast<unsigned char>(utf8[0]);
    if (b0 < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;  // the range of the second byte, narrowed against overlong forms and surrogates
    unsigned char high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= utf8.size()) return 0;
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (i == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return 0;
        badLength = i + 1;
    }
    return length;
}

const WindowsExtra* windowsExtraFor(std::string_view utf8Character) {
    for (const WindowsExtra& extra : kWindowsExtras) {
        if (extra.utf8 == utf8Character) return &extra;
    }
    return nullptr;
}

// The code point of a UTF-8 character that scanUtf8 found valid and `length` bytes long.
std::uint32_t decodeUtf8(const char* utf8, std::size_t length) {
    const auto byte = [utf8](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(utf8[i])); };
    switch (length) {
        case 1:
            return byte(0);
        case 2:
            return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
        case 3:
            return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
        default:
            return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
    }
}

std::size_t encodeUtf8(std::uint32_t codePoint, char* out) {
    const auto put = [out](std::size_t i, std::uint32_t value) { out[i] = static_cast<char>(value); };
    if (codePoint < 0x80) {
        put(0, codePoint);
        return 1;
    }
    if (codePoint < 0x800) {
        put(0, 0xC0 | codePoint >> 6);
        put(1, 0x80 | (codePoint & 0x3F));
        return 2;
    }
    put(0, 0xE0 | codePoint >> 12);
    put(1, 0x80 | (codePoint >> 6 & 0x3F));
    put(2, 0x80 | (codePoint & 0x3F));
    return 3;
}

// iconv's CP932 form of every code point of the Basic Multilingual Plane, asked once per process: its
// two-stage conversion, called on the text itself, took longer than producing the text. Outside that
// plane, and for any form the table can't hold, iconv is asked per character.
class Cp932Table {
public:
    // A single byte is stored as its value, a pair as lead * 256 + trail; a lead byte is never 0xFF, so
    // these two can't be pairs.
    static constexpr std::uint16_t kMissing = 0xFFFF;   // becomes "?"
    static constexpr std::uint16_t kAskIconv = 0xFFFE;  // a longer form, or a pair with a zero lead byte

    static const Cp932Table& instance() {
        static const Cp932Table table;
        return table;
    }

    std::uint16_t form(std::uint32_t codePoint) const { return m_forms[codePoint]; }
    bool asciiUnchanged() const { return m_asciiUnchanged; }

private:
    Cp932Table() {
        Converter converter("CP932", "UTF-8");
        std::string bytes;
        for (std::uint32_t codePoint = 0; codePoint < m_forms.size(); ++codePoint) {
            if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {  // not UTF-8: scanUtf8 turns them away first
                m_forms[codePoint] = kMissing;
                continue;
            }
            char utf8[3];
            const std::string_view character(utf8, encodeUtf8(codePoint, utf8));
            std::string_view rest = character;
            bytes.clear();
            if (converter.run(rest, bytes) && rest.empty()) {
                const auto lead = static_cast<unsigned char>(bytes.size() == 2 ? bytes[0] : 0);
                const auto last = static_cast<unsigned char>(bytes.empty() ? 0 : bytes.back());
                const bool fits = bytes.size() == 1 || (bytes.size() == 2 && lead != 0 && lead != 0xFF);
                m_forms[codePoint] = fits ? static_cast<std::uint16_t>(lead << 8 | last) : kAskIconv;
            } else {
                const WindowsExtra* extra = windowsExtraFor(character);
                m_forms[codePoint] = extra ? extra->byte : kMissing;
            }
        }
        m_asciiUnchanged = true;
        for (std::uint32_t c = 0; c < 0x80; ++c) m_asciiUnchanged = m_asciiUnchanged && m_forms[c] == c;
    }

    std::array<std::uint16_t, 0x10000> m_forms{};
    bool m_asciiUnchanged = false;
};

}  // namespace

std::size_t cp932CharLength(std::string_view cp932) {
    if (cp932.empty()) return 0;
    const bool pair = cp932.size() >= 2 && isLeadByte(static_cast<unsigned char>(cp932[0])) &&
                      isTrailByte(static_cast<unsigned char>(cp932[1]));
    return pair ? 2 : 1;
}

std::size_t cp932PrefixLength(std::string_view cp932, std::size_t maxBytes) {
    if (cp932.size() <= maxBytes) return cp932.size();
    std::size_t pos = 0;
    for (;;) {
        const std::size_t next = pos + cp932CharLength(cp932.substr(pos));
        if (next > maxBytes) return pos;
        pos = next;
    }
}

std::string tableFileText(std::string_view bytes) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::size_t bad = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = scanUtf8(bytes.substr(at), bad);
        if (length == 0) return cp932ToUtf8(bytes);
        at += length;
    }
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    return std::string(bytes);
}

std::string cp932ToUtf8(std::string_view cp932) {
    Converter converter("UTF-8", "CP932");
    std::string out;
    while (!converter.run(cp932, out) && !cp932.empty()) {
        // A lead byte with a proper trail byte is one unknown character; anything else is one bad byte.
        std::string_view character = kReplacementCharacter;
        const std::size_t length = cp932CharLength(cp932);
        for (const WindowsExtra& extra : kWindowsExtras) {
            if (length == 1 && static_cast<unsigned char>(cp932[0]) == extra.byte) character = extra.utf8;
        }
        out.append(character);
        cp932.remove_prefix(length);
    }
    return out;
}

std::string utf8ToCp932(std::string_view utf8, bool* lossy) {
    std::string out;
    std::size_t replaced = 0;
    appendUtf8AsCp932(out, utf8, &replaced);
    if (lossy) *lossy = replaced > 0;
    return out;
}

void appendUtf8AsCp932(std::string& out, std::string_view utf8, std::size_t* replaced) {
    const Cp932Table& table = Cp932Table::instance();
    const auto* const in = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t size = utf8.size();
    std::size_t at = out.size();
    // No character's CP932 form is longer than its UTF-8 one, except where iconv says otherwise, which
    // grows the buffer on the spot.
    out.resize(at + size);
    char* dst = out.data();
    const auto room = [&](std::size_t needed, std::size_t restOfInput) {
        if (at + needed + restOfInput > out.size()) {
            out.resize(at + needed + restOfInput);
            dst = out.data();
        }
    };
    const bool asciiUnchanged = table.asciiUnchanged();
    std::optional<Converter> converter;  // only for what the table leaves to iconv
    std::size_t substituted = 0;
    for (std::size_t i = 0; i < size;) {
        const unsigned char b0 = in[i];
        if (b0 < 0x80 && asciiUnchanged) {
            // Runs of ASCII are copied a word at a time.
            while (i + 8 <= size) {
                std::uint64_t word = 0;
                std::memcpy(&word, in + i, 8);
                if (word & 0x8080808080808080u) break;
                std::memcpy(dst + at, &word, 8);
                at += 8;
                i += 8;
            }
            while (i < size && in[i] < 0x80) dst[at++] = static_cast<char>(in[i++]);
            continue;
        }
        std::size_t length = 0;
        std::uint32_t codePoint = 0;
        // The three-byte form, which holds all of Japanese, checked inline with scanUtf8's bounds.
        if (b0 >= 0xE0 && b0 <= 0xEF && i + 2 < size) {
            const unsigned char b1 = in[i + 1];
            const unsigned char b2 = in[i + 2];
            const unsigned char low = b0 == 0xE0 ? 0xA0 : 0x80;
            const unsigned char high = b0 == 0xED ? 0x9F : 0xBF;
            if (b1 >= low && b1 <= high && b2 >= 0x80 && b2 <= 0xBF) {
                length = 3;
                codePoint = (b0 & 0x0Fu) << 12 | (b1 & 0x3Fu) << 6 | (b2 & 0x3Fu);
            }
        }
        if (length == 0) {
            std::size_t badLength = 0;
            length = scanUtf8(utf8.substr(i), badLength);
            if (length == 0) {
                dst[at++] = '?';
                ++substituted;
                i += badLength;
                continue;
            }
            codePoint = decodeUtf8(utf8.data() + i, length);
        }
        const std::uint16_t form = codePoint < 0x10000 ? table.form(codePoint) : Cp932Table::kAskIconv;
        if (form < 0x100) {
            dst[at++] = static_cast<char>(form);
        } else if (form == Cp932Table::kMissing) {
            dst[at++] = '?';
            ++substituted;
        } else if (form != Cp932Table::kAskIconv) {
            if (length < 2) room(2, size - i - length);
            dst[at++] = static_cast<char>(form >> 8);
            dst[at++] = static_cast<char>(form & 0xFF);
        } else {
            if (!converter) converter.emplace("CP932", "UTF-8");
            std::string_view character = utf8.substr(i, length);
            std::string bytes;
            if (!converter->run(character, bytes) || !character.empty()) {
                const WindowsExtra* extra = windowsExtraFor(utf8.substr(i, length));
                bytes.assign(1, extra ? static_cast<char>(extra->byte) : '?');
                if (!extra) ++substituted;
            }
            room(bytes.size(), size - i - length);
            std::memcpy(dst + at, bytes.data(), bytes.size());
            at += bytes.size();
        }
        i += length;
    }
    out.resize(at);
    if (replaced) *replaced = substituted;
}

std::size_t utf8PrefixForCp932Bytes(std::string_view utf8, std::size_t maxBytes) {
    Converter converter("CP932", "UTF-8");
    std::size_t used = 0;
    std::size_t cp932Bytes = 0;
    std::string encoded;
    while (used < utf8.size()) {
        std::string_view rest = utf8.substr(used);
        std::size_t badLength = 0;
        const std::size_t valid = scanUtf8(rest, badLength);
        const std::size_t length = valid ? valid : badLength;
        std::size_t width = 1;  // an invalid byte or a missing character is written as one "?"
        if (valid > 1) {
            std::string_view character = rest.substr(0, length);
            encoded.clear();
            if (converter.run(character, encoded)) width = encoded.size();
        }
        if (cp932Bytes + width > maxBytes) break;
        cp932Bytes += width;
        used += length;
    }
    return used;
}

}  // namespace ravolin
