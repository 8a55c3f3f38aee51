#include "ui/ConverterDialog.h"

#include <atomic>
#include <functional>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "ui/DialogTexts.h"
#include "ui/OutputText.h"
#include "ui/OutputView.h"
#include "ui/SaveMessages.h"
#include "ui/UiCallChannel.h"

// A run is one worker thread. The worker touches no widget and no member of the dialog itself: each step
// that needs the window is a blocking call onto the user-interface thread through the run's channel, which
// the dialog closes when it is destroyed, so a worker whose dialog is gone simply ends.

namespace ravolin {
namespace {

std::atomic<int> g_liveWorkers = 0;

// Step 5: the pane takes the result over as the expansion made it. The index of its lines is built here, off
// the user-interface thread, which then only swaps what the pane shows; what it showed before is let go of back
// here too, where the time that takes holds nothing up.
bool replaceOutput(UiCallChannel& channel, ConverterDialog* dialog, std::string text) {
    SharedOutputText shown = std::make_shared<const OutputText>(std::move(text));
    return channel.call([dialog, &shown] {
        shown = qobject_cast<OutputView*>(dialog->GetDlgItem(kIdOutput))->setContent(std::move(shown));
    });
}

void showOutOfMemoryWarning(ConverterDialog* dialog) {
    dialog->services().messageBox.MessageBox(dialog, kOutOfMemoryMessage, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
}

// The pane can't hold the result; a file can. True when the user wants it saved.
bool offerSaveInstead(ConverterDialog* dialog, std::size_t limit) {
    const std::string megabytes = std::to_string(limit / (1024 * 1024));
    return dialog->services().messageBox.MessageBox(dialog, fillText(kOutputLimitQuestion, megabytes), kWarningCaption,
                                                    MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

}  // namespace

int ConverterDialog::liveWorkerCount() { return g_liveWorkers.load(); }
void ConverterDialog::noteWorkerStarted() { ++g_liveWorkers; }
void ConverterDialog::noteWorkerEnded() { --g_liveWorkers; }

void ConverterDialog::OnExecute() {
    if (isRunning()) return;
    auto channel = std::make_shared<UiCallChannel>(this);
    ++g_liveWorkers;
    try {
        // Never joined: the user-interface thread doesn't wait for a run, and a run may outlive the dialog.
        std::thread(&ConverterDialog::ConversionThreadProc, channel, this, std::ref(m_services.tone)).detach();
        m_pWorker = std::move(channel);
    } catch (const std::system_error&) {
        // No thread: nothing was locked and nothing runs.
        --g_liveWorkers;
    }
    setUnsaved(1);
}

void ConverterDialog::ConversionThreadProc(std::shared_ptr<UiCallChannel> channel, ConverterDialog* dialog,
                                           TonePort& tone) {
    RunConversion(*channel, dialog, tone);
    channel.reset();
    --g_liveWorkers;
}

void ConverterDialog::RunConversion(UiCallChannel& channel, ConverterDialog* dialog, TonePort& tone) {
    if (!channel.call([dialog] { dialog->SetRunControls(0); })) return;

    ExpansionInput input;
    std::size_t limit = 0;
    if (!channel.call([dialog, &input, &limit] {
            input = dialog->GatherExpansionInput();
            limit = dialog->m_outputLimit;
        }))
        return;

    // Memory running out anywhere before the pane takes the result ends the run with a warning; the pane keeps
    // what it shows and the window goes on.
    ExpansionResult result;
    bool outOfMemory = false;
    try {
        result = ExpandTemplate(input, limit);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    input = {};

    // The flag is read only now, so toggling the beep during a run decides this run's beep.
    std::int32_t beep = 0;
    if (!channel.whileOpen([dialog, &beep] { beep = dialog->m_bBeep.load(); })) return;
    if (beep == 1) tone.Beep(kEndToneHz, kEndToneMs);

    bool saveInstead = false;
    if (!outOfMemory && result.limitReached) {
        // The pane keeps what it shows; the user learns why nothing came.
        if (!channel.call([dialog, &saveInstead, limit] { saveInstead = offerSaveInstead(dialog, limit); })) return;
    } else if (!outOfMemory) {
        try {
            if (!replaceOutput(channel, dialog, std::move(result.text))) return;
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    }
    if (outOfMemory && !channel.call([dialog] { showOutOfMemoryWarning(dialog); })) return;

    if (!channel.call([dialog] { dialog->SetRunControls(1); })) return;
    channel.call([dialog, saveInstead] {
        dialog->m_pWorker = nullptr;
        // Once this run is over: the save is a job of its own.
        if (saveInstead)
            QMetaObject::invokeMethod(
                dialog, [dialog] { dialog->OnSaveResultToFile(); }, Qt::QueuedConnection);
    });
}

void ConverterDialog::SetRunControls(int flag) {
    const bool unlock = flag == 1;
    QWidget* const focused = focusWidget();
    if (!unlock) {
        // Qt would hand the focus of a control it disables to the next one, a page edit that selects all on
        // focus: the next key would overwrite a token. The window itself holds it during the run instead.
        m_focusBeforeRun = nullptr;
        for (int id : {kIdRestoreStrings, kIdClearEditArea, kIdSaveSettings, kIdExit, kIdExecute, kIdAutoSave}) {
            if (focused && focused == GetDlgItem(id)) m_focusBeforeRun = focused;
        }
        if (m_focusBeforeRun) setFocus(Qt::OtherFocusReason);
    }
    for (int id : {kIdRestoreStrings, kIdClearEditArea}) GetDlgItem(id)->setEnabled(unlock);
    // The save button stays off while auto-save is on, as the check box itself has it.
    GetDlgItem(kIdSaveSettings)->setEnabled(unlock && !IsDlgButtonChecked(kIdAutoSave));
    for (int id : {kIdExit, kIdExecute, kIdAutoSave}) GetDlgItem(id)->setEnabled(unlock);
    for (int id : {kCmdExecute, kCmdClearEditArea, kCmdRestoreStrings, kCmdSaveResult, kCmdExit}) {
        EnableMenuItem(id, unlock);
    }
    // Back where it was, unless the user has put it somewhere else meanwhile.
    if (unlock && m_focusBeforeRun && m_focusBeforeRun->isEnabled() && (!focusWidget() || focusWidget() == this)) {
        m_focusBeforeRun->setFocus(Qt::OtherFocusReason);
    }
    if (unlock) m_focusBeforeRun = nullptr;
}

}  // namespace ravolin
