#include "resources/Menus.h"

#include <array>

namespace ravolin {
namespace {

constexpr MenuItem kSeparator{};

// The window adds the recent files above the separator; settings/Examples.h holds the examples in this order.
constexpr std::array kRecentItems{
    kSeparator,
    MenuItem{"一覧を消去", kCmdClearRecent},
};
constexpr std::array kExampleItems{
    MenuItem{"名簿から SQL の INSERT 文", exampleCommand(0)},
    MenuItem{"ゼロ埋めのファイル名", exampleCommand(1)},
    MenuItem{"HTML のリスト", exampleCommand(2)},
    MenuItem{"営業日の予定表", exampleCommand(3)},
};
static_assert(kExampleItems.size() <= kMaxExamples);

constexpr std::array kProcessItems{
    MenuItem{"変換実行", kCmdExecute},
    MenuItem{"文字列クリア", kCmdClearEditArea},
    MenuItem{"初期化", kCmdRestoreStrings},
    MenuItem{"結果をファイルに保存(&F)...", kCmdSaveResult},
    MenuItem{"現在の設定を保存する(&S)", kCmdSaveSettings},
    MenuItem{"表を貼り付け(&T)...", kCmdPasteTable},
    MenuItem{"表ファイルを開く(&O)...", kCmdOpenTableFile},
    MenuItem{"表の取り込みを元に戻す(&U)", kCmdUndoTable},
    kSeparator,
    MenuItem{"設定を開く(&O)...", kCmdOpenSettings},
    MenuItem{"設定に名前を付けて保存(&A)...", kCmdSaveSettingsAs},
    MenuItem{"最近使った設定(&R)", 0, kRecentItems},
    MenuItem{"例から始める(&E)", 0, kExampleItems},
    MenuItem{"結果をコピー(&C)", kCmdCopyResult},
    kSeparator,
    MenuItem{"終了(&X)", kCmdExit},
};
constexpr std::array kToolItems{
    MenuItem{"置換元エディタのフォント設定", kCmdFontSettings},  MenuItem{"音声出力", kCmdToggleBeep},
    MenuItem{"最小化時にタスクトレイに入れる", kCmdToggleTray},  kSeparator,
    MenuItem{"書式と繰り返しの設定(&F)...", kCmdFormatSettings}, MenuItem{"出力の形(&O)...", kCmdOutputShape},
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
constexpr std::uint8_t kCtrlKey = FVIRTKEY | FCONTROL | FNOINVERT;
constexpr std::uint8_t kPlainKey = FVIRTKEY | FNOINVERT;
constexpr std::uint8_t kCtrlShiftKey = FVIRTKEY | FCONTROL | FSHIFT | FNOINVERT;
// The first two are the Windows program's; the rest are the keys a Linux desktop user expects. A menu item
// shows the keys of its command in this order.
constexpr std::array kAccelerators{
    Accelerator{kAltKey, 'A', kCmdAbout},
    Accelerator{kAltKey, 'X', kCmdExit},
    Accelerator{kPlainKey, VK_F5, kCmdExecute},
    Accelerator{kCtrlKey, VK_RETURN, kCmdExecute},
    Accelerator{kCtrlKey, 'S', kCmdSaveSettings},
    Accelerator{kCtrlKey, 'Q', kCmdExit},
    Accelerator{kCtrlShiftKey, 'V', kCmdPasteTable},
    Accelerator{kCtrlKey, 'Z', kCmdUndoTable},
    Accelerator{kPlainKey, VK_F1, kCmdGuide},
    Accelerator{kCtrlKey, VK_NEXT, kCmdNextPage},
    Accelerator{kCtrlKey, VK_PRIOR, kCmdPreviousPage},
    Accelerator{kCtrlKey, 'O', kCmdOpenSettings},
    Accelerator{kCtrlShiftKey, 'S', kCmdSaveSettingsAs},
    Accelerator{kCtrlShiftKey, 'C', kCmdCopyResult},
    Accelerator{kAltKey, '0', pageCommand(0)},
    Accelerator{kAltKey, '1', pageCommand(1)},
    Accelerator{kAltKey, '2', pageCommand(2)},
    Accelerator{kAltKey, '3', pageCommand(3)},
    Accelerator{kAltKey, '4', pageCommand(4)},
    Accelerator{kAltKey, '5', pageCommand(5)},
    Accelerator{kAltKey, '6', pageCommand(6)},
    Accelerator{kAltKey, '7', pageCommand(7)},
    Accelerator{kAltKey, '8', pageCommand(8)},
    Accelerator{kAltKey, '9', pageCommand(9)},
};

}  // namespace

std::span<const MenuPopup> mainMenu() { return kMainMenu; }
std::span<const MenuPopup> trayMenu() { return kTrayMenu; }
std::span<const Accelerator> acceleratorTable() { return kAccelerators; }

}  // namespace ravolin
