// "結果をファイルに保存": the result of what the fields hold now, streamed to a file on a worker thread while a
// progress dialog shows how far it is. The worker touches nothing of the window; the window polls the job.
#include <chrono>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include <QLocale>
#include <QProgressDialog>
#include <QSettings>
#include <QTimer>

#include "ui/ConverterDialog.h"
#include "ui/DialogTexts.h"
#include "ui/ResultFileWriter.h"
#include "ui/SaveMessages.h"

namespace ravolin {

// Shared by the worker and the window; whichever lets go last frees it.
struct ResultSaveJob {
    ResultFileChoice choice;
    OutputProgress progress;
    std::atomic<bool> finished = false;
    // Set by the worker before `finished`.
    ResultFileEnd end = ResultFileEnd::Done;
    FileFailure failure;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

namespace {

constexpr int kPollMs = 100;
constexpr int kProgressSteps = 1000;
// How long the end of the window waits for a cancelled save to take its temporary file along.
constexpr auto kEndWait = std::chrono::seconds(3);
// In the window's state file: the target of the last save begun, whose folder a start clears of what a save
// cut off by a kill left there.
constexpr char kLastResultTargetKey[] = "ResultSave/LastTarget";

QString qt(const std::string& text) { return QString::fromStdString(text); }

std::string bytesText(std::uint64_t bytes) {
    return QLocale(QLocale::Japanese).toString(qulonglong{bytes}).toStdString();
}

std::string timeLeftText(const ResultSaveJob& job, std::size_t done, std::size_t total) {
    if (done == 0) return kSaveResultEstimating;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - job.started).count();
    const auto seconds =
        static_cast<long long>(elapsed * static_cast<double>(total - done) / static_cast<double>(done));
    if (seconds < 60) return "約 " + std::to_string(seconds) + " 秒";
    return "約 " + std::to_string((seconds + 59) / 60) + " 分";
}

}  // namespace

void ConverterDialog::OnSaveResultToFile() {
    if (isRunning()) {
        showBusyWarning();
        return;
    }
    ExpansionInput input = GatherExpansionInput();
    ResultFileChoice initial = m_lastResultChoice;
    initial.loopCount = input.loopCount;
    const std::optional<ResultFileChoice> choice = m_services.resultFileChooser.GetSaveFileName(this, initial);
    if (!choice) return;
    m_lastResultChoice = *choice;
    input.loopCount = choice->loopCount;

    if (const std::string file = m_services.windowStateFile ? m_services.windowStateFile(true) : std::string();
        !file.empty()) {
        QSettings(QString::fromStdString(file), QSettings::IniFormat)
            .setValue(kLastResultTargetKey, QString::fromStdString(choice->path));
    }

    auto job = std::make_shared<ResultSaveJob>();
    job->choice = *choice;
    noteWorkerStarted();
    try {
        std::thread([job, input = std::move(input)] {
            job->end = writeResultFile(input, job->choice, job->progress, job->failure);
            job->finished = true;
            noteWorkerEnded();
        }).detach();
    } catch (const std::system_error&) {
        noteWorkerEnded();
        return;
    }
    m_saveJob = job;
    SetRunControls(0);

    auto* progress = new QProgressDialog(this);
    progress->setWindowTitle(qt(kSaveResultTitle));
    progress->setCancelButtonText(qt(kCancelButton));
    progress->setRange(0, kProgressSteps);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(0);
    progress->setWindowModality(Qt::WindowModal);
    // Closing the progress dialog is a cancel: the job ends at its next range.
    connect(progress, &QProgressDialog::canceled, progress, [job, progress] {
        job->progress.cancel = true;
        progress->setLabelText(qt(kSaveResultCancelling));
        progress->show();
    });
    m_saveProgress = progress;
    progress->show();
    pollResultSave();

    auto* poll = new QTimer(progress);
    connect(poll, &QTimer::timeout, this, [this] { pollResultSave(); });
    poll->start(kPollMs);
}

void ConverterDialog::pollResultSave() {
    const std::shared_ptr<ResultSaveJob> job = m_saveJob;
    if (!job) return;
    const std::size_t total = static_cast<std::size_t>(job->choice.loopCount > 0 ? job->choice.loopCount : 0);
    const std::size_t done = job->progress.passesDone.load();
    // However the dialog was cancelled (its button, Esc, its close box), the job stops.
    if (m_saveProgress && m_saveProgress->wasCanceled() && !job->progress.cancel.exchange(true)) {
        m_saveProgress->setLabelText(qt(kSaveResultCancelling));
        m_saveProgress->show();
    }
    if (m_saveProgress && !job->progress.cancel.load()) {
        m_saveProgress->setValue(total ? static_cast<int>(done * kProgressSteps / total) : 0);
        m_saveProgress->setLabelText(
            qt(fillText(fillText(kSaveResultProgress, std::to_string(done), std::to_string(total)),
                        bytesText(job->progress.bytesWritten.load()), timeLeftText(*job, done, total))));
    }
    if (!job->finished.load()) return;

    m_saveJob = nullptr;
    if (m_saveProgress) {
        // Gone before the end's message comes up, not left behind it until the message is answered.
        m_saveProgress->hide();
        m_saveProgress->deleteLater();
    }
    m_saveProgress = nullptr;
    SetRunControls(1);
    if (m_bBeep == 1) m_services.tone.Beep(kEndToneHz, kEndToneMs);
    const std::string& path = job->choice.path;
    switch (job->end) {
        case ResultFileEnd::Done:
            // A cancel that came once the file was being replaced was too late: the message says what happened.
            m_services.messageBox.MessageBox(
                this,
                fillText(job->progress.cancel.load() ? kSaveResultDoneBeforeCancel : kSaveResultDone, path,
                         bytesText(job->progress.bytesWritten.load())),
                kInfoCaption, MB_OK | MB_ICONASTERISK);
            break;
        case ResultFileEnd::Cancelled:
            break;
        case ResultFileEnd::Failed: {
            SaveResult failed;
            failed.failedStep = job->failure.step;
            failed.errorCode = job->failure.code;
            m_services.messageBox.MessageBox(this, fillText(kSaveResultFailed, describeSaveFailure(path, failed)),
                                             kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            break;
        }
        case ResultFileEnd::PassTooLarge:
            m_services.messageBox.MessageBox(
                this, fillText(kSaveResultPassTooLarge, std::to_string(kResultPassLimitBytes >> 20)), kWarningCaption,
                MB_OK | MB_ICONEXCLAMATION);
            break;
        case ResultFileEnd::OutOfMemory:
            m_services.messageBox.MessageBox(this, kSaveResultOutOfMemory, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            break;
    }
}

void ConverterDialog::endResultSave() {
    const std::shared_ptr<ResultSaveJob> job = std::exchange(m_saveJob, nullptr);
    if (!job) return;
    job->progress.cancel = true;
    const auto deadline = std::chrono::steady_clock::now() + kEndWait;
    while (!job->finished.load() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // A worker stuck in a write (a disk that hangs) can't remove its file before the process ends: its name
    // goes now, and a rename still to come finds nothing to put in place.
    if (!job->finished.load()) removeLeftTemporaries(job->choice.path, true);
}

void ConverterDialog::removeLeftResultTemporaries() const {
    const std::string file = m_services.windowStateFile ? m_services.windowStateFile(false) : std::string();
    if (file.empty()) return;
    const QString target =
        QSettings(QString::fromStdString(file), QSettings::IniFormat).value(kLastResultTargetKey).toString();
    if (!target.isEmpty()) removeLeftTemporaries(target.toStdString());
}

}  // namespace ravolin
