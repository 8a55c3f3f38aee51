#include "testsupport/FakeTone.h"

#include <utility>

namespace ravolin {

void FakeTone::Beep(int frequencyHz, int durationMs) {
    std::function<void()> onBeep;
    {
        const std::lock_guard lock(m_mutex);
        m_calls.push_back({frequencyHz, durationMs, std::this_thread::get_id()});
        onBeep = m_onBeep;
    }
    if (onBeep) onBeep();
}

std::vector<FakeTone::Call> FakeTone::calls() const {
    const std::lock_guard lock(m_mutex);
    return m_calls;
}

std::size_t FakeTone::callCount() const {
    const std::lock_guard lock(m_mutex);
    return m_calls.size();
}

void FakeTone::setOnBeep(std::function<void()> action) {
    const std::lock_guard lock(m_mutex);
    m_onBeep = std::move(action);
}

}  // namespace ravolin
