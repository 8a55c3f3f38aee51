#include "settings/TableImport.h"

#include <algorithm>
#include <cstdint>

#include "platform/core/Codec.h"
#include "platform/core/FileAccess.h"
#include "settings/SettingsStore.h"

namespace ravolin {

std::optional<TableRows> readTableFile(const std::string& path, int& error) {
    const std::optional<std::string> bytes = readFileBytes(path, error, kTableFileMaxBytes);
    if (!bytes) return std::nullopt;
    const std::string text = tableFileText(*bytes);
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    return parseTable(text, separatorOfFile(name, text));
}

std::size_t columnsTaken(const TableColumns& columns, std::size_t first) {
    return first >= kArrayCount ? 0 : std::min(columns.values.size(), kArrayCount - first);
}

std::vector<std::string> applyTable(Document& job, const TableColumns& columns, std::size_t first, bool header,
                                    bool fitLoop) {
    std::vector<std::string> cut;
    const std::size_t taken = columnsTaken(columns, first);
    for (std::size_t k = 0; k < taken; ++k) {
        ArraySlot& array = job.record.arrays[first + k];
        array.valuesText = columns.values[k];
        if (!header) continue;
        bool shortened = false;
        array.token = fitToken(columns.tokens[k], &shortened);
        if (shortened) cut.push_back(columns.tokens[k]);
    }
    if (fitLoop) job.window.loopCount = static_cast<std::int32_t>(std::min<std::size_t>(columns.rows, INT32_MAX));
    return cut;
}

}  // namespace ravolin
