#pragma once

// Resource, control and command ids. An id always goes with its window: the pages reuse numbers of the main
// dialog.

namespace ravolin {

inline constexpr int kAboutDialogId = 100;
inline constexpr int kConverterDialogId = 102;
inline constexpr int kProgramIconId = 128;
inline constexpr int kNumericPageId = 129;
inline constexpr int kArrayPageId = 130;
inline constexpr int kAcceleratorTableId = 132;
inline constexpr int kTrayMenuId = 133;

// Statics carry no id of their own.
inline constexpr int kNoId = -1;

// Main dialog (102).
inline constexpr int kIdExit = 1;  // IDOK
inline constexpr int kIdCancel = 2;
inline constexpr int kIdTemplate = 1000;
inline constexpr int kIdOutput = 1001;
inline constexpr int kIdTab = 1002;
inline constexpr int kIdExecute = 1006;
inline constexpr int kIdLoopCount = 1007;
inline constexpr int kIdClearEditArea = 1010;
inline constexpr int kIdRestoreStrings = 1011;
inline constexpr int kIdSaveSettings = 1013;
inline constexpr int kIdAutoSave = 1014;

// Numeric page (129): counter r = 0..4.
constexpr int numericTokenId(int r) { return 1003 + 3 * r; }
constexpr int numericInitialId(int r) { return 1004 + 3 * r; }
constexpr int numericIncrementId(int r) { return 1005 + 3 * r; }

// Array page (130).
inline constexpr int kIdArrayToken = 1008;
inline constexpr int kIdArrayValues = 1009;

// About dialog (100).
inline constexpr int kIdAboutOk = 1;

// Menu and accelerator commands.
inline constexpr int kCmdFontSettings = 32771;
inline constexpr int kCmdExecute = 32773;
inline constexpr int kCmdClearEditArea = 32774;
inline constexpr int kCmdRestoreStrings = 32775;
inline constexpr int kCmdExit = 32778;
inline constexpr int kCmdAbout = 32779;
inline constexpr int kCmdToggleBeep = 32781;
inline constexpr int kCmdTrayAbout = 32782;
inline constexpr int kCmdTrayExit = 32783;
inline constexpr int kCmdTrayShow = 32784;
inline constexpr int kCmdToggleTray = 32785;
inline constexpr int kCmdClose = 32786;  // in no menu: reachable only by a sent command
inline constexpr int kCmdGuide = 32787;
inline constexpr int kCmdSaveResult = 32788;
inline constexpr int kCmdFormatSettings = 32789;
inline constexpr int kCmdSaveSettings = 32790;  // what button 1013 does, from the menu and Ctrl+S
// Page switching from anywhere in the window: the next and previous tab, and tab n (0 "数値", 1-9 the arrays).
inline constexpr int kCmdNextPage = 32791;
inline constexpr int kCmdPreviousPage = 32792;
inline constexpr int kCmdPasteTable = 32793;
inline constexpr int kCmdUndoTable = 32794;
inline constexpr int kCmdOpenTableFile = 32795;
inline constexpr int kCmdFirstPage = 32800;
constexpr int pageCommand(int tab) { return kCmdFirstPage + tab; }
inline constexpr int kCmdOutputShape = 32810;  // after the ten page commands
// Settings files under any name, the lists of recent files and of examples, and the result on the clipboard.
inline constexpr int kCmdOpenSettings = 32811;
inline constexpr int kCmdSaveSettingsAs = 32812;
inline constexpr int kCmdClearRecent = 32813;
inline constexpr int kCmdCopyResult = 32814;
// Example n of the examples' menu, and recent file n (0 the most recent).
inline constexpr int kCmdFirstExample = 32820;
inline constexpr int kMaxExamples = 10;
constexpr int exampleCommand(int n) { return kCmdFirstExample + n; }
inline constexpr int kCmdFirstRecent = 32830;
inline constexpr int kMaxRecentFiles = 8;
constexpr int recentCommand(int n) { return kCmdFirstRecent + n; }

// System commands.
inline constexpr unsigned kSysCmdAbout = 0x0010u;
inline constexpr unsigned SC_MINIMIZE = 0xF020u;
inline constexpr unsigned SC_CLOSE = 0xF060u;
inline constexpr unsigned SC_RESTORE = 0xF120u;

}  // namespace ravolin
