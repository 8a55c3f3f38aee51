#include "output/ExpansionOutput.h"

#include <string>

#include "conversion/LineEnds.h"
#include "conversion/RangedExpansion.h"
#include "output/WriterThread.h"

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
    WriterThread writer(write, form.cp932);
    const auto cancelled = [&] { return progress && progress->cancel.load(); };

    LfLineEnds lineEnds;
    std::string lfText;  // a buffer the writer hands back, so that each piece doesn't fault in fresh pages
    const RangedExpansionEnd end = expandInRanges(
        input, passLimitBytes,
        [&](std::string& piece) {
            if (form.lfLineEnds) {
                lfText.clear();
                lineEnds.convert(piece, lfText);
                return writer.take(lfText) && !cancelled();
            }
            return writer.take(piece) && !cancelled();
        },
        [&](std::size_t passesDone) {
            if (progress) progress->passesDone = passesDone;
        });
    if (end == RangedExpansionEnd::Done && form.lfLineEnds && !cancelled()) {
        std::string tail = lineEnds.finish();
        if (!tail.empty()) writer.take(tail);
    }

    // The sink's failure is set on the writing thread: read only once it has ended.
    writer.finish();
    OutputResult result;
    result.replacedCharacters = writer.replaced();
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
