#include "testsupport/core/TempSettingsDir.h"

#include <fstream>
#include <stdexcept>

#include "platform/core/Codec.h"
#include "settings/SettingsStore.h"

namespace ravolin {

TempSettingsDir::TempSettingsDir() : m_settingsPath(m_dir.file(kSettingsFileName)) {}

void TempSettingsDir::writeSettings(std::string_view text) const {
    bool lossy = false;
    const std::string bytes = utf8ToCp932(text, &lossy);
    if (lossy) throw std::invalid_argument("settings text has characters CP932 lacks");
    std::ofstream out(m_settingsPath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + m_settingsPath);
}

bool TempSettingsDir::settingsExist() const { return std::ifstream(m_settingsPath).good(); }

std::string TempSettingsDir::readSettingsBytes() const { return test::readFile(m_settingsPath); }

}  // namespace ravolin
