#include "platform/core/SingleInstance.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ravolin {
namespace {

std::string describe(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

// True when `fd` is a directory of this user that nobody else may enter or write.
bool isPrivateDirectory(int fd, const std::string& path, std::string& error) {
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        error = describe("cannot examine", path, errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid() || (st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        error = path + " is not a directory private to this user (owner and mode 0700 required)";
        return false;
    }
    return true;
}

bool openPrivateDirectory(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = describe("cannot open", path, errno);
        return false;
    }
    const bool ok = isPrivateDirectory(fd, path, error);
    close(fd);
    return ok;
}

std::string temporaryDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && tmp[0] == '/' ? tmp : "/tmp";
}

bool isDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "[protocol/][host]:number[.screen]", read as the X library reads it, as "host:number": no protocol, no
// screen, no leading zeros, the host in lower case and empty for the local one. Empty when it doesn't parse.
std::string normalisedXDisplay(std::string_view value) {
    if (const auto slash = value.rfind('/'); slash != std::string_view::npos) value.remove_prefix(slash + 1);
    const auto colon = value.rfind(':');
    if (colon == std::string_view::npos) return {};
    std::string_view number = value.substr(colon + 1);
    if (const auto dot = number.find('.'); dot != std::string_view::npos) {
        if (!isDigits(number.substr(dot + 1))) return {};
        number = number.substr(0, dot);
    }
    if (!isDigits(number)) return {};
    number.remove_prefix(std::min(number.find_first_not_of('0'), number.size() - 1));
    std::string host(value.substr(0, colon));
    for (char& c : host) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (host == "unix") host.clear();
    return host + ":" + std::string(number);
}

std::string escapedForFileName(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const unsigned char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
            c == ':' || c == '-') {
            escaped += static_cast<char>(c);
        } else {
            escaped += {'%', kHex[c >> 4], kHex[c & 15]};
        }
    }
    return escaped;
}

// FNV-1a: a name too long for the file system still tells displays apart.
std::string hashHex(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const unsigned char c : text) hash = (hash ^ c) * 1099511628211ULL;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

}  // namespace

std::string instanceLockName(std::string_view qtPlatform, const char* x11Display, const char* waylandDisplay) {
    constexpr std::size_t kMaxFileName = 255;  // NAME_MAX of Linux file systems
    const auto named = [](const char* value) { return value && *value; };
    std::string kind;
    std::string display;
    if (qtPlatform.substr(0, 7) == "wayland" || (!named(x11Display) && named(waylandDisplay))) {
        kind = "-wayland-";
        display = named(waylandDisplay) ? waylandDisplay : "wayland-0";
    } else if (named(x11Display)) {
        kind = "-x11-";
        display = normalisedXDisplay(x11Display);
        if (display.empty()) display = x11Display;
    } else {
        return kInstanceLockName;
    }
    std::string name = kInstanceLockName + kind + escapedForFileName(display);
    if (name.size() > kMaxFileName) name = kInstanceLockName + kind + "~" + hashHex(display);
    return name;
}

bool privateLockDirectory(std::string& directory, std::string& error) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
        std::string ignored;
        if (openPrivateDirectory(runtime, ignored)) {
            directory = runtime;
            return true;
        }
    }
    const std::string own = temporaryDirectory() + "/ravolin-" + std::to_string(geteuid());
    // mkdir never follows a symbolic link, and one left in our place fails the check below.
    if (mkdir(own.c_str(), S_IRWXU) != 0 && errno != EEXIST) {
        error = describe("cannot create", own, errno);
        return false;
    }
    if (!openPrivateDirectory(own, error)) return false;
    directory = own;
    return true;
}

SingleInstance SingleInstance::acquire(const std::string& name) {
    std::string directory;
    std::string error;
    if (!privateLockDirectory(directory, error)) return SingleInstance(Status::Failed, -1, error);
    return acquireIn(directory, name);
}

SingleInstance SingleInstance::acquireIn(const std::string& directory, const std::string& name) {
    const std::string path = directory + "/" + name;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) return SingleInstance(Status::Failed, -1, describe("cannot open", path, errno));
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        return SingleInstance(Status::Failed, -1, path + " is not a lock file of this user");
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK) return SingleInstance(Status::AlreadyRunning, -1, {}, path + ".socket");
        return SingleInstance(Status::Failed, -1, describe("cannot lock", path, error));
    }
    return SingleInstance(Status::Owner, fd, {}, path + ".socket");
}

SingleInstance::SingleInstance(Status status, int fd, std::string error, std::string channelPath)
    : m_status(status), m_fd(fd), m_error(std::move(error)), m_channelPath(std::move(channelPath)) {}

SingleInstance::SingleInstance(SingleInstance&& other) noexcept
    : m_status(other.m_status),
      m_fd(std::exchange(other.m_fd, -1)),
      m_error(std::move(other.m_error)),
      m_channelPath(std::move(other.m_channelPath)) {}

SingleInstance& SingleInstance::operator=(SingleInstance&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) close(m_fd);
        m_status = other.m_status;
        m_fd = std::exchange(other.m_fd, -1);
        m_error = std::move(other.m_error);
        m_channelPath = std::move(other.m_channelPath);
    }
    return *this;
}

SingleInstance::~SingleInstance() {
    if (m_fd >= 0) close(m_fd);
}

}  // namespace ravolin
