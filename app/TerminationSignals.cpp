#include "app/TerminationSignals.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

namespace ravolin {
namespace {

// How long the event loop has to take up a request to end before the request ends the program itself.
constexpr unsigned kPickUpSeconds = 2;

int g_signalPipe[2] = {-1, -1};
// The request the event loop has not taken up yet, or 0; and whether one came before at all.
volatile sig_atomic_t g_pending = 0;
volatile sig_atomic_t g_requested = 0;

// The signal's own default action: the end a blocked window can't refuse.
void endByDefault(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);
}

extern "C" void onTerminationSignal(int signal) {
    const int savedErrno = errno;
    if (g_requested) {
        // The second request: whatever holds up the first, this one is not asked to wait.
        endByDefault(signal);
    } else {
        g_requested = 1;
        g_pending = signal;
        // Async-signal-safe; a full pipe already holds a pending request.
        [[maybe_unused]] const ssize_t written = write(g_signalPipe[1], "", 1);
        alarm(kPickUpSeconds);
    }
    errno = savedErrno;
}

// The event loop has not taken up the request in time: it is blocked, and may stay so.
extern "C" void onPickUpTimeout(int) {
    if (g_pending) endByDefault(g_pending);
}

}  // namespace

bool handleTerminationSignals(std::function<void()> onSignal, std::string& error) {
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("cannot create the signal pipe: ") + std::strerror(errno);
        return false;
    }
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onSignal = std::move(onSignal)] {
        char bytes[16];
        while (read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        g_pending = 0;
        alarm(0);
        onSignal();
    });
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    action.sa_handler = onPickUpTimeout;
    if (sigaction(SIGALRM, &action, nullptr) != 0) {
        error = std::string("cannot handle signal ") + std::to_string(SIGALRM) + ": " + std::strerror(errno);
        return false;
    }
    action.sa_handler = onTerminationSignal;
    // One handler at a time: a second request arriving inside the first's handler waits until it returns.
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&action.sa_mask, signal);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        if (sigaction(signal, &action, nullptr) != 0) {
            error = std::string("cannot handle signal ") + std::to_string(signal) + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

}  // namespace ravolin
