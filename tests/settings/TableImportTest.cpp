#include "settings/TableImport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/core/FileAccess.h"
#include "testsupport/core/TestFiles.h"

namespace ravolin {
namespace {

TEST(readTableFile, findsTheEncodingAndTheSeparatorFromTheBytesAndTheName) {
    struct Case {
        const char* name;
        std::string bytes;
        TableRows rows;
    };
    const Case cases[] = {
        {"bom.csv", "\xEF\xBB\xBF\"a\",b\r\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"sjis.csv", "\x96\xbc\x91O,\x93\x8c\x8b\x9e\r\n", {{"名前", "東京"}}},  // CP932: not valid UTF-8
        {"name.TSV", "a,b\r\nc\td", {{"a,b"}, {"c", "d"}}},
        {"tab.txt", "a\tb,c\nd", {{"a", "b,c"}, {"d"}}},
        {"comma.txt", "a,b\nc\td", {{"a", "b"}, {"c\td"}}},          // only the first line decides
        {"dir.tsv/comma.csv", "a,b\nc\td", {{"a", "b"}, {"c\td"}}},  // the file's name, not its folder's
    };
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("dir.tsv"));
    for (const Case& c : cases) {
        test::writeFile(dir.file(c.name), c.bytes);
        int error = 0;
        EXPECT_EQ(readTableFile(dir.file(c.name), error), c.rows) << c.name;
        EXPECT_EQ(error, 0) << c.name;
    }
}

TEST(readTableFile, refusesWhatCannotBeReadOrIsTooLarge) {
    test::TempDir dir;
    test::writeFile(dir.file("huge.csv"), "");
    const int fd = open(dir.file("huge.csv").c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(kTableFileMaxBytes) + 1), 0);  // sparse: no disk taken
    close(fd);
    const std::pair<std::string, int> cases[] = {
        {"huge.csv", kFileTooLargeError}, {"missing.csv", ENOENT}, {"", EISDIR}};
    for (const auto& [name, expected] : cases) {
        int error = 0;
        EXPECT_EQ(readTableFile(dir.file(name), error), std::nullopt) << name;
        EXPECT_EQ(error, expected) << name;
    }
}

TEST(applyTable, replacesTheArraysItCoversAndOnlyThose) {
    const TableRows rows = {{"名前", "とても長い置換文字列です", "c3"}, {"O'Brien", "x"}, {"鈴木", "y", "z"}};
    struct Case {
        std::size_t first;
        bool header, fitLoop;
        std::vector<std::string> cut;
        std::size_t taken;
        std::int32_t loopCount;
        std::vector<std::pair<std::string, std::string>> arrays;  // token and values of arrays first.. first+2
    };
    const std::string keptToken = "＜配列X＞";
    const Case cases[] = {
        {0,
         false,
         false,
         {},
         3,
         7,
         {{keptToken, "名前\r\nO'Brien\r\n鈴木"},
          {keptToken, "とても長い置換文字列です\r\nx\r\ny"},
          {keptToken, "c3\r\n\r\nz"}}},
        {0,
         true,
         true,
         {"とても長い置換文字列です"},
         3,
         2,
         {{"名前", "O'Brien\r\n鈴木"}, {"とても長い置換", "x\r\ny"}, {"c3", "\r\nz"}}},
        // From 配列8 the third column has no array left.
        {7,
         true,
         false,
         {"とても長い置換文字列です"},
         2,
         7,
         {{"名前", "O'Brien\r\n鈴木"}, {"とても長い置換", "x\r\ny"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + (c.header ? " header" : "") + (c.fitLoop ? " fitLoop" : ""));
        Document job;
        job.window.loopCount = 7;
        for (ArraySlot& array : job.record.arrays) array = {keptToken, "kept", {}};
        const TableColumns columns = tableColumns(rows, c.header);
        EXPECT_EQ(columnsTaken(columns, c.first), c.taken);
        EXPECT_EQ(applyTable(job, columns, c.first, c.header, c.fitLoop), c.cut);
        EXPECT_EQ(job.window.loopCount, c.loopCount);
        for (std::size_t i = 0; i < kArrayCount; ++i) {
            const ArraySlot& array = job.record.arrays[i];
            const bool covered = i >= c.first && i - c.first < c.arrays.size();
            EXPECT_EQ(array.token, covered ? c.arrays[i - c.first].first : keptToken) << i;
            EXPECT_EQ(array.valuesText, covered ? c.arrays[i - c.first].second : "kept") << i;
        }
    }
}

}  // namespace
}  // namespace ravolin
