#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ravolin {

// The whole content of a file, or nullopt with `error` set to the errno of what failed.
std::optional<std::string> ReadFileBytes(const std::string& path, int& error);

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
};

struct FileFailure {
    SaveStep step = SaveStep::None;
    int code = 0;         // errno
    std::string message;  // `"path": what: reason`, in English
};

// Makes `bytes` the content of `path` in one atomic step: a temporary file beside the target is written,
// flushed to disk and renamed over it, so a crash or a full disk leaves either the old or the new file.
// A symbolic link is written through to its target; an existing file keeps its permissions. On failure
// the previous file is untouched and `failure` says which step failed and why.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, FileFailure& failure);

// `"path": what: reason`, the form of every file error this layer reports.
std::string DescribeFileError(const std::string& path, const std::string& what, int error);

// Lets a test stop the process between the temporary file's flush and the rename.
void SetBeforeRenameHookForTesting(void (*hook)());

}  // namespace ravolin
