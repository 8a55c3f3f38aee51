#pragma once

#include <string>

namespace ravolin {

// What the command line asks of the program.
struct CommandLine {
    enum class Action { Run, Help, Version, Wrong };
    Action action = Action::Run;
    // Keep the settings in the per-user folder instead of the working directory (how the menu starts it).
    bool userFolder = false;
    // A settings file to open instead of RavolinSetting.ini, as given; empty when none.
    std::string file;
    std::string error;  // with Wrong: what was wrong
};

inline constexpr char kUserFolderOption[] = "--user-folder";

// Reads the options (getopt_long: abbreviations, "--", options anywhere) and at most one operand, the file.
CommandLine parseCommandLine(int argc, char** argv);

// Texts the program prints before any window exists.
const char* helpText();
const char* versionText();
const char* usageText();
// The one line said when there is no display to show the window on, in Japanese and English.
const char* noDisplayText();

// Whether a window system is named: a Qt platform chosen outright, or an X or Wayland display.
bool displayNamed(const char* qpaPlatform, const char* display, const char* waylandDisplay);

}  // namespace ravolin
