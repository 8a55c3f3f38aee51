#include "conversion/RangedExpansion.h"

#include <algorithm>
#include <string>
#include <vector>

#include "conversion/RandomValues.h"
#include "conversion/TextHelpers.h"

namespace ravolin {
namespace {

constexpr std::size_t kTargetRangeBytes = std::size_t{2} << 20;
constexpr std::size_t kFirstRangePasses = 256;
constexpr std::size_t kMaxRangePasses = std::size_t{1} << 20;

std::vector<std::vector<std::string>> arrayLines(const ExpansionInput& input) {
    std::vector<std::vector<std::string>> lines;
    for (const ArrayInput& array : input.arrays) lines.push_back(SplitLines(array.valuesText));
    return lines;
}

// The input whose passes 0 .. count-1 are the passes first .. first+count-1 of the whole run: counters carry
// on from that pass, and each array holds, one a pass, the lines those passes show. Its passes are joined as
// the run's; nothing stands around them.
ExpansionInput rangeInput(const ExpansionInput& input, const std::vector<std::vector<std::string>>& lines,
                          std::size_t first, std::size_t count) {
    ExpansionInput range;
    range.templateText = input.templateText;
    range.shape = {.header = {}, .joiner = input.shape.joiner, .footer = {}};
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

ExpansionInput passesOf(const ExpansionInput& input, std::size_t first, std::size_t count) {
    return rangeInput(input, arrayLines(input), first, count);
}

RangedExpansionEnd expandInRanges(const ExpansionInput& input, std::size_t rangeLimit,
                                  const std::function<bool(std::string& piece)>& sink,
                                  const std::function<void(std::size_t passesDone)>& progress) {
    const std::size_t passes = input.loopCount > 0 ? static_cast<std::size_t>(input.loopCount) : 0;
    const std::vector<std::vector<std::string>> lines = arrayLines(input);

    std::size_t first = 0;
    std::size_t rangePasses = kFirstRangePasses;
    // Once even without a pass: the header and the footer are the output then.
    do {
        const std::size_t count = std::min(rangePasses, passes - first);
        // Each range is put in the shape by the expansion itself: the first opens with the header, every other
        // with the join from the range before, the last closes with the footer.
        ExpansionInput rangeOfPasses = rangeInput(input, lines, first, count);
        rangeOfPasses.shape.header = first == 0 ? input.shape.header : input.shape.joiner;
        if (first + count == passes) rangeOfPasses.shape.footer = input.shape.footer;
        // The limit holds for the range's passes, so memory stays bounded; a range over it is split. What stands
        // around them is not theirs: a pass of the limit's size still goes, with the join before it.
        const std::size_t frame = rangeOfPasses.shape.header.size() + rangeOfPasses.shape.footer.size();
        const std::size_t limit = rangeLimit > kNoOutputLimit - frame ? kNoOutputLimit : rangeLimit + frame;
        ExpansionResult range = ExpandTemplate(rangeOfPasses, limit);
        if (range.limitReached) {
            if (count <= 1) return RangedExpansionEnd::PassTooLarge;
            rangePasses = count / 2;
            continue;
        }
        if (count == 0 && range.text.empty()) break;
        const std::size_t rangeBytes = range.text.size();
        if (!sink(range.text)) return RangedExpansionEnd::Stopped;
        if (count == 0) break;
        first += count;
        if (progress) progress(first);
        const std::size_t bytesPerPass = std::max<std::size_t>(1, rangeBytes / count);
        rangePasses = std::clamp<std::size_t>(kTargetRangeBytes / bytesPerPass, 1, kMaxRangePasses);
    } while (first < passes);
    return RangedExpansionEnd::Done;
}

}  // namespace ravolin
