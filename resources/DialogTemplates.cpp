#include "resources/DialogTemplate.h"

#include <array>

namespace ravolin {
namespace {

constexpr std::string_view kDialogFace = "ＭＳ Ｐゴシック";
constexpr int kDialogPointSize = 10;
constexpr int kDialogWeight = 400;
constexpr std::uint8_t kShiftJisCharSet = 128;

constexpr std::uint32_t kTextEditor =
    ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_HSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
constexpr std::uint32_t kOneLineEdit = ES_MULTILINE | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr std::uint32_t kHeading = SS_LEFT | SS_CENTERIMAGE;
constexpr std::uint32_t kFlatButton = BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP;

constexpr std::array kConverterControls{
    // "変換実行" is the default button, so Enter in a field runs rather than ends the program.
    ControlTemplate{kIdExit, ControlKind::PushButton, "終了", {421, 376, 50, 14}, BS_PUSHBUTTON | WS_TABSTOP},
    ControlTemplate{kIdTemplate, ControlKind::Edit, "", {6, 8, 465, 210}, kTextEditor},
    // Scrolls sideways, so a count of any length can be typed.
    ControlTemplate{
        kIdLoopCount, ControlKind::Edit, "", {58, 241, 23, 12}, ES_MULTILINE | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
    ControlTemplate{kIdAutoSave,
                    ControlKind::CheckBox,
                    "終了時に自動的に保存する",
                    {6, 268, 104, 12},
                    BS_AUTOCHECKBOX | WS_TABSTOP},
    ControlTemplate{kIdRestoreStrings, ControlKind::PushButton, "置換文字列初期化", {6, 299, 75, 16}, kFlatButton},
    ControlTemplate{kIdClearEditArea, ControlKind::PushButton, "編集エリア削除", {6, 322, 75, 16}, kFlatButton},
    ControlTemplate{kIdExecute, ControlKind::PushButton, "変換実行", {6, 345, 119, 21}, kFlatButton | BS_DEFPUSHBUTTON},
    ControlTemplate{kIdTab, ControlKind::TabControl, "", {133, 228, 206, 139}, 0},
    ControlTemplate{kIdOutput, ControlKind::Edit, "", {351, 228, 120, 139}, kTextEditor | ES_READONLY},
    ControlTemplate{kIdSaveSettings,
                    ControlKind::PushButton,
                    "現在の設定を保存する",
                    {320, 376, 91, 14},
                    BS_PUSHBUTTON | WS_TABSTOP},
    ControlTemplate{kNoId, ControlKind::GroupBox, "共通設定", {6, 228, 119, 34}, BS_GROUPBOX},
    ControlTemplate{kNoId, ControlKind::StaticText, "ループ回数", {13, 241, 36, 12}, kHeading},
    ControlTemplate{kNoId, ControlKind::StaticFrame, "", {0, 0, 477, 1}, SS_BLACKFRAME | SS_SUNKEN},
};

constexpr std::array kNumericControls{
    ControlTemplate{kNoId, ControlKind::StaticText, "置換文字列", {7, 7, 38, 11}, kHeading},
    ControlTemplate{kNoId, ControlKind::StaticText, "初期値", {50, 7, 27, 11}, kHeading},
    ControlTemplate{kNoId, ControlKind::StaticText, "増加値", {80, 7, 26, 11}, kHeading},
    ControlTemplate{numericTokenId(0), ControlKind::Edit, "", {7, 23, 40, 12}, kOneLineEdit},
    ControlTemplate{numericInitialId(0), ControlKind::Edit, "", {50, 23, 25, 12}, kOneLineEdit},
    ControlTemplate{numericIncrementId(0), ControlKind::Edit, "", {80, 23, 25, 12}, kOneLineEdit},
    ControlTemplate{numericTokenId(1), ControlKind::Edit, "", {7, 37, 40, 12}, kOneLineEdit},
    ControlTemplate{numericInitialId(1), ControlKind::Edit, "", {50, 37, 25, 12}, kOneLineEdit},
    ControlTemplate{numericIncrementId(1), ControlKind::Edit, "", {80, 37, 25, 12}, kOneLineEdit},
    ControlTemplate{numericTokenId(2), ControlKind::Edit, "", {7, 51, 40, 12}, kOneLineEdit},
    ControlTemplate{numericInitialId(2), ControlKind::Edit, "", {50, 51, 25, 12}, kOneLineEdit},
    ControlTemplate{numericIncrementId(2), ControlKind::Edit, "", {80, 51, 25, 12}, kOneLineEdit},
    ControlTemplate{numericTokenId(3), ControlKind::Edit, "", {7, 65, 40, 12}, kOneLineEdit},
    ControlTemplate{numericInitialId(3), ControlKind::Edit, "", {50, 65, 25, 12}, kOneLineEdit},
    ControlTemplate{numericIncrementId(3), ControlKind::Edit, "", {80, 65, 25, 12}, kOneLineEdit},
    ControlTemplate{numericTokenId(4), ControlKind::Edit, "", {7, 79, 40, 12}, kOneLineEdit},
    ControlTemplate{numericInitialId(4), ControlKind::Edit, "", {50, 79, 25, 12}, kOneLineEdit},
    ControlTemplate{numericIncrementId(4), ControlKind::Edit, "", {80, 79, 25, 12}, kOneLineEdit},
};

constexpr std::array kArrayControls{
    ControlTemplate{kNoId, ControlKind::StaticText, "置換文字列", {7, 7, 38, 11}, kHeading},
    ControlTemplate{kIdArrayToken, ControlKind::Edit, "", {51, 6, 40, 12}, kOneLineEdit},
    ControlTemplate{kIdArrayValues, ControlKind::Edit, "", {7, 23, 187, 92}, kTextEditor},
};

constexpr std::array kAboutControls{
    ControlTemplate{kNoId, ControlKind::StaticIcon, "", {11, 14, 21, 20}, SS_ICON},
    ControlTemplate{kNoId,
                    ControlKind::StaticText,
                    "Ravolin バージョン " RAVOLIN_VERSION,
                    {42, 10, 126, 10},
                    SS_LEFT | SS_NOPREFIX},
    ControlTemplate{kNoId,
                    ControlKind::StaticText,
                    "テンプレートから連番付きの繰り返しテキストを作ります。",
                    {42, 24, 126, 20},
                    SS_LEFT | SS_NOPREFIX},
    ControlTemplate{
        kIdAboutOk, ControlKind::PushButton, "OK", {178, 7, 50, 14}, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
};

constexpr std::uint32_t kModalStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

constexpr std::array kTemplates{
    DialogTemplate{kConverterDialogId,
                   "Ravolin",
                   {0, 0, 478, 395},
                   kModalStyle | WS_MINIMIZEBOX,
                   WS_EX_APPWINDOW,
                   kDialogFace,
                   kDialogPointSize,
                   kDialogWeight,
                   kShiftJisCharSet,
                   kConverterControls},
    DialogTemplate{kNumericPageId,
                   "",
                   {0, 0, 113, 122},
                   WS_CHILD | DS_SETFONT,
                   0,
                   kDialogFace,
                   kDialogPointSize,
                   kDialogWeight,
                   kShiftJisCharSet,
                   kNumericControls},
    DialogTemplate{kArrayPageId,
                   "",
                   {0, 0, 201, 122},
                   WS_CHILD | DS_SETFONT,
                   0,
                   kDialogFace,
                   kDialogPointSize,
                   kDialogWeight,
                   kShiftJisCharSet,
                   kArrayControls},
    DialogTemplate{kAboutDialogId,
                   "Ravolin のバージョン情報",
                   {0, 0, 235, 52},
                   kModalStyle,
                   0,
                   kDialogFace,
                   kDialogPointSize,
                   kDialogWeight,
                   kShiftJisCharSet,
                   kAboutControls},
};

}  // namespace

const DialogTemplate* findDialogTemplate(int id) {
    for (const DialogTemplate& t : kTemplates) {
        if (t.id == id) return &t;
    }
    return nullptr;
}

}  // namespace ravolin
