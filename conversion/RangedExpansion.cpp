#include "conversion/RangedExpansion.h"

#include <algorithm>
#include <string>
#include <vector>

#include "conversion/RandomValues.h"
#include "conversion/TextHelpers.h"

namespace ravolin {
namespace {

constexpr std::size_t kTargetRangeBytes = std::size_t{4} << 20;
constexpr std::size_t kFirstRangePasses = 256;
constexpr std::size_t kMaxRangePasses = std::size_t{1} << 20;

// The input whose passes 0 .. count-1 are the passes first .. first+count-1 of the whole run: counters carry
// on from that pass, and each array holds, one a pass, the lines those passes show.
ExpansionInput rangeInput(const ExpansionInput& input, const std::vector<std::vector<std::string>>& lines,
                          std::size_t first, std::size_t count) {
    ExpansionInput range;
    range.templateText = input.templateText;
    range.loopCount = static_cast<std::int32_t>(count);
    range.firstPass = static_cast<std::int32_t>(static_cast<std::size_t>(std::max(0, input.firstPass)) + first);
    range.counters = input.counters;
    for (std::size_t i = 0; i < input.arrays.size(); ++i) {
        const ArrayInput& array = input.arrays[i];
        range.arrays[i].token = array.token;
        const std::vector<std::string>& all = lines[i];
        const ArrayStyle style = effectiveStyle(array.style);
        // The lines are copied as written, so the range escapes them as the whole run does, the missing one too.
        range.arrays[i].style.escape = style.escape;
        const auto repeat = static_cast<std::size_t>(style.repeat);
        // Shuffled and drawn lines too, as the whole run draws them: the range's own list is as written.
        const LineOrder order(style, i, all.size(), all.back().empty());
        for (std::size_t pass = first; pass < first + count; ++pass) {
            const std::optional<std::size_t> line = order.line(pass / repeat);
            // Where the array shows nothing, the range's own list has run out too, which shows the same.
            if (!line) break;
            if (pass > first) range.arrays[i].valuesText.append(kLineBreak);
            range.arrays[i].valuesText.append(all[*line]);
        }
    }
    return range;
}

}  // namespace

RangedExpansionEnd expandInRanges(const ExpansionInput& input, std::size_t rangeLimit,
                                  const std::function<bool(std::string_view)>& sink,
                                  const std::function<void(std::size_t passesDone)>& progress) {
    const std::size_t passes = input.loopCount > 0 ? static_cast<std::size_t>(input.loopCount) : 0;
    std::vector<std::vector<std::string>> lines;
    for (const ArrayInput& array : input.arrays) lines.push_back(SplitLines(array.valuesText));

    std::size_t first = 0;
    std::size_t rangePasses = kFirstRangePasses;
    while (first < passes) {
        const std::size_t count = std::min(rangePasses, passes - first);
        // The limit holds for the whole range, so memory stays bounded; a range over it is split.
        ExpansionResult range = ExpandTemplate(rangeInput(input, lines, first, count), rangeLimit);
        if (range.limitReached) {
            if (count == 1) return RangedExpansionEnd::PassTooLarge;
            rangePasses = count / 2;
            continue;
        }
        if (first > 0 && !sink(kLineBreak)) return RangedExpansionEnd::Stopped;
        if (!sink(range.text)) return RangedExpansionEnd::Stopped;
        first += count;
        if (progress) progress(first);
        const std::size_t bytesPerPass = std::max<std::size_t>(1, range.text.size() / count);
        rangePasses = std::clamp<std::size_t>(kTargetRangeBytes / bytesPerPass, 1, kMaxRangePasses);
    }
    return RangedExpansionEnd::Done;
}

}  // namespace ravolin
