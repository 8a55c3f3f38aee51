// The settings loader on any file: what it loads, saved over the same file and loaded again, is what it
// loaded (unless the save reported a text the file can't hold), and a second save changes nothing.
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "settings/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    ravolin::Document loaded;
    ravolin::loadSettingsBytes(file, loaded);

    std::vector<ravolin::TextAdjustment> adjustments;
    const std::string saved = ravolin::settingsFileBytes(file, loaded, adjustments);
    if (!adjustments.empty()) return 0;
    ravolin::Document reloaded;
    ravolin::loadSettingsBytes(saved, reloaded);
    FUZZ_CHECK(reloaded == loaded);
    FUZZ_CHECK(ravolin::settingsFileBytes(saved, reloaded, adjustments) == saved);
    FUZZ_CHECK(adjustments.empty());
    return 0;
}
