#include <getopt.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "conversion/RandomValues.h"
#include "output/ExpansionOutput.h"
#include "platform/core/FileAccess.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsStore.h"
#include "settings/StoredExpansion.h"
#include "settings/TableImport.h"

namespace ravolin {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitOutputFailed = 1;
constexpr int kExitUsage = 2;

// No single pass may need more memory than this.
constexpr std::size_t kRangeLimit = std::size_t{512} << 20;

constexpr char kUsage[] =
    "Usage: ravolin-expand [--cp932] [--lf] [--loop N] [--seed N] [--set SECTION.KEY=VALUE]... [--table FILE[:N] "
    "[--header] [--loop-from-table]] [SETTINGS_FILE] (see --help)\n";

constexpr char kVersion[] = "ravolin-expand " RAVOLIN_VERSION "\n";

constexpr char kHelp[] =
    R"(Usage: ravolin-expand [--cp932] [--lf] [--loop N] [--seed N] [--set SECTION.KEY=VALUE]...
                      [--table FILE[:N] [--header] [--loop-from-table]] [SETTINGS_FILE]

Expands the template stored in a Ravolin settings file and writes the result to standard output, exactly
as the program's conversion produces it: the template ("Origin") once per pass, "Loop" passes, with the
tokens of the file's five counters and nine arrays replaced, passes joined by the file's "Joiner" (CR LF
when it has none), after its "Header" and before its "Footer" (none when it has none). A "Loop" of 0 or less
writes the header and the footer alone.

SETTINGS_FILE defaults to RavolinSetting.ini in the working directory; when that file does not exist, the
program's defaults apply. A SETTINGS_FILE that is named but missing or unreadable is an error.

Options:
  --cp932     write the output in CP932, the settings file's code page, instead of UTF-8
  --lf        end lines with LF instead of CR LF (those of the header, the joiner and the footer too), and
              end the output with one line break, as POSIX text files do (without it the output is byte
              for byte the window's)
  --loop N    expand N passes instead of the stored "Loop"; N is a count from 0 to 2147483647 in decimal
              digits (leading zeros allowed, no sign, no blanks)
  --seed N    draw every random value, UUID and shuffled or drawn list of the run from N, a number from 0 to
              18446744073709551615: each slot from a seed made of N and the slot, in place of the file's
              "Seed" keys, so the same N gives the same output. Without it a slot that has no seed draws
              from a fresh one at every run
  --set SECTION.KEY=VALUE
              use VALUE for the stored key for this run, as if the file held it: commas are line breaks
              where the file's are (--set Edit.Origin=a,b), numbers read as the file's
              (--set Numerical.Init1=5), %0D%0A a line break where the file's are (--set
              "Common.Joiner=,%0D%0A"). May be repeated; later ones win. The file is not changed
  --table FILE[:N]
              fill the arrays' values from the columns of the table FILE (CSV, or TAB-separated for a ".tsv"
              name or a first line with a TAB; UTF-8, or CP932 when not valid UTF-8), as the window's "表の取り込み"
              does: column 1 into array N (1 to 9, default 1), the next into N+1, and so on; columns past array
              9 are left out. Only a trailing ":" and digits is N: name a file "a:2" as "a:2:1"
  --header    take the arrays' tokens from the table's first row, cut to a token field (a warning names them)
  --loop-from-table
              set the loop count to the table's value rows (before --loop and the stored "Loop")
  --help      show this help (also -h)
  --version   show the version (also -V)

Exit status: 0 on success (also when a reader such as "head" closes the pipe early); 1 when the output
can't be written; 2 when the settings file or the table can't be read or the arguments are wrong.

使い方: ravolin-expand [--cp932] [--lf] [--loop N] [--seed N] [--set セクション.キー=値]...
                      [--table 表ファイル[:N] [--header] [--loop-from-table]] [設定ファイル]

Ravolin の設定ファイルに保存されたテンプレートを展開し、結果を標準出力に書き出します。内容はプログラムの
変換と同じです。テンプレート（"Origin"）を "Loop" 回繰り返し、ファイルに保存された 5 つの数値と 9 つの
配列の置換文字列をそれぞれ置き換え、各回の間をファイルの "Joiner"（なければ CR LF）で区切り、前に
"Header"、後に "Footer"（なければ何も付けません）を付けます。"Loop" が 0 以下なら先頭と末尾だけを書き出します。

設定ファイルを省略すると、作業ディレクトリの RavolinSetting.ini を読みます。このファイルがなければ
プログラムと同じ既定値を使います。指定した設定ファイルがない、または読めないときはエラーです。

オプション:
  --cp932     出力を UTF-8 ではなく、設定ファイルと同じ CP932 で書き出します
  --lf        行末を CR LF ではなく LF にし（先頭、区切り、末尾の中のものも）、出力の最後を改行 1 つで終えます
              （POSIX のテキストファイルの形）。
              指定しなければ出力はウィンドウの変換結果とバイト単位で同じです
  --loop N    保存された "Loop" の代わりに N 回繰り返します。N は 0 から 2147483647 までの回数を 10 進数の
              数字だけで書きます（先頭の 0 は可、符号や空白は不可）
  --seed N    この実行の乱数、UUID、シャッフルやランダムの配列をすべて N（0 から 18446744073709551615 までの
              数）から作ります。各スロットは N とスロットから求めたシードを、ファイルの "Seed" キーの代わりに
              使うので、同じ N なら同じ出力になります。指定しなければ、シードのないスロットは実行のたびに
              新しいシードを使います
  --set セクション.キー=値
              この実行に限り、保存されたキーの値の代わりに「値」を使います。ファイルに書かれていた場合と
              同じに読み、コンマはファイルと同じく改行になり（--set Edit.Origin=a,b）、数値もファイルと
              同じ規則で読み（--set Numerical.Init1=5）、%0D%0A はファイルと同じく改行になります
              （--set "Common.Joiner=,%0D%0A"）。繰り返し指定でき、後のものが優先します。
              ファイルは変更しません
  --table 表ファイル[:N]
              表ファイルの列で配列の値を置き換えます。ウィンドウの「表の取り込み」と同じく、CSV（名前が
              ".tsv" か 1 行目に TAB があれば TAB 区切り）を UTF-8（UTF-8 として正しくなければ CP932）で読み、
              1 列目を配列 N（1 から 9、既定は 1）に、次の列を N+1 に入れます。配列9 を超える列は取り込みません。
              N とみなすのは末尾の ":" と数字だけです（"a:2" という名前のファイルは "a:2:1" と書きます）
  --header    表の 1 行目を配列の置換文字列にします。置換文字列の欄に収まらないものは切り詰めて警告します
  --loop-from-table
              ループ回数を表の値の行数にします（--loop や保存された "Loop" より優先します）
  --help      このヘルプを表示します（-h も同じ）
  --version   バージョンを表示します（-V も同じ）

終了ステータス: 成功時は 0（head などの読み手がパイプを先に閉じた場合も 0）。出力を書き出せないときは 1。
設定ファイルや表ファイルを読めないとき、または引数が正しくないときは 2。
)";

constexpr char kOutOfMemory[] = "out of memory; the output is incomplete";

void complain(const std::string& message) {
    const std::string line = "ravolin-expand: " + message + '\n';
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line.data(), line.size());
}

// A wrong call: what was wrong, then how to call.
int usageError(const std::string& message) {
    complain(message);
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kUsage, sizeof kUsage - 1);
    return kExitUsage;
}

// Writes everything, or returns the errno of the failure (EPIPE when the reader has gone).
int writeOut(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// A stored key to read differently for one run.
struct Override {
    std::string option;  // as the messages name it
    std::string section;
    std::string key;
    std::string value;
};

// The settings file with the overrides written into it, in memory: the loader then reads them by the
// file's own rules, whatever keys it reads. Returns the message for an override the file can't hold.
std::optional<std::string> applyOverrides(ProfileFile& file, const std::vector<Override>& overrides) {
    for (const Override& o : overrides) {
        if (o.value.find_first_of("\r\n") != std::string::npos) {
            return o.option + ": the value holds a line break (write line breaks as commas)";
        }
        if (!file.WriteString(o.section, o.key, o.value)) {
            return o.option + ": the settings file's code page, CP932, lacks some of its characters";
        }
    }
    return std::nullopt;
}

// SECTION.KEY=VALUE split at the first "=" and the first "." before it; nullopt when it isn't one.
std::optional<Override> parseSetting(std::string_view argument) {
    const std::size_t equals = argument.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view name = argument.substr(0, equals);
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size()) return std::nullopt;
    return Override{"--set " + std::string(name), std::string(name.substr(0, dot)), std::string(name.substr(dot + 1)),
                    std::string(argument.substr(equals + 1))};
}

// The --loop value: decimal digits only, leading zeros allowed, 0 to INT32_MAX. The file's lenient reading
// (blanks, a sign, trailing text, wrap-around past 2^32) would turn a mistyped count into another run.
std::optional<std::int32_t> parseLoopCount(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    std::int32_t count = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), count).ec != std::errc()) return std::nullopt;
    return count;
}

// The --seed value: decimal digits only, 0 to 2^64 - 1.
std::optional<std::uint64_t> parseRunSeed(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    std::uint64_t seed = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), seed).ec != std::errc()) return std::nullopt;
    return seed;
}

// The --table argument: FILE, or FILE:N with N the first array (1 to 9). Only a trailing ":" and digits is N, so
// that any other name with a ":" is a file as it stands.
struct TableOption {
    std::string path;
    std::size_t firstArray = 0;  // 0-8
};
std::optional<TableOption> parseTableOption(std::string_view argument) {
    const std::size_t colon = argument.rfind(':');
    const std::string_view digits = colon == std::string_view::npos ? std::string_view() : argument.substr(colon + 1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return TableOption{std::string(argument)};
    std::size_t array = 0;
    if (colon == 0 || std::from_chars(digits.data(), digits.data() + digits.size(), array).ec != std::errc() ||
        array < 1 || array > kArrayCount)
        return std::nullopt;
    return TableOption{std::string(argument.substr(0, colon)), array - 1};
}

// The table's columns put into `document` as the window's paste puts them; the message when the table can't be
// read.
std::optional<std::string> applyTableFile(Document& document, const TableOption& table, bool header, bool fitLoop) {
    int error = 0;
    const std::optional<TableRows> rows = readTableFile(table.path, error);
    if (!rows) return describeFileError(table.path, "cannot read the table file", error, kTableFileMaxBytes);
    const std::vector<std::string> cut =
        applyTable(document, tableColumns(*rows, header), table.firstArray, header, fitLoop);
    for (const std::string& token : cut) {
        complain("--header: \"" + token + "\" was cut to \"" + fitToken(token) + "\" (a token takes " +
                 std::to_string(kTokenMaxBytes) + " bytes in CP932)");
    }
    return std::nullopt;
}

int run(int argc, char** argv) {
    bool cp932 = false;
    bool lf = false;
    std::vector<Override> overrides;  // in the order given, --loop among them
    std::optional<std::uint64_t> runSeed;
    std::optional<TableOption> table;
    bool header = false;
    bool loopFromTable = false;
    enum Option { kCp932 = 1, kLf, kLoop, kSet, kSeed, kTable, kHeader, kLoopFromTable, kVersionOption = 'V' };
    static const option options[] = {{"cp932", no_argument, nullptr, kCp932},
                                     {"lf", no_argument, nullptr, kLf},
                                     // "--l" stood for --lf before --loop came, and still does.
                                     {"l", no_argument, nullptr, kLf},
                                     {"loop", required_argument, nullptr, kLoop},
                                     {"seed", required_argument, nullptr, kSeed},
                                     {"set", required_argument, nullptr, kSet},
                                     {"table", required_argument, nullptr, kTable},
                                     {"header", no_argument, nullptr, kHeader},
                                     {"loop-from-table", no_argument, nullptr, kLoopFromTable},
                                     {"help", no_argument, nullptr, 'h'},
                                     {"version", no_argument, nullptr, kVersionOption},
                                     {nullptr, 0, nullptr, 0}};
    opterr = 0;  // our own message, in the program's words
    for (int c; (c = getopt_long(argc, argv, ":hV", options, nullptr)) != -1;) {
        switch (c) {
            case kCp932:
                cp932 = true;
                break;
            case kLf:
                lf = true;
                break;
            case kLoop: {
                const std::optional<std::int32_t> count = parseLoopCount(optarg);
                if (!count) {
                    complain("--loop \"" + std::string(optarg) + "\": not a count from 0 to 2147483647");
                    return kExitUsage;
                }
                // Among the overrides, so that the later of --loop and --set Common.Loop wins.
                overrides.push_back({"--loop", "Common", "Loop", std::to_string(*count)});
                break;
            }
            case kSeed:
                runSeed = parseRunSeed(optarg);
                if (!runSeed) {
                    complain("--seed \"" + std::string(optarg) + "\": not a number from 0 to 18446744073709551615");
                    return kExitUsage;
                }
                break;
            case kSet: {
                std::optional<Override> setting = parseSetting(optarg);
                if (!setting) {
                    return usageError("--set \"" + std::string(optarg) + "\": expected SECTION.KEY=VALUE");
                }
                overrides.push_back(std::move(*setting));
                break;
            }
            case kTable:
                table = parseTableOption(optarg);
                if (!table) {
                    complain("--table \"" + std::string(optarg) + "\": the array after \":\" must be from 1 to 9");
                    return kExitUsage;
                }
                break;
            case kHeader:
                header = true;
                break;
            case kLoopFromTable:
                loopFromTable = true;
                break;
            case ':':
                return usageError("option \"" + std::string(argv[optind - 1]) + "\" needs a value");
            case 'h':
                return writeOut(kHelp) == 0 ? kExitOk : kExitOutputFailed;
            case kVersionOption:
                return writeOut(kVersion) == 0 ? kExitOk : kExitOutputFailed;
            default:
                return usageError("unknown or ambiguous option \"" + std::string(argv[optind - 1]) + "\"");
        }
    }
    if (argc - optind > 1) return usageError("more than one settings file given");
    if (!table && (header || loopFromTable))
        return usageError(std::string(header ? "--header" : "--loop-from-table") + " needs --table");
    std::optional<std::string> named;
    if (optind < argc) named = argv[optind];

    const std::string path = named.value_or(kSettingsFileName);
    int error = 0;
    const std::optional<std::string> bytes = readFileBytes(path, error);
    // Only the default file may be missing: the program then starts with its defaults too.
    if (!bytes && (named || error != ENOENT)) {
        complain(describeFileError(path, "cannot read the settings file", error));
        return kExitUsage;
    }
    std::string_view stored = bytes ? std::string_view(*bytes) : std::string_view();
    std::string overridden;
    if (!overrides.empty()) {
        ProfileFile file{std::string(stored)};
        if (const std::optional<std::string> refused = applyOverrides(file, overrides)) return usageError(*refused);
        overridden = file.Bytes();
        stored = overridden;
    }
    Document document;
    loadSettingsBytes(stored, document);
    if (table) {
        if (const std::optional<std::string> unread = applyTableFile(document, *table, header, loopFromTable)) {
            complain(*unread);
            return kExitUsage;
        }
    }

    // The seeds are settled before the first range, so that every range draws from the same ones.
    ExpansionInput input = expansionInputFrom(document);
    if (runSeed) {
        setRunSeed(input, *runSeed);
    } else {
        fillFreshSeeds(input);
    }
    int writeError = 0;
    const OutputResult written =
        writeExpansion(input, {.cp932 = cp932, .lfLineEnds = lf}, kRangeLimit,
                       [&](std::string_view out) { return (writeError = writeOut(out)) == 0; });
    if (written.end == OutputEnd::SinkFailed) {
        if (writeError == EPIPE) return kExitOk;
        // The kernel's memory for the written pages ran out (a memory-limited group): no fault of the output's.
        complain(writeError == ENOMEM ? kOutOfMemory
                                      : std::string("cannot write the output: ") + std::strerror(writeError));
        return kExitOutputFailed;
    }
    if (written.end == OutputEnd::PassTooLarge) {
        complain("one pass of the template would produce more than " + std::to_string(kRangeLimit >> 20) +
                 " MiB; nothing more is written");
        return kExitOutputFailed;
    }
    if (written.replacedCharacters > 0) complain("characters that CP932 lacks were written as \"?\"");
    return kExitOk;
}

}  // namespace
}  // namespace ravolin

int main(int argc, char** argv) {
    // A reader that stops early (| head) closes the pipe; that ends the output, not the process by a signal.
    std::signal(SIGPIPE, SIG_IGN);
    // A file-size limit (ulimit -f) then fails the write with EFBIG, which is reported, instead of killing.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        return ravolin::run(argc, argv);
    } catch (const std::bad_alloc&) {
        ravolin::complain(ravolin::kOutOfMemory);
        return 1;
    } catch (const std::system_error& error) {
        // The writing thread could not be started: no memory for its stack, or no more threads allowed.
        ravolin::complain(std::string("cannot start a thread (out of memory or threads): ") +
                          std::strerror(error.code().value()) + "; nothing is written");
        return 1;
    }
}
