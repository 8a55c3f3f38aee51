#pragma once

#include <string>

#include "conversion/Expansion.h"

namespace ravolin {

// The short line a page shows of a slot's styles ("4桁・ゼロ・16進", "5回ずつ・先頭に戻る"), so that a format
// left from one job is seen before it shapes the next. Empty for the defaults; read as the engine reads them.
std::string styleSummary(const CounterStyle& style);
std::string styleSummary(const ArrayStyle& style);

}  // namespace ravolin
