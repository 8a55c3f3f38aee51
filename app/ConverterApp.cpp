#include "app/ConverterApp.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <utility>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>

#include "settings/SettingsStore.h"
#include "ui/ConverterDialog.h"
#include "ui/DialogTexts.h"
#include "ui/SaveMessages.h"

namespace ravolin {
namespace {

// The session manager tells the program to go with a Quit event to the application, on which Qt closes the
// windows: the main dialog's close would ask its questions or refuse during a run. It is taken here instead.
class QuitEventFilter final : public QObject {
public:
    explicit QuitEventFilter(std::function<void()> onQuit) : m_onQuit(std::move(onQuit)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != QCoreApplication::instance() || event->type() != QEvent::Quit) return false;
        m_onQuit();
        return true;
    }

private:
    std::function<void()> m_onQuit;
};

}  // namespace

std::string displayLockName() {
    return instanceLockName(QGuiApplication::platformName().toStdString(), std::getenv("DISPLAY"),
                            std::getenv("WAYLAND_DISPLAY"));
}

std::string absoluteIn(const WorkingDirectory& directory, const std::string& file) {
    if (file.empty() || file.front() == '/' || !directory.ok()) return file;
    return directory.path + "/" + file;
}

std::string settingsPathIn(const WorkingDirectory& directory) {
    if (!directory.ok()) return kSettingsFileName;
    return directory.path + "/" + kSettingsFileName;
}

ConverterApp::ConverterApp(AppServices services, Settings& record)
    : m_services(std::move(services)), m_record(record) {}

std::ostream& ConverterApp::diagnostics() const { return m_services.diagnostics ? *m_services.diagnostics : std::cerr; }

bool ConverterApp::InitInstance() {
    // Before --user-folder moves the working directory: a file named relative to where the program was started.
    const std::string file = m_services.settingsFile.empty()
                                 ? std::string()
                                 : absoluteIn(m_services.workingDirectory(), m_services.settingsFile);
    if (m_services.userFolder) {
        // The settings file is found in the working directory: the per-user folder becomes that directory.
        const UserFolder folder = m_services.userFolder();
        std::string error = folder.error;
        if (folder.ok() && chdir(folder.path.c_str()) != 0) {
            error = "cannot enter " + folder.path + ": " + std::strerror(errno);
        }
        if (!error.empty()) {
            // The menu's way to start: no one reads standard error there, so the box says it too.
            diagnostics() << "ravolin: " << error << '\n';
            m_services.dialog.messageBox.MessageBox(
                nullptr,
                fillText(kUserFolderFailedMessage, folder.path.empty() ? kUserFolderUnnamed : folder.path, error),
                kWarningCaption, MB_OK | MB_ICONHAND);
            m_refused = true;
            return false;
        }
    }
    m_instance = m_services.acquireInstance();
    switch (m_instance->status()) {
        case SingleInstance::Status::Owner:
            break;
        case SingleInstance::Status::AlreadyRunning:
            // A file is for the copy that runs: it comes to the front and opens it, and this start is done.
            if (!file.empty() && m_services.handOver(m_instance->channelPath(), file)) return false;
            m_services.dialog.messageBox.MessageBox(nullptr, kAlreadyRunningMessage, kWarningCaption,
                                                    MB_OK | MB_ICONHAND);
            m_refused = true;
            return false;
        case SingleInstance::Status::Failed:
            // Started from a menu, a line on standard error is seen by no one: the reason is shown too.
            diagnostics() << "ravolin: cannot take the single-instance lock: " << m_instance->error() << '\n';
            m_services.dialog.messageBox.MessageBox(nullptr, fillText(kLockFailedMessage, m_instance->error()),
                                                    kWarningCaption, MB_OK | MB_ICONHAND);
            m_refused = true;
            return false;
    }

    const WorkingDirectory directory = m_services.workingDirectory();
    if (!directory.ok()) {
        diagnostics() << "ravolin: " << directory.error << "; using " << kSettingsFileName << " relative to it\n";
    }
    m_pszProfileName = file.empty() ? settingsPathIn(directory) : file;

    ConverterDialog dialog(m_services.dialog, *m_pszProfileName, m_record);
    dialog.setSettingsFileNamed(!file.empty());
    m_pMainWnd = &dialog;
    // Files handed over by later starts; without the channel, such a start is refused as any second copy is.
    InstanceChannelServer channel;
    std::string channelError;
    if (!channel.listen(m_instance->channelPath(), channelError)) {
        diagnostics() << "ravolin: " << channelError << '\n';
    }
    QObject::connect(
        &channel, &InstanceChannelServer::fileRequested, &dialog,
        [&dialog](const QString& requested) { dialog.OnOpenRequest(requested.toStdString()); }, Qt::QueuedConnection);
    // The end of the desktop session: first the session manager asks for the work to be kept. That alone
    // doesn't end the program: it comes for a checkpoint too, and another program may still cancel the
    // logout. The end itself is the Quit that follows. A logout can't wait for a question: none is asked,
    // and the shutdown is never cancelled.
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &dialog,
                     [this, &dialog](QSessionManager&) { dialog.OnEndSession(diagnostics()); });
    const QuitEventFilter quitFilter([this] { EndSession(); });
    if (m_services.runDialog) {
        m_services.runDialog(dialog);
    } else {
        dialog.DoModal();
    }
    m_pMainWnd = nullptr;
    return false;
}

void ConverterApp::EndSession() {
    if (m_pMainWnd) m_pMainWnd->OnEndSession(diagnostics());
    if (m_services.quit) {
        m_services.quit();
    } else {
        QCoreApplication::exit(0);
    }
}

}  // namespace ravolin
