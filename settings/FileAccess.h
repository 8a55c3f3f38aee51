#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ravolin {

// The whole content of a file, or nullopt with `error` set to the errno of what failed.
std::optional<std::string> ReadFileBytes(const std::string& path, int& error);

// Makes `bytes` the content of `path` in one atomic step: a temporary file beside the target is written,
// flushed to disk and renamed over it, so a crash or a full disk leaves either the old or the new file.
// A symbolic link is written through to its target; an existing file keeps its permissions. On failure
// the previous file is untouched and `error` names the file and the reason.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// `"path": what: reason`, the form of every file error this layer reports.
std::string DescribeFileError(const std::string& path, const std::string& what, int error);

// Lets a test stop the process between the temporary file's flush and the rename.
void SetBeforeRenameHookForTesting(void (*hook)());

}  // namespace ravolin
