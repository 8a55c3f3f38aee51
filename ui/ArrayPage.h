#pragma once

#include "ui/PageDialog.h"

namespace ravolin {

// Tabs "配列1" to "配列9": the token and the values (one per line) of one array.
class ArrayPage : public PageDialog {
    Q_OBJECT
public:
    // Which array (0..8) the page shows; set before Create and never changed afterwards.
    void SetArrayIndex(int index) { m_nIndex = index; }
    int arrayIndex() const { return m_nIndex; }

    bool Create(QWidget* parent, const Settings& record);
    void FillControls() override;

protected:
    bool PreTranslateMessage(QWidget* target, const QKeyEvent& key) override;

private:
    int m_nIndex = 0;
};

}  // namespace ravolin
