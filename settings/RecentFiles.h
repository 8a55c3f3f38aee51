#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ravolin {

// How many settings files "最近使った設定" lists.
inline constexpr std::size_t kRecentFilesMax = 8;

// `list` with `path` put first: a former place of it dropped, at most kRecentFilesMax kept.
std::vector<std::string> withRecentFile(std::vector<std::string> list, const std::string& path);

// The list kept in `file` (UTF-8, one absolute path a line), most recent first; empty when there is none.
// Lines that are no absolute path are skipped, and at most kRecentFilesMax are read.
std::vector<std::string> readRecentFiles(const std::string& file);
// Replaces `file` with `list`; a path that holds a line break can't be kept and is left out. False when the
// write failed.
bool writeRecentFiles(const std::string& file, const std::vector<std::string>& list);

}  // namespace ravolin
