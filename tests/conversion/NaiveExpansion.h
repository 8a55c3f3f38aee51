#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "conversion/Expansion.h"
#include "conversion/TextHelpers.h"

// The expansion written the slow, obvious way: a fresh copy of the template per pass, and replace-alls that
// edit in place and move the tail at every occurrence. Tests compare the real expansion against it;
// the benchmark measures it as the baseline.
namespace ravolin::naive {

inline std::string ReplaceAllInPlace(std::string text, const std::string& pattern, const std::string& replacement) {
    std::size_t pos = 0;
    while ((pos = text.find(pattern, pos)) != std::string::npos) {
        text.replace(pos, pattern.size(), replacement);
        pos += replacement.size();
    }
    return text;
}

inline std::string ExpandTemplate(const ExpansionInput& input) {
    std::vector<std::vector<std::string>> lines;
    for (const ArrayInput& array : input.arrays) lines.push_back(SplitLines(array.valuesText));
    std::int32_t values[kCounterCount];
    for (std::size_t i = 0; i < kCounterCount; ++i) values[i] = input.counters[i].initialValue;
    std::string output;
    for (std::int32_t pass = 0; pass < input.loopCount; ++pass) {
        std::string work = input.templateText;
        for (std::size_t i = 0; i < kCounterCount; ++i) {
            if (!input.counters[i].token.empty())
                work = ReplaceAllInPlace(work, input.counters[i].token, std::to_string(values[i]));
        }
        for (std::size_t i = 0; i < kArrayCount; ++i) {
            if (input.arrays[i].token.empty()) continue;
            const auto p = static_cast<std::size_t>(pass);
            work = ReplaceAllInPlace(work, input.arrays[i].token, p < lines[i].size() ? lines[i][p] : std::string());
        }
        if (pass > 0) output += "\r\n";
        output += work;
        for (std::size_t i = 0; i < kCounterCount; ++i) {
            values[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(values[i]) +
                                                  static_cast<std::uint32_t>(input.counters[i].increment));
        }
    }
    return output;
}

}  // namespace ravolin::naive
