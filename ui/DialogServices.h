#pragma once

#include <functional>

#include <QDialog>

#include "MessageBox.h"

namespace ravolin {

// The platform services the main dialog reaches through ports, so tests can stand in for each of them.
struct DialogServices {
    MessageBoxPort& messageBox;
    // Runs a dialog modally (version information) and returns its result.
    std::function<int(QDialog&)> runModal = [](QDialog& dialog) { return dialog.exec(); };
};

}  // namespace ravolin
