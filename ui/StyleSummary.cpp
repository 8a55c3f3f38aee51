#include "ui/StyleSummary.h"

#include <initializer_list>
#include <iterator>
#include <string_view>

#include "ui/DialogTexts.h"

namespace ravolin {
namespace {

// Every stored value has its text.
static_assert(std::size(kFormatTexts) == kFormatCount && std::size(kSummaryFormatTexts) == kFormatCount);
static_assert(std::size(kEndTexts) == kEndCount && std::size(kFillTexts) == 2);
static_assert(std::size(kKindTexts) == kKindCount && std::size(kUnitTexts) == kUnitCount);

std::string join(std::initializer_list<std::string> parts) {
    std::string line;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!line.empty()) line += kSummarySeparator;
        line += part;
    }
    return line;
}

std::string numbered(std::int32_t number, std::string_view unit) { return std::to_string(number).append(unit); }

}  // namespace

std::string styleSummary(const CounterStyle& stored) {
    const CounterStyle style = effectiveStyle(stored);
    if (style.kind == kKindDate) {
        // Written by its pattern and padded with blanks: the format and the fill say nothing there.
        return join({kSummaryDate, style.start + kSummaryFrom, kUnitTexts[style.unit], style.pattern,
                     style.width > 0 ? numbered(style.width, kSummaryDigits) : "",
                     style.repeat > 1 ? numbered(style.repeat, kSummaryRepeat) : "",
                     style.period > 0 ? std::string(kSummaryPeriod) + std::to_string(style.period) : ""});
    }
    const bool letters = isLetterFormat(style.format);
    return join({style.width > 0 ? numbered(style.width, kSummaryDigits) : "",
                 // Letters are always padded with blanks: the fill says nothing there.
                 style.width > 0 && !letters ? kFillTexts[style.fill] : "",
                 style.format != kFormatDecimal ? kSummaryFormatTexts[style.format] : "",
                 style.repeat > 1 ? numbered(style.repeat, kSummaryRepeat) : "",
                 style.period > 0 ? std::string(kSummaryPeriod) + std::to_string(style.period) : ""});
}

std::string styleSummary(const ArrayStyle& stored) {
    const ArrayStyle style = effectiveStyle(stored);
    return join({style.repeat > 1 ? numbered(style.repeat, kSummaryRepeat) : "",
                 style.end != kEndEmpty ? kEndTexts[style.end] : ""});
}

}  // namespace ravolin
