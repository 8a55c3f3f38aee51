#include "testsupport/FakeResultFileChooser.h"

namespace ravolin {

std::optional<ResultFileChoice> FakeResultFileChooser::GetSaveFileName(QWidget*, const ResultFileChoice& initial) {
    m_calls.push_back(initial);
    if (m_script.empty()) return std::nullopt;
    std::optional<ResultFileChoice> answer = m_script.front();
    m_script.pop_front();
    return answer;
}

}  // namespace ravolin
