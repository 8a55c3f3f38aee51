#include "testsupport/FakeOpenFileChooser.h"

namespace ravolin {

std::optional<std::string> FakeOpenFileChooser::GetOpenFileName(QWidget*, const OpenFileRequest& request) {
    m_calls.push_back(request);
    if (m_script.empty()) return std::nullopt;
    std::optional<std::string> answer = m_script.front();
    m_script.pop_front();
    return answer;
}

}  // namespace ravolin
