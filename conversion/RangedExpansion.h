#pragma once

#include <functional>
#include <string>

#include "conversion/Expansion.h"

namespace ravolin {

enum class RangedExpansionEnd { Done, Stopped, PassTooLarge };

// The input whose passes 0 .. count-1 are the passes first .. first+count-1 of `input` (counters and arrays go
// on as in the whole run), joined as there, without the header and the footer: a look at a few passes anywhere.
ExpansionInput passesOf(const ExpansionInput& input, std::size_t first, std::size_t count);

// Produces exactly what ExpandTemplate(input) gives, range of passes by range of passes, handing each piece
// to `sink` as soon as it exists: output of any length needs memory for one range only, whose passes never
// hold more than `rangeLimit` bytes (the header, a join or the footer stand beside them). A sink that returns
// false stops the run; a single pass beyond `rangeLimit` bytes ends it with PassTooLarge. The sink may keep a
// piece's bytes by swapping them out of the string it is handed. `progress`, when given, hears the number of
// passes handed over so far after each range.
RangedExpansionEnd expandInRanges(const ExpansionInput& input, std::size_t rangeLimit,
                                  const std::function<bool(std::string& piece)>& sink,
                                  const std::function<void(std::size_t passesDone)>& progress = {});

}  // namespace ravolin
