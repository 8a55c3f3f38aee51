#include "ui/UiCallChannel.h"

#include <utility>

#include <QMetaObject>
#include <QObject>

namespace ravolin {

UiCallChannel::UiCallChannel(QObject* receiver) : m_receiver(receiver) {}

bool UiCallChannel::call(std::function<void()> function) {
    auto ran = std::make_shared<bool>(false);  // guarded by m_mutex
    std::unique_lock lock(m_mutex);
    if (!m_open) return false;
    // Posting under the lock: the receiver can't start closing (and dying) while the call is handed over.
    // If the receiver dies first, Qt drops the posted call with it.
    QMetaObject::invokeMethod(
        m_receiver,
        [self = shared_from_this(), ran, function = std::move(function)] {
            {
                const std::lock_guard guard(self->m_mutex);
                if (!self->m_open) return;
                --self->m_pending;
            }
            function();
            {
                const std::lock_guard guard(self->m_mutex);
                *ran = true;
            }
            self->m_changed.notify_all();
        },
        Qt::QueuedConnection);
    ++m_pending;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return *ran || !m_open; });
    return *ran;
}

bool UiCallChannel::whileOpen(const std::function<void()>& read) {
    const std::lock_guard lock(m_mutex);
    if (!m_open) return false;
    read();
    return true;
}

void UiCallChannel::close() {
    {
        const std::lock_guard lock(m_mutex);
        m_open = false;
        m_pending = 0;
    }
    m_changed.notify_all();
}

bool UiCallChannel::isOpen() const {
    const std::lock_guard lock(m_mutex);
    return m_open;
}

bool UiCallChannel::waitForPendingCall(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_pending > 0; });
}

}  // namespace ravolin
