#include "WorkingDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <unistd.h>

namespace ravolin {

WorkingDirectory currentWorkingDirectory() {
    // glibc allocates a buffer of the size the path needs.
    const std::unique_ptr<char, decltype(&std::free)> path(getcwd(nullptr, 0), &std::free);
    if (!path) return {{}, std::string("cannot read the working directory: ") + std::strerror(errno)};
    return {path.get(), {}};
}

}  // namespace ravolin
