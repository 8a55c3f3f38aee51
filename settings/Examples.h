#pragma once

#include <cstddef>

#include "settings/Settings.h"

namespace ravolin {

// The built-in jobs of "例から始める", in the order of its menu; each gives useful output at its first run.
inline constexpr std::size_t kExampleCount = 4;

// Example `index` (below kExampleCount): the defaults of a settings file without keys, with the template, the
// loop count and the slots of the example. The options and the font are the defaults too: the window keeps its
// own.
Document exampleDocument(std::size_t index);

}  // namespace ravolin
