#include "conversion/LineEnds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ravolin {
namespace {

TEST(LfLineEnds, crLfBecomesLfAndTheTextEndsWithOneLineBreakWhereverThePiecesSplit) {
    struct Case {
        std::string text;
        std::string lf;
    };
    const Case cases[] = {
        {"", ""},
        {"a", "a\n"},
        {"a\r\nb", "a\nb\n"},
        {"a\r\n", "a\n"},        // already ends with a line break
        {"a\r\n\r\n", "a\n\n"},  // an empty last line is kept
        {"a\rb\r", "a\rb\r\n"},  // lone CRs are text
        {"\r\r\n\n", "\r\n\n"},
        {"1-red\r\n2-blue", "1-red\n2-blue\n"},
    };
    for (const Case& c : cases) {
        // Every way of cutting the text in two, and one piece a byte.
        std::vector<std::vector<std::string>> splits;
        for (std::size_t cut = 0; cut <= c.text.size(); ++cut)
            splits.push_back({c.text.substr(0, cut), c.text.substr(cut)});
        std::vector<std::string> bytes;
        for (const char ch : c.text) bytes.emplace_back(1, ch);
        splits.push_back(bytes);
        for (const auto& pieces : splits) {
            LfLineEnds converter;
            std::string out;
            for (const std::string& piece : pieces) out += converter.convert(piece);
            out += converter.finish();
            EXPECT_EQ(out, c.lf) << "text \"" << c.text << "\" in " << pieces.size() << " pieces";
        }
    }
}

}  // namespace
}  // namespace ravolin
