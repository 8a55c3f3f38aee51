#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Tables brought in from a spreadsheet or a CSV file: their cells, and their columns as the arrays take them.
namespace ravolin {

// What stands between the cells of a row.
enum class TableSeparator { Comma, Tab };

using TableRows = std::vector<std::vector<std::string>>;

// A clipboard text: a spreadsheet's copy (TABs between cells) when it holds a TAB, otherwise CSV.
TableSeparator separatorOfPaste(std::string_view text);
// A file: TABs for a ".tsv" name or where the first line holds a TAB, otherwise commas.
TableSeparator separatorOfFile(std::string_view fileName, std::string_view text);

// The rows of `text`: cells between separators, rows between line breaks (CR LF, LF or CR). A cell that begins
// with `"` is quoted (RFC 4180, as spreadsheets quote a cell holding a separator, a quote or a line break): up
// to the next lone `"`, with `""` for one `"` and the line breaks inside kept; what follows the closing quote up
// to the separator is kept too, and an unclosed quote runs to the end. Empty rows at the end are dropped; rows
// keep their own lengths.
TableRows parseTable(std::string_view text, TableSeparator separator);

// The columns of `rows` as array contents: each column's cells one a line, CR LF between; a ragged row gives
// empty cells. With `header`, the first row gives the tokens and the rest the values.
struct TableColumns {
    std::vector<std::string> tokens;  // empty without a header
    std::vector<std::string> values;
    std::size_t rows = 0;  // the value rows
    // Cells that held a line break, which became a blank so that the cell stays one line.
    std::size_t cellsJoined = 0;
};
TableColumns tableColumns(const TableRows& rows, bool header);

}  // namespace ravolin
