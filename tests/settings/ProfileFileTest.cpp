#include "settings/ProfileFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace ravolin {
namespace {

using namespace std::string_literals;

const std::optional<std::string> kMissing = std::nullopt;

TEST(ProfileFileRead, findsValuesTheWayTheWindowsReaderDoes) {
    struct Case {
        const char* what;
        std::string file, section, key;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"plain", "[S]\r\nk=v\r\n", "S", "k", "v"},
        {"odd spacing", "  [ S ]  \r\n\t k \t=  a  b \t\r\n", "S", "k", "a  b"},
        {"text after the bracket", "[S] tail\r\nk=v", "S", "k", "v"},
        {"last bracket ends the name", "[a]b]\r\nk=v", "a]b", "k", "v"},
        {"letter case", "[cOmMoN]\r\nLOOP=5", "Common", "Loop", "5"},
        {"no inline comment", "[S]\r\nk=a ;b", "S", "k", "a ;b"},
        {"comment line", "[S]\r\n;k=v\r\n k=w", "S", "k", "w"},
        {"indented comment", "[S]\r\n \t;k=v", "S", ";k", kMissing},
        {"hash is ordinary", "[S]\r\n#k=v", "S", "#k", "v"},
        {"first key wins", "[S]\r\nk=1\r\nK=2", "S", "k", "1"},
        {"first section wins", "[S]\r\nk=1\r\n[s]\r\nk=2", "S", "k", "1"},
        {"later duplicate section unseen", "[S]\r\nk=1\r\n[S]\r\nj=3", "S", "j", kMissing},
        {"key without equals", "[S]\r\nk\r\nk=2", "S", "k", kMissing},
        {"empty value", "[S]\r\nk=", "S", "k", ""},
        {"split at the first equals", "[S]\r\nk = a=b", "S", "k", "a=b"},
        {"nameless leading section", "k=v\r\n[S]\r\nj=w", "S", "k", kMissing},
        {"missing section", "[T]\r\nk=v", "S", "k", kMissing},
        {"key of another section", "[S]\r\n[T]\r\nk=v", "S", "k", kMissing},
        {"empty file", "", "S", "k", kMissing},
        {"LF lines", "[S]\nj=1\nk=v\n", "S", "k", "v"},
        {"CR lines", "[S]\rj=1\rk=v\r", "S", "k", "v"},
        {"LF CR is two line ends", "[S]\n\rk=v", "S", "k", "v"},
        {"no final line end", "[S]\r\nk=v", "S", "k", "v"},
        {"end-of-file mark trimmed", "[S]\r\nk=v\x1A", "S", "k", "v"},
        {"bracket without close is a key", "[S]\r\n[k=v", "S", "[k", "v"},
        // 83 5D is one character ("ゾ"), not a closing bracket: the line stays a key of S.
        {"double-byte bracket byte", "[S]\r\n[\x83\x5D=v", "S", "[ゾ", "v"},
        {"double-byte section name", "[\x83\x5D]\r\nk=v", "ゾ", "k", "v"},
        {"decoded from CP932", "[S]\r\nk=\x82\xa0\xb1", "S", "k", "あｱ"},
        {"bad bytes replaced", "[S]\r\nk=a\x85\x40z", "S", "k", "a\xEF\xBF\xBDz"},
        {"quotes", "[S]\r\nk=\"a\"b\"", "S", "k", "a\"b"},
        {"empty quotes", "[S]\r\nk=\"\"", "S", "k", ""},
        {"single quotes", "[S]\r\nk='q'", "S", "k", "q"},
        {"quotes keep blanks", "[S]\r\nk=\"  x  \"", "S", "k", "  x  "},
        {"unclosed quote", "[S]\r\nk=\"val", "S", "k", "\"val"},
        {"mismatched quotes", "[S]\r\nk=\"val'", "S", "k", "\"val'"},
        {"lone quote", "[S]\r\nk=\"", "S", "k", "\""},
        // The Windows functions hand back a C string.
        {"NUL ends the value", "[S]\r\nk=s\0G"s, "S", "k", "s"},
        {"NUL inside quotes", "[S]\r\nk=\"s\0G\""s, "S", "k", "s"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProfileFile(c.file).GetString(c.section, c.key), c.expected) << c.what;
    }
}

TEST(ProfileFileRead, cutsLongValuesWithoutSplittingACharacter) {
    const std::string ascii(5000, 'x');
    EXPECT_EQ(ProfileFile("[S]\r\nk=" + ascii).GetString("S", "k"), std::string(4095, 'x'));
    // Quotes come off first, then the cut.
    EXPECT_EQ(ProfileFile("[S]\r\nk=\"" + ascii + "\"").GetString("S", "k"), std::string(4095, 'x'));

    std::string cp932(4094, 'y');
    cp932 += "\x82\xa0\x82\xa0";  // byte 4095 is the first half of a character
    EXPECT_EQ(ProfileFile("[S]\r\nk=" + cp932).GetString("S", "k"), std::string(4094, 'y'));
    EXPECT_EQ(ProfileFile("[S]\r\nk=" + cp932.substr(1)).GetString("S", "k"), std::string(4093, 'y') + "あ");
}

TEST(ProfileFileRead, readsIntegersAsTheWindowsReaderDoes) {
    struct Case {
        std::string value;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"k=12abc", 12},
        {"k= 12", 12},
        {"k=\" 12\"", 12},
        {"k=-5", -5},
        {"k=+3", 3},
        {"k=4294967297", 1},
        {"k=2147483648", INT32_MIN},
        {"k=abc", 0},
        {"k=-", 0},
        {"k=--5", 0},
        {"k=- 5", 0},
        {"k=\"42\"", 42},
        {"k=0x10", 0},
        {"k=", 77},
        {"k=\"\"", 77},
        {"k", 77},
        {"j=1", 77},
        {"K=007", 7},
    };
    for (const Case& c : cases) EXPECT_EQ(ProfileFile("[S]\r\n" + c.value).GetInt("S", "k", 77), c.expected) << c.value;
}

TEST(ProfileFileWrite, touchesOnlyTheLineItConcerns) {
    struct Case {
        const char* what;
        std::string before, section, key, value, after;
    };
    const Case cases[] = {
        {"from nothing", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"in place, key keeps its spelling", "; c\r\n[s]\r\n  LOOP = 5 \r\nx=y\r\n", "S", "Loop", "7",
         "; c\r\n[s]\r\nLOOP=7\r\nx=y\r\n"},
        {"unchanged value keeps the line", "[S]\n k = 5 \n", "S", "k", "5", "[S]\n k = 5 \n"},
        {"first of duplicate keys", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "3", "[S]\r\nk=3\r\nk=2\r\n"},
        {"first of duplicate sections", "[S]\r\n[S]\r\n", "S", "k", "v", "[S]\r\nk=v\r\n[S]\r\n"},
        {"key without equals gets one", "[S]\r\nk\r\n", "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"new key after last non-blank line", "[A]\r\na=1\r\n;c\r\n\r\n[B]\r\nb=2", "A", "n", "3",
         "[A]\r\na=1\r\n;c\r\nn=3\r\n\r\n[B]\r\nb=2"},
        {"new key in empty section", "[A]\r\n\r\n[B]\r\n", "A", "n", "3", "[A]\r\nn=3\r\n\r\n[B]\r\n"},
        {"new key at end without line end", "[A]\r\na=1", "A", "n", "3", "[A]\r\na=1\r\nn=3\r\n"},
        {"new section at end", "x=1\n[A]\r\na=1\r\n", "B", "k", "v", "x=1\n[A]\r\na=1\r\n[B]\r\nk=v\r\n"},
        {"new section after missing line end", "[A]\r\na=1", "B", "k", "v", "[A]\r\na=1\r\n[B]\r\nk=v\r\n"},
        {"CR-only file", "[S]\rk=1\rj=2\r", "S", "k", "5", "[S]\rk=5\r\nj=2\r"},
        {"bad bytes elsewhere survive", "[X]\r\nbad=\x80\xFF\x82\r\n[S]\r\nk=1\r\n", "S", "k", "2",
         "[X]\r\nbad=\x80\xFF\x82\r\n[S]\r\nk=2\r\n"},
        {"empty value", "[S]\r\nk=1\r\n", "S", "k", "", "[S]\r\nk=\r\n"},
        {"encoded as CP932", "", "S", "k", "ＭＳ", "[S]\r\nk=\x82\x6c\x82\x72\r\n"},
        {"outer blanks are quoted", "", "S", "k", " a ", "[S]\r\nk=\" a \"\r\n"},
        {"outer quotes are quoted", "", "S", "k", "\"q\"", "[S]\r\nk=\"\"q\"\"\r\n"},
        {"outer single quotes are quoted", "", "S", "k", "'q'", "[S]\r\nk=\"'q'\"\r\n"},
        {"inner quotes stay bare", "", "S", "k", "a\"b", "[S]\r\nk=a\"b\r\n"},
    };
    for (const Case& c : cases) {
        ProfileFile file(c.before);
        EXPECT_TRUE(file.WriteString(c.section, c.key, c.value)) << c.what;
        EXPECT_EQ(file.Bytes(), c.after) << c.what;
    }
}

TEST(ProfileFileWrite, deletingAKeyRemovesItsLineOnly) {
    struct Case {
        const char* what;
        std::string before, after;
    };
    const Case cases[] = {
        {"between others", "[S]\r\na=1\r\nk=2\r\nb=3\r\n", "[S]\r\na=1\r\nb=3\r\n"},
        {"key keeps no spelling", "[s]\r\n  K = 2 \r\n[T]\r\nk=9\r\n", "[s]\r\n[T]\r\nk=9\r\n"},
        {"first of duplicates", "[S]\r\nk=1\r\nk=2\r\n", "[S]\r\nk=2\r\n"},
        {"last line without line end", "[S]\r\na=1\r\nk=2", "[S]\r\na=1"},
        {"missing key", "[S]\r\na=1\r\n", "[S]\r\na=1\r\n"},
        {"missing section", "[T]\r\nk=1\r\n", "[T]\r\nk=1\r\n"},
    };
    for (const Case& c : cases) {
        ProfileFile file(c.before);
        file.DeleteKey("S", "k");
        EXPECT_EQ(file.Bytes(), c.after) << c.what;
    }
}

TEST(ProfileFileWrite, everyValueReadsBackExactly) {
    const std::string values[] = {"",     " ",  "  x  ", "\"",     "\"\"",  "'a'",    "\"a\"b\"",
                                  "a=b",  ";x", "[x]",   "\t",     "x\x1A", "日本語", "ﾊﾝｶｸ",
                                  "\"x'", "'",  "a ;b ", "\"\"\"", "=",     " \"q\" "};
    for (const std::string& value : values) {
        ProfileFile file("[S]\r\nk=old\r\n");
        ASSERT_TRUE(file.WriteString("S", "k", value)) << value;
        EXPECT_EQ(ProfileFile(file.Bytes()).GetString("S", "k"), value) << value;
    }
}

// The index moves with the bytes: reads after writes before, inside and after other sections.
TEST(ProfileFileWrite, readsFollowEveryWrite) {
    ProfileFile file("[A]\r\nk=1\r\nk=2\r\n\r\n[B]\r\nj=3\r\n[a]\r\nx=9");
    file.WriteString("A", "n", "new");  // added in A, so B moves
    file.WriteString("B", "j", "three");
    EXPECT_TRUE(file.DeleteKey("A", "k"));  // the duplicate below becomes the first
    file.WriteString("C", "c", "4");
    file.WriteString("A", "m", "5");  // after the line added before
    struct Case {
        const char *section, *key;
        std::optional<std::string> value;
    };
    const Case cases[] = {{"A", "k", "2"}, {"A", "n", "new"},    {"A", "m", "5"},      {"B", "j", "three"},
                          {"C", "c", "4"}, {"a", "x", kMissing}, {"A", "x", kMissing}, {"C", "k", kMissing}};
    for (const Case& c : cases) EXPECT_EQ(file.GetString(c.section, c.key), c.value) << c.section << c.key;
    EXPECT_EQ(file.Bytes(), "[A]\r\nk=2\r\nn=new\r\nm=5\r\n\r\n[B]\r\nj=three\r\n[a]\r\nx=9\r\n[C]\r\nc=4\r\n");
    EXPECT_TRUE(file.DeleteKey("A", "k"));
    EXPECT_FALSE(file.DeleteKey("A", "k"));
}

TEST(ProfileFileWrite, neverWritesARawLineBreak) {
    ProfileFile file("[S]\r\n");
    EXPECT_FALSE(file.WriteString("S", "k", "a\r\nb\nc\rd"));
    EXPECT_EQ(file.Bytes(), "[S]\r\nk=abcd\r\n");
}

TEST(ProfileFileWrite, reportsCharactersCp932Lacks_inTheValueOrTheNames) {
    ProfileFile file;
    EXPECT_FALSE(file.WriteString("S", "k", "a😀"));
    EXPECT_EQ(file.GetString("S", "k"), "a?");
    EXPECT_FALSE(file.WriteString("S😀", "k", "v"));
    EXPECT_FALSE(file.WriteString("S", "k😀", "v"));
    EXPECT_TRUE(file.WriteString("設定", "キー", "値"));
    // A NUL ends what a read gives back.
    EXPECT_FALSE(file.WriteString("S", "n", std::string_view("a\0b", 3)));
    EXPECT_EQ(file.GetString("S", "n"), "a");
}

TEST(ProfileFileWrite, writesSignedDecimalIntegers) {
    ProfileFile file;
    file.WriteInt("S", "a", -3);
    file.WriteInt("S", "b", INT32_MIN);
    file.WriteInt("S", "c", 0);
    EXPECT_EQ(file.Bytes(), "[S]\r\na=-3\r\nb=-2147483648\r\nc=0\r\n");
    EXPECT_EQ(file.GetInt("S", "b", 1), INT32_MIN);
}

}  // namespace
}  // namespace ravolin
