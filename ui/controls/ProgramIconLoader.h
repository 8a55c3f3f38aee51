#pragma once

#include <QIcon>

namespace ravolin {

// Icon 128 with both of its images.
QIcon loadProgramIcon();

}  // namespace ravolin
