#include "app/ConverterApp.h"

#include <cstdlib>
#include <iostream>
#include <utility>

#include <QGuiApplication>

#include "settings/SettingsStore.h"
#include "ui/ConverterDialog.h"
#include "ui/DialogTexts.h"
#include "ui/SaveMessages.h"

namespace ravolin {

std::string displayLockName() {
    return instanceLockName(QGuiApplication::platformName().toStdString(), std::getenv("DISPLAY"),
                            std::getenv("WAYLAND_DISPLAY"));
}

std::string settingsPathIn(const WorkingDirectory& directory) {
    if (!directory.ok()) return kSettingsFileName;
    return directory.path + "/" + kSettingsFileName;
}

ConverterApp::ConverterApp(AppServices services, Settings& record)
    : m_services(std::move(services)), m_record(record) {}

std::ostream& ConverterApp::diagnostics() const { return m_services.diagnostics ? *m_services.diagnostics : std::cerr; }

bool ConverterApp::InitInstance() {
    m_instance = m_services.acquireInstance();
    switch (m_instance->status()) {
        case SingleInstance::Status::Owner:
            break;
        case SingleInstance::Status::AlreadyRunning:
            m_services.dialog.messageBox.MessageBox(nullptr, kAlreadyRunningMessage, kWarningCaption,
                                                    MB_OK | MB_ICONHAND);
            return false;
        case SingleInstance::Status::Failed:
            // Started from a menu, a line on standard error is seen by no one: the reason is shown too.
            diagnostics() << "ravolin: cannot take the single-instance lock: " << m_instance->error() << '\n';
            m_services.dialog.messageBox.MessageBox(nullptr, fillText(kLockFailedMessage, m_instance->error()),
                                                    kWarningCaption, MB_OK | MB_ICONHAND);
            return false;
    }

    const WorkingDirectory directory = m_services.workingDirectory();
    if (!directory.ok()) {
        diagnostics() << "ravolin: " << directory.error << "; using " << kSettingsFileName << " relative to it\n";
    }
    m_pszProfileName = settingsPathIn(directory);

    ConverterDialog dialog(m_services.dialog, *m_pszProfileName, m_record);
    m_pMainWnd = &dialog;
    if (m_services.runDialog) {
        m_services.runDialog(dialog);
    } else {
        dialog.DoModal();
    }
    m_pMainWnd = nullptr;
    return false;
}

}  // namespace ravolin
