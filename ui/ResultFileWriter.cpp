#include "ui/ResultFileWriter.h"

#include <new>
#include <string_view>

namespace ravolin {

ResultFileEnd writeResultFile(const ExpansionInput& input, const ResultFileChoice& choice, OutputProgress& progress,
                              FileFailure& failure) {
    try {
        FileReplacement file;
        if (!file.begin(choice.path, failure)) return ResultFileEnd::Failed;
        const OutputResult written = writeExpansion(
            input, {.cp932 = choice.cp932, .lfLineEnds = choice.lfLineEnds}, kResultPassLimitBytes,
            [&](std::string_view bytes) { return file.write(bytes, failure); }, &progress);
        switch (written.end) {
            case OutputEnd::Done:
                switch (file.commit(failure, &progress.cancel)) {
                    case FileReplacement::CommitEnd::Committed:
                        return ResultFileEnd::Done;
                    case FileReplacement::CommitEnd::Cancelled:
                        return ResultFileEnd::Cancelled;
                    case FileReplacement::CommitEnd::Failed:
                        return ResultFileEnd::Failed;
                }
                return ResultFileEnd::Failed;
            case OutputEnd::Cancelled:
                return ResultFileEnd::Cancelled;
            case OutputEnd::SinkFailed:
                return ResultFileEnd::Failed;
            case OutputEnd::PassTooLarge:
                return ResultFileEnd::PassTooLarge;
        }
        return ResultFileEnd::Failed;
    } catch (const std::bad_alloc&) {
        // The replacement, gone with the stack, took its temporary file along.
        return ResultFileEnd::OutOfMemory;
    }
}

}  // namespace ravolin
