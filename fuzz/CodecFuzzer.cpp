// The CP932 codec on any bytes, both ways: decoding gives valid UTF-8 that encodes back to bytes decoding
// the same text; prefixes never split a character and never pass their byte budget.
#include <fuzzer/FuzzedDataProvider.h>

#include <clocale>
#include <cuchar>
#include <cwchar>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "platform/core/Codec.h"

namespace {

// glibc's own UTF-8 decoder says what valid is.
bool validUtf8(const std::string& text) {
    std::mbstate_t state{};
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t n = std::mbrtoc32(&c, text.data() + at, text.size() - at, &state);
        if (n == 0) {
            ++at;  // a NUL
        } else if (n > 4) {
            return false;
        } else {
            at += n;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::setlocale(LC_ALL, "C.UTF-8");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::size_t budget = in.ConsumeIntegralInRange<std::size_t>(0, 64);
    const std::string bytes = in.ConsumeRemainingBytesAsString();

    const std::string utf8 = ravolin::cp932ToUtf8(bytes);
    FUZZ_CHECK(validUtf8(utf8));
    if (utf8.find("\xEF\xBF\xBD") == std::string::npos) {
        bool lossy = true;
        const std::string encoded = ravolin::utf8ToCp932(utf8, &lossy);
        FUZZ_CHECK(!lossy);
        FUZZ_CHECK(ravolin::cp932ToUtf8(encoded) == utf8);
    }

    const std::size_t prefix = ravolin::cp932PrefixLength(bytes, budget);
    FUZZ_CHECK(prefix <= budget && prefix <= bytes.size());
    std::size_t boundary = 0;
    while (boundary < prefix) boundary += ravolin::cp932CharLength(std::string_view(bytes).substr(boundary));
    FUZZ_CHECK(boundary == prefix);

    // The same bytes read as (often broken) UTF-8.
    const std::size_t utf8Prefix = ravolin::utf8PrefixForCp932Bytes(bytes, budget);
    FUZZ_CHECK(utf8Prefix <= bytes.size());
    FUZZ_CHECK(ravolin::utf8ToCp932(bytes.substr(0, utf8Prefix)).size() <= budget);
    (void)ravolin::utf8ToCp932(bytes);
    return 0;
}
