#pragma once

#include <cstddef>

#include "conversion/Expansion.h"
#include "output/ExpansionOutput.h"
#include "platform/core/FileAccess.h"
#include "platform/qt/ResultFileChooser.h"

namespace ravolin {

enum class ResultFileEnd { Done, Cancelled, Failed, PassTooLarge, OutOfMemory };

// No single pass of a saved result may need more memory than this.
inline constexpr std::size_t kResultPassLimitBytes = std::size_t{64} << 20;

// Expands `input` into the file `choice` names, in its encoding and line ends, the bytes ravolin-expand writes
// for the same settings. The passes stream into a temporary file beside the target in ranges, so memory stays
// flat at any size; only a complete result replaces the target. A cancel or a failure leaves the target as
// it was and no temporary file behind; `failure` says what failed. A cancel counts until the flushed result
// is renamed over the target: a later one is too late, and the end is Done.
ResultFileEnd writeResultFile(const ExpansionInput& input, const ResultFileChoice& choice, OutputProgress& progress,
                              FileFailure& failure);

}  // namespace ravolin
