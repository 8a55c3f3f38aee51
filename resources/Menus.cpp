#include "resources/Menus.h"

#include <array>

namespace ravolin {
namespace {

constexpr MenuItem kSeparator{};

constexpr std::array kProcessItems{
    MenuItem{"変換実行", kCmdExecute},
    MenuItem{"文字列クリア", kCmdClearEditArea},
    MenuItem{"初期化", kCmdRestoreStrings},
    MenuItem{"結果をファイルに保存(&F)...", kCmdSaveResult},
    kSeparator,
    MenuItem{"終了(&X)", kCmdExit},
};
constexpr std::array kToolItems{
    MenuItem{"置換元エディタのフォント設定", kCmdFontSettings},  MenuItem{"音声出力", kCmdToggleBeep},
    MenuItem{"最小化時にタスクトレイに入れる", kCmdToggleTray},  kSeparator,
    MenuItem{"書式と繰り返しの設定(&F)...", kCmdFormatSettings},
};
constexpr std::array kHelpItems{
    MenuItem{"使い方(&U)", kCmdGuide},
    MenuItem{"バージョン情報(&A)", kCmdAbout},
};
constexpr std::array kMainMenu{
    MenuPopup{"処理(&P)", kProcessItems},
    MenuPopup{"ツール(&T)", kToolItems},
    MenuPopup{"ヘルプ(&H)", kHelpItems},
};

constexpr std::array kTrayItems{
    MenuItem{"ウィンドウ表示", kCmdTrayShow},
    MenuItem{"バージョン情報", kCmdTrayAbout},
    kSeparator,
    MenuItem{"アプリケーション終了", kCmdTrayExit},
};
constexpr std::array kTrayMenu{MenuPopup{"ポップアップ", kTrayItems}};

constexpr std::uint8_t kAltKey = FVIRTKEY | FALT | FNOINVERT;
constexpr std::array kAccelerators{
    Accelerator{kAltKey, 'A', kCmdAbout},
    Accelerator{kAltKey, 'X', kCmdExit},
};

}  // namespace

std::span<const MenuPopup> mainMenu() { return kMainMenu; }
std::span<const MenuPopup> trayMenu() { return kTrayMenu; }
std::span<const Accelerator> acceleratorTable() { return kAccelerators; }

}  // namespace ravolin
