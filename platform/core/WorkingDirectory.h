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

}  // namespace ravolin
