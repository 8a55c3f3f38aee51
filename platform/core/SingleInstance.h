#pragma once

#include <string>
#include <string_view>

namespace ravolin {

// The name of the lock that lets only one copy of the program run.
inline constexpr char kInstanceLockName[] = "Ravolin_Replace";

// The lock's name for one display: one copy per user and display, as one per logon session on Windows.
// `qtPlatform` is the Qt platform the windows go to ("xcb", "wayland", "offscreen"...), `x11Display` and
// `waylandDisplay` are $DISPLAY and $WAYLAND_DISPLAY (null or empty: unset). The display is
//  - on a Wayland platform, the Wayland display (libwayland's "wayland-0" when none is named), since the
//    window is there even when DISPLAY names the compositor's X server;
//  - otherwise the X display when DISPLAY is set, without its screen number and with "unix" or no host as
//    the local one (":0", ":0.0", "unix:0" and "unix/:0.1" are one display); a remote host is kept;
//  - otherwise the Wayland display when one is named, otherwise none: the bare kInstanceLockName.
// The name is kInstanceLockName, "-x11-" or "-wayland-", then the display with every byte outside
// [A-Za-z0-9._:-] written %XX; one that would not fit a file name ends in a hash of the display instead.
std::string instanceLockName(std::string_view qtPlatform, const char* x11Display, const char* waylandDisplay);

// A per-user directory only this user can write: $XDG_RUNTIME_DIR when it is one, else a 0700 folder of
// our own under the temporary directory, created if missing. Returns false with `error` set when neither is
// safe to use (another owner, a group- or world-accessible mode, a symbolic link).
bool privateLockDirectory(std::string& directory, std::string& error);

// An exclusive lock on a file in a private directory. The kernel releases it when the holder's process ends,
// however it ends, so a copy started after a crash is not refused.
class SingleInstance {
public:
    enum class Status { Owner, AlreadyRunning, Failed };

    // Takes `name` in privateLockDirectory().
    static SingleInstance acquire(const std::string& name);
    // Takes `name` in `directory`, which must already be private to this user.
    static SingleInstance acquireIn(const std::string& directory, const std::string& name);

    SingleInstance(SingleInstance&& other) noexcept;
    SingleInstance& operator=(SingleInstance&& other) noexcept;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    ~SingleInstance();

    Status status() const { return m_status; }
    const std::string& error() const { return m_error; }  // set when Failed
    // Where the copy that holds the lock listens for files handed over by another start: beside the lock.
    // Known once the lock file was opened (Owner, AlreadyRunning); empty otherwise.
    const std::string& channelPath() const { return m_channelPath; }

private:
    SingleInstance(Status status, int fd, std::string error, std::string channelPath = {});

    Status m_status = Status::Failed;
    int m_fd = -1;
    std::string m_error;
    std::string m_channelPath;
};

}  // namespace ravolin
