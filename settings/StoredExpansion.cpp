#include "settings/StoredExpansion.h"

namespace ravolin {

ExpansionInput expansionInputFrom(const WindowSettings& window, const Settings& record) {
    ExpansionInput input;
    input.templateText = window.templateText;
    input.loopCount = window.loopCount;
    for (std::size_t i = 0; i < record.counters.size(); ++i) {
        const NumericSlot& slot = record.counters[i];
        input.counters[i] = {slot.token, slot.initialValue, slot.increment};
        input.counters[i].setStyle(slot.style);
    }
    for (std::size_t i = 0; i < record.arrays.size(); ++i) {
        input.arrays[i] = {record.arrays[i].token, record.arrays[i].valuesText};
        input.arrays[i].setStyle(record.arrays[i].style);
    }
    return input;
}

}  // namespace ravolin
