#include "platform/core/Codec.h"

#include <gtest/gtest.h>

namespace ravolin {
namespace {

TEST(Codec, decodesCp932AndReplacesOnlyBadBytes) {
    struct Case {
        std::string cp932, utf8;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"\x82\xa0\x82\xa2", "あい"},
        {"\xb1\xb2", "ｱｲ"},        // half-width katakana are single bytes
        {"\x81\x60", "～"},        // Windows' reading of 8160
        {"a\x80z", "a\xC2\x80z"},  // single bytes Windows reads as U+0080 and U+F8F0-F8F3
        {"\xa0\xfd\xfe\xff", "\xEF\xA3\xB0\xEF\xA3\xB1\xEF\xA3\xB2\xEF\xA3\xB3"},
        {"\x81\x80\xa0", "÷\xEF\xA3\xB0"},     // 8180 is a pair, not the single 80
        {"a\x85\x40z", "a\xEF\xBF\xBDz"},      // an unassigned pair is one character
        {"a\x82", "a\xEF\xBF\xBD"},            // a lead byte cut off at the end
        {"\x82 \x82\xa0", "\xEF\xBF\xBD あ"},  // 82 20 is no pair: the blank survives
    };
    for (const Case& c : cases) EXPECT_EQ(cp932ToUtf8(c.cp932), c.utf8) << c.utf8;
}

TEST(Codec, everySingleByteSurvivesARoundTrip) {
    for (int b = 0; b < 256; ++b) {
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) continue;  // lead bytes
        const std::string cp932(1, static_cast<char>(b));
        bool lossy = true;
        EXPECT_EQ(utf8ToCp932(cp932ToUtf8(cp932), &lossy), cp932) << b;
        EXPECT_FALSE(lossy) << b;
    }
}

TEST(Codec, encodesLikeWindowsAndMarksWhatItSubstitutes) {
    struct Case {
        std::string utf8, cp932;
        bool lossy;
    };
    const Case cases[] = {
        {"", "", false},
        {"ＭＳ Ｐゴシック", "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e", false},
        {"〜−", "\x81\x60\x81\x7c", false},  // one-way mappings Windows accepts
        {"£¬", "\x81\x92\x81\xca", false},   // read back as the full-width ￡ and ￢
        {"a😀b", "a?b", true},
        {"a\xEF\xBF\xBDz", "a?z", true},                              // what a bad byte decoded to can't go back
        {"a\xFFz", "a?z", true},                                      // invalid UTF-8
        {"a\xE3\x81z", "a?z", true},                                  // a truncated sequence
        {"\xED\xA0\x80", "???", true},                                // an encoded surrogate breaks at its second byte
        {"\xC2\x80\xEF\xA3\xB0\xEF\xA3\xB3", "\x80\xa0\xff", false},  // Windows' single-byte extras
        {"\xEF\xA3\xB4", "?", true},                                  // U+F8F4 has no byte
        // Deep in a run of ASCII, which is copied a word at a time.
        {std::string(21, 'a') + "\x80" + std::string(21, 'b'), std::string(21, 'a') + "?" + std::string(21, 'b'), true},
    };
    for (const Case& c : cases) {
        bool lossy = !c.lossy;
        EXPECT_EQ(utf8ToCp932(c.utf8, &lossy), c.cp932) << c.utf8;
        EXPECT_EQ(lossy, c.lossy) << c.utf8;
    }
}

TEST(Codec, pairsAreFoundAtTheEdgesOfTheLeadAndTrailRanges) {
    struct Case {
        const char* cp932;
        std::size_t length;
    };
    const Case cases[] = {
        {"\x81\x40", 2}, {"\x9f\x40", 2}, {"\xe0\x40", 2}, {"\xfc\x40", 2},  // the lead ranges' ends
        {"\x80\x40", 1}, {"\xa0\x40", 1}, {"\xdf\x40", 1}, {"\xfd\x40", 1},  // just outside them
        {"\x81\x3f", 1}, {"\x81\x7e", 2}, {"\x81\x7f", 1}, {"\x81\x80", 2},  // the trail ranges
        {"\x81\xfc", 2}, {"\x81\xfd", 1}, {"\x81", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(cp932CharLength(c.cp932), c.length) << testing::PrintToString(c.cp932);
    // A lead byte without its trail byte is one bad character; the byte after it stays itself.
    EXPECT_EQ(cp932ToUtf8("\x81\x7f"), "\xEF\xBF\xBD\x7f");
    EXPECT_EQ(cp932ToUtf8("\x9f\xfc\xe0\x40"), "滌漾");  // 9FFC and E040
}

TEST(Codec, malformedUtf8BecomesOneQuestionMarkPerBrokenSequence) {
    struct Case {
        const char* utf8;
        const char* cp932;
    };
    const Case cases[] = {
        {"\xC0\x80", "??"},  // overlong NUL: C0 is never a lead byte
        {"\xC1\xBF", "??"},
        {"\xE0\x9F\xBF", "???"},                // overlong three-byte form
        {"\xF0\x8F\xBF\xBF", "????"},           // overlong four-byte form
        {"\xED\xBF\xBF", "???"},                // a low surrogate
        {"\xF4\x90\x80\x80", "????"},           // past U+10FFFF
        {"\xED\x9F\xBF", "?"},                  // U+D7FF is valid but CP932 lacks it
        {"\xE3\x81\x82\xE3\x81", "\x82\xa0?"},  // あ, then a sequence cut off
        {"\xC2", "?"},
    };
    for (const Case& c : cases) {
        bool lossy = false;
        EXPECT_EQ(utf8ToCp932(c.utf8, &lossy), c.cp932) << testing::PrintToString(c.utf8);
        EXPECT_TRUE(lossy);
    }
}

TEST(Codec, prefixesNeverSplitADoubleByteCharacter) {
    EXPECT_EQ(cp932PrefixLength("ab\x82\xa0z", 3), 2u);
    EXPECT_EQ(cp932PrefixLength("ab\x82\xa0z", 4), 4u);
    EXPECT_EQ(cp932PrefixLength("\x82\x41x", 1), 0u);  // 82 41 is one character
    EXPECT_EQ(cp932PrefixLength("\x80\x80", 1), 1u);   // a stray byte is a character of its own
    EXPECT_EQ(cp932PrefixLength("short", 99), 5u);

    EXPECT_EQ(utf8PrefixForCp932Bytes("aあい", 4), std::string("aあ").size());
    EXPECT_EQ(utf8PrefixForCp932Bytes("aあい", 5), std::string("aあい").size());
    EXPECT_EQ(utf8PrefixForCp932Bytes("ｱｲｳ", 2), std::string("ｱｲ").size());
    EXPECT_EQ(utf8PrefixForCp932Bytes("😀😀", 1), std::string("😀").size());  // written as one "?"
    EXPECT_EQ(utf8PrefixForCp932Bytes("\xFF\xFFx", 2), 2u);
}

}  // namespace
}  // namespace ravolin

namespace ravolin {
namespace {

// A table file is UTF-8 where it can be, without its mark; a Japanese spreadsheet's CP932 otherwise.
TEST(TableFileText, takesUtf8WithoutItsMarkOrElseCp932) {
    struct Case {
        std::string_view bytes;
        std::string_view text;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF名前,市\r\n", "名前,市\r\n"},
        {"名前", "名前"},
        {"\x96\xBC\x91\x4F,\x8E\x73", "名前,市"},  // CP932
        {"a\xEF\xBB\xBF", "a\xEF\xBB\xBF"},        // a mark inside the text is text
        // Not UTF-8 after the mark: all of it is CP932, where EF BB is no character and BF a half-width ｿ.
        {"\xEF\xBB\xBF\x96\xBC", "\uFFFD\uFF7F名"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(tableFileText(c.bytes), c.text);
}

}  // namespace
}  // namespace ravolin
