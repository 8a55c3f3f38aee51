#include "ui/StyleSummary.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <string_view>

#include "conversion/Escaping.h"
#include "ui/DialogTexts.h"
#include "ui/SaveMessages.h"

namespace ravolin {
namespace {

// Every stored value has its text.
static_assert(std::size(kFormatTexts) == kFormatCount && std::size(kSummaryFormatTexts) == kFormatCount);
static_assert(std::size(kEndTexts) == kEndCount && std::size(kFillTexts) == 2);
static_assert(std::size(kKindTexts) == kKindCount && std::size(kUnitTexts) == kUnitCount);
static_assert(std::size(kOrderTexts) == kOrderCount);
static_assert(std::size(kEscapeTexts) == kEscapeCount && std::size(kSummaryEscapeTexts) == kEscapeCount);

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

std::string seedText(const std::string& seed) { return seed.empty() ? "" : fillText(kSummarySeed, seed); }

}  // namespace

std::string styleSummary(const CounterStyle& stored) {
    const CounterStyle style = effectiveStyle(stored);
    const std::string repeat = style.repeat > 1 ? numbered(style.repeat, kSummaryRepeat) : "";
    const std::string period = style.period > 0 ? std::string(kSummaryPeriod) + std::to_string(style.period) : "";
    const std::string width = style.width > 0 ? numbered(style.width, kSummaryDigits) : "";
    switch (style.kind) {
        case kKindDecimal:
            return join({kSummaryDecimal, (style.start.empty() ? "0" : style.start) + kSummaryFrom,
                         (style.step.empty() ? "0" : style.step) + kSummaryStepSuffix,
                         style.places >= 0 ? fillText(kSummaryPlaces, std::to_string(style.places)) : "", width,
                         style.width > 0 ? kFillTexts[style.fill] : "", repeat, period});
        case kKindRandom:
            return join({kSummaryRandom,
                         fillText(kSummaryRange, std::to_string(std::min(style.minimum, style.maximum)),
                                  std::to_string(std::max(style.minimum, style.maximum))),
                         style.unique == 1 ? kSummaryUnique : "", seedText(style.seed), width,
                         style.format != kFormatDecimal ? kSummaryFormatTexts[style.format] : "", repeat, period});
        case kKindUuid:
            return join({kSummaryUuid, style.format == kFormatHexUpper ? kSummaryFormatTexts[style.format] : "",
                         seedText(style.seed), repeat, period});
        case kKindDate:
            // Written by its pattern and padded with blanks: the format and the fill say nothing there.
            return join({kSummaryDate, style.start + kSummaryFrom, kUnitTexts[style.unit], style.pattern, width, repeat,
                         period});
        default:
            break;
    }
    // Letters and Japanese signs are always padded with blanks: the fill says nothing there.
    return join({width, style.width > 0 && !fillsWithBlanksOnly(style.format) ? kFillTexts[style.fill] : "",
                 style.format != kFormatDecimal ? kSummaryFormatTexts[style.format] : "", repeat, period});
}

std::string styleSummary(const ArrayStyle& stored) {
    const ArrayStyle style = effectiveStyle(stored);
    return join({style.repeat > 1 ? numbered(style.repeat, kSummaryRepeat) : "",
                 style.end != kEndEmpty ? kEndTexts[style.end] : "",
                 style.order != kOrderWritten ? kOrderTexts[style.order] : "",
                 style.order != kOrderWritten ? seedText(style.seed) : "", kSummaryEscapeTexts[style.escape]});
}

}  // namespace ravolin
