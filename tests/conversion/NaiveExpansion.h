#pragma once

#include <algorithm>
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

inline std::int32_t CounterValue(const CounterInput& counter, std::int64_t pass) {
    std::int64_t step = pass / std::max(1, counter.style.repeat);
    if (counter.style.period > 0) step %= counter.style.period;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(counter.initialValue) +
                                     static_cast<std::uint32_t>(step) * static_cast<std::uint32_t>(counter.increment));
}

inline std::string FormatCounter(const CounterInput& counter, std::int32_t value) {
    const int format = counter.style.format >= 0 && counter.style.format <= 6 ? counter.style.format : 0;
    const bool letters = format >= 5;
    const std::int64_t magnitude = value < 0 ? -std::int64_t{value} : value;
    std::string digits;
    if (letters) {
        for (std::int64_t n = magnitude + 1; n > 0; n = (n - 1) / 26)
            digits.insert(digits.begin(), static_cast<char>((format == 5 ? 'a' : 'A') + (n - 1) % 26));
    } else {
        const int bases[] = {10, 16, 16, 8, 2};
        const char* symbols = format == 2 ? "0123456789ABCDEF" : "0123456789abcdef";
        std::int64_t n = magnitude;
        do digits.insert(digits.begin(), symbols[n % bases[format]]);
        while ((n /= bases[format]) > 0);
    }
    const std::string sign = value < 0 ? "-" : "";
    const auto width = static_cast<std::size_t>(std::clamp(counter.style.width, 0, 64));
    const std::size_t length = sign.size() + digits.size();
    if (length >= width) return sign + digits;
    if (counter.style.fill == 1 || letters) return std::string(width - length, ' ') + sign + digits;
    return sign + std::string(width - length, '0') + digits;
}

inline std::string ArrayValue(const ArrayInput& array, const std::vector<std::string>& lines, std::int64_t pass) {
    const auto i = static_cast<std::size_t>(pass / std::max(1, array.style.repeat));
    if (i < lines.size()) return lines[i];
    if (array.style.end == 1) return lines[i % lines.size()];
    if (array.style.end == 2) return lines.back();
    return std::string();
}

inline std::string ExpandTemplate(const ExpansionInput& input) {
    std::vector<std::vector<std::string>> lines;
    for (const ArrayInput& array : input.arrays) lines.push_back(SplitLines(array.valuesText));
    std::string output;
    for (std::int32_t pass = 0; pass < input.loopCount; ++pass) {
        std::string work = input.templateText;
        for (const CounterInput& counter : input.counters) {
            if (counter.token.empty()) continue;
            const std::int64_t counted = std::int64_t{std::max(0, input.firstPass)} + pass;
            work = ReplaceAllInPlace(work, counter.token, FormatCounter(counter, CounterValue(counter, counted)));
        }
        for (std::size_t i = 0; i < kArrayCount; ++i) {
            if (!input.arrays[i].token.empty())
                work = ReplaceAllInPlace(work, input.arrays[i].token, ArrayValue(input.arrays[i], lines[i], pass));
        }
        if (pass > 0) output += "\r\n";
        output += work;
    }
    return output;
}

}  // namespace ravolin::naive
