#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "conversion/Escaping.h"
#include "platform/core/Codec.h"
#include "testsupport/core/TestFiles.h"

namespace ravolin {
namespace {

// Allocation failure on demand: once armed, the n-th allocation from then on throws std::bad_alloc.
std::atomic<long> g_allocationsBeforeFailure{-1};
std::atomic<bool> g_allocationFailed{false};

void failAllocation(long n) {
    g_allocationFailed = false;
    g_allocationsBeforeFailure = n;
}
// Whether the armed allocation failed; disarms.
bool allocationFailed() {
    g_allocationsBeforeFailure = -1;
    return g_allocationFailed;
}

}  // namespace
}  // namespace ravolin

void* operator new(std::size_t size) {
    if (ravolin::g_allocationsBeforeFailure >= 0 && ravolin::g_allocationsBeforeFailure.fetch_sub(1) == 0) {
        ravolin::g_allocationFailed = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
// GCC sees the malloc above and the free below as a mismatch wherever it inlines both.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop

namespace ravolin {
namespace {

using Loaded = Document;

Loaded loadBytes(std::string_view cp932) {
    Loaded loaded;
    loadSettingsBytes(cp932, loaded);
    return loaded;
}

Loaded defaults() { return loadBytes(""); }

TEST(LoadSettings, missingFileGivesTheDefaultsAndCreatesNothing) {
    test::TempDir dir;
    Loaded loaded;
    loadSettingsFile(dir.file("RavolinSetting.ini"), loaded);
    EXPECT_FALSE(std::filesystem::exists(dir.file("RavolinSetting.ini")));
    EXPECT_EQ(loaded.window.loopCount, 0);
    EXPECT_EQ(loaded.window.beep, 0);
    EXPECT_EQ(loaded.window.tray, 0);
    EXPECT_EQ(loaded.window.autoSave, 0);
    EXPECT_EQ(loaded.window.font, "");
    EXPECT_EQ(loaded.window.templateText, "");
    const char* counterTokens[] = {"＜置換1＞", "＜置換2＞", "＜置換3＞", "＜置換4＞", "＜置換5＞"};
    for (std::size_t i = 0; i < kCounterCount; ++i) {
        EXPECT_EQ(loaded.record.counters[i].token, counterTokens[i]);
        EXPECT_EQ(loaded.record.counters[i].initialValue, 0);
        EXPECT_EQ(loaded.record.counters[i].increment, 1);
    }
    const char* arrayTokens[] = {"＜配列1＞", "＜配列2＞", "＜配列3＞", "＜配列4＞", "＜配列5＞",
                                 "＜配列6＞", "＜配列7＞", "＜配列8＞", "＜配列9＞"};
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        EXPECT_EQ(loaded.record.arrays[i].token, arrayTokens[i]);
        EXPECT_EQ(loaded.record.arrays[i].valuesText, "");
    }
}

TEST(LoadSettings, handWrittenFileLoadsValueByValue) {
    const std::string file =
        "; written by hand\n"
        "[common]\n"
        "AUTOSAVE = 1\n"
        "beep=2\n"
        "Loop=-5\n"
        "Font= -13, 0,0,0,700,0,0,0,128,0,0,0,0,\x82\x6c\x82\x72\n"
        "[Edit]\n"
        "Origin=\",\"\n"
        "[Numerical]\n"
        "Text2=\n"
        "Init1=12abc\n"
        "Inc3=-3\n"
        "Init1=99\n"
        "[Arrangement]\n"
        "Text1=\x82\xa0\x82\xa2\n"
        "Value3=red,green,blue\n"
        "Value4=a,,b,\n"
        "[Numerical]\n"
        "Init4=8\n";
    const Loaded loaded = loadBytes(file);
    EXPECT_EQ(loaded.window.autoSave, 1);
    EXPECT_EQ(loaded.window.beep, 2);  // a flag is kept as read
    EXPECT_EQ(loaded.window.tray, 0);
    EXPECT_EQ(loaded.window.loopCount, -5);
    EXPECT_EQ(loaded.window.font, "-13, 0,0,0,700,0,0,0,128,0,0,0,0,ＭＳ");  // parsed later, by the window
    EXPECT_EQ(loaded.window.templateText, "\r\n");                           // one comma: two empty lines
    EXPECT_EQ(loaded.record.counters[0].token, "＜置換1＞");
    EXPECT_EQ(loaded.record.counters[1].token, "");  // present but empty is not the default
    EXPECT_EQ(loaded.record.counters[0].initialValue, 12);
    EXPECT_EQ(loaded.record.counters[2].increment, -3);
    EXPECT_EQ(loaded.record.counters[3].initialValue, 0);  // only the first [Numerical] counts
    EXPECT_EQ(loaded.record.arrays[0].token, "あい");
    EXPECT_EQ(loaded.record.arrays[2].valuesText, "red\r\ngreen\r\nblue");
    EXPECT_EQ(loaded.record.arrays[3].valuesText, "a\r\n\r\nb\r\n");
    EXPECT_EQ(loaded.record.arrays[1].token, "＜配列2＞");
}

TEST(LoadSettings, longTemplateIsCutInFileFormBeforeCommasBecomeLineBreaks) {
    std::string origin;
    while (origin.size() < 5000) origin += "ab,";
    origin.resize(5000);
    const Loaded loaded = loadBytes("[Edit]\r\nOrigin=" + origin + "\r\n");
    std::string expected;
    for (char c : origin.substr(0, 4095)) expected += c == ',' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(loaded.window.templateText, expected);

    std::string japanese;
    for (int i = 0; i < 2500; ++i) japanese += "\x82\xa0";  // 5000 bytes; byte 4095 splits a character
    std::string kept;
    for (int i = 0; i < 2047; ++i) kept += "あ";
    EXPECT_EQ(loadBytes("[Edit]\r\nOrigin=" + japanese).window.templateText, kept);
}

TEST(LoadSettings, longTokensAreCutToTheirField) {
    const Loaded loaded = loadBytes(
        "[Numerical]\r\nText1=0123456789ABCDEFGH\r\n"
        "[Arrangement]\r\nText1=\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\r\n");
    EXPECT_EQ(loaded.record.counters[0].token, "0123456789ABCDE");
    EXPECT_EQ(loaded.record.arrays[0].token, "あああああああ");  // 14 bytes: the eighth would split
}

TEST(fitToken, keepsWhatFifteenCp932BytesHold) {
    struct Case {
        std::string token, fitted;
        bool shortened;
    };
    const Case cases[] = {
        {"", "", false},
        {"＜置換1＞", "＜置換1＞", false},
        {"0123456789ABCDE", "0123456789ABCDE", false},
        {"0123456789ABCDEF", "0123456789ABCDE", true},
        {"aあああああああ", "aあああああああ", false},  // exactly 15 bytes
        {"ああああああああ", "あああああああ", true},   // 16 bytes: no half character
        {"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀ", "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿ", true},
        {"a\r\nb", "ab", true},  // a token has no line to break
        // Two bytes in UTF-8 as in CP932.
        {"aαβγδεζη", "aαβγδεζη", false},
        {"ЖЗИЙКЛМН", "ЖЗИЙКЛМ", true},
        {"§×°§×°§×", "§×°§×°§", true},
    };
    for (const Case& c : cases) {
        bool shortened = !c.shortened;
        EXPECT_EQ(fitToken(c.token, &shortened), c.fitted) << c.token;
        EXPECT_EQ(shortened, c.shortened) << c.token;
    }
}

class WriteSettingsTest : public ::testing::Test {
protected:
    std::string path() const { return m_dir.file("RavolinSetting.ini"); }
    Loaded reload() const {
        Loaded loaded;
        loadSettingsFile(path(), loaded);
        return loaded;
    }
    SaveResult save(const Loaded& values) const { return writeSettingsFile(path(), values); }

    test::TempDir m_dir;
};

TEST_F(WriteSettingsTest, fileFromNothingHoldsSectionsAndKeysInTableOrder) {
    Loaded values = defaults();
    values.window.tray = 1;
    values.window.font = "-13,0,0,0,700,0,0,0,128,0,0,0,0,ＭＳ Ｐゴシック";
    const SaveResult result = save(values);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.adjustments.empty());
    EXPECT_EQ(cp932ToUtf8(test::readFile(path())),
              "[Common]\r\nLoop=0\r\nTray=1\r\nBeep=0\r\nAutoSave=0\r\n"
              "Font=-13,0,0,0,700,0,0,0,128,0,0,0,0,ＭＳ Ｐゴシック\r\n"
              "[Edit]\r\nOrigin=\r\n"
              "[Numerical]\r\n"
              "Text1=＜置換1＞\r\nInit1=0\r\nInc1=1\r\nText2=＜置換2＞\r\nInit2=0\r\nInc2=1\r\n"
              "Text3=＜置換3＞\r\nInit3=0\r\nInc3=1\r\nText4=＜置換4＞\r\nInit4=0\r\nInc4=1\r\n"
              "Text5=＜置換5＞\r\nInit5=0\r\nInc5=1\r\n"
              "[Arrangement]\r\n"
              "Text1=＜配列1＞\r\nValue1=\r\nText2=＜配列2＞\r\nValue2=\r\nText3=＜配列3＞\r\nValue3=\r\n"
              "Text4=＜配列4＞\r\nValue4=\r\nText5=＜配列5＞\r\nValue5=\r\nText6=＜配列6＞\r\nValue6=\r\n"
              "Text7=＜配列7＞\r\nValue7=\r\nText8=＜配列8＞\r\nValue8=\r\nText9=＜配列9＞\r\nValue9=\r\n");
}

TEST_F(WriteSettingsTest, everyValueFormSurvivesASaveAndALoad) {
    Loaded values = defaults();
    values.window = {
        -5, 2, 1, 7, "\r\nfirst\r\n\r\n  indented  \r\n\"quoted\"\r\n", "-16,0,0,0,400,0,0,0,128,0,0,0,0,MS Gothic",
        {}};
    values.record.counters[0] = {"NN", -2147483647 - 1, -3, {2, 5, kFormatBinary, 64, 1}};
    values.record.counters[1] = {"", 0, 0, {}};
    values.record.counters[4] = {"＜番号＞", 2147483647, 1, {-1, 2147483647, 9, -3, 2}};
    values.record.counters[3] = {
        "D",
        0,
        1,
        {1, 0, 0, 0, 0, kKindDate, "2027/04/01 09:00", kUnitBusinessDay, "12/29 2028/01/05", "ggge年m月d日"}};
    // A decimal counter in a Japanese format; an empty text is not the default.
    values.record.counters[2].style = {.format = kFormatAiueo, .kind = kKindDecimal, .start = "", .step = "-0.125"};
    values.record.counters[2].style.places = 9;
    values.record.arrays[0] = {"AA", "red\r\n\r\nblue\r\n", {4, kEndKeepLast, kOrderShuffled, "42", kEscapeSqlLiteral}};
    values.record.arrays[1] = {"", "", {}};
    values.record.arrays[8] = {"'q'", "\r\n", {-2147483647 - 1, -1}};
    ASSERT_TRUE(save(values).ok);
    const Loaded loaded = reload();
    EXPECT_EQ(loaded.window.loopCount, -5);
    EXPECT_EQ(loaded.window.beep, 2);
    EXPECT_EQ(loaded.window.tray, 1);
    EXPECT_EQ(loaded.window.autoSave, 7);
    EXPECT_EQ(loaded.window.templateText, values.window.templateText);
    EXPECT_EQ(loaded.window.font, values.window.font);
    for (std::size_t i = 0; i < kCounterCount; ++i) {
        EXPECT_EQ(loaded.record.counters[i].token, values.record.counters[i].token) << i;
        EXPECT_EQ(loaded.record.counters[i].initialValue, values.record.counters[i].initialValue) << i;
        EXPECT_EQ(loaded.record.counters[i].increment, values.record.counters[i].increment) << i;
        EXPECT_EQ(loaded.record.counters[i].style, values.record.counters[i].style) << i;
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        EXPECT_EQ(loaded.record.arrays[i].token, values.record.arrays[i].token) << i;
        EXPECT_EQ(loaded.record.arrays[i].valuesText, values.record.arrays[i].valuesText) << i;
        EXPECT_EQ(loaded.record.arrays[i].style, values.record.arrays[i].style) << i;
    }
    const std::string file = test::readFile(path());
    EXPECT_NE(file.find("\r\nOrigin=,first,,  indented  ,\"quoted\",\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nInc1=-3\r\n"), std::string::npos);
    for (const char* line : {"\r\nFormat3=12\r\n", "\r\nKind3=2\r\n", "\r\nStep3=-0.125\r\n", "\r\nPlaces3=9\r\n",
                             "\r\nOrder1=1\r\n", "\r\nSeed1=42\r\n", "\r\nEscape1=2\r\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
}

TEST_F(WriteSettingsTest, commasComeBackAsTypedWhileTheWindowsKeysStayAsTheyWere) {
    struct Case {
        std::string text;
        std::string windowsValue;  // what the Windows program reads: line breaks as commas
        bool exact;                // the exact form is written beside it
        std::string loaded;
    };
    const Case cases[] = {
        {"x,y", "x,y", true, "x,y"},
        {"INSERT INTO t VALUES (＜置換1＞, '＜配列1＞');", "INSERT INTO t VALUES (＜置換1＞, '＜配列1＞');", true,
         "INSERT INTO t VALUES (＜置換1＞, '＜配列1＞');"},
        {"Tokyo, Japan\r\nOsaka, Japan\r\n", "Tokyo, Japan,Osaka, Japan,", true, "Tokyo, Japan\r\nOsaka, Japan\r\n"},
        {"trailing,", "trailing,", true, "trailing,"},
        {"100%,\r\n%0A", "100%,,%0A", true, "100%,\r\n%0A"},
        {"a\nb\rc\r\n", "a,b,c,", false, "a\r\nb\r\nc\r\n"},  // stray breaks: CR LF, no comma of its own
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Loaded values = defaults();
        values.window.templateText = c.text;
        values.record.arrays[2].valuesText = c.text;
        ASSERT_TRUE(save(values).ok);
        const std::string file = cp932ToUtf8(test::readFile(path()));
        EXPECT_NE(file.find("\r\nOrigin=" + c.windowsValue + "\r\n"), std::string::npos) << file;
        EXPECT_NE(file.find("\r\nValue3=" + c.windowsValue + "\r\n"), std::string::npos) << file;
        EXPECT_EQ(file.find("OriginExact=") != std::string::npos, c.exact);
        EXPECT_EQ(file.find("Value3Exact=") != std::string::npos, c.exact);
        const Loaded loaded = reload();
        EXPECT_EQ(loaded.window.templateText, c.loaded);
        EXPECT_EQ(loaded.record.arrays[2].valuesText, c.loaded);
    }
}

TEST_F(WriteSettingsTest, exactFormGivesWayWhereAnotherProgramChangedTheText) {
    Loaded values = defaults();
    values.window.templateText = "a, b";
    ASSERT_TRUE(save(values).ok);
    std::string file = test::readFile(path());
    // The Windows program saves a new template and leaves our key alone.
    const std::size_t at = file.find("Origin=a, b");
    ASSERT_NE(at, std::string::npos);
    file.replace(at, 11, "Origin=c,d");
    test::writeFile(path(), file);
    EXPECT_EQ(reload().window.templateText, "c\r\nd");
    // A duplicate of the exact form goes with the first: left behind, it would be read at the next load.
    test::writeFile(path(), "[Edit]\r\nOrigin=x,y\r\nOriginExact=u,v\r\nOriginExact=x,y\r\n");
    values.window.templateText = "x\r\ny";
    ASSERT_TRUE(save(values).ok);
    EXPECT_EQ(test::readFile(path()).find("Exact"), std::string::npos) << test::readFile(path());
    EXPECT_EQ(reload().window.templateText, "x\r\ny");
    // An exact form this program didn't write is ignored too.
    test::writeFile(path(), "[Edit]\r\nOrigin=x,y\r\nOriginExact=x%ZZy\r\n");
    EXPECT_EQ(reload().window.templateText, "x\r\ny");
}

TEST_F(WriteSettingsTest, reportsEveryTextTheFileCannotGiveBack) {
    Loaded values = defaults();
    values.record.counters[0].token = "0123456789ABCDEFGH";
    values.record.arrays[1].token = "😀";
    values.window.templateText = std::string(5000, 't');
    values.record.counters[2].style.pattern = "yyyy🗓m";
    const SaveResult result = save(values);
    ASSERT_TRUE(result.ok) << result.error;
    using Kind = TextAdjustment::Kind;
    const std::vector<TextAdjustment> expected = {{StoredText::Template, 0, Kind::Shortened},
                                                  {StoredText::CounterToken, 0, Kind::Shortened},
                                                  {StoredText::CounterStyleText, 2, Kind::Substituted},
                                                  {StoredText::ArrayToken, 1, Kind::Substituted}};
    EXPECT_EQ(result.adjustments, expected);
    const Loaded loaded = reload();
    EXPECT_EQ(loaded.record.counters[0].token, "0123456789ABCDE");
    EXPECT_EQ(loaded.record.arrays[1].token, "?");
    EXPECT_NE(test::readFile(path()).find(std::string(5000, 't')), std::string::npos);  // the file keeps it all
}

// The file keeps a text past the read limit, but a load reads only its start: the save after that cuts it.
TEST_F(WriteSettingsTest, everySaveThatCutsAStoredTextSaysSo) {
    using Kind = TextAdjustment::Kind;
    Loaded values = defaults();
    values.window.templateText = std::string(5000, 't');
    values.record.arrays[4].valuesText = std::string(4096, 'v');
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(save(values).ok);
        const SaveResult saved = save(reload());
        ASSERT_TRUE(saved.ok) << saved.error;
        const std::vector<TextAdjustment> expected = {{StoredText::Template, 0, Kind::StoredTailDropped},
                                                      {StoredText::ArrayValues, 4, Kind::StoredTailDropped}};
        EXPECT_EQ(saved.adjustments, expected);
        EXPECT_EQ(reload().window.templateText, std::string(4095, 't'));
        EXPECT_TRUE(save(reload()).adjustments.empty());  // nothing left to cut
    }
}

// A save never writes what the next load would refuse; at the cap itself it still does.
TEST_F(WriteSettingsTest, aSaveThatWouldPassTheReadCapFailsAndLeavesTheFile) {
    Loaded values = defaults();
    values.window.loopCount = 9;
    ASSERT_TRUE(save(values).ok);
    const std::string ours = test::readFile(path());
    std::string file = "[Other]\r\nx=\r\n" + ours;
    file.insert(11, kSettingsFileMaxBytes - 1 - file.size(), 'y');  // one byte below the cap
    test::writeFile(path(), file);
    struct Case {
        std::int32_t loopCount;  // one digit more than the file has grows it by a byte
        bool saved;
    };
    const Case cases[] = {{10, true}, {100, false}, {-10, false}, {0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loopCount);
        const std::string before = test::readFile(path());
        values.window.loopCount = c.loopCount;
        const SaveResult result = save(values);
        EXPECT_EQ(result.ok, c.saved);
        if (c.saved) {
            EXPECT_LE(test::readFile(path()).size(), kSettingsFileMaxBytes);
            EXPECT_EQ(reload().window.loopCount, c.loopCount);
        } else {
            EXPECT_EQ(result.failedStep, SaveStep::TooLarge);
            EXPECT_EQ(result.errorCode, kFileTooLargeError);
            EXPECT_TRUE(test::readFile(path()) == before);
        }
    }
}

// Whichever allocation fails, a load gives the defaults and ENOMEM, and a save fails with ENOMEM and leaves the
// file as it was (or, where the failure came after the file was replaced, succeeds): never an uncaught
// std::bad_alloc.
TEST_F(WriteSettingsTest, runningOutOfMemoryAnywhereFailsTheLoadOrTheSaveCleanly) {
    Loaded values = defaults();
    values.window.templateText = "a,b";
    values.record.arrays[0].valuesText = "x\r\ny";
    ASSERT_TRUE(save(values).ok);
    const std::string before = test::readFile(path());
    values.window.loopCount = 5;
    ASSERT_TRUE(save(values).ok);
    const std::string after = test::readFile(path());
    const std::string file = path();
    for (long n = 0;; ++n) {
        SCOPED_TRACE(n);
        test::writeFile(file, before);
        Loaded loaded;
        failAllocation(n);
        const int loadError = loadSettingsFile(file, loaded);
        const bool loadFailed = allocationFailed();
        SaveResult saved;
        failAllocation(n);
        saved = writeSettingsFile(file, values);
        const bool saveFailed = allocationFailed();
        if (!loadFailed && !saveFailed) break;
        if (loadFailed) {
            EXPECT_EQ(loadError, ENOMEM);
            EXPECT_EQ(loaded.window, defaults().window);
            EXPECT_EQ(loaded.record, defaults().record);
        }
        if (saveFailed) {
            EXPECT_EQ(saved.errorCode, saved.ok ? 0 : ENOMEM);
            EXPECT_TRUE(test::readFile(file) == (saved.ok ? after : before));
        }
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path()), {}), 1);  // no leftovers
}

// The 4095-byte read limit at its edge, in single bytes and with a double-byte character across it.
TEST_F(WriteSettingsTest, textsAtTheReadLimitComeBackWholeOrAreReportedShortened) {
    struct Case {
        std::string text;
        std::string loaded;
        bool shortened;
    };
    const std::string a4093(4093, 'a');
    const Case cases[] = {
        {std::string(4094, 'x'), std::string(4094, 'x'), false},
        {std::string(4095, 'x'), std::string(4095, 'x'), false},
        {std::string(4096, 'x'), std::string(4095, 'x'), true},
        {a4093 + "あ", a4093 + "あ", false},              // 4095 bytes
        {a4093 + "あb", a4093 + "あ", true},              // 4096
        {a4093 + "aあ", a4093 + "a", true},               // the character would straddle byte 4095
        {a4093 + "\r\n\r\n", a4093 + "\r\n\r\n", false},  // a line break is one byte (",") in the file
        {a4093 + "\r\n\r\n\r\n", a4093 + "\r\n\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.size());
        Loaded values = defaults();
        values.window.templateText = c.text;
        values.record.arrays[0].valuesText = c.text;
        const SaveResult result = save(values);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.adjustments.size(), c.shortened ? 2u : 0u);
        const Loaded loaded = reload();
        // Compared as booleans: a failure would print 4 KB texts.
        EXPECT_TRUE(loaded.window.templateText == c.loaded) << loaded.window.templateText.size();
        EXPECT_TRUE(loaded.record.arrays[0].valuesText == c.loaded) << loaded.record.arrays[0].valuesText.size();
    }
}

TEST_F(WriteSettingsTest, unknownContentSurvivesByteForByte) {
    ASSERT_TRUE(save(defaults()).ok);
    std::string handEdited = test::readFile(path());
    auto replace = [&handEdited](const std::string& from, const std::string& to) {
        const std::size_t at = handEdited.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        handEdited.replace(at, from.size(), to);
    };
    replace("[Common]\r\n", "junk before=1\n\x80\xFF\r\n; comment\r[Common]   \r\nUnknown = \"x\" \n\r\n");
    replace("Loop=0\r\n", "  lOOp =  0 \n");
    replace("[Numerical]\r\n", "[Other]\r\nText1=keep\r\n\x1A\r\n[numerical]\r\n#not a comment\r\n");
    handEdited.resize(handEdited.size() - 2);  // no line end after the last line
    test::writeFile(path(), handEdited);

    const Loaded loaded = reload();
    ASSERT_TRUE(save(loaded).ok);
    EXPECT_EQ(test::readFile(path()), handEdited);  // the same values rewrite nothing

    Loaded changed = loaded;
    changed.window.loopCount = 3;
    changed.record.counters[4].increment = 2;
    ASSERT_TRUE(save(changed).ok);
    std::string expected = handEdited;
    expected.replace(expected.find("  lOOp =  0 \n"), 13, "lOOp=3\r\n");
    expected.replace(expected.find("Inc5=1"), 6, "Inc5=2");
    EXPECT_EQ(test::readFile(path()), expected);
}

TEST_F(WriteSettingsTest, styleKeysAreWrittenOnlyOnceUsedAndKeptOnceThere) {
    // A file with one key of each kind already there, at its default or not, and a value out of range.
    test::writeFile(path(),
                    "[Numerical]\r\nFormat2=0\r\nWidth3=99\r\nPattern2=yyyy/mm/dd\r\nUnit3=9\r\n"
                    "[Arrangement]\r\nEnd9= 7\r\n[Common]\r\nLoop=1\r\n");
    Loaded values = reload();
    EXPECT_EQ(values.record.counters[1].style, CounterStyle{});
    EXPECT_EQ(values.record.counters[2].style.width, 99);  // kept as stored; the expansion reads it as 64
    EXPECT_EQ(values.record.arrays[8].style.end, 7);
    values.record.counters[0].style = {.repeat = 3,
                                       .period = -2,
                                       .format = kFormatLettersUpper,
                                       .width = 8,
                                       .fill = 1,
                                       .kind = kKindDate,
                                       .start = "2027/04/01",
                                       .unit = kUnitBusinessDay,
                                       .daysOff = "12/29 12/30",
                                       .pattern = "m月d日(aaa)"};
    values.record.arrays[0].style = {.repeat = 0, .end = kEndCycle};
    values.record.arrays[8].style = {};
    ASSERT_TRUE(save(values).ok);
    const std::string file = cp932ToUtf8(test::readFile(path()));
    struct Case {
        const char* line;
        bool present;
    };
    const Case cases[] = {
        {"\r\nRepeat1=3\r\n", true},
        {"\r\nPeriod1=-2\r\n", true},
        {"\r\nFormat1=6\r\n", true},
        {"\r\nWidth1=8\r\n", true},
        {"\r\nFill1=1\r\n", true},
        {"\r\nFormat2=0\r\n", true},
        {"\r\nWidth3=99\r\n", true},
        {"\r\nEnd1=1\r\n", true},
        {"\r\nEnd9=0\r\n", true},
        {"Repeat2=", false},
        {"Fill2=", false},
        {"End2=", false},
        {"\r\nKind1=1\r\n", true},
        {"\r\nStart1=2027/04/01\r\n", true},
        {"\r\nUnit1=7\r\n", true},
        {"\r\nOff1=12/29 12/30\r\n", true},
        {"\r\nPattern1=m月d日(aaa)\r\n", true},
        {"\r\nPattern2=yyyy/mm/dd\r\n", true},
        {"\r\nUnit3=9\r\n", true},
        {"Kind2=", false},
        {"Start2=", false},
        {"Off2=", false},
        {"Unit2=", false},
        {"Pattern3=", false},
        // The keys of decimals, random values and list orders, at their defaults: not written.
        {"Step2=", false},
        {"Places2=", false},
        {"Min2=", false},
        {"Max2=", false},
        {"Seed2=", false},
        {"Unique2=", false},
        {"Order2=", false},
    };
    for (const Case& c : cases) EXPECT_EQ(file.find(c.line) != std::string::npos, c.present) << c.line;
    EXPECT_NE(file.find("\r\nRepeat1=0\r\n"), std::string::npos);
    EXPECT_EQ(reload().record, values.record);
}

// The output's shape goes into [Common] in the exact form, each key only once it leaves its default or where the
// file already has it; blanks at either end, commas, "%" and every line break come back as they were.
TEST_F(WriteSettingsTest, outputShapeIsStoredInTheExactFormOnlyOnceUsed) {
    using Kind = TextAdjustment::Kind;
    struct Case {
        OutputShape shape;
        std::vector<std::string> lines;   // in [Common], as the file holds them (UTF-8)
        std::vector<std::string> absent;  // keys not written
        std::vector<TextAdjustment> adjustments;
    };
    const Case cases[] = {
        {{"INSERT INTO t VALUES\r\n", ",\r\n", ";\r\n"},
         {"Header=INSERT INTO t VALUES%0D%0A", "Joiner=,%0D%0A", "Footer=;%0D%0A"},
         {},
         {}},
        {{"100% ", ", ", ""}, {"Header=\"100%25 \"", "Joiner=\", \""}, {"Footer="}, {}},
        {{"", "", ""}, {"Joiner="}, {"Header=", "Footer="}, {}},
        {{"", "\t", "\r\r\n\n"}, {"Joiner=\"\t\"", "Footer=%0D%0D%0A%0A"}, {"Header="}, {}},
        {{"%0A", "\r\n", "「表」😀"},
         {"Header=%250A", "Footer=「表」?"},
         {"Joiner="},
         {{StoredText::Footer, 0, Kind::Substituted}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.front());
        std::filesystem::remove(path());
        Loaded values = defaults();
        values.window.shape = c.shape;
        const SaveResult saved = save(values);
        ASSERT_TRUE(saved.ok) << saved.error;
        EXPECT_EQ(saved.adjustments, c.adjustments);
        const std::string file = cp932ToUtf8(test::readFile(path()));
        const std::string common = file.substr(0, file.find("[Edit]"));
        for (const std::string& line : c.lines)
            EXPECT_NE(common.find("\r\n" + line + "\r\n"), std::string::npos) << line;
        for (const std::string& key : c.absent) EXPECT_EQ(file.find("\n" + key), std::string::npos) << key;
        if (c.adjustments.empty()) {
            EXPECT_EQ(reload().window.shape, c.shape);
        }
    }
    // Once there, the keys stay at their defaults too; a value this program didn't write reads as it stands.
    Loaded values = defaults();
    values.window.shape = cases[0].shape;
    ASSERT_TRUE(save(values).ok);
    values.window.shape = {};
    ASSERT_TRUE(save(values).ok);
    const std::string file = test::readFile(path());
    for (const char* line : {"\r\nHeader=\r\n", "\r\nJoiner=%0D%0A\r\n", "\r\nFooter=\r\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
    EXPECT_EQ(loadBytes("[Common]\r\nJoiner=%ZZ,\r\nFooter=\"]\"\r\n").window.shape, (OutputShape{"", "%ZZ,", "]"}));
}

TEST_F(WriteSettingsTest, writesIntoAFileThatLacksSomeKeys) {
    test::writeFile(path(), "[Numerical]\r\nInit1=4\r\nInit1=9\r\n\r\n[Mine]\r\nx=1");
    Loaded values = reload();
    EXPECT_EQ(values.record.counters[0].initialValue, 4);
    values.record.counters[0].initialValue = 5;
    ASSERT_TRUE(save(values).ok);
    const std::string file = test::readFile(path());
    const std::string head = "[Numerical]\r\nInit1=5\r\nInit1=9\r\nText1=\x81\x83\x92\x75\x8a\xb7\x31\x81\x84\r\n";
    EXPECT_EQ(file.substr(0, head.size()), head);
    EXPECT_NE(file.find("\r\n\r\n[Mine]\r\nx=1\r\n[Common]\r\nLoop=0\r\n"), std::string::npos);
    EXPECT_EQ(reload().record.counters[0].initialValue, 5);
}

}  // namespace
}  // namespace ravolin
