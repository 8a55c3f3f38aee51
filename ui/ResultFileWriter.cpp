#include "ui/ResultFileWriter.h"

#include <new>
#include <string>
#include <string_view>

#include "conversion/LineEnds.h"
#include "conversion/RangedExpansion.h"
#include "platform/core/Codec.h"

namespace ravolin {

ResultFileEnd writeResultFile(const ExpansionInput& input, const ResultFileChoice& choice, ResultFileProgress& progress,
                              FileFailure& failure) {
    try {
        FileReplacement file;
        if (!file.begin(choice.path, failure)) return ResultFileEnd::Failed;
        bool failed = false;
        LfLineEnds lineEnds;
        const auto writeOut = [&](std::string_view text) {
            const std::string encoded = choice.cp932 ? utf8ToCp932(text) : std::string(text);
            if (!file.write(encoded, failure)) {
                failed = true;
                return false;
            }
            progress.bytesWritten += encoded.size();
            return !progress.cancel.load();
        };
        const RangedExpansionEnd end = expandInRanges(
            input, kResultPassLimitBytes,
            [&](std::string_view piece) { return writeOut(choice.lfLineEnds ? lineEnds.convert(piece) : piece); },
            [&](std::size_t passesDone) { progress.passesDone = passesDone; });
        if (failed) return ResultFileEnd::Failed;
        if (end == RangedExpansionEnd::PassTooLarge) return ResultFileEnd::PassTooLarge;
        if (end == RangedExpansionEnd::Stopped || progress.cancel.load()) return ResultFileEnd::Cancelled;
        if (choice.lfLineEnds && !writeOut(lineEnds.finish()))
            return failed ? ResultFileEnd::Failed : ResultFileEnd::Cancelled;
        return file.commit(failure) ? ResultFileEnd::Done : ResultFileEnd::Failed;
    } catch (const std::bad_alloc&) {
        // The replacement, gone with the stack, took its temporary file along.
        return ResultFileEnd::OutOfMemory;
    }
}

}  // namespace ravolin
