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
    // Shows the record's array of this page.
    void FillControls() override;

    // The array in the fields (left as typed where they already hold it) and its style in the summary; and the
    // array as the page shows it.
    void showSlot(const ArraySlot& array);
    ArraySlot slotShown() const;

protected:
    bool PreTranslateMessage(QWidget* target, const QKeyEvent& key) override;

private:
    int m_nIndex = 0;
    ArrayStyle m_style;  // shown by the summary
};

}  // namespace ravolin
