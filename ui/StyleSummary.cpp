#include "ui/StyleSummary.h"

#include <initializer_list>
#include <string_view>

#include "ui/DialogTexts.h"

namespace ravolin {
namespace {

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
    const bool letters = style.format == kFormatLettersLower || style.format == kFormatLettersUpper;
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
