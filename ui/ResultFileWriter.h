#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "conversion/Expansion.h"
#include "platform/core/FileAccess.h"
#include "platform/qt/ResultFileChooser.h"

namespace ravolin {

// What a result save shares with the window while it runs: how far it is, and whether to stop.
struct ResultFileProgress {
    std::atomic<std::size_t> passesDone = 0;
    std::atomic<std::uint64_t> bytesWritten = 0;
    std::atomic<bool> cancel = false;
};

enum class ResultFileEnd { Done, Cancelled, Failed, PassTooLarge, OutOfMemory };

// No single pass of a saved result may need more memory than this.
inline constexpr std::size_t kResultPassLimitBytes = std::size_t{64} << 20;

// Expands `input` into the file `choice` names, in its encoding and line ends, the bytes ravolin-expand writes
// for the same settings. The passes stream into a temporary file beside the target in ranges, so memory stays
// flat at any size; only a complete result replaces the target. A cancel or a failure leaves the target as
// it was and no temporary file behind; `failure` says what failed.
ResultFileEnd writeResultFile(const ExpansionInput& input, const ResultFileChoice& choice, ResultFileProgress& progress,
                              FileFailure& failure);

}  // namespace ravolin
