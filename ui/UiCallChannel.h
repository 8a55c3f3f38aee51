#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>

class QObject;

namespace ravolin {

// The way a worker thread reaches a window: it hands a function to the window's thread and waits until it
// has run there. The window closes the channel when it goes away, so a worker is never left waiting on a
// window that is gone and never runs anything on one: a call that has not run by then never will, and
// every waiting or later call returns false at once.
//
// Owned by shared_ptr: the window and the worker each hold it, and either may be the last to let go.
class UiCallChannel : public std::enable_shared_from_this<UiCallChannel> {
public:
    // `receiver` lives on the thread that runs the calls; it must close the channel before it dies.
    explicit UiCallChannel(QObject* receiver);

    UiCallChannel(const UiCallChannel&) = delete;
    UiCallChannel& operator=(const UiCallChannel&) = delete;

    // Worker: runs `function` on the receiver's thread and waits for it. True when it ran; false when the
    // channel was closed before it could (then it never runs). Never from the receiver's own thread, which
    // would wait for itself.
    bool call(std::function<void()> function);

    // Worker: runs `read` right here, while the receiver is certain to be alive (the channel is held open
    // for its duration); false, without running it, once the channel is closed. For a quick read of an
    // atomic member, nothing more.
    bool whileOpen(const std::function<void()>& read);

    // Receiver's thread: closes the channel; waiting workers wake up and give up. Idempotent.
    void close();
    bool isOpen() const;

    // For tests: waits until a call has been handed over and not yet run or dropped.
    bool waitForPendingCall(std::chrono::milliseconds timeout);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = true;
    std::size_t m_pending = 0;
    QObject* m_receiver;
};

}  // namespace ravolin
