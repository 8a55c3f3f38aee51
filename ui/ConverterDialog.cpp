#include "ui/ConverterDialog.h"

#include <sys/stat.h>

#include <cerrno>
#include <iostream>
#include <utility>

#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "settings/SettingsStore.h"
#include "ui/DialogTexts.h"
#include "ui/OutputView.h"
#include "ui/SaveMessages.h"
#include "ui/UiCallChannel.h"
#include "ui/controls/FontMapping.h"
#include "ui/controls/ProgramIconLoader.h"
#include "ui/controls/TabControl.h"
#include "ui/controls/TemplateBuilder.h"

namespace ravolin {

ConverterDialog::ConverterDialog(DialogServices services, std::string settingsPath, Settings& record, QWidget* parent)
    : QDialog(parent),
      m_outputLimit(kOutputLimitBytes),
      m_services(std::move(services)),
      m_settingsPath(std::move(settingsPath)),
      m_record(record) {
    m_fontPlan = m_services.japaneseFonts();
    m_hIcon = loadProgramIcon();
}

ConverterDialog::~ConverterDialog() {
    // First of all: a run still active must not wait for this window, nor reach it once it is gone.
    if (m_pWorker) m_pWorker->close();
    endResultSave();
    OnDestroy();
}

void ConverterDialog::Create() {
    if (m_client) return;
    const DialogTemplate& dialog = *findDialogTemplate(kConverterDialogId);
    setWindowTitle(QString::fromUtf8(dialog.caption));
    // Caption, system menu, minimize and maximize boxes: the template's size is the least the window takes.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);

    m_windowFont = templateLogFont(dialog, screenDpi());
    m_client = new QWidget(this);
    m_client->setFont(fontFromLogFont(m_windowFont));
    const BaseUnits units = dialogBaseUnits(m_client->font());
    m_templateSize = MapDialogRect(dialog.rect, units).size();
    m_client->setMinimumSize(m_templateSize);
    buildControls(dialog, *m_client, units, *this,
                  {this, [this](int id) { OnCommand(id); }, [this](int id) { OnSetFocus(id); },
                   [this](int id, QWidget& parent) { return id == kIdOutput ? makeOutputView(parent) : nullptr; }},
                  &m_placed);
    connect(qobject_cast<TabControl*>(GetDlgItem(kIdTab)), &TabControl::selChange, this,
            &ConverterDialog::OnSelchangeTab);
    // Beside the loop count, inside its group: why the count typed there is not one the field takes.
    m_loopStatus = new QLabel(m_client);
    m_loopStatus->setTextFormat(Qt::PlainText);
    m_placed.push_back({m_loopStatus, kNoId, MapDialogRect({84, 241, 38, 12}, units)});
    connect(qobject_cast<QLineEdit*>(GetDlgItem(kIdLoopCount)), &QLineEdit::textChanged, this,
            &ConverterDialog::checkLoopField);
    // Under the pages, beside the save button: what the last command did, for a while.
    m_status = new QLabel(m_client);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setAccessibleName(QString::fromUtf8(kStatusItem));
    m_placed.push_back({m_status, kNoId, MapDialogRect({133, 376, 183, 14}, units)});
    m_statusClear = new QTimer(this);
    m_statusClear->setSingleShot(true);
    m_statusClear->setInterval(kStatusMs);
    connect(m_statusClear, &QTimer::timeout, m_status, &QLabel::clear);
    m_client->installEventFilter(this);
    nameControls();
    // Files dropped anywhere on the window reach it, also where no control takes a drop.
    setAcceptDrops(true);

    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    m_menu.onCommand = [this](int id) { OnCommand(id); };
    buildMenuBar(*m_menuBar, mainMenu(), m_menu, acceleratorTable());
    // The menus in the window's font too: the system's default face varies with the locale (a Japanese
    // locale picks another one), and the window's height with it.
    m_menuBar->setFont(m_client->font());
    for (QMenu* menu : m_menuBar->findChildren<QMenu*>()) menu->setFont(m_client->font());
    // A notification area may come up after the start (a panel started later): asked again whenever the menu
    // of the option opens.
    if (auto* tools = qobject_cast<QMenu*>(GetMenuItem(kCmdToggleTray)->parent()))
        connect(tools, &QMenu::aboutToShow, this, &ConverterDialog::enableTrayOption);
    // Another window may have opened a file meanwhile, and a listed file may be gone.
    if (auto* recent = qobject_cast<QMenu*>(GetMenuItem(kCmdClearRecent)->parent()))
        connect(recent, &QMenu::aboutToShow, this, &ConverterDialog::refreshRecentMenu);

    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    frame->setMenuBar(m_menuBar);
    frame->addWidget(m_client);
    resize(sizeHint());

    m_savedNote = new QTimer(this);
    m_savedNote->setSingleShot(true);
    m_savedNote->setInterval(kSavedNoteMs);
    connect(m_savedNote, &QTimer::timeout, this, &ConverterDialog::updateTitle);

    m_services.trayIcon.SetMouseHandler([this](unsigned mouseMessage) { OnTrayIcon(mouseMessage); });
    QWidget* editor = GetDlgItem(kIdTemplate);
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor, &QWidget::customContextMenuRequested, this,
            [this, editor](const QPoint& at) { templateContextMenu()->popup(editor->mapToGlobal(at)); });
    OnInitDialog();
    // A file named at the start that was there to load is one opened.
    if (m_settingsNamed && !m_bFirstStart && m_loadRefusal == 0) {
        noteRecentFile(m_settingsPath);
    } else {
        refreshRecentMenu();
    }
    hookTableCommands();
    restoreWindowState();
    removeLeftResultTemporaries();
}

QWidget* ConverterDialog::makeOutputView(QWidget& parent) {
    auto* view = new OutputView(&parent);
    connect(view, &OutputView::focusGained, this, [this] { OnSetFocus(kIdOutput); });
    view->setLargeCopyQuestion(kLargeCopyBytes, [this](std::size_t selected) { return askLargeCopy(selected); });
    return view;
}

bool ConverterDialog::askLargeCopy(std::size_t selected) {
    const std::string megabytes = std::to_string((selected + (1 << 20) - 1) >> 20);
    if (m_services.messageBox.MessageBox(this, fillText(kLargeCopyQuestion, megabytes), kConfirmCaption,
                                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
        return true;
    // Once the copy is over: the save is a job of its own.
    QMetaObject::invokeMethod(this, &ConverterDialog::OnSaveResultToFile, Qt::QueuedConnection);
    return false;
}

void ConverterDialog::nameControls() {
    GetDlgItem(kIdTemplate)->setAccessibleName(QString::fromUtf8(kTemplateItem));
    GetDlgItem(kIdLoopCount)->setAccessibleName(QString::fromUtf8(kLoopCountItem));
    GetDlgItem(kIdOutput)->setAccessibleName(QString::fromUtf8(kOutputItem));
    auto* tab = qobject_cast<TabControl*>(GetDlgItem(kIdTab));
    tab->setAccessibleName(QString::fromUtf8(kTabItem));
    tab->tabBar()->setAccessibleName(QString::fromUtf8(kTabItem));
}

int ConverterDialog::DoModal() {
    Create();
    // Not QDialog::exec(): its loop ends whenever the window is hidden, as it is in the notification area,
    // and not when the dialog ends hidden, as by the exit from the icon's menu. This one ends when the
    // dialog does, and only then.
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    setResult(0);
    show();
    loop.exec();
    return result();
}

void ConverterDialog::DoDataExchange() { m_tab = qobject_cast<TabControl*>(GetDlgItem(kIdTab)); }

bool ConverterDialog::OnInitDialog() {
    DoDataExchange();
    setWindowIcon(m_hIcon);
    m_pWorker = nullptr;
    setUnsaved(0);
    LoadAccelerators();
    m_nLoopCount = 0;
    LoadSettings();

    const LogFont font = ParseFontString();
    m_strFont = FormatFontString(font);
    m_editorFont = fontFromLogFont(font);
    SetWindowFont(font);
    GetDlgItem(kIdTemplate)->setFont(m_editorFont);
    // A face that draws every Japanese text as empty boxes is worth more than a line on stderr.
    if (m_fontPlan.windowFaceMissing) {
        const std::string message = m_fontPlan.windowSubstitute.isEmpty()
                                        ? std::string(kNoJapaneseFaceMessage)
                                        : fillText(kSubstitutedFaceMessage, m_fontPlan.windowSubstitute.toStdString());
        m_services.messageBox.MessageBox(this, message, kInfoCaption, MB_OK | MB_ICONASTERISK);
    }

    enableTrayOption();
    SetDlgItemText(kIdOutput, kOutputPlaceholder);
    for (int i = 0; i < static_cast<int>(std::size(kTabTexts)); ++i)
        m_tab->InsertItem(i, QString::fromUtf8(kTabTexts[i]));
    createPages();
    // The pages filled themselves from the record; the rest of what was loaded shows here.
    showDocument(storedDocument());
    checkLoopField();
    m_savedDocument = documentShown();
    m_fieldsLoaded = true;

    // The first tab stop of the template, the exit button, has the focus when the window shows.
    GetDlgItem(kIdExit)->setFocus();
    return true;
}

void ConverterDialog::LoadSettings() {
    Document loaded;
    // A first start has nothing to complain about: without a file there is no stored font to be wrong.
    struct stat status {};
    m_bFirstStart = stat(m_settingsPath.c_str(), &status) != 0 && errno == ENOENT;
    // A file that can't be taken is said so; the window starts with the defaults, and saving won't replace it.
    m_loadRefusal = loadSettingsFile(m_settingsPath, loaded);
    // A file named to start with is expected to be there: the defaults come up under its name, and say so.
    if (m_bFirstStart && m_settingsNamed) {
        m_services.messageBox.MessageBox(this, fillText(kStartFileMissingMessage, m_settingsPath), kInfoCaption,
                                         MB_OK | MB_ICONASTERISK);
    }
    if (m_loadRefusal) {
        m_services.messageBox.MessageBox(
            this, fillText(kLoadRefusedMessage, describeLoadFailure(m_settingsPath, m_loadRefusal)), kWarningCaption,
            MB_OK | MB_ICONEXCLAMATION);
    }
    m_record = std::move(loaded.record);
    m_nLoopCount = loaded.window.loopCount;
    m_bBeep = loaded.window.beep;
    m_bTray = loaded.window.tray;
    m_bAutoSave = loaded.window.autoSave;
    m_strTemplate = std::move(loaded.window.templateText);
    m_strFont = std::move(loaded.window.font);
    m_shape = std::move(loaded.window.shape);
}

LogFont ConverterDialog::ParseFontString() {
    LogFont font;
    if (parseFontDescription(m_strFont, font)) return font;
    // Without a settings file there is no stored font to be wrong: the default face, and no notice that would
    // greet a first start as an error.
    if (!m_bFirstStart)
        m_services.messageBox.MessageBox(this, kFontErrorMessage, kInfoCaption, MB_OK | MB_ICONEXCLAMATION);
    return GetWindowFont();
}

}  // namespace ravolin
