#pragma once

#include <string>

namespace ravolin {

struct WorkingDirectory {
    std::string path;   // absolute, as the kernel reports it
    std::string error;  // set when the directory could not be read

    bool ok() const { return error.empty(); }
};

// The process's current directory, of any length.
WorkingDirectory currentWorkingDirectory();

// The per-user settings folder, $XDG_CONFIG_HOME/ravolin ($HOME/.config/ravolin where XDG_CONFIG_HOME is unset
// or not absolute), created 0700 with any missing parent; `error` says why when it can't be had.
struct UserFolder {
    std::string path;
    std::string error;

    bool ok() const { return error.empty(); }
};
UserFolder prepareUserFolder(const char* xdgConfigHome, const char* home);
// The same folder's path, without creating or looking at anything.
UserFolder userFolderPath(const char* xdgConfigHome, const char* home);

}  // namespace ravolin
