#include "platform/core/WorkingDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace ravolin {

WorkingDirectory currentWorkingDirectory() {
    // glibc allocates a buffer of the size the path needs.
    const std::unique_ptr<char, decltype(&std::free)> path(getcwd(nullptr, 0), &std::free);
    if (!path) return {{}, std::string("cannot read the working directory: ") + std::strerror(errno)};
    return {path.get(), {}};
}

UserFolder userFolderPath(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/') return {std::string(xdgConfigHome) + "/ravolin", {}};
    if (home && home[0] == '/') return {std::string(home) + "/.config/ravolin", {}};
    return {{}, "neither XDG_CONFIG_HOME nor HOME names an absolute folder"};
}

UserFolder prepareUserFolder(const char* xdgConfigHome, const char* home) {
    const UserFolder path = userFolderPath(xdgConfigHome, home);
    if (!path.ok()) return path;
    const std::string& folder = path.path;
    // Each missing component in turn, so a missing ~/.config is made private too.
    for (std::size_t slash = 1; slash != std::string::npos;) {
        slash = folder.find('/', slash + 1);
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return {folder, "cannot create " + part + ": " + std::strerror(errno)};
        }
    }
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0) return {folder, "cannot open " + folder + ": " + std::strerror(errno)};
    if (!S_ISDIR(info.st_mode)) return {folder, folder + " is not a folder"};
    return {folder, {}};
}

}  // namespace ravolin
