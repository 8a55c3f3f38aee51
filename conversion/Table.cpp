#include "conversion/Table.h"

#include <algorithm>

namespace ravolin {
namespace {

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

// Past the line break at `at` (CR LF counts as one).
std::size_t skipLineBreak(std::string_view text, std::size_t at) {
    return at + (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1);
}

// The cell starting at `at`, and where it ends (at its separator, its line break or the end of the text).
std::size_t readCell(std::string_view text, std::size_t at, char separator, std::string& cell) {
    cell.clear();
    if (at < text.size() && text[at] == '"') {
        for (++at; at < text.size(); ++at) {
            if (text[at] != '"') {
                cell.push_back(text[at]);
            } else if (at + 1 < text.size() && text[at + 1] == '"') {
                cell.push_back('"');
                ++at;
            } else {
                ++at;
                break;
            }
        }
    }
    // Unquoted, or what a writer put after the closing quote: kept as it stands.
    const std::size_t end = std::min(text.find_first_of(std::string{separator, '\r', '\n'}, at), text.size());
    cell.append(text.substr(std::min(at, end), end - std::min(at, end)));
    return end;
}

// Appends `cell` with each line break (CR LF being one) made a blank; whether it held one.
bool appendOneLine(std::string& out, const std::string& cell) {
    if (std::none_of(cell.begin(), cell.end(), isLineBreak)) {
        out += cell;
        return false;
    }
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (!isLineBreak(cell[i])) {
            out.push_back(cell[i]);
        } else {
            out.push_back(' ');
            if (cell[i] == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n') ++i;
        }
    }
    return true;
}

}  // namespace

TableSeparator separatorOfPaste(std::string_view text) {
    return text.find('\t') != std::string_view::npos ? TableSeparator::Tab : TableSeparator::Comma;
}

TableSeparator separatorOfFile(std::string_view fileName, std::string_view text) {
    std::string extension(fileName.substr(std::min(fileName.rfind('.'), fileName.size())));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    const std::string_view firstLine = text.substr(0, std::min(text.find_first_of("\r\n"), text.size()));
    return extension == ".tsv" || firstLine.find('\t') != std::string_view::npos ? TableSeparator::Tab
                                                                                 : TableSeparator::Comma;
}

TableRows parseTable(std::string_view text, TableSeparator separator) {
    const char mark = separator == TableSeparator::Tab ? '\t' : ',';
    TableRows rows;
    std::string cell;
    std::size_t at = 0;
    while (at < text.size()) {
        std::vector<std::string>& row = rows.emplace_back();
        for (;;) {
            at = readCell(text, at, mark, cell);
            row.push_back(cell);
            if (at < text.size() && text[at] == mark) {
                ++at;
                continue;
            }
            if (at < text.size()) at = skipLineBreak(text, at);
            break;
        }
    }
    while (!rows.empty() &&
           std::all_of(rows.back().begin(), rows.back().end(), [](const std::string& c) { return c.empty(); }))
        rows.pop_back();
    return rows;
}

TableColumns tableColumns(const TableRows& rows, bool header) {
    TableColumns columns;
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.size());
    const std::size_t first = header && !rows.empty() ? 1 : 0;
    columns.rows = rows.size() - first;
    if (first == 1) {
        columns.tokens.resize(width);
        for (std::size_t c = 0; c < rows.front().size(); ++c) {
            if (appendOneLine(columns.tokens[c], rows.front()[c])) ++columns.cellsJoined;
        }
    }
    columns.values.resize(width);
    for (std::size_t r = first; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < width; ++c) {
            std::string& column = columns.values[c];
            if (r > first) column += "\r\n";
            if (c >= rows[r].size()) continue;
            if (appendOneLine(column, rows[r][c])) ++columns.cellsJoined;
        }
    }
    return columns;
}

}  // namespace ravolin
