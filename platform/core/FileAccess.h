#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ravolin {

// A settings file is refused before it is read when it is larger than this (a sparse or runaway file would
// otherwise be read into memory whole), and a save that would make it larger fails. What a load gives back
// saves as less than 100 KB of keys of ours: at most 4095 bytes a value (2 more for quotes) for the ten
// multi-line texts in their file form and again in their exact form (the exact form read back is re-escaped
// to the same bytes) and the font, 15 for each of the 14 tokens, 11 for each of about 60 integers. Only
// texts longer than a load reads or another program's lines bring a file near the cap.
inline constexpr std::size_t kSettingsFileMaxBytes = std::size_t{8} << 20;

// Why a file was refused, beside the errno values.
inline constexpr int kNotRegularFileError = -1;  // a pipe, a device or a socket: reading could block forever
inline constexpr int kFileTooLargeError = -2;    // over the size it may have

// The whole content of a regular file of at most `maxBytes`, or nullopt with `error` set to the errno of what
// failed (ENOMEM: no memory for it) or one of the codes above. Never blocks on a pipe or a device.
std::optional<std::string> readFileBytes(const std::string& path, int& error,
                                         std::size_t maxBytes = kSettingsFileMaxBytes);

// The step of a save that failed, so that a window can say it in its user's language.
enum class SaveStep {
    None,
    ReadCurrent,      // the file exists but can't be read
    FollowLink,       // a symbolic link on the way can't be followed
    NotRegularFile,   // a folder or a device stands at the path
    WriteProtected,   // the file may not be written
    CreateTemporary,  // no temporary file beside it
    KeepPermissions,  // the file's permissions can't be given to the new content
    WriteTemporary,   // writing or flushing the new content failed (a full disk, for one)
    Replace,          // the new content couldn't take the file's place
    RewriteInPlace,   // in a folder that takes no new file, writing over the file failed (the old content is back)
    TooLarge,         // the new content is larger than a load would take
};

struct FileFailure {
    SaveStep step = SaveStep::None;
    int code = 0;         // errno
    std::string message;  // `"path": what: reason`, in English
};

// A new content for a file, written in pieces to a temporary file beside it and put in its place by commit():
// until then the file is as it was, and a replacement abandoned (or destroyed) before commit leaves no
// temporary file behind. The same rules as replaceFileAtomically: links followed, permissions kept, special
// and write-protected files refused, leftovers of dead processes removed.
class FileReplacement {
public:
    FileReplacement() = default;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();

    // `folderRefused`, when given, tells whether the only obstacle was a folder that takes no new file.
    bool begin(const std::string& path, FileFailure& failure, bool* folderRefused = nullptr);
    bool write(std::string_view bytes, FileFailure& failure);
    bool commit(FileFailure& failure);
    // The same, for a save that may be cancelled: `cancel` is looked at once the new content is flushed, right
    // before the rename, and a cancel set by then abandons the replacement. One that comes later is too late:
    // the file has been replaced.
    enum class CommitEnd { Committed, Cancelled, Failed };
    CommitEnd commit(FileFailure& failure, const std::atomic<bool>* cancel);
    void abandon();
    // The file the links of the path lead to, once begin() has run.
    const std::string& target() const { return m_target; }

private:
    bool report(SaveStep step, const std::string& what, int code, FileFailure& failure);

    std::string m_path;
    std::string m_target;
    std::string m_temporary;
    int m_fd = -1;
};

// Makes `bytes` the content of `path` in one atomic step: a temporary file beside the target is written,
// flushed to disk and renamed over it, so a crash or a full disk leaves either the old or the new file.
// A symbolic link is written through to its target; an existing file keeps its permissions. On failure
// the previous file is untouched and `failure` says which step failed and why. Temporary files left by
// saves of processes that no longer run are removed first. Where the folder takes no new file but the file
// may be written, the file is rewritten in place instead (not atomic; the old content is restored when
// the write fails).
bool replaceFileAtomically(const std::string& path, std::string_view bytes, FileFailure& failure);

// Removes the temporary files that saves to `path` (links followed) left beside it: those of processes that no
// longer run, and with `ownToo` this process's own as well (a save it gives up as it ends). What
// FileReplacement::begin does for its own target, for a program that starts after a save was cut off.
void removeLeftTemporaries(const std::string& path, bool ownToo = false);

// `"path": what: reason`, the form of every file error this layer reports; a kFileTooLargeError names `maxBytes`,
// the limit the file was read with.
std::string describeFileError(const std::string& path, const std::string& what, int error,
                              std::size_t maxBytes = kSettingsFileMaxBytes);

}  // namespace ravolin
