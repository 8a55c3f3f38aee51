#include "platform/core/Codec.h"

#include <iconv.h>

#include <cerrno>

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
            if (error != E2BIG) return false;
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
    Converter converter("CP932", "UTF-8");
    std::string out;
    bool substituted = false;
    while (!converter.run(utf8, out) && !utf8.empty()) {
        std::size_t badLength = 0;
        const std::size_t length = scanUtf8(utf8, badLength);
        const WindowsExtra* extra = length ? windowsExtraFor(utf8.substr(0, length)) : nullptr;
        if (extra) {
            out.push_back(static_cast<char>(extra->byte));
        } else {
            out.push_back('?');
            substituted = true;
        }
        utf8.remove_prefix(length ? length : badLength);
    }
    if (lossy) *lossy = substituted;
    return out;
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
