#pragma once

#include <QDialog>

#include "ui/controls/ControlHost.h"

namespace ravolin {

// The version dialog (resource 100): the program icon, name and version, a short notice and OK.
class AboutDialog : public QDialog, public ControlHost {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);
};

}  // namespace ravolin
