#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "conversion/Expansion.h"
#include "conversion/RandomValues.h"
#include "conversion/TextHelpers.h"
#include "platform/core/Codec.h"
#include "settings/SettingsStore.h"
#include "settings/StoredExpansion.h"
#include "tests/cli/ExpandProcess.h"

namespace ravolin {
namespace {

// The example of the template expansion, with a Japanese token and values, in the file's CP932.
const std::string kExampleFile =
    "[Common]\r\nLoop=3\r\n"
    "[Edit]\r\nOrigin=NN-AA-\x81\x83\x94z\x97\xf1\x32\x81\x84\r\n"  // NN-AA-＜配列2＞
    "[Numerical]\r\nText1=NN\r\nInit1=1\r\n"
    "[Arrangement]\r\nText1=AA\r\nValue1=red,blue\r\nValue2=\x90\xd4,\x90\xc2\r\n";  // 赤,青
const std::string kExampleOutput = "1-red-赤\r\n2-blue-青\r\n3--";

// What the window expands after loading the same file: its controls show exactly the loaded values.
std::string windowOutput(const std::string& path) {
    Document document;
    loadSettingsFile(path, document);
    const WindowSettings& window = document.window;
    const Settings& record = document.record;
    ExpansionInput input;
    input.templateText = window.templateText;
    input.loopCount = window.loopCount;
    for (std::size_t i = 0; i < kCounterCount; ++i) {
        input.counters[i] = {record.counters[i].token, record.counters[i].initialValue, record.counters[i].increment};
    }
    for (std::size_t i = 0; i < kArrayCount; ++i)
        input.arrays[i] = {record.arrays[i].token, record.arrays[i].valuesText};
    return ExpandTemplate(input);
}

// Inside a child about to run the tool: makes system call `call` fail with `error`, every time or, with
// `firstArgument` set, when its first argument is that.
void failSystemCall(long call, int error, long firstArgument = -1) {
    std::vector<sock_filter> program = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<std::uint32_t>(call), 0,
                 static_cast<std::uint8_t>(firstArgument < 0 ? 1 : 3)),
    };
    if (firstArgument >= 0) {
        program.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])));
        program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<std::uint32_t>(firstArgument), 0, 1));
    }
    program.push_back(
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<std::uint32_t>(error) & SECCOMP_RET_DATA)));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    const sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) != 0)
        _exit(126);
}

class ExpandCliTest : public ::testing::Test {
protected:
    std::string file(const std::string& name, const std::string& content) const {
        test::writeFile(m_dir.file(name), content);
        return m_dir.file(name);
    }
    test::ExpandRun expand(std::vector<std::string> args) const {
        return test::ExpandProcess(std::move(args), m_dir.path()).run();
    }
    struct Success {
        std::vector<std::string> args;
        std::string out;
        std::string err = "";
    };
    // Runs each case, with `settings` after its arguments when given: exit 0, exactly its output and messages.
    template <std::size_t N>
    void expectSuccesses(const Success (&cases)[N], const std::string& settings = "") const {
        for (const Success& c : cases) {
            std::vector<std::string> args = c.args;
            if (!settings.empty()) args.push_back(settings);
            const test::ExpandRun run = expand(args);
            const std::string what = testing::PrintToString(c.args);
            EXPECT_EQ(run.exitCode, 0) << what;
            EXPECT_EQ(run.out, c.out) << what;
            EXPECT_EQ(run.err, c.err) << what;
        }
    }

    test::TempDir m_dir;
};

TEST_F(ExpandCliTest, writesTheExpansionAsUtf8OrCp932) {
    const std::string path = file("example.ini", kExampleFile);
    const test::ExpandRun utf8 = expand({path});
    EXPECT_EQ(utf8.exitCode, 0);
    EXPECT_EQ(utf8.out, kExampleOutput);
    EXPECT_EQ(utf8.out, windowOutput(path));
    EXPECT_EQ(utf8.err, "");

    const test::ExpandRun cp932 = expand({"--cp932", path});
    EXPECT_EQ(cp932.exitCode, 0);
    EXPECT_EQ(cp932.out, "1-red-\x90\xd4\r\n2-blue-\x90\xc2\r\n3--");
    EXPECT_EQ(cp932.err, "");
}

TEST_F(ExpandCliTest, longRunEqualsTheWindowsOutput) {
    // Enough passes to be written in several pieces, with array lines and counter wrap-around across them.
    std::string values;
    for (int i = 0; i < 1500; ++i) values += std::to_string(i) + (i % 7 ? "," : ",,");
    const std::string path = file("long.ini",
                                  "[Common]\r\nLoop=300000\r\n"
                                  "[Edit]\r\nOrigin=<N>|<M>|AA|BB|AA,\r\n"
                                  "[Numerical]\r\nText1=<N>\r\nInit1=2147483000\r\nText2=<M>\r\nInit2=5\r\nInc2=-7\r\n"
                                  "[Arrangement]\r\nText1=AA\r\nValue1=" +
                                      values.substr(0, 4000) + "\r\nText2=BB\r\nValue2=x,AA,y\r\n");
    const test::ExpandRun run = expand({path});
    EXPECT_EQ(run.exitCode, 0);
    const std::string expected = windowOutput(path);
    ASSERT_GT(expected.size(), 4u << 20);  // beyond the size of one piece
    EXPECT_TRUE(run.out == expected) << "output differs; sizes " << run.out.size() << " and " << expected.size();
}

TEST_F(ExpandCliTest, namedFileThatCannotBeReadIsAnError) {
    struct Case {
        std::string path, reason;
    };
    const Case cases[] = {{m_dir.file("missing.ini"), "No such file or directory"}, {m_dir.path(), "Is a directory"}};
    for (const Case& c : cases) {
        const test::ExpandRun run = expand({c.path});
        EXPECT_EQ(run.exitCode, 2) << c.path;
        EXPECT_EQ(run.out, "") << c.path;
        EXPECT_EQ(run.err, "ravolin-expand: \"" + c.path + "\": cannot read the settings file: " + c.reason + "\n");
    }
}

TEST_F(ExpandCliTest, defaultFileInTheWorkingDirectory) {
    const test::ExpandRun withoutFile = expand({});  // the defaults: a loop count of 0
    EXPECT_EQ(withoutFile.exitCode, 0);
    EXPECT_EQ(withoutFile.out, "");
    EXPECT_EQ(withoutFile.err, "");

    file("RavolinSetting.ini", kExampleFile);
    const test::ExpandRun withFile = expand({});
    EXPECT_EQ(withFile.exitCode, 0);
    EXPECT_EQ(withFile.out, kExampleOutput);

    std::filesystem::remove(m_dir.file("RavolinSetting.ini"));
    std::filesystem::create_directory(m_dir.file("RavolinSetting.ini"));
    const test::ExpandRun unreadable = expand({});
    EXPECT_EQ(unreadable.exitCode, 2);
    EXPECT_EQ(unreadable.err,
              "ravolin-expand: \"RavolinSetting.ini\": cannot read the settings file: Is a directory\n");
}

TEST_F(ExpandCliTest, loopOfZeroOrLessPrintsNothing) {
    for (const char* loop : {"0", "-3", "abc"}) {
        const test::ExpandRun run =
            expand({file("s.ini", std::string("[Common]\r\nLoop=") + loop + "\r\n[Edit]\r\nOrigin=x")});
        EXPECT_EQ(run.exitCode, 0) << loop;
        EXPECT_EQ(run.out, "") << loop;
        EXPECT_EQ(run.err, "") << loop;
    }
}

// One INSERT with its rows joined by ",\r\n" and closed by ";": the window's bytes, in each encoding and line end.
TEST_F(ExpandCliTest, writesTheHeaderJoinerAndFooterAsTheWindowDoes) {
    const std::string path = file("insert.ini",
                                  "[Common]\r\nLoop=3\r\nHeader=INSERT INTO t (id, name) VALUES%0D%0A\r\n"
                                  "Joiner=,%0D%0A\r\nFooter=;%0D%0A\r\n"
                                  "[Edit]\r\nOrigin=(N, 'A')\r\nOriginExact=(N, 'A')\r\n"
                                  "[Numerical]\r\nText1=N\r\nInit1=1\r\n"
                                  "[Arrangement]\r\nText1=A\r\nValue1=" +
                                      utf8ToCp932("田中,鈴木,佐藤") + "\r\n");
    const std::string rows = "INSERT INTO t (id, name) VALUES\r\n(1, '田中'),\r\n(2, '鈴木'),\r\n(3, '佐藤');\r\n";
    const std::string lfRows = "INSERT INTO t (id, name) VALUES\n(1, '田中'),\n(2, '鈴木'),\n(3, '佐藤');\n";
    const Success cases[] = {
        {{}, rows},
        {{"--lf"}, lfRows},
        {{"--cp932"}, utf8ToCp932(rows)},
        {{"--cp932", "--lf"}, utf8ToCp932(lfRows)},
        {{"--loop", "0"}, "INSERT INTO t (id, name) VALUES\r\n;\r\n"},
        {{"--loop", "1", "--lf"}, "INSERT INTO t (id, name) VALUES\n(1, '田中');\n"},
        {{"--set", "Common.Joiner=", "--set", "Common.Header=", "--set", "Common.Footer="},
         "(1, '田中')(2, '鈴木')(3, '佐藤')"},
    };
    expectSuccesses(cases, path);
    Document document;
    loadSettingsFile(path, document);
    EXPECT_EQ(ExpandTemplate(expansionInputFrom(document)), rows);  // what the window's run expands
}

TEST_F(ExpandCliTest, helpExplainsInEnglishAndJapanese) {
    const test::ExpandRun run = expand({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(
        run.out.rfind("Usage: ravolin-expand [--cp932] [--lf] [--loop N] [--seed N] [--set SECTION.KEY=VALUE]...\n"
                      "                      [--table FILE[:N] [--header] [--loop-from-table]] [SETTINGS_FILE]\n",
                      0),
        0u);
    EXPECT_NE(
        run.out.find("\n使い方: ravolin-expand [--cp932] [--lf] [--loop N] [--seed N] [--set セクション.キー=値]...\n"
                     "                      [--table 表ファイル[:N] [--header] [--loop-from-table]] [設定ファイル]\n"),
        std::string::npos);
    EXPECT_EQ(run.err, "");
}

TEST_F(ExpandCliTest, wrongArgumentsAreRefused) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::string usage =
        "Usage: ravolin-expand [--cp932] [--lf] [--loop N] [--seed N] [--set SECTION.KEY=VALUE]... [--table FILE[:N] "
        "[--header] [--loop-from-table]] [SETTINGS_FILE] (see --help)\n";
    const Case cases[] = {
        {{"--utf16"}, "ravolin-expand: unknown or ambiguous option \"--utf16\"\n" + usage},
        {{"--cp932=yes"}, "ravolin-expand: unknown or ambiguous option \"--cp932=yes\"\n" + usage},
        {{"a.ini", "b.ini"}, "ravolin-expand: more than one settings file given\n" + usage},
        {{"--set"}, "ravolin-expand: option \"--set\" needs a value\n" + usage},
        {{"--set", "Edit.Origin"}, "ravolin-expand: --set \"Edit.Origin\": expected SECTION.KEY=VALUE\n" + usage},
        {{"--set", "Origin=x"}, "ravolin-expand: --set \"Origin=x\": expected SECTION.KEY=VALUE\n" + usage},
        {{"--set=.Origin=x"}, "ravolin-expand: --set \".Origin=x\": expected SECTION.KEY=VALUE\n" + usage},
        {{"--set", "Edit.=x"}, "ravolin-expand: --set \"Edit.=x\": expected SECTION.KEY=VALUE\n" + usage},
        {{"--set", "Edit.Origin=a\nb"},
         "ravolin-expand: --set Edit.Origin: the value holds a line break (write line breaks as commas)\n" + usage},
        {{"--set", "Edit.Origin=\U0001F600"},
         "ravolin-expand: --set Edit.Origin: the settings file's code page, CP932, lacks some of its characters\n" +
             usage},
        {{"--set", "Edit.\U0001F600=x"},
         "ravolin-expand: --set Edit.\U0001F600: the settings file's code page, CP932, lacks some of its characters\n" +
             usage},
        {{"--header", "a.ini"}, "ravolin-expand: --header needs --table\n" + usage},
        {{"--loop-from-table"}, "ravolin-expand: --loop-from-table needs --table\n" + usage},
    };
    for (const Case& c : cases) {
        const test::ExpandRun run = expand(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.args[0];
        EXPECT_EQ(run.out, "") << c.args[0];
        EXPECT_EQ(run.err, c.err);
    }
    file("-dash.ini", kExampleFile);
    EXPECT_EQ(expand({"--", "-dash.ini"}).out, kExampleOutput);
}

// A count given on the command line is taken whole or refused, never read leniently as the file's numbers.
TEST_F(ExpandCliTest, loopTakesOnlyADecimalCount) {
    const std::string path = file("s.ini", "[Edit]\r\nOrigin=N\r\n[Numerical]\r\nText1=N\r\nInit1=1\r\n");
    for (const std::string value : {"abc", "1,000", "1e3", "-1", "+5", "", " 5", "5 ", "1\r", "0x10", "2147483648",
                                    "4294967297", "99999999999"}) {
        // Into a full device: a write would add its own message, and a count read wrongly as billions of
        // passes stops there instead of filling the disk.
        const test::ExpandRun run = test::ExpandProcess({"--loop", value, path}, m_dir.path()).runIntoFullDevice();
        EXPECT_EQ(run.exitCode, 2) << value;
        EXPECT_EQ(run.err, "ravolin-expand: --loop \"" + value + "\": not a count from 0 to 2147483647\n");
    }
    // The largest count is taken: its first passes come, then the reader goes (the whole would be tens of GiB).
    const test::ExpandRun largest =
        test::ExpandProcess({"--loop", "2147483647", path}, m_dir.path()).runIntoClosedPipe(10);
    EXPECT_EQ(largest.out, "1\r\n2\r\n3\r\n4");
    EXPECT_EQ(largest.exitCode, 0);
    EXPECT_EQ(largest.err, "");
}

// One --seed gives the same random output at every run, the window's for the seeds made from it; without it a
// stored seed is drawn from and a missing one is fresh each run.
TEST_F(ExpandCliTest, seedsMakeRandomOutputReproducible) {
    const std::string path =
        file("r.ini",
             "[Common]\r\nLoop=2000\r\n[Edit]\r\nOrigin=R U A\r\n"
             "[Numerical]\r\nText1=R\r\nKind1=3\r\nMin1=1\r\nMax1=1000\r\nSeed1=77\r\nText2=U\r\nKind2=4\r\n"
             "[Arrangement]\r\nText1=A\r\nValue1=x,yy,zzz,\r\nOrder1=1\r\nEnd1=1\r\n");
    Document document;
    loadSettingsFile(path, document);
    const ExpansionInput stored = expansionInputFrom(document);
    ExpansionInput seeded = stored;
    setRunSeed(seeded, 42);
    const test::ExpandRun first = expand({"--seed", "42", path});
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.err, "");
    EXPECT_TRUE(first.out == ExpandTemplate(seeded));
    EXPECT_EQ(expand({"--seed", "42", path}).out, first.out);
    EXPECT_NE(expand({"--seed", "43", path}).out, first.out);

    // The words at place `which` of every line.
    const auto column = [](const std::string& out, std::size_t which) {
        std::string words;
        for (std::string line : SplitLines(out)) {
            for (std::size_t i = 0; i < which; ++i) line.erase(0, line.find(' ') + 1);
            words += line.substr(0, line.find(' ')) + ",";
        }
        return words;
    };
    ExpansionInput kept = stored;
    kept.counters[1].style.seed = "1";  // any: only the first column is compared
    kept.arrays[0].style.seed = "1";
    const test::ExpandRun fresh = expand({path});
    const test::ExpandRun otherFresh = expand({path});
    EXPECT_EQ(column(fresh.out, 0), column(ExpandTemplate(kept), 0));
    EXPECT_EQ(column(otherFresh.out, 0), column(fresh.out, 0));
    EXPECT_NE(column(otherFresh.out, 1), column(fresh.out, 1));
    EXPECT_NE(column(otherFresh.out, 2), column(fresh.out, 2));

    for (const std::string value : {"x", "-1", "", "18446744073709551616", "1.5"}) {
        const test::ExpandRun run = expand({"--seed", value, path});
        EXPECT_EQ(run.exitCode, 2) << value;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "ravolin-expand: --seed \"" + value + "\": not a number from 0 to 18446744073709551615\n");
    }
}

TEST_F(ExpandCliTest, optionsAsUsersWriteThem) {
    const std::string path = file("s.ini", kExampleFile);
    // A value CP932 can't give back (a bad byte read as U+FFFD) in the first pass only, before later ranges.
    const std::string lossy =
        file("lossy.ini",
             "[Common]\r\nLoop=300\r\n[Edit]\r\nOrigin=NA\r\n[Numerical]\r\nText1=N\r\nInit1=1\r\n"
             "[Arrangement]\r\nText1=A\r\nValue1=\x85\x40\r\n");
    std::string lossyOut = "1?";
    for (int pass = 2; pass <= 300; ++pass) lossyOut += "\r\n" + std::to_string(pass);
    const Success cases[] = {
        {{"--version"}, "ravolin-expand " RAVOLIN_VERSION "\n"},
        {{"-V"}, "ravolin-expand " RAVOLIN_VERSION "\n"},
        {{"--vers"}, "ravolin-expand " RAVOLIN_VERSION "\n"},  // a unique abbreviation
        {{"--lf", path}, "1-red-赤\n2-blue-青\n3--\n"},
        {{path, "--l"}, "1-red-赤\n2-blue-青\n3--\n"},  // options after the file too
        {{"--cp932", "--lf", path}, utf8ToCp932("1-red-赤\n2-blue-青\n3--\n")},
        {{"--cp932", lossy}, lossyOut, "ravolin-expand: characters that CP932 lacks were written as \"?\"\n"},
    };
    expectSuccesses(cases);
}

// A table's columns replace the arrays' values on top of the stored settings, whose escapes still apply.
TEST_F(ExpandCliTest, aTableFillsTheArraysFromItsColumns) {
    const std::string settings = file("s.ini", utf8ToCp932("[Common]\r\nLoop=1\r\n[Edit]\r\nOrigin=%1|%2|%3|<名前>\r\n"
                                                           "[Arrangement]\r\nText1=%1\r\nText2=%2\r\nText3=%3\r\n"
                                                           "Value1=old\r\nEscape1=2\r\n"));
    const std::string table = file("t.csv", "<名前>,<市>\r\nO'Brien,\"Tokyo, \"\"J\"\"\"\r\n,大阪\r\n");
    file("a:b.tsv", "x\ty\r\n");
    file("n:2", "p");
    file("long.csv", "とても長い置換文字列です,x\r\n1,2\r\n");
    const std::string headed = "%1|%2||'O''Brien'\r\n%1|%2||NULL";
    const Success cases[] = {
        {{"--table", table, "--loop-from-table"},
         "'<名前>'|<市>||<名前>\r\n'O''Brien'|Tokyo, \"J\"||<名前>\r\nNULL|大阪||<名前>"},
        {{"--table", table + ":2"}, "'old'|<名前>|<市>|<名前>"},
        {{"--table", table, "--header", "--loop-from-table"}, headed},
        {{"--loop", "9", "--table=t.csv", "--header", "--loop-from-table", "--loop", "9"}, headed},
        // Only a trailing ":" and digits names the array.
        {{"--table", "a:b.tsv"}, "'x'|y||<名前>"},
        {{"--table", "n:2:1"}, "'p'|||<名前>"},
        {{"--table", "long.csv", "--header"},
         "%1|%2||<名前>",
         "ravolin-expand: --header: \"とても長い置換文字列です\" was cut to \"とても長い置換\" (a token takes 15 bytes "
         "in CP932)\n"},
    };
    expectSuccesses(cases, settings);
}

TEST_F(ExpandCliTest, aTableThatCannotBeTakenIsAnError) {
    const std::string settings = file("s.ini", kExampleFile);
    {
        test::writeFile(m_dir.file("huge.csv"), "");
        const int fd = open(m_dir.file("huge.csv").c_str(), O_WRONLY);
        ASSERT_EQ(ftruncate(fd, (off_t{256} << 20) + 1), 0);  // sparse: no disk taken
        close(fd);
    }
    struct Case {
        std::string table, err;
    };
    const Case cases[] = {
        {"t.csv:0", "--table \"t.csv:0\": the array after \":\" must be from 1 to 9"},
        {"t.csv:10", "--table \"t.csv:10\": the array after \":\" must be from 1 to 9"},
        {"t.csv:99999999999999999999",
         "--table \"t.csv:99999999999999999999\": the array after \":\" must be from 1 to 9"},
        {"missing.csv", "\"missing.csv\": cannot read the table file: No such file or directory"},
        {"missing.csv:3", "\"missing.csv\": cannot read the table file: No such file or directory"},
        {".", "\".\": cannot read the table file: Is a directory"},
        {"huge.csv", "\"huge.csv\": cannot read the table file: larger than 256 MiB"},
    };
    for (const Case& c : cases) {
        const test::ExpandRun run = expand({"--table", c.table, settings});
        EXPECT_EQ(run.exitCode, 2) << c.table;
        EXPECT_EQ(run.out, "") << c.table;
        EXPECT_EQ(run.err, "ravolin-expand: " + c.err + "\n");
    }
}

TEST_F(ExpandCliTest, overridesAreReadAsIfTheFileHeldThemAndLeaveItAlone) {
    // Origin and Value2 hold commas of their own, kept by the exact forms beside them.
    const std::string stored =
        "[Common]\r\nLoop=2\r\n[Edit]\r\nOrigin=N,A|B\r\nOriginExact=N,A|B\r\n"
        "[Numerical]\r\nText1=N\r\nInit1=1\r\n"
        "[Arrangement]\r\nText1=A\r\nValue1=red,blue\r\nText2=B\r\nValue2=x,y\r\n"
        "Value2Exact=x,y\r\n";
    const std::string path = file("s.ini", stored);
    const Success cases[] = {
        {{}, "1,red|x,y\r\n2,blue|"},
        {{"--loop", "3"}, "1,red|x,y\r\n2,blue|\r\n3,|"},
        {{"--loop", "0003"}, "1,red|x,y\r\n2,blue|\r\n3,|"},
        {{"--loop", "0"}, ""},
        {{"--set", "Common.Loop=1"}, "1,red|x,y"},
        {{"--set", "Numerical.Init1=-5"}, "-5,red|x,y\r\n-4,blue|"},
        {{"--set", "numerical.INC1=10"}, "1,red|x,y\r\n11,blue|"},  // names match as in the file
        {{"--set", "Numerical.Text1=|"}, "N,red1x,y\r\nN,blue2"},
        {{"--set", "Edit.Origin=B=N"}, "x,y=1\r\n=2"},          // the value holds the later "="
        {{"--set", "Edit.Origin.=B"}, "1,red|x,y\r\n2,blue|"},  // a key "Origin.", not ours: nothing changes
        {{"--set", "Edit.Origin=B,N"}, "x,y\r\n1\r\n\r\n2"},    // the exact form no longer agrees
        {{"--set", "Arrangement.Value2=p,q"}, "1,red|p\r\n2,blue|q"},
        {{"--set", "Numerical.Text3=|", "--set", "Numerical.Init3=9"}, "1,red9x,y\r\n2,blue10"},  // new keys
        {{"--set", "Arrangement.Value1=a", "--set", "Arrangement.Value1=b,c"}, "1,b|x,y\r\n2,c|"},
        {{"--loop", "3", "--set", "Common.Loop=1"}, "1,red|x,y"},
        {{"--set", "Common.Loop=1", "--loop", "2"}, "1,red|x,y\r\n2,blue|"},
        // The style keys, by the same rules as the window's.
        {{"--loop", "3", "--set", "Numerical.Width1=3", "--set", "Arrangement.End1=1"},
         "001,red|x,y\r\n002,blue|\r\n003,red|"},
        {{"--loop", "4", "--set", "Numerical.Format1=6", "--set", "Numerical.Repeat1=2", "--set",
          "Arrangement.Repeat2=0", "--set", "Arrangement.End2=2"},
         "x,y,red|x,y\r\nx,y,blue|x,y\r\nC,|x,y\r\nC,|x,y"},  // the letter B is then array 2's token
        // A business-day counter: 昭和の日 and the day off of its own are skipped.
        {{"--set", "Numerical.Kind1=1", "--set", "Numerical.Start1=2027/04/28", "--set", "Numerical.Unit1=7", "--set",
          "Numerical.Off1=04/30 12/31", "--set", "Numerical.Pattern1=m/d(aaa)"},
         "4/28(水),red|x,y\r\n5/6(木),blue|"},
    };
    expectSuccesses(cases, path);
    EXPECT_EQ(test::readFile(path), stored);
    // Without a settings file the overrides apply to the defaults.
    EXPECT_EQ(expand({"--loop", "2", "--set", "Edit.Origin=＜置換1＞"}).out, "0\r\n1");
}

TEST_F(ExpandCliTest, specialFilesAreRefusedAtOnce) {
    const std::string fifo = m_dir.file("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        const test::ExpandRun run = expand({path});
        EXPECT_EQ(run.exitCode, 2) << path;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err,
                  "ravolin-expand: \"" + path +
                      "\": cannot read the settings file: not a regular file (a pipe, a device or a socket)\n");
    }
}

TEST_F(ExpandCliTest, fileSizeLimitIsAWriteErrorNotASignal) {
    const std::string path = file("big.ini", "[Common]\r\nLoop=100000\r\n[Edit]\r\nOrigin=line\r\n");
    const std::string out = m_dir.file("out.txt");
    const pid_t pid = fork();
    if (pid == 0) {
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, STDOUT_FILENO);
        const int err = open(m_dir.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(err, STDERR_FILENO);
        execl(RAVOLIN_EXPAND_PATH, RAVOLIN_EXPAND_PATH, path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(test::readFile(out).size(), 4096u);
}

TEST_F(ExpandCliTest, closedPipeEndsQuietly) {
    const std::string path =
        file("big.ini", "[Common]\r\nLoop=2000000\r\n[Edit]\r\nOrigin=line N\r\n[Numerical]\r\nText1=N\r\n");
    const std::string whole = windowOutput(path);
    // The ASCII output is the same in CP932, which a thread of its own writes; the reader goes at once or after
    // several ranges.
    for (const std::size_t count : {std::size_t{100}, std::size_t{1} << 20}) {
        for (const std::vector<std::string>& args : {std::vector<std::string>{path}, {"--cp932", path}}) {
            SCOPED_TRACE(args[0] + " " + std::to_string(count));
            const test::ExpandRun run = test::ExpandProcess(args, m_dir.path()).runIntoClosedPipe(count);
            EXPECT_TRUE(run.out == whole.substr(0, count));
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_EQ(run.err, "");
        }
    }
}

TEST_F(ExpandCliTest, failedWriteIsReported) {
    const std::string path = file("s.ini", kExampleFile);
    for (const std::vector<std::string>& args : {std::vector<std::string>{path}, {"--cp932", path}}) {
        const test::ExpandRun run = test::ExpandProcess(args, m_dir.path()).runIntoFullDevice();
        EXPECT_EQ(run.exitCode, 1) << args[0];
        EXPECT_EQ(run.err, "ravolin-expand: cannot write the output: No space left on device\n") << args[0];
    }
}

// Memory that runs out is told as such, whether the kernel refuses the written pages (a memory-limited
// group) or the stack of the writing thread.
TEST_F(ExpandCliTest, anAllocationFailureIsToldAsSuch) {
    const std::string path = file("s.ini", kExampleFile);
    struct Case {
        const char* what;
        bool cp932;
        void (*limit)();
        std::string err;
    };
    const Case cases[] = {
        {"writes refused for memory", false, [] { failSystemCall(SYS_write, ENOMEM, STDOUT_FILENO); },
         "out of memory; the output is incomplete"},
        {"the same in CP932", true, [] { failSystemCall(SYS_write, ENOMEM, STDOUT_FILENO); },
         "out of memory; the output is incomplete"},
        {"no thread to write with", true,
         [] {
             failSystemCall(SYS_clone3, ENOSYS);  // the C library then falls back to clone
             failSystemCall(SYS_clone, EAGAIN);
         },
         std::string("cannot start a thread (out of memory or threads): ") + std::strerror(EAGAIN) +
             "; nothing is written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string err = m_dir.file("err");
        const pid_t pid = fork();
        if (pid == 0) {
            // The leak check at exit needs a thread of its own.
            const char* asan = std::getenv("ASAN_OPTIONS");
            setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":detect_leaks=0").c_str(), 1);
            const int out = open(m_dir.file("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (out < 0 || errFd < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(errFd, STDERR_FILENO) < 0) _exit(125);
            c.limit();
            if (c.cp932) {
                execl(RAVOLIN_EXPAND_PATH, RAVOLIN_EXPAND_PATH, "--cp932", path.c_str(), static_cast<char*>(nullptr));
            } else {
                execl(RAVOLIN_EXPAND_PATH, RAVOLIN_EXPAND_PATH, path.c_str(), static_cast<char*>(nullptr));
            }
            _exit(127);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_EQ(test::readFile(err), "ravolin-expand: " + c.err + "\n");
    }
}

}  // namespace
}  // namespace ravolin
