#include "output/ExpansionOutput.h"

#include <optional>
#include <string>

#include "conversion/LineEnds.h"
#include "conversion/RangedExpansion.h"
#include "output/Cp932Output.h"

namespace ravolin {

OutputResult writeExpansion(const ExpansionInput& input, const OutputForm& form, std::size_t passLimitBytes,
                            const std::function<bool(std::string_view)>& sink, OutputProgress* progress) {
    bool sinkFailed = false;
    const auto write = [&](std::string_view bytes) {
        if (!sink(bytes)) {
            sinkFailed = true;
            return false;
        }
        if (progress) progress->bytesWritten += bytes.size();
        return true;
    };
    std::optional<Cp932Output> cp932;
    if (form.cp932) cp932.emplace(write);
    const auto encode = [&](std::string_view text) { return cp932 ? cp932->write(text) : write(text); };
    const auto cancelled = [&] { return progress && progress->cancel.load(); };

    LfLineEnds lineEnds;
    std::string lfText;  // one buffer for every piece, so each doesn't fault in fresh pages
    const RangedExpansionEnd end = expandInRanges(
        input, passLimitBytes,
        [&](std::string_view piece) {
            if (form.lfLineEnds) {
                lfText.clear();
                lineEnds.convert(piece, lfText);
                piece = lfText;
            }
            return encode(piece) && !cancelled();
        },
        [&](std::size_t passesDone) {
            if (progress) progress->passesDone = passesDone;
        });
    if (end == RangedExpansionEnd::Done && form.lfLineEnds && !cancelled()) {
        const std::string tail = lineEnds.finish();
        if (!tail.empty()) encode(tail);
    }

    OutputResult result;
    if (cp932) {
        // The sink's failure is set on the converting thread: read only once it has ended.
        cp932->finish();
        result.replacedCharacters = cp932->replaced();
    }
    if (sinkFailed) {
        result.end = OutputEnd::SinkFailed;
    } else if (end == RangedExpansionEnd::PassTooLarge) {
        result.end = OutputEnd::PassTooLarge;
    } else if (end == RangedExpansionEnd::Stopped || cancelled()) {
        result.end = OutputEnd::Cancelled;
    }
    return result;
}

}  // namespace ravolin
