#pragma once

#include "ui/PageDialog.h"

namespace ravolin {

// Tab "数値": the token, initial value and increment of the five counters.
class NumericPage : public PageDialog {
    Q_OBJECT
public:
    bool Create(QWidget* parent, const Settings& record);
    // Shows the record's counters.
    void FillControls() override;

    // The counters in the fields (each field left as typed where it already reads as the value) and their styles
    // in the summaries; and the counters as the page shows them, the tokens as typed.
    void showSlots(const std::array<NumericSlot, kCounterCount>& counters);
    std::array<NumericSlot, kCounterCount> slotsShown() const;

protected:
    bool PreTranslateMessage(QWidget* target, const QKeyEvent& key) override;

private:
    // Each counter's style, which has no field of its own: its summary shows it.
    std::array<CounterStyle, kCounterCount> m_counterStyles;
};

}  // namespace ravolin
