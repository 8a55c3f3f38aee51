#include "platform/core/FileAccess.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "platform/core/FileAccessTesting.h"

namespace ravolin {
namespace {

void (*g_beforeRename)() = nullptr;

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links to the file they finally name, which need not exist yet.
bool resolveLinks(const std::string& path, std::string& target, int& error) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (lstat(target.c_str(), &info) != 0) {
            if (errno == ENOENT) return true;
            error = errno;
            return false;
        }
        if (!S_ISLNK(info.st_mode)) return true;
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t length = readlink(target.c_str(), link.data(), link.size());
        if (length < 0) {
            error = errno;
            return false;
        }
        link.resize(static_cast<std::size_t>(length));
        target = link.front() == '/' ? link : parentOf(target) + '/' + link;
    }
    error = ELOOP;
    return false;
}

bool writeAll(int fd, std::string_view bytes, off_t offset = -1) {
    while (!bytes.empty()) {
        const ssize_t written =
            offset < 0 ? write(fd, bytes.data(), bytes.size()) : pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        if (offset >= 0) offset += written;
    }
    return true;
}

// Reads what is left of `fd`, failing with kFileTooLargeError past `maxBytes`.
std::optional<std::string> readAll(int fd, int& error, std::size_t maxBytes, std::string bytes = {}) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = errno;
            return std::nullopt;
        }
        if (got == 0) {
            error = 0;
            return bytes;
        }
        // A file that grows while it is read stays within the cap too.
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            error = kFileTooLargeError;
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

// The longest tail a temporary name adds to its prefix: a process id of up to 9 digits, a dot, a number of up to
// 10 digits (the name's leading dot and the prefix's own dot are counted by the prefix).
constexpr std::size_t kTemporaryTailBytes = 9 + 1 + 10;

// The longest name the folder of `target` takes; 255 where it doesn't say.
std::size_t folderNameLimit(const std::string& target) {
    const long limit = pathconf(parentOf(target).c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

// ".<name>.", where <name> is the target's name, cut (never inside a UTF-8 character) where the whole
// temporary name would pass the folder's limit: a target of a name near the limit can then still be saved.
std::string temporaryPrefix(const std::string& target) {
    std::string name = target.substr(target.rfind('/') + 1);
    const std::size_t limit = folderNameLimit(target);
    const std::size_t room = limit > kTemporaryTailBytes + 3 ? limit - kTemporaryTailBytes - 2 : 1;
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    return '.' + name + '.';
}

// The process id in a temporary name of ours ("<prefix><pid>.<n>"), or 0 when the name is none of ours.
pid_t temporaryOwner(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) return 0;
    name.remove_prefix(prefix.size());
    const std::size_t dot = name.find('.');
    if (dot == 0 || dot == std::string_view::npos || dot + 1 == name.size() || dot > 9) return 0;
    const auto digits = [](std::string_view part) {
        return part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!digits(name.substr(0, dot)) || !digits(name.substr(dot + 1))) return 0;
    return static_cast<pid_t>(std::stol(std::string(name.substr(0, dot))));
}

// A save killed before its rename leaves its temporary file behind; those of processes that are gone are
// removed, and with `ownToo` this process's own. Another live process's file may be a save in progress and is
// never touched.
void removeStaleTemporaries(const std::string& target, bool ownToo = false) {
    const std::string prefix = temporaryPrefix(target);
    // Closed however the scan ends: running out of memory in it throws.
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(parentOf(target).c_str()), closedir);
    if (!dir) return;
    const pid_t self = getpid();
    while (const dirent* entry = readdir(dir.get())) {
        const pid_t owner = temporaryOwner(entry->d_name, prefix);
        if (owner <= 0 || (owner == self && !ownToo)) continue;
        if (owner != self && (kill(owner, 0) == 0 || errno != ESRCH)) continue;  // running, or someone else's
        unlinkat(dirfd(dir.get()), entry->d_name, 0);
    }
}

// For a folder that takes no new file while the file itself may be written: the new content is written
// over the old and flushed; if that fails part way, the old content is put back.
bool rewriteInPlace(const std::string& target, std::string_view bytes, int& error) {
    const int fd = open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = errno;
        return false;
    }
    std::optional<std::string> old;
    try {
        old = readAll(fd, error, static_cast<std::size_t>(-1));
    } catch (const std::bad_alloc&) {
        close(fd);  // nothing written yet
        throw;
    }
    bool ok = old && writeAll(fd, bytes, 0) && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && fsync(fd) == 0;
    if (!ok) {
        if (old) error = errno;
        if (old && writeAll(fd, *old, 0)) {
            [[maybe_unused]] const int restored = ftruncate(fd, static_cast<off_t>(old->size()));
            fsync(fd);
        }
    }
    if (close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    return ok;
}

// A hidden file beside the target; created exclusively with 0666, so the umask applies as it would to a
// newly created settings file.
int createTemporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    const std::string start = parentOf(target) + '/' + temporaryPrefix(target) + std::to_string(getpid()) + '.';
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto tick = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        name = start + std::to_string((tick ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull)) % 1000000007ull);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

std::optional<std::string> readFileBytes(const std::string& path, int& error, std::size_t maxBytes) {
    // Non-blocking: opening a pipe for reading would otherwise wait for a writer that never comes.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) ||
        static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        error = S_ISREG(info.st_mode) ? kFileTooLargeError : kNotRegularFileError;
        close(fd);
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    try {
        std::string buffer;
        buffer.reserve(static_cast<std::size_t>(info.st_size));  // one allocation, not twice the size in steps
        bytes = readAll(fd, error, maxBytes, std::move(buffer));
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    close(fd);
    return bytes;
}

FileReplacement::~FileReplacement() { abandon(); }

bool FileReplacement::report(SaveStep step, const std::string& what, int code, FileFailure& failure) {
    failure = {step, code, describeFileError(m_path, what, code)};
    abandon();
    return false;
}

void FileReplacement::abandon() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty()) unlink(m_temporary.c_str());
    m_temporary.clear();
}

bool FileReplacement::begin(const std::string& path, FileFailure& failure, bool* folderRefused) {
    abandon();
    m_path = path;
    if (folderRefused) *folderRefused = false;
    int code = 0;
    if (!resolveLinks(path, m_target, code))
        return report(SaveStep::FollowLink, "cannot follow the link", code, failure);
    struct stat existing {};
    const bool exists = stat(m_target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        return report(SaveStep::NotRegularFile, "not a regular file",
                      S_ISDIR(existing.st_mode) ? EISDIR : kNotRegularFileError, failure);
    }
    // The rename would replace a read-only file all the same; its protection is kept instead.
    if (exists && access(m_target.c_str(), W_OK) != 0) {
        return report(SaveStep::WriteProtected, "cannot write the file", errno, failure);
    }
    removeStaleTemporaries(m_target);
    m_fd = createTemporary(m_target, m_temporary);
    if (m_fd < 0) {
        const int error = errno;
        m_temporary.clear();
        if (folderRefused) *folderRefused = exists && (error == EACCES || error == EPERM);
        return report(SaveStep::CreateTemporary, "cannot create a temporary file in \"" + parentOf(m_target) + '"',
                      error, failure);
    }
    if (exists) {
        if (fchmod(m_fd, existing.st_mode & 07777) != 0) {
            return report(SaveStep::KeepPermissions, "cannot keep the file's permissions", errno, failure);
        }
        if (existing.st_uid != geteuid() || existing.st_gid != getegid()) {
            // Only a privileged process can hand the file back to its owner; for others it stays theirs.
            [[maybe_unused]] const int kept = fchown(m_fd, existing.st_uid, existing.st_gid);
        }
    }
    return true;
}

bool FileReplacement::write(std::string_view bytes, FileFailure& failure) {
    if (!writeAll(m_fd, bytes))
        return report(SaveStep::WriteTemporary, "cannot write the temporary file", errno, failure);
    return true;
}

bool FileReplacement::commit(FileFailure& failure) { return commit(failure, nullptr) == CommitEnd::Committed; }

FileReplacement::CommitEnd FileReplacement::commit(FileFailure& failure, const std::atomic<bool>* cancel) {
    const auto failed = [&](SaveStep step, const char* what, int code) {
        report(step, what, code, failure);
        return CommitEnd::Failed;
    };
    if (fsync(m_fd) != 0) return failed(SaveStep::WriteTemporary, "cannot write the temporary file", errno);
    const int closed = close(m_fd);
    m_fd = -1;
    if (closed != 0) return failed(SaveStep::WriteTemporary, "cannot write the temporary file", errno);
    // Taken before the rename: nothing after it may fail for want of memory and report a save that happened.
    const std::string folder = parentOf(m_target);
    if (g_beforeRename) g_beforeRename();
    // The flush of a large file takes long: a cancel that came during it still counts. Nothing but the rename
    // follows this look, so a cancel is either seen here or comes after the file was replaced.
    if (cancel && cancel->load()) {
        abandon();
        return CommitEnd::Cancelled;
    }
    if (rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        return failed(SaveStep::Replace, "cannot replace the file", errno);
    }
    m_temporary.clear();
    // Makes the rename itself durable; the new content is complete either way.
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return CommitEnd::Committed;
}

void removeLeftTemporaries(const std::string& path, bool ownToo) {
    std::string target;
    int error = 0;
    if (resolveLinks(path, target, error)) removeStaleTemporaries(target, ownToo);
}

bool replaceFileAtomically(const std::string& path, std::string_view bytes, FileFailure& failure) {
    FileReplacement replacement;
    bool folderRefused = false;
    if (!replacement.begin(path, failure, &folderRefused)) {
        if (!folderRefused) return false;
        int code = 0;
        if (!rewriteInPlace(replacement.target(), bytes, code)) {
            failure = {SaveStep::RewriteInPlace, code, describeFileError(path, "cannot rewrite the file", code)};
            return false;
        }
        failure = {};
        return true;
    }
    return replacement.write(bytes, failure) && replacement.commit(failure);
}

std::string describeFileError(const std::string& path, const std::string& what, int error, std::size_t maxBytes) {
    std::string reason;
    if (error == kNotRegularFileError) {
        reason = "not a regular file (a pipe, a device or a socket)";
    } else if (error == kFileTooLargeError) {
        reason = "larger than " + std::to_string(maxBytes >> 20) + " MiB";
    } else {
        reason = std::strerror(error);
    }
    return '"' + path + "\": " + what + ": " + reason;
}

void setBeforeRenameHookForTesting(void (*hook)()) { g_beforeRename = hook; }

}  // namespace ravolin
