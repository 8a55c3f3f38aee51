#pragma once

// The program's own texts, byte for byte (UTF-8; CR LF where a text breaks lines).

namespace ravolin {

inline constexpr char kInfoCaption[] = "情報";
inline constexpr char kWarningCaption[] = "警告";

inline constexpr char kOutputPlaceholder[] = "置換後データが出力されます";
inline constexpr char kFontErrorMessage[] = "[フォント設定エラー]\r\n\r\n設定を初期化します\r\n";
inline constexpr char kBusyMessage[] = "処理が実行中なのでこの操作はできません";
inline constexpr char kAlreadyRunningMessage[] = "すでに起動しています";

// Tab 0, then the nine arrays.
inline constexpr const char* kTabTexts[] = {"数値",  "配列1", "配列2", "配列3", "配列4",
                                            "配列5", "配列6", "配列7", "配列8", "配列9"};

// The notification-area icon.
inline constexpr char kConfirmCaption[] = "確認";
inline constexpr char kTrayExitQuestion[] = "アプリケーションを終了しますか？";
inline constexpr char kTrayTip[] = "RavArchive";

}  // namespace ravolin
