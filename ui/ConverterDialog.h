#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QList>
#include <QPointer>

#include "conversion/Table.h"
#include "resources/Menus.h"
#include "settings/FontDescription.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "ui/ArrayPage.h"
#include "ui/DialogServices.h"
#include "ui/NumericPage.h"
#include "ui/controls/ControlHost.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/MenuBuilder.h"
#include "ui/controls/TemplateBuilder.h"

class QLabel;
class QMimeData;
class QMenu;
class QUrl;
class QMenuBar;
class QProgressDialog;
class QPushButton;
class QTimer;

namespace ravolin {

class TabControl;
struct ResultSaveJob;
class UiCallChannel;

// The program's only main window: the template editor, the output pane, the loop count, the buttons, the
// tab control with the counter and array pages, and the menu bar. Run modally; when it closes the program
// ends. What it shows is a Document: documentShown and showDocument are the one way between the two.
class ConverterDialog : public QDialog, public ControlHost {
    Q_OBJECT
public:
    // `record` is the process-wide settings record; `settingsPath` the file the settings are loaded from.
    ConverterDialog(DialogServices services, std::string settingsPath, Settings& record, QWidget* parent = nullptr);
    ~ConverterDialog() override;

    // Creates the window and its controls from template 102 and runs OnInitDialog; the window stays hidden.
    // Does nothing once the window exists.
    void Create();
    // Create, then the run of the window until the dialog ends (hidden in the notification area or not);
    // returns the value the dialog ended with.
    int DoModal();

    // Every command (buttons, menu items, accelerators, sent commands) enters here; false when no handler
    // takes the id.
    bool OnCommand(int id);
    // A system command (WM_SYSCOMMAND).
    void OnSysCommand(unsigned id);

    void OnSelchangeTab();
    void ShowPage(int index);
    // Selects tab `index` (wrapping around) and shows its page, as a click on the tab would; the focus moves
    // to the tab bar when it was on the page that goes out of sight.
    void selectPage(int index);

    // The exit path, and the close request (Esc, the close box, command 32786, IDCANCEL).
    void OnOK();
    void OnCancel();
    void OnExit();
    // The desktop session ends, or the program was told to end (SIGTERM, SIGHUP, SIGINT): no one is there to
    // answer. With auto-save on, the fields are saved as the exit saves them, during a run as well; a failure,
    // or a text stored other than it stood, goes to `diagnostics` instead of a box. Without auto-save nothing
    // is written. Asks nothing and leaves the window as it is: the caller ends the program.
    void OnEndSession(std::ostream& diagnostics);
    void OnAbout();
    // The short guide of the help menu.
    void OnGuide();

    // Conversion runs, saving and the small commands.
    void OnExecute();
    // The worker's entry and its seven steps. The worker owns nothing of the dialog: `dialog` is reached only
    // through `channel`, on the user-interface thread, and never once the channel is closed.
    static void ConversionThreadProc(std::shared_ptr<UiCallChannel> channel, ConverterDialog* dialog, TonePort& tone);
    static void RunConversion(UiCallChannel& channel, ConverterDialog* dialog, TonePort& tone);
    // Which controls a run locks: flag 1 unlocks, any other value locks.
    void SetRunControls(int flag);
    // What the controls show, as a run reads it; on the user-interface thread, and it writes no control.
    // What a run expands; a slot that draws from a seed and has none gets one here, shown in its row.
    ExpansionInput GatherExpansionInput();
    // The document the window shows: the fields as typed (tokens uncut, the loop count as a save reads it), each
    // slot's style, and the options and font of the window's members. Writes no control.
    Document documentShown() const;
    // Shows `document`: the fields, the styles, the options and the font. A field that already reads as the value
    // is left as typed (the editor keeps its undo history). The record and the stored loop count don't change.
    void showDocument(const Document& document);
    // A conversion run or a result save is going on.
    bool isRunning() const { return m_pWorker != nullptr || m_saveJob != nullptr; }
    // "Busy": the refusal of whatever would end the window during a run.
    void showBusyWarning();
    // Copies the shown document into m_nLoopCount and the record; returns the tokens it had to shorten to fit.
    std::vector<TextAdjustment> GatherSettings();
    SaveResult WriteSettings();
    void OnSaveSettings();
    // GatherSettings then WriteSettings, with the record kept as the file holds it when the write fails; a
    // save that succeeded clears the unsaved mark.
    SaveResult saveFromControls();
    // The warning naming every text the save stored other than as it stood; nothing when there is none.
    void warnAboutAdjustments(const SaveResult& saved);
    // Whether a field the file stores was changed since the settings were loaded or last saved.
    bool fieldsChangedSinceSave() const;
    void OnClearEditArea();
    void OnRestoreReplacementStrings();
    // "結果をファイルに保存": asks where and how, then streams the result there with a progress dialog.
    void OnSaveResultToFile();
    // "書式と繰り返しの設定": the dialog of the counters' formats and the arrays' repeats, with its preview;
    // with a tab (0 the counters, 1-9 the arrays) and a row, it opens with that slot's first control focused.
    void OnFormatSettings(int tab = -1, int row = 0);
    // "出力の形": the header, the joiner and the footer of the output, with a preview of the first and last passes.
    void OnOutputShape();
    // "表を貼り付け": the clipboard's table into the arrays from `firstArray` (0-8) on, through "表の取り込み".
    void OnPasteTable(std::size_t firstArray = 0);
    // "表ファイルを開く": a table file chosen in the file chooser, into the arrays from 配列1 on.
    void OnOpenTableFile();
    // The table of the file at `path` through "表の取り込み"; what is wrong with the file is said in a box.
    void openTableFile(const std::string& path);
    // Brings the arrays and the loop count back to before the last table import.
    void OnUndoTable();
    // The template editor's context menu: the edit's own items, then "置換文字列を挿入" with the fourteen tokens
    // as the pages show them, each typed at the caret when chosen. Deletes itself once closed.
    QMenu* templateContextMenu();
    // The table import's entries in the arrays' value lists and its undo key.
    void hookTableCommands();
    bool undoesTable(QObject* watched, QEvent* event);
    void OnToggleBeep();
    void OnToggleTray();
    void OnAutoSaveClicked();

    // Settings files under any name. "設定を開く" and "設定に名前を付けて保存" ask for the file; opening asks
    // about unsaved work as the exit does, and the file opened or saved becomes the window's settings file.
    void OnOpenSettings();
    void OnSaveSettingsAs();
    // Opens `path` once chosen: a file that can't be read is said so and leaves the window as it was; else the
    // unsaved question (or auto-save), then the file's settings. True when it was opened.
    bool openSettingsFile(const std::string& path);
    // Another start of the program asks for `path`: the window comes to the front, then opens it.
    void OnOpenRequest(const std::string& path);
    // "最近使った設定": the file of item `index` (0 the most recent), and "一覧を消去".
    void OnRecentFile(int index);
    void OnClearRecentFiles();
    // "例から始める": the example `index` fills the window (after the unsaved question), marked unsaved; no file
    // is read or written and the settings file stays.
    void OnExample(int index);
    // Marks the settings file as one the user named (given at the start, opened, saved under a name): the title
    // shows it. Before Create, a named file that is missing is said so when the window loads.
    void setSettingsFileNamed(bool named);
    bool settingsFileNamed() const { return m_settingsNamed; }

    // "結果をコピー": the whole output on the clipboard, LF between lines, and a line saying how much it was.
    void OnCopyResult();
    // The output as the pane shows it, LF between lines; empty while it shows no result.
    QString outputText() const;
    // The line under the pages that says what a command did; empty when it says nothing.
    QString statusShown() const;

    // Files dropped at `target` (a widget of this window): a settings file opens as "設定を開く" does, a text
    // file dropped on an array's value list fills that list; anything else is left alone. With `justAsking`
    // nothing is done; either way, true when the drop is one of these.
    bool dropFiles(const QList<QUrl>& urls, QWidget* target, bool justAsking);
    // A drag of such files over a widget of the window is taken, and their drop done once it has returned.
    bool takesFileDrag(QObject* watched, QEvent* event);
    // Ending the window (EndDialog, DestroyWindow) is refused while a run is active.
    void done(int result) override;
    // Worker threads not yet ended, of every dialog: a run may outlive its dialog.
    static int liveWorkerCount();

    // The editor font command (32771) and the notification-area icon (the icon's mouse messages and its
    // menu's commands 32782 to 32784).
    void OnFontSettings();
    // NIM_ADD or NIM_DELETE with the program's icon and tip; true when the notification area took it.
    bool NotifyTrayIcon(unsigned action);
    // A mouse message (kWmLButtonDblClk, kWmRButtonDown...) reported by the icon.
    void OnTrayIcon(unsigned mouseMessage);
    void OnTrayShowWindow();
    void OnTrayExit();

    // The menu item of command `id`, or nullptr.
    QAction* GetMenuItem(int id) const;
    void CheckMenuItem(int id, bool checked);
    void EnableMenuItem(int id, bool enabled);

    // The dialog window's own font setting (WM_SETFONT / WM_GETFONT): it doesn't change existing controls.
    const LogFont& GetWindowFont() const { return m_windowFont; }
    void SetWindowFont(const LogFont& font) { m_windowFont = font; }

    // Sets m_bUnsaved and the mark in the window title that shows it.
    void setUnsaved(std::int32_t unsaved);
    // The summary of a slot's styles shown on its page (tab 0 row r, or tab 1-9); empty for the defaults.
    QString styleSummaryShown(int tab, int row = 0) const;

    const std::string& settingsPath() const { return m_settingsPath; }
    DialogServices& services() { return m_services; }

    // The pages, the tab control and the state the document doesn't hold, for the rest of the interface.
    NumericPage& numericPage() { return m_numericPage; }
    std::array<ArrayPage, kArrayCount>& arrayPages() { return m_arrayPage; }
    TabControl* tabControl() const { return m_tab; }
    int currentTab() const { return m_nCurTab; }
    const QFont& editorFont() const { return m_editorFont; }
    std::int32_t unsaved() const { return m_bUnsaved; }
    // The running conversion's channel to this window; null when idle.
    const std::shared_ptr<UiCallChannel>& runChannel() const { return m_pWorker; }

protected:
    virtual bool OnInitDialog();
    // Sees every key aimed at one of the dialog's own controls before they do; true consumes it.
    virtual bool PreTranslateMessage(QWidget* target, const QKeyEvent& key);
    void LoadSettings();
    LogFont ParseFontString();

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    // Minimizing, by the window system or by OnSysCommand, arrives here.
    void changeEvent(QEvent* event) override;

private:
    // Lets a test put the window in states no command makes (an option's flag apart from its menu mark).
    friend struct ConverterDialogTestAccess;

    // The document as last loaded or saved: the members and the record, with the template as loaded.
    Document storedDocument() const;
    // Before the window leaves its job for another: what the exit does with it (auto-save, or the unsaved
    // question with "いいえ" the default). True when the window may go on.
    bool mayLeaveDocument(const char* unsavedQuestion, const char* saveFailedQuestion);
    // Unsaved work is let go only when the user says so; true when there is none or the answer is "はい".
    bool mayDiscardUnsaved();
    // A loaded file's settings take the window, as the start's load does; the output goes back to its
    // placeholder. The options and the font come with them (a font that can't be read leaves the window's).
    void takeDocument(Document loaded);
    // What an example or an opened file replaces: the output and the table import's undo.
    void forgetOutputAndUndo();
    // Where the choosers open: the folder of the settings file last opened or saved, else the current one's.
    std::string settingsFolder() const;
    // The recent files kept in the per-user folder: `path` put first, and the menu's items.
    void noteRecentFile(const std::string& path);
    void refreshRecentMenu();
    // A text file's lines into array `index`'s value list, after the question when the list holds values.
    void fillArrayFromFile(std::size_t index, const std::string& path);
    // Says `text` in the status line for a while.
    void showStatus(const QString& text);

    std::array<ArrayPage, kArrayCount> m_arrayPage;
    TabControl* m_tab = nullptr;  // control 1002
    NumericPage m_numericPage;
    int m_nCurTab = 0;
    QFont m_editorFont;
    std::int32_t m_nLoopCount = 0;
    std::atomic<std::int32_t> m_bBeep = 0;  // also read by the worker at the end of a run
    std::int32_t m_bTray = 0;
    std::int32_t m_bAutoSave = 0;
    std::string m_strTemplate;
    std::string m_strFont;
    OutputShape m_shape;  // the header, the joiner and the footer: set by "出力の形", stored like the options
    std::int32_t m_bUnsaved = 0;
    QIcon m_hIcon;
    std::span<const Accelerator> m_hAccel;
    std::shared_ptr<UiCallChannel> m_pWorker;  // the running conversion's channel to this window; null when idle
    std::size_t m_outputLimit;                 // the largest result the output pane takes, in bytes

    void DoDataExchange();
    void createPages();
    void LoadAccelerators();
    void TranslateAccelerator(const Accelerator& accelerator);
    void OnSetFocus(int id);
    // Control 1001, and the question it asks before a copy too large to make lightly: true copies, false offers
    // the result save instead.
    QWidget* makeOutputView(QWidget& parent);
    bool askLargeCopy(std::size_t selected);
    void minimizeToTray();
    void showTrayMenu();
    // "最小化時にタスクトレイに入れる" is offered only while a notification area exists; one may come up later.
    void enableTrayOption();
    void OnDestroy();
    // Screen-reader names of the controls that have no caption.
    void nameControls();
    // Places every control for the client area's size: the editor and the output pane take the room beyond
    // the template's size, the rest keep theirs and their distance to the nearest edge.
    void layoutControls();
    // The window's size and state, kept in the per-user folder between starts (not in the settings file).
    void restoreWindowState();
    void saveWindowState() const;
    void updateTitle();
    // Shows "saved" in the title for a few seconds.
    void noteSaved();
    // Marks the loop field when its text is not a count it takes.
    void checkLoopField();
    // Lays the pages over the tab control's display area.
    void placePages();
    // The document shown at the last load or save, to tell whether the fields were changed since.
    Document m_savedDocument;
    // The rows of a paste or a file through "表の取り込み" into the arrays, column 1 to `firstArray` (0-8).
    void importTable(TableRows rows, std::size_t firstArray);
    // Before and after the last table import: while the window still shows `after`, Ctrl+Z brings `before` back.
    std::optional<Document> m_beforeTable;
    Document m_afterTable;
    // OnInitDialog has put the loaded settings into the fields; before that they hold nothing to keep.
    bool m_fieldsLoaded = false;
    // Counts the worker threads of runs and result saves alike.
    static void noteWorkerStarted();
    static void noteWorkerEnded();
    void pollResultSave();
    // The window ends: a result save still going is cancelled, and its temporary file is gone on return.
    void endResultSave();
    // At the start: the temporary files that saves of processes now gone left beside the last result target.
    void removeLeftResultTemporaries() const;
    std::shared_ptr<ResultSaveJob> m_saveJob;  // the result save going on; null when none
    QPointer<QProgressDialog> m_saveProgress;
    ResultFileChoice m_lastResultChoice;  // the last save's choices, offered again in this session

    DialogServices m_services;
    std::string m_settingsPath;
    Settings& m_record;
    QWidget* m_client = nullptr;  // the client area under the menu bar, in which the template's controls sit
    QMenuBar* m_menuBar = nullptr;
    MenuCommands m_menu;
    LogFont m_windowFont;
    QPointer<QWidget> m_focusBeforeRun;  // a locked control that had the focus when the run began
    // The template's controls with their rectangles at the template's size, for layoutControls.
    std::vector<PlacedControl> m_placed;
    QSize m_templateSize;
    QLabel* m_loopStatus = nullptr;
    bool m_bFirstStart = false;              // no settings file existed when the window loaded
    bool m_settingsNamed = false;            // the title names the settings file
    std::vector<std::string> m_recentShown;  // the files the recent menu shows, in its order
    QLabel* m_status = nullptr;
    QTimer* m_statusClear = nullptr;
    static constexpr int kStatusMs = 8000;  // how long the status line says what was done
    int m_loadRefusal = 0;        // why the file at the start could not be taken (0: it was, or there was none)
    JapaneseFontPlan m_fontPlan;  // which face draws the window
    QTimer* m_savedNote = nullptr;
    static constexpr int kSavedNoteMs = 4000;  // how long the title says a save succeeded
};

}  // namespace ravolin
