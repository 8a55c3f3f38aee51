// The font description on any text: what it reads, written and read again, is the same font, and the face
// name always fits the record's field.
#include <string>

#include "fuzz/FuzzCheck.h"
#include "platform/core/Codec.h"
#include "settings/FontDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ravolin::LogFont font;
    if (!ravolin::parseFontDescription(text, font)) return 0;
    FUZZ_CHECK(ravolin::utf8ToCp932(font.lfFaceName).size() <= 31);
    const std::string written = ravolin::FormatFontString(font);
    ravolin::LogFont again;
    FUZZ_CHECK(ravolin::parseFontDescription(written, again));
    FUZZ_CHECK(again == font);
    FUZZ_CHECK(ravolin::FormatFontString(again) == written);
    return 0;
}
