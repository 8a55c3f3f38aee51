#pragma once

#include "conversion/Expansion.h"
#include "settings/Settings.h"

namespace ravolin {

// The expansion a document describes: the run of the batch tool, of the window, of the format dialog's
// preview. The tokens go in as they stand (the expansion takes any length).
ExpansionInput expansionInputFrom(const Document& document);

}  // namespace ravolin
