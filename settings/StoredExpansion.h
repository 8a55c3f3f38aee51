#pragma once

#include "conversion/Expansion.h"
#include "settings/Settings.h"

namespace ravolin {

// The expansion that stored settings describe: what the window gathers from controls that the loader filled
// with `window` and `record`, so that a run from the file equals a run in the window.
ExpansionInput expansionInputFrom(const WindowSettings& window, const Settings& record);

}  // namespace ravolin
