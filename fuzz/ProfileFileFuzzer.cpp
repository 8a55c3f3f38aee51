// The INI reader and writer on any bytes: a file is kept byte for byte until written to, a value written
// exactly reads back as it was, and a write leaves every other key's value alone.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "fuzz/FuzzCheck.h"
#include "platform/core/Codec.h"
#include "settings/ProfileFile.h"

namespace {

// Names from a small alphabet (with a double-byte character and both cases) so that they meet the file's
// own names often; names with "=", "]" or line breaks can't round-trip in any INI file.
std::string name(FuzzedDataProvider& in) {
    static const char* const parts[] = {"a", "B", "b", "1", "_", "あ", " "};
    std::string text = parts[in.ConsumeIntegralInRange<std::size_t>(0, 5)];  // never starts with a blank
    for (std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, 3); n > 0; --n)
        text += parts[in.ConsumeIntegralInRange<std::size_t>(0, 5)];
    return text;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string section = name(in);
    const std::string key = name(in);
    const std::string otherSection = name(in);
    const std::string otherKey = name(in);
    const std::string value = in.ConsumeRandomLengthString(64);
    const std::string file = in.ConsumeRemainingBytesAsString();

    ravolin::ProfileFile profile(file);
    FUZZ_CHECK(profile.Bytes() == file);
    (void)profile.GetInt(section, key, 7);
    const auto otherBefore = profile.GetString(otherSection, otherKey);

    const bool exact = profile.WriteString(section, key, value);
    const ravolin::ProfileFile reread(profile.Bytes());
    // One-way mappings Windows accepts too (U+00A3 is stored as the full-width pound) come back in their
    // CP932 reading.
    if (exact) FUZZ_CHECK(reread.GetString(section, key) == ravolin::cp932ToUtf8(ravolin::utf8ToCp932(value)));
    if (!sameName(section, otherSection) || !sameName(key, otherKey))
        FUZZ_CHECK(reread.GetString(otherSection, otherKey) == otherBefore);

    // A key just written is there to delete (later duplicates, as in the Windows functions, may remain).
    if (exact) FUZZ_CHECK(profile.DeleteKey(section, key));
    return 0;
}
