#pragma once

// Seams of FileAccess.cpp for tests; no program includes this header (scripts/check-layers.sh sees to it).

namespace ravolin {

// Lets a test stop the process between the temporary file's flush and the rename.
void setBeforeRenameHookForTesting(void (*hook)());

}  // namespace ravolin
