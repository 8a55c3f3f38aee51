#include "settings/RecentFiles.h"

#include <algorithm>
#include <optional>

#include "platform/core/FileAccess.h"

namespace ravolin {
namespace {

// A list of paths is small; anything larger is not ours.
constexpr std::size_t kListMaxBytes = 64 * 1024;

bool keepable(const std::string& path) {
    return !path.empty() && path.front() == '/' && path.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

std::vector<std::string> withRecentFile(std::vector<std::string> list, const std::string& path) {
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > kRecentFilesMax) list.resize(kRecentFilesMax);
    return list;
}

std::vector<std::string> readRecentFiles(const std::string& file) {
    std::vector<std::string> list;
    int error = 0;
    const std::optional<std::string> bytes = readFileBytes(file, error, kListMaxBytes);
    if (!bytes) return list;
    std::size_t from = 0;
    while (from < bytes->size() && list.size() < kRecentFilesMax) {
        std::size_t end = bytes->find('\n', from);
        if (end == std::string::npos) end = bytes->size();
        std::string line = bytes->substr(from, end - from);
        if (keepable(line) && std::find(list.begin(), list.end(), line) == list.end()) list.push_back(std::move(line));
        from = end + 1;
    }
    return list;
}

bool writeRecentFiles(const std::string& file, const std::vector<std::string>& list) {
    std::string bytes;
    for (const std::string& path : list) {
        if (keepable(path)) bytes.append(path).push_back('\n');
    }
    FileFailure failure;
    return replaceFileAtomically(file, bytes, failure);
}

}  // namespace ravolin
