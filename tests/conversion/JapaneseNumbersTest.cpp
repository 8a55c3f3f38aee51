#include "conversion/JapaneseNumbers.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "tests/conversion/NaiveExpansion.h"

namespace ravolin {
namespace {

std::string expandOne(std::int32_t value, std::int32_t format, std::int32_t width, std::int32_t fill) {
    ExpansionInput in;
    in.templateText = "N";
    in.loopCount = 1;
    in.counters[0] = {"N", value, 0, 1, 0, format, width, fill};
    const std::string text = ExpandTemplate(in);
    EXPECT_EQ(naive::ExpandTemplate(in), text) << "reference, value " << value << " format " << format;
    // The size line counts the same bytes without writing them.
    EXPECT_EQ(japaneseNumberBytes(value, format, static_cast<std::size_t>(width)), text.size())
        << "value " << value << " format " << format;
    return text;
}

// Each value in the six formats: full-width digits, kanji digits, kanji with units, circled, イロハ, アイウエオ.
TEST(JapaneseNumbers, writeEveryFormatAtItsEdges) {
    struct Row {
        std::int32_t value;
        std::array<const char*, 6> texts;
    };
    const Row rows[] = {
        {0, {"０", "〇", "〇", "⓪", "イ", "ア"}},
        {1, {"１", "一", "一", "①", "ロ", "イ"}},
        {9, {"９", "九", "九", "⑨", "ヌ", "コ"}},
        {10, {"１０", "一〇", "十", "⑩", "ル", "サ"}},
        {11, {"１１", "一一", "十一", "⑪", "ヲ", "シ"}},
        {19, {"１９", "一九", "十九", "⑲", "ネ", "ト"}},
        {20, {"２０", "二〇", "二十", "⑳", "ナ", "ナ"}},
        {99, {"９９", "九九", "九十九", "99", "ロヘ", "イク"}},
        {100, {"１００", "一〇〇", "百", "100", "ロト", "イケ"}},
        {101, {"１０１", "一〇一", "百一", "101", "ロチ", "イコ"}},
        {110, {"１１０", "一一〇", "百十", "110", "ロレ", "イテ"}},
        {1000, {"１０００", "一〇〇〇", "千", "1000", "ナカ", "ナモ"}},
        {10000, {"１００００", "一〇〇〇〇", "一万", "10000", "ニウサ", "エムテ"}},
        {10001, {"１０００１", "一〇〇〇一", "一万一", "10001", "ニウキ", "エムト"}},
        {100000000, {"１００００００００", "一〇〇〇〇〇〇〇〇", "一億", "100000000", "ネムチタク", "ニソタヲウ"}},
        {INT_MAX,
         {"２１４７４８３６４７", "二一四七四八三六四七", "二十一億四千七百四十八万三千六百四十七", "2147483647",
          "リレニハヒナ", "コテフハラカ"}},
        {INT_MIN,
         {"－２１４７４８３６４８", "-二一四七四八三六四八", "-二十一億四千七百四十八万三千六百四十八", "-2147483648",
          "-リレニハヒラ", "-コテフハラキ"}},
        {-7, {"－７", "-七", "-七", "-7", "-チ", "-ク"}},
        {21010, {"２１０１０", "二一〇一〇", "二万千十", "21010", "リウロ", "ケレモ"}},
    };
    for (const Row& row : rows) {
        for (std::int32_t i = 0; i < 6; ++i)
            EXPECT_EQ(expandOne(row.value, kFormatFullWidth + i, 0, 0), row.texts[i]) << row.value << " format " << i;
    }
}

// The edges of the circled numbers and of the counted signs, and the width counted in characters.
TEST(JapaneseNumbers, padToTheirWidthInCharacters) {
    struct Case {
        std::int32_t value;
        std::int32_t format;
        std::int32_t width;
        std::int32_t fill;
        const char* expected;
    };
    const Case cases[] = {
        {21, kFormatCircled, 0, 0, "㉑"},
        {35, kFormatCircled, 0, 0, "㉟"},
        {36, kFormatCircled, 0, 0, "㊱"},
        {50, kFormatCircled, 0, 0, "㊿"},
        {51, kFormatCircled, 0, 0, "51"},
        {46, kFormatIroha, 0, 0, "ス"},
        {47, kFormatIroha, 0, 0, "イイ"},
        {48, kFormatIroha, 0, 0, "イロ"},
        {45, kFormatAiueo, 0, 0, "ン"},
        {46, kFormatAiueo, 0, 0, "アア"},
        {47, kFormatAiueo, 0, 0, "アイ"},
        {48, kFormatAiueo, 0, 0, "アウ"},
        {-7, kFormatFullWidth, 4, 0, "－００７"},
        {-7, kFormatFullWidth, 4, 1, "　　－７"},
        {12, kFormatFullWidth, 1, 0, "１２"},
        {-7, kFormatKanjiDigits, 4, 0, "  -七"},
        {105, kFormatKanji, 4, 0, "  百五"},
        {50, kFormatCircled, 3, 0, "  ㊿"},
        {-1, kFormatCircled, 3, 1, " -1"},
        {47, kFormatIroha, 3, 0, " イイ"},
        {0, kFormatAiueo, 64, 0, "                                                               ア"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(expandOne(c.value, c.format, c.width, c.fill), c.expected) << c.value << " format " << c.format;
}

}  // namespace
}  // namespace ravolin
