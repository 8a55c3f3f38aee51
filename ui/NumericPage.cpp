#include "ui/NumericPage.h"

#include <QKeyEvent>

#include "platform/core/ControlIntegers.h"
#include "resources/ResourceIds.h"
#include "ui/DialogTexts.h"
#include "ui/StyleSummary.h"

namespace ravolin {

bool NumericPage::Create(QWidget* parent, const Settings& record) {
    if (!createPage(kNumericPageId, parent, record)) return false;
    // A screen reader names each field by its column heading and row.
    for (int r = 0; r < static_cast<int>(kCounterCount); ++r) {
        const QString row = QString::number(r + 1);
        GetDlgItem(numericTokenId(r))->setAccessibleName(QString::fromUtf8(kCounterTokenItem).arg(row));
        GetDlgItem(numericInitialId(r))->setAccessibleName(QString::fromUtf8(kCounterInitialItem).arg(row));
        GetDlgItem(numericIncrementId(r))->setAccessibleName(QString::fromUtf8(kCounterIncrementItem).arg(row));
        addStyleLine(r, {108, 23 + 14 * r, 18, 12}, QString::fromUtf8(kCounterStyleItem).arg(row),
                     QString::fromUtf8(kCounterSummaryItem).arg(row));
    }
    return true;
}

void NumericPage::FillControls() { showSlots(record().counters); }

void NumericPage::showSlots(const std::array<NumericSlot, kCounterCount>& counters) {
    for (int r = 0; r < static_cast<int>(kCounterCount); ++r) {
        const NumericSlot& counter = counters[static_cast<std::size_t>(r)];
        showDlgItemText(numericTokenId(r), counter.token);
        showDlgItemInt(numericInitialId(r), counter.initialValue);
        showDlgItemInt(numericIncrementId(r), counter.increment);
        m_counterStyles[static_cast<std::size_t>(r)] = counter.style;
        // Only an integer counter counts from its initial value, and a date counter steps by the increment; the
        // other kinds take theirs from their style. The fields stay stored but have no say.
        const std::int32_t kind = effectiveStyle(counter.style).kind;
        const bool initialUsed = kind == kKindInteger;
        const bool incrementUsed = kind == kKindInteger || kind == kKindDate;
        QWidget* initial = GetDlgItem(numericInitialId(r));
        initial->setEnabled(initialUsed);
        initial->setToolTip(initialUsed ? QString() : QString::fromUtf8(kInitialUnusedTip));
        QWidget* increment = GetDlgItem(numericIncrementId(r));
        increment->setEnabled(incrementUsed);
        increment->setToolTip(incrementUsed ? QString() : QString::fromUtf8(kInitialUnusedTip));
        setStyleSummary(r, QString::fromStdString(ravolin::styleSummary(counter.style)));
    }
}

std::array<NumericSlot, kCounterCount> NumericPage::slotsShown() const {
    std::array<NumericSlot, kCounterCount> counters;
    for (int r = 0; r < static_cast<int>(kCounterCount); ++r) {
        NumericSlot& counter = counters[static_cast<std::size_t>(r)];
        counter.token = GetDlgItemText(numericTokenId(r));
        counter.initialValue = readSignedControlInt(GetDlgItemText(numericInitialId(r)));
        counter.increment = readSignedControlInt(GetDlgItemText(numericIncrementId(r)));
        counter.style = m_counterStyles[static_cast<std::size_t>(r)];
    }
    return counters;
}

bool NumericPage::PreTranslateMessage(QWidget*, const QKeyEvent& key) {
    // Enter goes on to the window, which runs the conversion.
    return key.key() == Qt::Key_Escape;
}

}  // namespace ravolin
