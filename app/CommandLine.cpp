#include "app/CommandLine.h"

#include <getopt.h>

namespace ravolin {

CommandLine parseCommandLine(int argc, char** argv) {
    enum Option { kHelp = 'h', kVersion = 'V', kUserFolder = 1 };
    static const option options[] = {{"help", no_argument, nullptr, kHelp},
                                     {"version", no_argument, nullptr, kVersion},
                                     {kUserFolderOption + 2, no_argument, nullptr, kUserFolder},
                                     {nullptr, 0, nullptr, 0}};
    CommandLine line;
    opterr = 0;
    optind = 1;
    for (int c; (c = getopt_long(argc, argv, "hV", options, nullptr)) != -1;) {
        switch (c) {
            case kHelp:
                return {CommandLine::Action::Help, false, {}, {}};
            case kVersion:
                return {CommandLine::Action::Version, false, {}, {}};
            case kUserFolder:
                line.userFolder = true;
                break;
            default:
                return {CommandLine::Action::Wrong,
                        false,
                        {},
                        std::string("unknown or ambiguous option \"") + argv[optind - 1] + "\""};
        }
    }
    if (optind < argc) line.file = argv[optind++];
    if (optind < argc) {
        return {CommandLine::Action::Wrong, false, {}, std::string("unexpected argument \"") + argv[optind] + "\""};
    }
    return line;
}

const char* helpText() {
    return R"(Usage: ravolin [--user-folder] [FILE]

Ravolin turns one template into numbered, repetitive text. It keeps its settings in RavolinSetting.ini in
the working directory (the same file format as the Windows program), or in FILE when one is given: FILE is
then the settings file that every save writes. With a copy already running on the display, FILE is handed
to it instead, which opens it.

Options:
  --user-folder   keep the settings in the per-user folder $XDG_CONFIG_HOME/ravolin (~/.config/ravolin,
                  created when missing) instead of the working directory; the desktop menu starts it so
  --help          show this help
  --version       show the version

使い方: ravolin [--user-folder] [ファイル]

Ravolin はひとつのテンプレートから連番付きの繰り返しテキストを作ります。設定は作業フォルダーの
RavolinSetting.ini に保存します（Windows 版と同じファイル形式）。ファイルを指定すると、そのファイルから
設定を読み込み、保存もそのファイルにします。すでに起動している場合は、起動中のウィンドウでそのファイルを
開きます。

オプション:
  --user-folder   設定を作業フォルダーではなくユーザーごとのフォルダー $XDG_CONFIG_HOME/ravolin
                  （~/.config/ravolin、なければ作成）に保存します。デスクトップのメニューからはこの形で起動します
  --help          このヘルプを表示します
  --version       バージョンを表示します
)";
}

const char* versionText() { return "ravolin " RAVOLIN_VERSION "\n"; }

const char* usageText() { return "Usage: ravolin [--user-folder] [FILE] (see --help)\n"; }

const char* noDisplayText() {
    return "ravolin: 画面に接続できません。デスクトップのセッションから起動してください / cannot connect to a display: "
           "start Ravolin in a desktop session (DISPLAY or WAYLAND_DISPLAY)\n";
}

bool displayNamed(const char* qpaPlatform, const char* display, const char* waylandDisplay) {
    const auto named = [](const char* value) { return value && *value; };
    return named(qpaPlatform) || named(display) || named(waylandDisplay);
}

}  // namespace ravolin
