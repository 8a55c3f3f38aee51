#include "conversion/Table.h"

#include <gtest/gtest.h>

#include "conversion/Escaping.h"

namespace ravolin {
namespace {

TEST(ParseTable, readsSpreadsheetCopiesAndCsvAsTheyAreWritten) {
    using Sep = TableSeparator;
    struct Case {
        const char* what;
        std::string_view text;
        Sep separator;
        TableRows rows;
    };
    const Case cases[] = {
        {"CR LF, no final line break", "a,b\r\nc,d", Sep::Comma, {{"a", "b"}, {"c", "d"}}},
        {"LF and lone CR", "a\nb\rc\n", Sep::Comma, {{"a"}, {"b"}, {"c"}}},
        {"quotes, doubled quotes, separators inside",
         "\"O'Brien, T\",\"say \"\"hi\"\"\"\r\n",
         Sep::Comma,
         {{"O'Brien, T", "say \"hi\""}}},
        {"line breaks inside quotes", "\"1\r\n2\",x\n\"3\n\"\n", Sep::Comma, {{"1\r\n2", "x"}, {"3\n"}}},
        {"empty cells, ragged rows, an empty row between", "a,,\n\n,b\n", Sep::Comma, {{"a", "", ""}, {""}, {"", "b"}}},
        {"empty rows at the end dropped", "a\r\n\r\n,\r\n\r\n", Sep::Comma, {{"a"}}},
        {"a quote inside an unquoted cell stays", "5\" x,\"a\"b\n", Sep::Comma, {{"5\" x", "ab"}}},
        {"an unclosed quote runs to the end", "a,\"b\nc", Sep::Comma, {{"a", "b\nc"}}},
        {"TABs: commas are text, quoted cells unquoted",
         "1,5\t\"x\ty\"\t\"a\"\"b\"\n",
         Sep::Tab,
         {{"1,5", "x\ty", "a\"b"}}},
        {"nothing", "", Sep::Comma, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(parseTable(c.text, c.separator), c.rows) << c.what;
}

TEST(ParseTable, findsTheSeparatorOfAPasteAndOfAFile) {
    EXPECT_EQ(separatorOfPaste("a\tb"), TableSeparator::Tab);
    EXPECT_EQ(separatorOfPaste("a,b\n\"x\""), TableSeparator::Comma);
    EXPECT_EQ(separatorOfFile("list.TSV", "a,b"), TableSeparator::Tab);
    EXPECT_EQ(separatorOfFile("list.txt", "a\tb\r\nc,d"), TableSeparator::Tab);
    EXPECT_EQ(separatorOfFile("list.csv", "a,b\r\nc\td"), TableSeparator::Comma);  // the first line tells
}

TEST(TableColumns, giveEachColumnOneLineARow_withOrWithoutAHeader) {
    const TableRows rows = {{"名前", "市"}, {"O'Brien", "Tokyo,\r\nJapan"}, {"鈴木"}};
    const TableColumns plain = tableColumns(rows, false);
    EXPECT_TRUE(plain.tokens.empty());
    EXPECT_EQ(plain.values, (std::vector<std::string>{"名前\r\nO'Brien\r\n鈴木", "市\r\nTokyo, Japan\r\n"}));
    EXPECT_EQ(plain.rows, 3u);
    EXPECT_EQ(plain.cellsJoined, 1u);
    const TableColumns headed = tableColumns(rows, true);
    EXPECT_EQ(headed.tokens, (std::vector<std::string>{"名前", "市"}));
    EXPECT_EQ(headed.values, (std::vector<std::string>{"O'Brien\r\n鈴木", "Tokyo, Japan\r\n"}));
    EXPECT_EQ(headed.rows, 2u);
}

TEST(EscapeValue, writesEachFormAtItsEdges) {
    struct Case {
        std::int32_t escape;
        std::string_view value;
        std::string_view escaped;
    };
    const Case cases[] = {
        {kEscapeNone, "a'b\"", "a'b\""},
        {99, "a'b", "a'b"},  // an unknown escape is none
        {kEscapeSqlText, "O'Brien''", "O''Brien''''"},
        {kEscapeSqlText, "", ""},
        {kEscapeSqlLiteral, "O'Brien", "'O''Brien'"},
        {kEscapeSqlLiteral, "", "NULL"},
        {kEscapeSqlLiteral, "'", "''''"},
        {kEscapeCsv, "plain 東京", "plain 東京"},
        {kEscapeCsv, "Tokyo, Japan", "\"Tokyo, Japan\""},
        {kEscapeCsv, "\"\"", "\"\"\"\"\"\""},
        {kEscapeCsv, "a\nb", "\"a\nb\""},
        {kEscapeCsv, " lead", "\" lead\""},
        {kEscapeCsv, "trail\u3000", "\"trail\u3000\""},
        {kEscapeCsv, "", ""},
        {kEscapeHtml, "<a href=\"x\">Tom & Jerry's</a>", "&lt;a href=&quot;x&quot;&gt;Tom &amp; Jerry&#39;s&lt;/a&gt;"},
        {kEscapeJson, "\"\\/\b\f\n\r\t\x01\x1f\x7f 東", "\\\"\\\\/\\b\\f\\n\\r\\t\\u0001\\u001f\x7f 東"},
        {kEscapeUrl, "a-Z.0_~ /東?", "a-Z.0_~%20%2F%E6%9D%B1%3F"},
        {kEscapeUrl, "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(escapeValue(c.value, c.escape), c.escaped) << c.escape << " " << c.value;
}

}  // namespace
}  // namespace ravolin
