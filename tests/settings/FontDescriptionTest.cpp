#include "settings/FontDescription.h"

#include <gtest/gtest.h>

#include <climits>

namespace ravolin {
namespace {

LogFont font(std::int32_t height, std::int32_t weight, std::uint8_t charSet, std::string face) {
    LogFont f;
    f.lfHeight = height;
    f.lfWeight = weight;
    f.lfCharSet = charSet;
    f.lfFaceName = std::move(face);
    return f;
}

TEST(FormatFontString, writesFourteenFieldsInRecordOrder) {
    EXPECT_EQ(FormatFontString(font(-13, 700, 128, "ＭＳ Ｐゴシック")),
              "-13,0,0,0,700,0,0,0,128,0,0,0,0,ＭＳ Ｐゴシック");
    EXPECT_EQ(FormatFontString(font(-16, 400, 128, "MS Gothic")), "-16,0,0,0,400,0,0,0,128,0,0,0,0,MS Gothic");
    LogFont all{INT32_MIN, 2, -3, 4, INT32_MAX, 1, 2, 3, 255, 5, 6, 7, 8, ""};
    EXPECT_EQ(FormatFontString(all), "-2147483648,2,-3,4,2147483647,1,2,3,255,5,6,7,8,");
}

TEST(parseFontDescription, followsTheFieldRules) {
    struct Case {
        const char* what;
        std::string description;
        std::string normalForm;  // FormatFontString of the result
    };
    const Case cases[] = {
        {"normal form", "-13,0,0,0,700,0,0,0,128,0,0,0,0,ＭＳ Ｐゴシック",
         "-13,0,0,0,700,0,0,0,128,0,0,0,0,ＭＳ Ｐゴシック"},
        {"blanks and zeros before numbers", " -13,  0,\t0,0,0700,0,0,0,+128,0,0,0,0,F",
         "-13,0,0,0,700,0,0,0,128,0,0,0,0,F"},
        {"blank before the face stays", "1,0,0,0,0,0,0,0,0,0,0,0,0, F", "1,0,0,0,0,0,0,0,0,0,0,0,0, F"},
        {"byte fields keep the low 8 bits", "0,0,0,0,0,300,-1,256,0,0,0,0,0,F", "0,0,0,0,0,44,255,0,0,0,0,0,0,F"},
        {"digits up to the first other character", "12px,x,-,--5,7 8,0,0,0,0,0,0,0,0,F",
         "12,0,0,0,7,0,0,0,0,0,0,0,0,F"},
        {"out of range saturates", "99999999999,-99999999999,0,0,0,0,0,0,0,0,0,0,0,F",
         "2147483647,-2147483648,0,0,0,0,0,0,0,0,0,0,0,F"},
        {"fifteenth field dropped", "1,0,0,0,0,0,0,0,0,0,0,0,0,F,extra", "1,0,0,0,0,0,0,0,0,0,0,0,0,F"},
        {"empty fields read as 0", ",,,,,,,,,,,,,", "0,0,0,0,0,0,0,0,0,0,0,0,0,"},
        {"long face cut to 31 bytes", "0,0,0,0,0,0,0,0,0,0,0,0,0,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789",
         "0,0,0,0,0,0,0,0,0,0,0,0,0,ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"},
        {"cut never splits a character", "0,0,0,0,0,0,0,0,0,0,0,0,0,xxああああああああああああああああ",
         "0,0,0,0,0,0,0,0,0,0,0,0,0,xxああああああああああああああ"},  // 30 bytes: the 15th would split
        {"two bytes in UTF-8 as in CP932", "0,0,0,0,0,0,0,0,0,0,0,0,0,xαβγδεζηθЖЗИЙКЛМН§",
         "0,0,0,0,0,0,0,0,0,0,0,0,0,xαβγδεζηθЖЗИЙКЛМ"},  // 31 bytes
    };
    for (const Case& c : cases) {
        LogFont parsed;
        ASSERT_TRUE(parseFontDescription(c.description, parsed)) << c.what;
        EXPECT_EQ(FormatFontString(parsed), c.normalForm) << c.what;
    }
}

TEST(parseFontDescription, fewerThanFourteenFieldsIsMalformedAndChangesNothing) {
    const std::string malformed[] = {"", "-13", "-13,0,0,0,700,0,0,0,128,0,0,0,0", "ＭＳ Ｐゴシック"};
    const LogFont before = font(-16, 400, 128, "MS Gothic");
    for (const std::string& description : malformed) {
        LogFont target = before;
        EXPECT_FALSE(parseFontDescription(description, target)) << description;
        EXPECT_EQ(target, before) << description;
    }
}

TEST(parseFontDescription, readsBackWhatFormatWrites) {
    const LogFont fonts[] = {font(-13, 700, 128, "ＭＳ Ｐゴシック"),
                             LogFont{INT32_MIN, -1, 3600, -900, 1000, 1, 1, 1, 255, 3, 2, 5, 49, "IPAPGothic"}};
    for (const LogFont& f : fonts) {
        LogFont parsed;
        ASSERT_TRUE(parseFontDescription(FormatFontString(f), parsed));
        EXPECT_EQ(parsed, f) << f.lfFaceName;
    }
}

}  // namespace
}  // namespace ravolin
