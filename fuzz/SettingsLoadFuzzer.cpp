// The settings loader on any file: what it loads, saved over the same file and loaded again, is what it
// loaded (unless the save reported a text the file can't hold), and a second save changes nothing.
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "settings/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    ravolin::WindowSettings window;
    ravolin::Settings record;
    ravolin::loadSettingsBytes(file, window, record);

    std::vector<ravolin::TextAdjustment> adjustments;
    const std::string saved = ravolin::settingsFileBytes(file, window, record, adjustments);
    if (!adjustments.empty()) return 0;
    ravolin::WindowSettings window2;
    ravolin::Settings record2;
    ravolin::loadSettingsBytes(saved, window2, record2);
    FUZZ_CHECK(window2 == window);
    FUZZ_CHECK(record2 == record);
    FUZZ_CHECK(ravolin::settingsFileBytes(saved, window2, record2, adjustments) == saved);
    FUZZ_CHECK(adjustments.empty());
    return 0;
}
