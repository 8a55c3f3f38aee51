#include "testsupport/FakeSettingsFileChooser.h"

namespace ravolin {

std::optional<std::string> FakeSettingsFileChooser::GetOpenFileName(QWidget*, const std::string& folder) {
    return answer("open " + folder);
}

std::optional<std::string> FakeSettingsFileChooser::GetSaveFileName(QWidget*, const std::string& suggested) {
    return answer("save " + suggested);
}

std::optional<std::string> FakeSettingsFileChooser::answer(std::string call) {
    m_calls.push_back(std::move(call));
    if (m_script.empty()) return std::nullopt;
    std::optional<std::string> chosen = m_script.front();
    m_script.pop_front();
    return chosen;
}

}  // namespace ravolin
