#include "output/ExpansionOutput.h"

#include <gtest/gtest.h>

#include <limits>
#include <new>
#include <optional>
#include <string>

#include "conversion/LineEnds.h"
#include "platform/core/Codec.h"

namespace ravolin {
namespace {

constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

// Three passes, one a range under a pass limit of 8 bytes; CP932 lacks the snowman of the middle one.
ExpansionInput smallInput() {
    ExpansionInput input;
    input.templateText = "N:A";
    input.loopCount = 3;
    input.counters[0] = {"N", 1, 1};
    input.arrays[0] = {"A", "赤\r\n☃"};
    return input;
}

// Many ranges: a lone CR ends every pass, so a CR LF forms across each join, and the only characters CP932
// lacks (a snowman, a stray byte) are in the first three passes.
ExpansionInput longInput() {
    ExpansionInput input;
    input.templateText = "N 名簿 A\r";
    input.loopCount = 100000;
    input.counters[0] = {"N", 2147483000, 7};
    input.arrays[0] = {"A", "☃\xff\r\n東京\r\n大阪", 3, kEndKeepLast};
    return input;
}

struct Written {
    OutputResult result;
    std::string bytes;
    std::size_t passesDone = 0;
    std::uint64_t bytesWritten = 0;
};

Written write(const ExpansionInput& input, OutputForm form, std::size_t passLimit) {
    Written out;
    OutputProgress progress;
    out.result = writeExpansion(
        input, form, passLimit,
        [&](std::string_view bytes) {
            out.bytes.append(bytes);
            return true;
        },
        &progress);
    out.passesDone = progress.passesDone;
    out.bytesWritten = progress.bytesWritten;
    return out;
}

TEST(writeExpansion, writesTheExpansionInEachEncodingAndLineEndOverAnyNumberOfRanges) {
    struct Case {
        OutputForm form;
        std::string small;  // smallInput() written in the form
    };
    const Case cases[] = {
        {{}, "1:赤\r\n2:☃\r\n3:"},
        {{.lfLineEnds = true}, "1:赤\n2:☃\n3:\n"},
        {{.cp932 = true}, "1:\x90\xd4\r\n2:?\r\n3:"},
        {{.cp932 = true, .lfLineEnds = true}, "1:\x90\xd4\n2:?\n3:\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cp932 " << c.form.cp932 << ", lf " << c.form.lfLineEnds);
        const Written small = write(smallInput(), c.form, 8);
        EXPECT_EQ(small.result.end, OutputEnd::Done);
        EXPECT_EQ(small.bytes, c.small);
        EXPECT_EQ(small.result.replacedCharacters, c.form.cp932 ? 1u : 0u);

        // The whole expansion converted at once is what the pieces add up to.
        std::string expected = ExpandTemplate(longInput());
        if (c.form.lfLineEnds) {
            LfLineEnds lineEnds;
            expected = lineEnds.convert(expected);
            expected += lineEnds.finish();
        }
        if (c.form.cp932) expected = utf8ToCp932(expected);
        const Written long_ = write(longInput(), c.form, 1 << 16);
        EXPECT_EQ(long_.result.end, OutputEnd::Done);
        EXPECT_TRUE(long_.bytes == expected) << long_.bytes.size() << " bytes, not " << expected.size();
        EXPECT_EQ(long_.result.replacedCharacters, c.form.cp932 ? 6u : 0u);
        EXPECT_EQ(long_.passesDone, 100000u);
        EXPECT_EQ(long_.bytesWritten, expected.size());
    }
}

// The header, the joins and the footer go through the same line-end conversion as the passes, also where a CR
// ends one piece of the output (the header, a pass) and the LF after it starts the next (the joiner, the footer).
TEST(writeExpansion, convertsTheShapesLineBreaksAsTheWholeOutputsAcrossAnyRange) {
    const OutputShape shapes[] = {{"[\r", "\n,\r", "\n]"}, {"INSERT\r\n", ",\r\n", ";"}, {"", "", ""}};
    for (const OutputShape& shape : shapes) {
        for (const std::int32_t loops : {0, 1, 400}) {
            ExpansionInput input;
            input.templateText = "N\r";
            input.loopCount = loops;
            input.counters[0] = {"N", 1, 1};
            input.shape = shape;
            for (const OutputForm form : {OutputForm{.lfLineEnds = true}, OutputForm{.cp932 = true}}) {
                SCOPED_TRACE(testing::Message() << shape.header << " " << loops << " passes, lf " << form.lfLineEnds);
                std::string expected = ExpandTemplate(input);
                if (form.lfLineEnds) {
                    LfLineEnds lineEnds;
                    expected = lineEnds.convert(expected);
                    expected += lineEnds.finish();
                }
                const Written written = write(input, form, 16);  // a range of a pass or two
                EXPECT_EQ(written.result.end, OutputEnd::Done);
                EXPECT_EQ(written.bytes, expected);
            }
        }
    }
}

TEST(writeExpansion, endsAtAFailingSinkACancelOrAPassOverTheLimit) {
    ExpansionInput large;
    large.templateText = "0123456789";
    large.loopCount = 3000000;  // 36 MB
    struct Case {
        const char* name;
        ExpansionInput input;
        OutputForm form;
        std::size_t passLimit;
        std::size_t capacity;  // the sink refuses a piece that would take it past this many bytes
        std::size_t cancelAt;  // the sink asks to stop once it holds this many
        OutputEnd end;
        std::optional<std::size_t> bytes;  // what the sink holds at the end, where that is one number
    };
    const Case cases[] = {
        {"a reader gone after 1 MiB", large, {}, 1 << 20, 1 << 20, kUnlimited, OutputEnd::SinkFailed, {}},
        {"the same in CP932", large, {.cp932 = true}, 1 << 20, 1 << 20, kUnlimited, OutputEnd::SinkFailed, {}},
        {"the final line break refused",
         smallInput(),
         {.lfLineEnds = true},
         64,
         14,
         kUnlimited,
         OutputEnd::SinkFailed,
         14},
        {"a cancel after the first piece", large, {.cp932 = true}, 1 << 20, kUnlimited, 1, OutputEnd::Cancelled, {}},
        {"a cancel with the last piece",
         smallInput(),
         {.lfLineEnds = true},
         64,
         kUnlimited,
         15,
         OutputEnd::Cancelled,
         15},
        {"a pass over the limit", large, {}, 9, kUnlimited, kUnlimited, OutputEnd::PassTooLarge, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OutputProgress progress;
        std::string held;
        bool calledAfterRefusal = false;
        bool refused = false;
        const OutputResult result = writeExpansion(
            c.input, c.form, c.passLimit,
            [&](std::string_view bytes) {
                calledAfterRefusal = calledAfterRefusal || refused;
                if (held.size() + bytes.size() > c.capacity) return !(refused = true);
                held.append(bytes);
                if (held.size() >= c.cancelAt) progress.cancel = true;
                return true;
            },
            &progress);
        EXPECT_EQ(result.end, c.end);
        EXPECT_FALSE(calledAfterRefusal);
        // A run stopped early writes at most the ranges already handed on.
        if (c.bytes) {
            EXPECT_EQ(held.size(), *c.bytes);
        } else {
            EXPECT_LE(held.size(), std::size_t{10} << 20);
        }
        EXPECT_EQ(progress.bytesWritten, held.size());
    }
}

TEST(writeExpansion, whatTheWritingThreadThrowsIsThrownToTheCaller) {
    EXPECT_THROW(
        writeExpansion(smallInput(), {.cp932 = true}, 8, [](std::string_view) -> bool { throw std::bad_alloc(); }),
        std::bad_alloc);
}

}  // namespace
}  // namespace ravolin
