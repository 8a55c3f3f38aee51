#include "settings/StoredExpansion.h"

namespace ravolin {

ExpansionInput expansionInputFrom(const Document& document) {
    ExpansionInput input;
    input.templateText = document.window.templateText;
    input.loopCount = document.window.loopCount;
    input.shape = document.window.shape;
    for (std::size_t i = 0; i < kCounterCount; ++i) {
        const NumericSlot& slot = document.record.counters[i];
        input.counters[i] = {slot.token, slot.initialValue, slot.increment, slot.style};
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        const ArraySlot& slot = document.record.arrays[i];
        input.arrays[i] = {slot.token, slot.valuesText, slot.style};
    }
    return input;
}

}  // namespace ravolin
