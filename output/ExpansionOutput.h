#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "conversion/Expansion.h"

namespace ravolin {

// How an expansion is written out. The defaults give the expansion's own bytes: UTF-8, CR LF between lines,
// no line break after the last.
struct OutputForm {
    // CP932, the settings file's code page: "?" for each character it lacks and for bytes that are no UTF-8.
    bool cp932 = false;
    // Every CR LF an LF (a lone CR is kept), and the whole ended by one line break, as POSIX text files are.
    bool lfLineEnds = false;
};

// What a write shares with another thread while it runs: how far it is, and whether to stop.
struct OutputProgress {
    std::atomic<std::size_t> passesDone = 0;      // passes expanded and handed on
    std::atomic<std::uint64_t> bytesWritten = 0;  // bytes the sink has taken, in the output's form
    std::atomic<bool> cancel = false;             // stops the write at its next piece
};

enum class OutputEnd { Done, Cancelled, SinkFailed, PassTooLarge };

struct OutputResult {
    OutputEnd end = OutputEnd::Done;
    // Characters written as "?" because CP932 lacks them, over everything written.
    std::uint64_t replacedCharacters = 0;
};

// Writes ExpandTemplate(input) to `sink` in `form`, range of passes by range of passes, so that output of any
// length needs memory for one range only; no pass may need more than `passLimitBytes`. The sink writes all it
// is given or returns false; it runs on a thread of its own, which converts and writes one range while the
// next is expanded (never on two threads at once, and never after this returns). The first of these that
// happens ends the write: the sink fails (SinkFailed), a pass would pass the limit (PassTooLarge), `progress`
// asks to stop, which is looked at after each piece and once more after the last (Cancelled). What a thread
// of the write throws (std::bad_alloc, or the sink's own exception) is thrown here.
OutputResult writeExpansion(const ExpansionInput& input, const OutputForm& form, std::size_t passLimitBytes,
                            const std::function<bool(std::string_view)>& sink, OutputProgress* progress = nullptr);

}  // namespace ravolin
