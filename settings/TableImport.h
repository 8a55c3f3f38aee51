#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "conversion/Table.h"
#include "settings/Settings.h"

// A table's columns taken into a job's arrays: the one way the window's paste, its table files and the batch
// tool's --table all do it, so that each gives the same bytes.
namespace ravolin {

// A spreadsheet's CSV of a few hundred thousand rows stays far below this; a larger file is most likely not a
// table, and would take the window's memory several times over in its value lists.
inline constexpr std::size_t kTableFileMaxBytes = std::size_t{256} << 20;

// The rows of the table file at `path`: at most kTableFileMaxBytes, UTF-8 (without its mark) when the bytes are
// valid UTF-8 and CP932 otherwise, split on TABs for a ".tsv" name or a first line with a TAB, else on commas.
// nullopt with `error` set as readFileBytes sets it when the file can't be read or is too large.
std::optional<TableRows> readTableFile(const std::string& path, int& error);

// Puts `columns` into the arrays of `job` from array `first` (0-8) on, replacing their values; columns past the
// ninth array are left out. With `header` the arrays' tokens become the header's cells, cut to a token field;
// with `fitLoop` the loop count becomes the value rows. Returns the header cells that had to be cut.
std::vector<std::string> applyTable(Document& job, const TableColumns& columns, std::size_t first, bool header,
                                    bool fitLoop);

// How many of `columns` the arrays from `first` on take.
std::size_t columnsTaken(const TableColumns& columns, std::size_t first);

}  // namespace ravolin
