#pragma once

#include "ui/PageDialog.h"

namespace ravolin {

// Tab "数値": the token, initial value and increment of the five counters.
class NumericPage : public PageDialog {
    Q_OBJECT
public:
    bool Create(QWidget* parent, const Settings& record);
    void FillControls() override;

protected:
    bool PreTranslateMessage(QWidget* target, const QKeyEvent& key) override;
};

}  // namespace ravolin
