#pragma once

#include <string>

namespace ravolin {

// The name of the lock that lets only one copy of the program run.
inline constexpr char kInstanceLockName[] = "Ravolin_Replace";

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

private:
    SingleInstance(Status status, int fd, std::string error);

    Status m_status = Status::Failed;
    int m_fd = -1;
    std::string m_error;
};

}  // namespace ravolin
