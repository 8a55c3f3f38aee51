#pragma once

#include <string>
#include <string_view>

#include "testsupport/core/TestFiles.h"

namespace ravolin {

// A temporary working directory with a settings file path in it; the file is written only on request.
class TempSettingsDir {
public:
    TempSettingsDir();

    const std::string& directory() const { return m_dir.path(); }
    const std::string& settingsPath() const { return m_settingsPath; }

    // Writes `text` (UTF-8, CR LF line breaks) as the CP932 bytes the program keeps on disk.
    void writeSettings(std::string_view text) const;
    bool settingsExist() const;
    // The file's bytes, or empty when it is missing.
    std::string readSettingsBytes() const;

private:
    test::TempDir m_dir;
    std::string m_settingsPath;
};

// A font description every test machine resolves (the face ships with the program's fonts).
inline constexpr char kValidFontDescription[] = "-13,0,0,0,400,0,0,0,128,0,0,0,0,IPAPGothic";

}  // namespace ravolin
