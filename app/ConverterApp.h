#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "platform/core/SingleInstance.h"
#include "platform/core/WorkingDirectory.h"
#include "platform/qt/InstanceChannel.h"
#include "settings/Settings.h"
#include "ui/DialogServices.h"

namespace ravolin {

class ConverterDialog;

// The single-instance lock's name for the display this process's windows go to: the Qt platform in use,
// $DISPLAY and $WAYLAND_DISPLAY (instanceLockName). Once the QGuiApplication exists.
std::string displayLockName();

// What the start sequence reaches outside itself; each has the real service as its default.
struct AppServices {
    DialogServices dialog;
    // One copy per user and display: the same user may run one on each display.
    std::function<SingleInstance()> acquireInstance = [] { return SingleInstance::acquire(displayLockName()); };
    std::function<WorkingDirectory()> workingDirectory = currentWorkingDirectory;
    std::function<int(ConverterDialog&)> runDialog{};  // empty: DoModal
    std::ostream* diagnostics = nullptr;               // null: standard error
    // With --user-folder: the per-user folder, made if missing, to become the working directory. Empty: the
    // working directory stays as it is.
    std::function<UserFolder()> userFolder{};
    // Ends every event loop, the main dialog's and any modal one inside it, and every one started later.
    std::function<void()> quit{};  // empty: QCoreApplication::exit(0)
    // The settings file named on the command line, as given (relative: to the working directory at the start);
    // empty for RavolinSetting.ini.
    std::string settingsFile{};
    // Hands `file` to the copy that runs, through its channel; true once that copy has taken it.
    std::function<bool(const std::string& channel, const std::string& file)> handOver =
        [](const std::string& channel, const std::string& file) { return handFileToInstance(channel, file); };
};

// `file` as an absolute path: a relative one is taken in `directory` (or left relative where it can't be read).
std::string absoluteIn(const WorkingDirectory& directory, const std::string& file);

// The settings file in `directory`; where the directory can't be read, the bare file name, which the kernel
// resolves against the working directory on every open.
std::string settingsPathIn(const WorkingDirectory& directory);

// The application: refuses a second copy, fixes the settings path and runs the main dialog modally.
class ConverterApp {
public:
    // `record` is the process-wide settings record.
    ConverterApp(AppServices services, Settings& record);

    // The start sequence. Returns false: the process ends when it returns.
    bool InitInstance();
    // The process's exit status once the start sequence has returned: 1 when it refused to start (a copy
    // already running that took no file, no lock, no per-user folder), else 0.
    int ExitInstance() const { return m_refused ? 1 : 0; }

    // The program is told to end (the session manager's last word, a termination signal): the main dialog
    // keeps what auto-save keeps (OnEndSession), then every event loop returns and the start sequence ends,
    // without the exit's questions.
    void EndSession();

    // The main dialog while it runs, else null.
    ConverterDialog* m_pMainWnd = nullptr;
    // The settings file, once the start sequence has fixed it.
    std::optional<std::string> m_pszProfileName;

private:
    std::ostream& diagnostics() const;

    AppServices m_services;
    Settings& m_record;
    // Held until the process ends; the kernel releases the lock with the process.
    std::optional<SingleInstance> m_instance;
    bool m_refused = false;
};

}  // namespace ravolin
