#include "NumericPage.h"

#include <QKeyEvent>

#include "ResourceIds.h"

namespace ravolin {

bool NumericPage::Create(QWidget* parent, const Settings& record) { return createPage(kNumericPageId, parent, record); }

void NumericPage::FillControls() {
    for (int r = 0; r < static_cast<int>(kCounterCount); ++r) {
        const NumericSlot& counter = record().counters[static_cast<std::size_t>(r)];
        SetDlgItemText(numericTokenId(r), counter.token);
        SetDlgItemInt(numericInitialId(r), counter.initialValue);
        SetDlgItemInt(numericIncrementId(r), counter.increment);
    }
}

bool NumericPage::PreTranslateMessage(QWidget*, const QKeyEvent& key) {
    return isEnterKey(key) || key.key() == Qt::Key_Escape;
}

}  // namespace ravolin
