#include "testsupport/FakeFontChooser.h"

#include <utility>

namespace ravolin {

std::optional<QFont> FakeFontChooser::ChooseFont(QWidget* owner, const QFont& initial) {
    m_calls.push_back({owner, initial});
    std::optional<QFont> answer;
    if (!m_script.empty()) {
        answer = std::move(m_script.front());
        m_script.pop_front();
    }
    if (const std::function<void()> whileOpen = m_whileOpen) whileOpen();
    return answer;
}

void FakeFontChooser::scriptChoice(const QFont& font) { m_script.emplace_back(font); }

void FakeFontChooser::scriptCancel() { m_script.emplace_back(std::nullopt); }

void FakeFontChooser::setWhileOpen(std::function<void()> action) { m_whileOpen = std::move(action); }

}  // namespace ravolin
