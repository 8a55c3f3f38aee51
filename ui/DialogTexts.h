#pragma once

// The program's own texts, byte for byte (UTF-8; CR LF where a text breaks lines).

namespace ravolin {

inline constexpr char kInfoCaption[] = "情報";
inline constexpr char kWarningCaption[] = "警告";
inline constexpr char kConfirmCaption[] = "確認";

inline constexpr char kOutputPlaceholder[] = "置換後データが出力されます";
inline constexpr char kFontErrorMessage[] = "[フォント設定エラー]\r\n\r\n設定を初期化します\r\n";
inline constexpr char kBusyMessage[] = "処理が実行中なのでこの操作はできません";
inline constexpr char kAlreadyRunningMessage[] = "すでに起動しています";
inline constexpr char kUnsavedQuestion[] = "現在の設定は保存されていません。\r\n終了しますか？";
inline constexpr char kRestoreQuestion[] = "置換文字列\r\n\r\n[数値]、[配列] を起動時に戻しますか？";

// Texts of our own. %1, %2: filled in where they are shown.
// A result the pane can't hold: offered to a file instead.
inline constexpr char kOutputLimitQuestion[] =
    "変換結果が上限の %1 MB を超えるため、出力欄には表示できません。\r\n出力欄の内容は変更していません。\r\n\r\n"
    "代わりに変換結果をファイルに保存しますか？";
// The output pane's context menu.
inline constexpr char kCopyItem[] = "コピー";
inline constexpr char kSelectAllItem[] = "すべてを選択";
// A copy from the output pane past its size for asking; %1 the selection's size in MB.
inline constexpr char kLargeCopyQuestion[] =
    "選択した範囲は %1 MB あります。クリップボードへのコピーには時間とメモリーがかかります。\r\n"
    "コピーしますか？\r\n\r\n「いいえ」を選ぶと、代わりに変換結果をファイルに保存できます。";
// Saving a result to a file. %1 passes done, %2 of all, %3 bytes written, %4 the time left.
inline constexpr char kSaveResultTitle[] = "変換結果の保存";
inline constexpr char kSaveResultProgress[] = "変換結果を保存しています。\r\n%1 / %2 回（%3 バイト）\r\n残り %4";
inline constexpr char kSaveResultEstimating[] = "計算中";
inline constexpr char kSaveResultCancelling[] = "キャンセルしています…";
inline constexpr char kCancelButton[] = "キャンセル";
inline constexpr char kSaveResultDone[] = "変換結果を保存しました。\r\n\r\nファイル: %1\r\nサイズ: %2 バイト";
// The same, when キャンセル came once the complete result was already taking the file's place.
inline constexpr char kSaveResultDoneBeforeCancel[] =
    "キャンセルする前に保存が完了しました。\r\n\r\nファイル: %1\r\nサイズ: %2 バイト";
inline constexpr char kSaveResultFailed[] = "変換結果を保存できませんでした。\r\n\r\n%1";
inline constexpr char kSaveResultPassTooLarge[] =
    "1 回分の変換結果が %1 MB を超えるため、保存を取りやめました。\r\nファイルは変更していません。";
inline constexpr char kSaveResultOutOfMemory[] =
    "メモリーが足りないため、保存を取りやめました。\r\nファイルは変更していません。";
inline constexpr char kOutOfMemoryMessage[] =
    "メモリーが足りないため、変換を中止しました。\r\n出力欄の内容は変更していません。ループ回数を減らしてください。";
inline constexpr char kSaveFailedMessage[] = "設定を保存できませんでした。\r\n\r\n%1";
inline constexpr char kAutoSaveFailedQuestion[] =
    "設定を保存できませんでした。\r\n\r\n%1\r\n\r\n保存せずに終了しますか？";
inline constexpr char kLockFailedMessage[] =
    "Ravolin を起動できません。\r\n二重起動を防ぐためのロックを取得できませんでした。\r\n\r\n%1";
// %1 the per-user folder, %2 why it can't be had.
inline constexpr char kUserFolderFailedMessage[] =
    "Ravolin を起動できません。\r\n設定を保存するフォルダーを用意できませんでした。\r\n\r\nフォルダー: %1\r\n理由: %2";
// The folder's name where neither XDG_CONFIG_HOME nor HOME gives one.
inline constexpr char kUserFolderUnnamed[] = "~/.config/ravolin";
inline constexpr char kLoadRefusedMessage[] =
    "設定ファイルを読み込めないため、既定の設定で起動します。\r\nこのファイルには保存しません。\r\n\r\n%1";
// The %1 of the three texts above: the file, then the failed step and its reason.
inline constexpr char kSaveFailureDetail[] = "ファイル: %1\r\n理由: %2";
inline constexpr char kSaveFailureReason[] = "%1（%2）";
inline constexpr char kAdjustedMessage[] =
    "設定を保存しましたが、次の項目はそのままの形では保存できませんでした。\r\n%1";
// One line per item of kAdjustedMessage: the item, then what became of it.
inline constexpr char kAdjustedLine[] = "\r\n・%1: %2";
inline constexpr char kTemplateItem[] = "置換元エディタ";
inline constexpr char kFontItem[] = "エディタのフォント";
inline constexpr char kCounterTokenItem[] = "[数値] %1 行目の置換文字列";
inline constexpr char kArrayTokenItem[] = "[配列%1] 置換文字列";
inline constexpr char kArrayValuesItem[] = "[配列%1] 値";
inline constexpr char kCounterStyleTextItem[] = "[数値] %1 行目の書式と繰り返しの設定";
inline constexpr char kArrayStyleTextItem[] = "[配列%1] 書式と繰り返しの設定";
inline constexpr char kHeaderItem[] = "[出力の形] 先頭";
inline constexpr char kJoinerItem[] = "[出力の形] 区切り";
inline constexpr char kFooterItem[] = "[出力の形] 末尾";
inline constexpr char kTokenShortened[] = "%1 バイトに収まるよう短くしました";
inline constexpr char kTextShortened[] = "%1 バイトを超える部分は次回の起動時に読み込まれません";
inline constexpr char kTextSubstituted[] = "保存できない文字を「?」に置き換えました";
inline constexpr char kStoredTailDropped[] = "設定ファイルにあった %1 バイトを超える部分を削除しました";
// Follows the reason of a save refused for its size; %1: the cap in MB.
inline constexpr char kSaveTooLargeAdvice[] =
    "\r\n\r\n%1 MB "
    "を超える設定ファイルは次回の起動時に読み込めないため、保存を取りやめました。ファイルは変更していません。\r\n"
    "置換元エディタや配列の値を短くするか、ほかのプログラムが書き込んだ項目を設定ファイルから削除してください。";

// Names a screen reader announces for the controls without a caption of their own; %1: the row or array.
inline constexpr char kLoopCountItem[] = "ループ回数";
inline constexpr char kOutputItem[] = "置換後データ";
inline constexpr char kTabItem[] = "数値と配列";
inline constexpr char kCounterInitialItem[] = "[数値] %1 行目の初期値";
inline constexpr char kCounterIncrementItem[] = "[数値] %1 行目の増加値";

// Tab 0, then the nine arrays.
inline constexpr const char* kTabTexts[] = {"数値",  "配列1", "配列2", "配列3", "配列4",
                                            "配列5", "配列6", "配列7", "配列8", "配列9"};

// "書式と繰り返し". %1, %2: filled in where they are shown.
inline constexpr char kFormatCaption[] = "書式と繰り返し";
inline constexpr char kFormatCountersBox[] = "数値";
inline constexpr char kFormatArraysBox[] = "配列";
inline constexpr char kFormatTokenHeader[] = "置換文字列";
inline constexpr char kFormatWidthHeader[] = "桁数(&W)";
inline constexpr char kFormatFillHeader[] = "埋める文字(&I)";
inline constexpr char kFormatFormatHeader[] = "書式(&M)";
inline constexpr char kFormatRepeatHeader[] = "繰り返し(&R)";
inline constexpr char kFormatPeriodHeader[] = "周期(&D)";
inline constexpr char kFormatArrayRepeatHeader[] = "繰り返し(&E)";
inline constexpr char kFormatEndHeader[] = "行が尽きたら(&N)";
inline constexpr const char* kFillTexts[] = {"ゼロ", "空白"};
inline constexpr const char* kFormatTexts[] = {"10進",        "16進 小文字", "16進 大文字", "8進",    "2進",
                                               "英字 小文字", "英字 大文字", "全角数字",    "漢数字", "漢数字 (位取り)",
                                               "丸数字",      "イロハ",      "アイウエオ"};
inline constexpr const char* kEndTexts[] = {"空にする", "先頭に戻る", "最後の行を繰り返す"};
inline constexpr char kFormatKindHeader[] = "種類(&K)";
inline constexpr const char* kKindTexts[] = {"整数", "日付と時刻", "小数", "乱数", "UUID"};
// The date counters' own box: where each starts, the unit its increment counts, how it is written, its days off.
inline constexpr char kFormatDatesBox[] = "日付と時刻";
inline constexpr char kFormatStartHeader[] = "開始(&S)";
inline constexpr char kFormatUnitHeader[] = "単位(&U)";
inline constexpr char kFormatPatternHeader[] = "書式(&T)";
inline constexpr char kFormatDaysOffHeader[] = "休日(&H)";
inline constexpr const char* kUnitTexts[] = {"日", "週", "月", "年", "時間", "分", "秒", "営業日"};
inline constexpr const char* kPatternChoices[] = {"yyyy/mm/dd",   "yyyy-mm-dd", "yyyy/mm/dd(aaa)",    "m月d日(aaa)",
                                                  "ggge年m月d日", "hh:mm",      "yyyy/mm/dd hh:mm:ss"};
inline constexpr char kDaysOffPlaceholder[] = "例: 12/29 12/30 12/31 2027/05/06";
inline constexpr char kDateFieldsTip[] = "種類が「日付と時刻」の行で使います";
inline constexpr char kStartUnreadable[] =
    "[日付%1] 開始: 保存されていた「%2」は日時として読めないため、2000/01/01 00:00:00 から数えます。";
inline constexpr char kDaysOffUnreadable[] =
    "[日付%1] 休日: 「%2」は日付（yyyy/mm/dd か mm/dd）として読めないため使いません。";
// One tip for both fields: the kind's own settings are in the format dialog.
inline constexpr char kInitialUnusedTip[] = "この種類のカウンターでは使いません（「書式」で設定します）";
// The box of the decimal, random and UUID counters: each row shows the fields of its kind.
inline constexpr char kFormatValuesBox[] = "小数・乱数・UUID";
inline constexpr char kDecimalStartLabel[] = "開始";
inline constexpr char kDecimalStepLabel[] = "増分";
inline constexpr char kDecimalPlacesLabel[] = "小数部の桁";
inline constexpr char kPlacesAuto[] = "自動";
inline constexpr char kRandomMinLabel[] = "最小";
inline constexpr char kRandomMaxLabel[] = "最大";
inline constexpr char kSeedLabel[] = "シード";
inline constexpr char kSeedNone[] = "（実行のたびに新しく決めます）";
inline constexpr char kSeedNoneShort[] = "（実行ごと）";
inline constexpr char kNewSeedButton[] = "新しいシード";
inline constexpr char kUniqueCheck[] = "重複なし";
inline constexpr char kFormatValueRowItem[] = "[数値%1] %2";
// The token again, named apart from the counter row's.
inline constexpr char kFormatValueRowToken[] = "[数値%1] %2（小数・乱数・UUID）";
inline constexpr char kDecimalUnreadable[] =
    "[数値%1] %2: 「%3」は小数（符号、数字、小数点と数字。数字は 18 桁まで）として読めないため 0 とします。";
inline constexpr char kSeedUnreadable[] =
    "%1 シード: 「%2」は 0～18446744073709551615 の整数として読めないため、実行のたびに新しいシードを使います。";
// The order, seed and escape of the array chosen in the box's list: of one array at a time.
inline constexpr char kFormatArrayDetailBox[] = "配列の順序とエスケープ";
inline constexpr char kFormatArrayChoiceLabel[] = "配列(&A)";
// %1 the array's number, %2 its token or kUnusedToken.
inline constexpr char kFormatArrayChoiceItem[] = "配列%1  %2";
inline constexpr char kFormatOrderHeader[] = "順序(&O)";
inline constexpr char kFormatArraySeedHeader[] = "シード";
inline constexpr const char* kOrderTexts[] = {"記載順", "シャッフル", "ランダム"};
inline constexpr char kFormatEscapeHeader[] = "エスケープ(&C)";
// A ValueEscape each (conversion/Escaping.h).
inline constexpr const char* kEscapeTexts[] = {"なし", "SQL 文字列", "SQL リテラル (空は NULL)", "CSV", "HTML",
                                               "JSON", "URL"};
inline constexpr char kPeriodNone[] = "なし";
inline constexpr char kUnusedToken[] = "（使わない）";
inline constexpr char kPreviewLabel[] = "プレビュー（最初の %1 回）(&V)";
inline constexpr char kPreviewCut[] = "…（プレビューはここまで）";
inline constexpr char kSizeLine[] = "ループ回数 %1 回: 全体 %2 行、%3 バイト";
inline constexpr char kSizeOverPane[] = "（出力欄の上限 %1 MB を超えます。「結果をファイルに保存」を使ってください）";
inline constexpr char kSizeUnknown[] =
    "ループ回数 %1 回: 全体 %2 バイト超（値に置換文字列が含まれるため、これ以上は数えていません）";
inline constexpr char kSizeNotCounted[] =
    "ループ回数 %1 回: 全体の大きさは数えていません（値に置換文字列が含まれ、数えるのに時間がかかりすぎるため）";
inline constexpr char kSizeDatesNotCounted[] =
    "ループ回数 %1 回: "
    "全体の大きさは数えていません（日付の長さが値によって変わる書式で、数えるのに時間がかかりすぎるため）";
inline constexpr char kSizeKanjiNotCounted[] =
    "ループ回数 %1 回: 全体の大きさは数えていません（漢数字 (位取り) "
    "の長さが値によって変わり、数えるのに時間がかかりすぎるため）";
inline constexpr char kSizeRandomNotCounted[] =
    "ループ回数 %1 回: "
    "全体の大きさは数えていません（乱数や並べ替えの長さが値によって変わり、数えるのに時間がかかりすぎるため）";
inline constexpr char kFitLoopButton[] = "ループ回数を配列に合わせる";
inline constexpr char kFitLoopTooLarge[] =
    "配列に合わせたループ回数は %1 回ですが、ループ回数の欄には %2 "
    "回までしか入りません。\r\nループ回数は変更していません。";
inline constexpr char kFitLoopNoArray[] =
    "置換文字列と値のある配列がないため、ループ回数を合わせられません。\r\nループ回数は変更していません。";
inline constexpr char kOkButton[] = "OK";
// The template editor's context menu; %1 the token, %2 its slot.
inline constexpr char kInsertTokenMenu[] = "置換文字列を挿入";
inline constexpr char kInsertTokenItem[] = "%1\t%2";
inline constexpr char kCounterSlotName[] = "数値 %1 行目";
inline constexpr char kArraySlotName[] = "配列%1";
// Screen-reader names of the rows' controls: the slot, then the column's heading; %1: the counter or the array.
inline constexpr char kFormatCounterRowItem[] = "[数値%1] %2";
inline constexpr char kFormatArrayRowItem[] = "[配列%1] %2";
inline constexpr char kFormatDateRowItem[] = "[日付%1] %2";

// "表の取り込み"; %1, %2: filled in where they are shown.
inline constexpr char kTableCaption[] = "表の取り込み";
inline constexpr char kTableFirstArray[] = "1 列目の取り込み先(&A):";
inline constexpr char kTableHeaderCheck[] = "1 行目を置換文字列にする(&H)";
inline constexpr char kTableFitLoopCheck[] = "ループ回数を行数に合わせる(&L)";
inline constexpr char kTableColumnTo[] = "列%1 → 配列%2";
inline constexpr char kTableColumnLeftOut[] = "列%1（取り込みません）";
inline constexpr char kTableSummary[] = "%1 行 × %2 列。値の行: %3 行";
inline constexpr char kTableLeftOut[] = "。配列9 を超える %1 列は取り込みません";
inline constexpr char kTableJoined[] = "。改行を含むセル %1 個は、改行を空白にして 1 行にします";
inline constexpr char kTablePreviewName[] = "取り込む表（最初の %1 行）";
inline constexpr char kTableNothing[] = "クリップボードに表として取り込めるテキストがありません。";
inline constexpr char kTableReplaceQuestion[] = "%1 には値が入っています。表の値で置き換えますか？";
inline constexpr char kTableTokensCut[] =
    "次の置換文字列は長すぎるため、入る長さに切り詰めました（%1 バイトまで）。\r\n%2";
inline constexpr char kPasteTableItem[] = "表を貼り付け(&T)...";
// "表ファイルを開く": the chooser's title and filters, and why a file gives no table; %1 the file, %2 the cap or
// the reason.
inline constexpr char kTableFileTitle[] = "表ファイルを開く";
inline constexpr char kTableFileFilter[] = "表ファイル (*.csv *.tsv *.txt)";
inline constexpr char kAllFilesFilter[] = "すべてのファイル (*)";
inline constexpr char kTableFileTooLarge[] =
    "表ファイルが上限の %2 MB を超えるため、取り込めません。\r\nファイルを分けてから開いてください。\r\n\r\nファイル: "
    "%1";
inline constexpr char kTableFileUnreadable[] = "表ファイルを読み込めませんでした。\r\n\r\nファイル: %1\r\n理由: %2";
inline constexpr char kTableFileNothing[] = "ファイルに表として取り込めるテキストがありません。\r\n\r\nファイル: %1";
inline constexpr char kFileNotFound[] = "ファイルが見つかりません";

// "出力の形": what stands before, between and after the passes, with a preview of the first and last ones.
inline constexpr char kShapeCaption[] = "出力の形";
inline constexpr char kShapeHeaderLabel[] = "先頭(&H)（最初の回の前）:";
inline constexpr char kShapeJoinerLabel[] = "区切り(&J)（各回の間）:";
inline constexpr char kShapeFooterLabel[] = "末尾(&E)（最後の回の後）:";
inline constexpr char kShapePresetsLabel[] = "区切りの例:";
// The presets of the joiner: their buttons and what each sets.
struct JoinerPreset {
    const char* caption;
    const char* joiner;
};
inline constexpr JoinerPreset kJoinerPresets[] = {
    {"改行", "\r\n"}, {"カンマ + 改行", ",\r\n"}, {"カンマ", ","}, {"タブ", "\t"}, {"なし", ""},
};
inline constexpr char kShapePreviewLabel[] = "プレビュー（最初と最後の回）(&V):";
// Between the first and the last pass of the preview, where more passes lie between them.
inline constexpr char kShapeEllipsis[] = "…";
// The preview of a run without passes, or of a pass too long to show.
inline constexpr char kShapeNoPass[] = "（ループ回数が 0 のため、先頭と末尾だけを出力します）";
inline constexpr char kShapePassTooLong[] = "（この回は長すぎるため表示しません）";

// The pages' line of a slot's styles, and its button; %1: the counter's row or the array.
inline constexpr char kSummarySeparator[] = "・";
inline constexpr char kSummaryDigits[] = "桁";
inline constexpr char kSummaryRepeat[] = "回ずつ";
inline constexpr char kSummaryPeriod[] = "周期";
inline constexpr char kSummaryDate[] = "日付";
inline constexpr char kSummaryFrom[] = "から";
inline constexpr char kSummaryDecimal[] = "小数";
inline constexpr char kSummaryStepSuffix[] = "ずつ";
inline constexpr char kSummaryPlaces[] = "小数部%1桁";
inline constexpr char kSummaryRandom[] = "乱数";
inline constexpr char kSummaryRange[] = "%1～%2";
inline constexpr char kSummaryUnique[] = "重複なし";
inline constexpr char kSummarySeed[] = "シード%1";
inline constexpr char kSummaryUuid[] = "UUID";
// An array's escape as the pages' line names it; none is not named.
inline constexpr const char* kSummaryEscapeTexts[] = {
    "", "SQL 文字列", "SQL リテラル", "CSV エスケープ", "HTML エスケープ", "JSON エスケープ", "URL エンコード"};
inline constexpr const char* kSummaryFormatTexts[] = {"10進",   "16進",   "16進大", "8進",    "2進",
                                                      "英字",   "英字大", "全角",   "漢数字", "漢数字位取り",
                                                      "丸数字", "イロハ", "アイウ"};
inline constexpr char kStyleButton[] = "書式";
inline constexpr char kStyleButtonTip[] = "書式と繰り返しの設定を開きます";
inline constexpr char kCounterStyleItem[] = "[数値] %1 行目の書式と繰り返し";
inline constexpr char kArrayStyleItem[] = "[配列%1] 書式と繰り返し";
inline constexpr char kCounterSummaryItem[] = "[数値] %1 行目の書式";
inline constexpr char kArraySummaryItem[] = "[配列%1] 書式";

// The loop field's mark: a short word beside it and the reason in its tooltip.
inline constexpr char kLoopNotANumber[] = "数字のみ";
inline constexpr char kLoopNotANumberTip[] = "ループ回数には 0 から 2147483647 までの数を半角数字で入力してください。";
inline constexpr char kLoopOverRange[] = "範囲外";
inline constexpr char kLoopOverRangeTip[] = "ループ回数は 2147483647 までです。";

// The window's Japanese face is missing; in English too, since without any Japanese face the Japanese
// line is empty boxes. %1: the face that draws the window instead.
inline constexpr char kSubstitutedFaceMessage[] =
    "ウィンドウの日本語フォント IPA Pゴシック（fonts-ipafont-gothic）が見つからないため、代わりに %1 "
    "で表示します。\r\n\r\nThe window's Japanese font IPAPGothic (fonts-ipafont-gothic) is not installed; %1 "
    "draws it instead.";
inline constexpr char kNoJapaneseFaceMessage[] =
    "日本語のフォントがないため、日本語の文字を表示できません。fonts-ipafont-gothic をインストールしてください。"
    "\r\n\r\nNo installed font has Japanese characters, so Japanese text can't be shown. Please install "
    "fonts-ipafont-gothic.";

// The window title: the mark of unsaved settings, and the note of a save that succeeded.
inline constexpr char kUnsavedMark[] = " *";
inline constexpr char kSavedNote[] = " - 設定を保存しました";

// Settings files under any name, the recent ones and the examples. %1: the file.
inline constexpr char kTitleFileSeparator[] = " - ";
inline constexpr char kOpenUnsavedQuestion[] = "現在の設定は保存されていません。\r\n保存せずにほかの設定を開きますか？";
inline constexpr char kOpenAutoSaveFailedQuestion[] =
    "設定を保存できませんでした。\r\n\r\n%1\r\n\r\n保存せずにほかの設定を開きますか？";
inline constexpr char kOpenRefusedMessage[] =
    "設定ファイルを読み込めないため、開きませんでした。\r\n現在の設定はそのままです。\r\n\r\n%1";
inline constexpr char kOpenMissingMessage[] =
    "設定ファイルが見つからないため、開きませんでした。\r\n現在の設定はそのままです。\r\n\r\nファイル: %1";
inline constexpr char kStartFileMissingMessage[] =
    "設定ファイルが見つからないため、既定の設定で始めます。\r\n保存するとこのファイルを作成します。\r\n\r\nファイル: "
    "%1";
// %1 the number from 1, %2 the file.
inline constexpr char kRecentFileItem[] = "&%1 %2";
inline constexpr char kRecentNone[] = "（なし）";

// A text file dropped on an array's value list; %1 the array, or the file and why it can't be read.
inline constexpr char kFileReplaceQuestion[] = "%1 には値が入っています。ファイルの値で置き換えますか？";
inline constexpr char kDroppedFileUnreadable[] = "ファイルを読み込めませんでした。\r\n\r\n%1";

// The line under the pages that says what "結果をコピー" did; %1 the lines, %2 the size.
inline constexpr char kStatusItem[] = "状態";
inline constexpr char kCopiedStatus[] = "%1 行（%2）をコピーしました";
inline constexpr char kCopyNothingStatus[] = "コピーする結果がありません";
inline constexpr char kSizeInBytes[] = "%1 バイト";

// The notification-area icon.
inline constexpr char kTrayExitQuestion[] = "アプリケーションを終了しますか？";
inline constexpr char kTrayTip[] = "RavArchive";

}  // namespace ravolin
